// The GPU device on the program's real window (SDL's offscreen video driver in tests): the
// context comes from the window, frames are presented and read back, and full screen maps
// the mouse back to the 800x600 frame.
#include <gtest/gtest.h>

#include <string>

#include "platform/Window.h"
#include "render/GfxDevice3.h"
#include "render/GfxDraw.h"

namespace {

class WindowForm : public TGfxForm {
public:
  vx::PlatformWindow* Window() const override { return const_cast<vx::PlatformWindow*>(&window_); }
  vx::PlatformWindow window_;
};

TEST(GfxWindow, DrawsAndPresentsOnTheWindowAndSwitchesToFullScreen) {
  WindowForm form;
  std::string error;
  if (!form.window_.Create("gfx window test", 800, 600, &error)) GTEST_SKIP() << "no video: " << error;
  TGfxDraw draw(&form);
  draw.SetWidth(800);
  draw.SetHeight(600);
  ASSERT_EQ(draw.Initialize(), 0);
  ASSERT_EQ(draw.InitDevice(), 0);
  TGfxDevice* device = draw.Device();
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_EQ(device->Clear(0xFF000000u), 0);
    ASSERT_EQ(device->BeginScene(), 0);
    ASSERT_EQ(device->FillRect(GfxBounds(100, 100, 50, 40), Color4(0xFF00FF00u), 0), 0);
    ASSERT_EQ(device->EndScene(), 0);
    ASSERT_EQ(device->Present(), 0);
  }
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  ASSERT_EQ(device->ReadFrame(pixels, w, h), 0);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  EXPECT_EQ(pixels[static_cast<size_t>(120 * 800 + 120)], 0xFF00FF00u);
  EXPECT_EQ(pixels[static_cast<size_t>(99 * 800 + 99)], 0xFF000000u);

  // Full screen keeps the 800x600 frame; wherever it lands, the mouse maps back onto it.
  draw.SetWindowed(false);
  EXPECT_TRUE(draw.DeviceReady());
  EXPECT_NE(form.window_.Mode(), vx::WindowMode::Windowed);
  ASSERT_EQ(device->BeginScene(), 0);
  ASSERT_EQ(device->FillRect(GfxBounds(0, 0, 800, 600), Color4(0xFF0000FFu), 0), 0);
  ASSERT_EQ(device->EndScene(), 0);
  ASSERT_EQ(device->Present(), 0);
  int cw = 0, ch = 0;
  form.window_.GetClientSize(cw, ch);
  int lx = -1, ly = -1;
  form.window_.MapToLogical(cw / 2, ch / 2, lx, ly);
  EXPECT_NEAR(lx, 400, 2);
  EXPECT_NEAR(ly, 300, 2);
  ASSERT_EQ(device->ReadFrame(pixels, w, h), 0);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(pixels[0], 0xFFFF0000u);

  draw.SetWindowed(true);
  EXPECT_EQ(form.window_.Mode(), vx::WindowMode::Windowed);
  EXPECT_EQ(device->Present(), 0);
  draw.Finalize();
}

}  // namespace
