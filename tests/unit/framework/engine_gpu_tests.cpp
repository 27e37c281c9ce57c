// The engine on the real GPU device (Mesa's software GL, headless): a tiled picture drawn 1:1
// comes back exactly, with no seam where its tiles meet.
#include <gtest/gtest.h>

#include "framework/VXControl.h"
#include "framework/VXEngine.h"
#include "framework/VXWidgets.h"
#include "render/BitmapEx.h"
#include "support/FakeContext.h"

namespace {

// A checkerboard of 8x8 squares whose colours also encode the position, so a shifted or
// repeated row or column shows.
uint32_t Checker(int32_t x, int32_t y) {
  const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
  return 0xFF000000u | (dark ? 0x200000u : 0xE00000u) | (static_cast<uint32_t>(x & 0xFF) << 8) |
         static_cast<uint32_t>((y & 0x7F) | ((x >> 8) << 7));
}

// The engine started on the GPU device over 800x600, the host of a program whose root holds
// the controls drawn.
class GpuRig {
public:
  GpuRig() {
    engine.SetWidth(800);
    engine.SetHeight(600);
    engine.LoadFonts();  // starts the device; there is no fonts archive here
  }
  // The checker picture of w x h as texture "T\<name>".
  bool AddChecker(const std::string& name, int32_t w, int32_t h) {
    TBitmapEx picture;
    picture.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) picture.Pixels()[y * w + x] = Checker(x, y);
    return engine.Textures()->AddFromBitmap(":T:" + name + ".bmp", picture) != nullptr;
  }
  // The control processed over a green frame, read back.
  std::vector<uint32_t> Frame(TVXCustomControl& control) {
    TGfxDevice* device = engine.Device();
    std::vector<uint32_t> frame;
    int32_t w = 0, h = 0;
    if (device->Clear(0xFF00FF00u) != 0 || device->BeginScene() != 0) return frame;
    control.Process();
    if (device->EndScene() != 0 || device->ReadFrame(frame, w, h) != 0 || w != 800 || h != 600) frame.clear();
    return frame;
  }

  TGfxForm form;
  TVXEngine engine{&form, nullptr, false};
  TVXEngineHost host{&engine};
  vxtest::FakeWindow window{&host};
};

}  // namespace

TEST(EngineOnGpu, ATiledPictureDrawnOneToOneEqualsItsSource) {
  GpuRig rig;
  ASSERT_TRUE(rig.engine.Started()) << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_TRUE(rig.AddChecker("CHECKER", 600, 300));

  TVXControl& board = *new TVXControl(rig.window.Root());
  board.SetBounds(0, 0, 600, 300);
  board.TextureInfo.SetFolder("T");
  board.TextureInfo.SetNameAndNotify("CHECKER");
  ASSERT_TRUE(board.TextureLoaded());
  EXPECT_EQ(board.TilesX, 3);
  EXPECT_EQ(board.TilesY, 2);

  const std::vector<uint32_t> frame = rig.Frame(board);
  ASSERT_EQ(frame.size(), 800u * 600u);
  int wrong = 0;
  for (int32_t y = 0; y < 300; ++y) {
    for (int32_t x = 0; x < 600; ++x) {
      const uint32_t got = frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu;
      if (got != (Checker(x, y) & 0xFFFFFFu) && ++wrong <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << got << " not "
                      << (Checker(x, y) & 0xFFFFFFu);
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  // The transparent padding of the last tiles leaves the background untouched.
  EXPECT_EQ(frame[static_cast<size_t>(100) * 800 + 700] & 0xFFFFFFu, 0x00FF00u);
  EXPECT_EQ(frame[static_cast<size_t>(400) * 800 + 100] & 0xFFFFFFu, 0x00FF00u);
}

// The press is a drawing offset on the device: the picture moves, the button does not.
TEST(EngineOnGpu, APressedButtonIsDrawnTwoPixelsOnWhereItStands) {
  GpuRig rig;
  ASSERT_TRUE(rig.engine.Started()) << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_TRUE(rig.AddChecker("KEY", 100, 60));
  TVXButton& button = *new TVXButton(rig.window.Root());
  button.SetBounds(50, 40, 100, 60);
  button.TextureInfo.SetFolder("T");
  button.TextureInfo.SetNameAndNotify("KEY");
  button.SetPressedLeft(true);
  const std::vector<uint32_t> frame = rig.Frame(button);
  ASSERT_EQ(frame.size(), 800u * 600u);
  int wrong = 0;
  for (int32_t y = 40; y < 102; ++y)
    for (int32_t x = 50; x < 152; ++x) {
      const bool inside = x >= 52 && y >= 42 && x < 150 && y < 100;  // the button's own clip stays
      wrong += (frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu) !=
               (inside ? Checker(x - 52, y - 42) & 0xFFFFFFu : 0x00FF00u);
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(rig.engine.Device()->DrawOffset(), (TGfxPoint{0, 0}));
  EXPECT_EQ(button.Left(), 50);
}
