// The engine on the real GPU device (Mesa's software GL, headless): a tiled picture drawn 1:1
// comes back exactly, with no seam where its tiles meet.
#include <gtest/gtest.h>

#include "framework/VXControl.h"
#include "framework/VXEngine.h"
#include "framework/VXWidgets.h"
#include "render/BitmapEx.h"
#include "support/Golden.h"

namespace {

class HeadlessForm : public TGfxForm {};

// A checkerboard of 8x8 squares whose colours also encode the position, so a shifted or
// repeated row or column shows.
uint32_t Checker(int32_t x, int32_t y) {
  const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
  return 0xFF000000u | (dark ? 0x200000u : 0xE00000u) | (static_cast<uint32_t>(x & 0xFF) << 8) |
         static_cast<uint32_t>((y & 0x7F) | ((x >> 8) << 7));
}

}  // namespace

TEST(EngineOnGpu, ATiledPictureDrawnOneToOneEqualsItsSource) {
  HeadlessForm form;
  TVXEngine engine(&form, nullptr, false);
  engine.SetWidth(800);
  engine.SetHeight(600);
  engine.LoadFonts();  // starts the device; there is no fonts archive here
  ASSERT_TRUE(engine.Started()) << "no GL 3.3 on a surfaceless EGL display";
  TVXEngineHost host(&engine);
  vx::ScopedToolkitHost scope(&host);

  TBitmapEx picture;
  picture.SetSize(600, 300);
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 600; ++x) picture.Pixels()[y * 600 + x] = Checker(x, y);
  ASSERT_NE(engine.Textures()->AddFromBitmap(":T:CHECKER.bmp", picture), nullptr);

  TVXControl board(nullptr);
  board.SetBounds(0, 0, 600, 300);
  board.TextureInfo.SetFolder("T");
  board.TextureInfo.SetNameAndNotify("CHECKER");
  ASSERT_TRUE(board.TextureLoaded());
  EXPECT_EQ(board.TilesX, 3);
  EXPECT_EQ(board.TilesY, 2);

  TGfxDevice* device = engine.Device();
  ASSERT_EQ(device->Clear(0xFF00FF00u), 0);
  ASSERT_EQ(device->BeginScene(), 0);
  board.Process();
  ASSERT_EQ(device->EndScene(), 0);
  std::vector<uint32_t> frame;
  int32_t w = 0, h = 0;
  ASSERT_EQ(device->ReadFrame(frame, w, h), 0);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
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
  HeadlessForm form;
  TVXEngine engine(&form, nullptr, false);
  engine.SetWidth(800);
  engine.SetHeight(600);
  engine.LoadFonts();
  ASSERT_TRUE(engine.Started()) << "no GL 3.3 on a surfaceless EGL display";
  TVXEngineHost host(&engine);
  vx::ScopedToolkitHost scope(&host);
  TBitmapEx picture;
  picture.SetSize(100, 60);
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 100; ++x) picture.Pixels()[y * 100 + x] = Checker(x, y);
  ASSERT_NE(engine.Textures()->AddFromBitmap(":T:KEY.bmp", picture), nullptr);
  TVXButton button(nullptr);
  button.SetBounds(50, 40, 100, 60);
  button.TextureInfo.SetFolder("T");
  button.TextureInfo.SetNameAndNotify("KEY");
  button.SetPressedLeft(true);

  TGfxDevice* device = engine.Device();
  ASSERT_EQ(device->Clear(0xFF00FF00u), 0);
  ASSERT_EQ(device->BeginScene(), 0);
  button.Process();
  ASSERT_EQ(device->EndScene(), 0);
  vxtest::Shot shot;
  ASSERT_EQ(device->ReadFrame(shot.Pixels, shot.Width, shot.Height), 0);
  const auto at = [&](int32_t x, int32_t y) { return shot.Pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu; };
  int wrong = 0;
  for (int32_t y = 40; y < 102; ++y)
    for (int32_t x = 50; x < 152; ++x) {
      const bool inside = x >= 52 && y >= 42 && x < 150 && y < 100;  // the button's own clip stays
      wrong += at(x, y) != (inside ? Checker(x - 52, y - 42) & 0xFFFFFFu : 0x00FF00u);
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(device->DrawOffset(), (TGfxPoint{0, 0}));
  EXPECT_EQ(button.Left(), 50);
}
