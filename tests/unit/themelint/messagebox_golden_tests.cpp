// The message box as the player sees it: the engine on the GPU device (Mesa's software GL,
// headless), the real resource manager over the program folder this build laid out, and the
// message box's own modal loop drawing frame after frame. Once every fade has ended the frame
// is compared with a golden PNG (within 1 per channel: GL drivers may round differently), then
// the player clicks the button and the box answers.
//
// VX_UPDATE_GOLDEN=1 rewrites the golden picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "LintWorld.h"
#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "support/Golden.h"
#include "support/TempDir.h"

using namespace themelint;

namespace {

using Frame = vxtest::Shot;

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

// Compares with the golden picture (within 1 per channel), leaving out the rows `skip` lists.
void ExpectGolden(const Frame& frame, const std::vector<std::pair<int32_t, int32_t>>& skip = {}) {
  vxtest::GoldenRules rules;
  for (const auto& [top, bottom] : skip) rules.Skip.push_back({0, top, frame.Width, bottom});
  rules.OwnsGolden = skip.empty();
  EXPECT_EQ(vxtest::CompareWithGolden("themelint/messagebox", frame, rules), "");
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
  ExpectGolden(shown.Shot);
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
  ExpectGolden(shown.Shot, {{270, 306}, {396, 442}});
}
