// The message box as the player sees it: the engine on the GPU device (Mesa's software GL,
// headless), the real resource manager over the program folder this build laid out, and the
// message box's own modal loop drawing frame after frame. Once every fade has ended the frame
// is compared with a golden PNG (within 1 per channel: GL drivers may round differently), then
// the player clicks the button and the box answers.
//
// VX_UPDATE_GOLDEN=1 rewrites the golden pictures. Every run leaves what it saw in
// $VX_TEST_TMP/themelint_<name>.png.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "LintWorld.h"
#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "support/TempDir.h"

using namespace themelint;

namespace {

struct Frame {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, top row first
};

bool WritePng(const std::string& path, const Frame& frame) {
  std::vector<uint8_t> rgb(static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height) * 3);
  for (size_t i = 0; i < frame.Pixels.size(); ++i) {
    rgb[i * 3] = static_cast<uint8_t>(frame.Pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(frame.Pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(frame.Pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.Width);
  image.height = static_cast<png_uint_32>(frame.Height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool ReadPng(const std::string& path, Frame& frame) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) return false;
  frame.Width = static_cast<int32_t>(image.width);
  frame.Height = static_cast<int32_t>(image.height);
  frame.Pixels.resize(static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height));
  for (size_t i = 0; i < frame.Pixels.size(); ++i)
    frame.Pixels[i] = (uint32_t{rgb[i * 3]} << 16) | (uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
  return true;
}

// The message box shown through the world's MessageBox: frame `shotAt` of its modal loop is
// read back, then `answer` is clicked.
struct Shown {
  Frame Shot;
  int32_t Result = -1;
  std::string Caption;
};

Shown ShowMessageBox(LintWorld& world, const std::string& text, int32_t kind, int32_t buttons,
                     const std::string& answer, int32_t shotAt) {
  Shown shown;
  int32_t frames = 0;
  world.OnFrame = [&] {
    auto* box = dynamic_cast<TframeMessage*>(world.InputScene());
    if (box == nullptr || ++frames < shotAt) return;
    if (frames == shotAt) {
      TGfxDevice* device = world.Engine->Device();
      ASSERT_EQ(device->ReadFrame(shown.Shot.Pixels, shown.Shot.Width, shown.Shot.Height), 0);
      for (uint32_t& p : shown.Shot.Pixels) p &= 0xFFFFFFu;
      return;
    }
    auto* button = dynamic_cast<TVXButton*>(box->FindControl(answer));
    ASSERT_NE(button, nullptr) << answer;
    shown.Caption = button->Caption();
    world.Click(button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
  };
  shown.Result = world.MessageBox(text, kind, 0, buttons);
  world.OnFrame = nullptr;
  return shown;
}

std::string TempPath(const std::string& name) {
  const char* tmp = std::getenv("VX_TEST_TMP");
  const std::filesystem::path folder = tmp != nullptr ? tmp : std::filesystem::temp_directory_path().string();
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

struct Band {
  int32_t Top;
  int32_t Bottom;  // exclusive
};

// Compares with the golden picture `golden` (or rewrites it), leaving out the rows of the
// `skip` bands; the frame is kept as `shot` for looking at.
void ExpectGolden(const std::string& golden, const std::string& shot, const Frame& frame,
                  const std::vector<Band>& skip = {}) {
  ASSERT_EQ(frame.Width, 800);
  ASSERT_EQ(frame.Height, 600);
  const std::string actual = TempPath("themelint_" + shot + ".png");
  ASSERT_TRUE(WritePng(actual, frame));
  const std::string name = golden;
  const std::string path = std::string(VX_GOLDEN_DIR) + "/" + name + ".png";
  const char* update = std::getenv("VX_UPDATE_GOLDEN");
  if (skip.empty() && update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(VX_GOLDEN_DIR);
    ASSERT_TRUE(WritePng(path, frame));
    return;
  }
  Frame expected;
  ASSERT_TRUE(ReadPng(path, expected)) << "no golden picture " << path << " (VX_UPDATE_GOLDEN=1 makes it)";
  ASSERT_EQ(expected.Width, frame.Width);
  ASSERT_EQ(expected.Height, frame.Height);
  int wrong = 0;
  std::string first;
  for (int32_t y = 0; y < frame.Height; ++y) {
    if (std::any_of(skip.begin(), skip.end(), [y](const Band& b) { return y >= b.Top && y < b.Bottom; })) continue;
    for (int32_t x = 0; x < frame.Width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(frame.Width) + static_cast<size_t>(x);
      const uint32_t a = frame.Pixels[i], b = expected.Pixels[i];
      bool near = true;
      for (int shift : {0, 8, 16}) {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > 1) near = false;
      }
      if (!near && ++wrong <= 5) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "\n  (%d,%d) is %06X, golden %06X", x, y, a, b);
        first += buf;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << wrong << " pixels differ from " << path << " by more than 1; this run: " << actual
                      << first;
}

class MessageBoxOnScreen : public ::testing::Test {
protected:
  MessageBoxOnScreen() : world(GeneratedProgramFolder(), temp.Str(), nullptr) {}
  vxtest::TempDir temp;
  LintWorld world;
};

}  // namespace

TEST_F(MessageBoxOnScreen, AWarningWithOkLooksAsItDidAndAnswersOk) {
  ASSERT_TRUE(world.Started()) << "no GL 3.3 on a surfaceless EGL display";
  const int32_t rootChildren = world.MainScene()->ChildCount();
  // 40 frames: every fade of the box has ended (the slowest, the window logo's, takes 26)
  // and the logo's animation is still on its first picture.
  const Shown shown =
      ShowMessageBox(world, "You have a game in progress. You cannot exit now.", mkWarning, mbOK, "BTN_OK", 40);
  EXPECT_EQ(shown.Caption, "OK");
  EXPECT_EQ(shown.Result, mrOk);
  ExpectGolden("messagebox", "messagebox_warning_ok", shown.Shot);
  // The box is gone and the input is back with the root scene.
  EXPECT_EQ(world.InputScene(), world.MainScene());
  EXPECT_EQ(world.MainScene()->ChildCount(), rootChildren);
}

TEST_F(MessageBoxOnScreen, AQuestionWithYesAndNoLooksAsItDidAndAnswersNo) {
  ASSERT_TRUE(world.Started()) << "no GL 3.3 on a surfaceless EGL display";
  const Shown shown =
      ShowMessageBox(world, "Are you sure you want to sign-out?", mkConfirmation, mbYes | mbNo, "BTN_NO", 40);
  EXPECT_EQ(shown.Caption, "NO");
  EXPECT_EQ(shown.Result, mrNo);
  // The same box around other words and buttons: everything but the text's and the buttons'
  // rows is as in the warning.
  ExpectGolden("messagebox", "messagebox_question_yesno", shown.Shot, {{270, 306}, {396, 442}});
}
