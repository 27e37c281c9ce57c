// The two software devices: a test card of every effect on each (golden pictures, exact),
// what differs from the GPU device in their calls, the 16-bit conversion of the frame, the
// facade switching between them with its images following, and full screen on a real window
// giving back its position, size and border.
#include <gtest/gtest.h>

#include <string>

#include "platform/Window.h"
#include "render/BitmapEx.h"
#include "render/GfxDevGDI.h"
#include "render/GfxDevice2.h"
#include "render/GfxDraw.h"
#include "render/GfxImg2.h"
#include "render/GfxTestPattern.h"
#include "support/Golden.h"
#include "unit/render/GfxTestSupport.h"

namespace {

// A 32 x 32 picture: red down, green across, blue in a checker, alpha rising to the right.
TBitmapEx CardPicture() {
  TBitmapEx bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(32, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      const uint32_t a = static_cast<uint32_t>(x * 255 / 31), r = static_cast<uint32_t>(y * 8), g = static_cast<uint32_t>(x * 8);
      const uint32_t b = ((x / 8 + y / 8) % 2) ? 0xE0u : 0x20u;
      bmp.Pixels()[static_cast<size_t>(y * 32 + x)] = a << 24 | r << 16 | g << 8 | b;
    }
  return bmp;
}

std::unique_ptr<TGfxImage> CardImage(TGfxDevice& device) {
  std::unique_ptr<TGfxImage> image = device.CreateImage();
  EXPECT_EQ(image->LoadFromBitmap(CardPicture(), {32, 32}, {32, 32}, {32, 32}, COLOR_A8R8G8B8), 0);
  return image;
}

template <class Device>
vxtest::Shot DrawCard() {
  TGfxForm form;
  Device device(&form);
  device.SetWidth(320);
  device.SetHeight(240);
  EXPECT_EQ(device.Initialize(), 0);
  EXPECT_EQ(device.InitDevice(), 0);
  vxtest::Shot shot{320, 480, {}};
  std::vector<uint32_t> frame;
  int32_t w = 0, h = 0;
  // The bring-up pattern on top.
  EXPECT_EQ(DrawTestPattern(device, 40), 0);
  EXPECT_EQ(device.ReadFrame(frame, w, h), 0);
  shot.Pixels = frame;
  // Below, one cell per effect: its fill over a shaded backdrop, then the picture as a
  // rectangle and as a turned square, both shaded by four corner colours.
  std::unique_ptr<TGfxImage> image = CardImage(device);
  EXPECT_EQ(device.Clear(0xFF302010u), 0);
  const int32_t effects[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 20, 21, 32, 33, 36, 37};
  const TColor4 corners{0xFFFFFFFFu, 0xC000FFFFu, 0x80FFFF00u, 0xFFFF00FFu};
  for (int32_t i = 0; i < 20; ++i) {
    const int32_t x = (i % 5) * 64, y = (i / 5) * 60;
    EXPECT_EQ(device.FillQuad(QuadFromBounds(x, y, 64, 60), {0xFF2040C0u, 0xFF40C040u, 0xFFC0C0C0u, 0xFF202020u}, 0), 0);
    EXPECT_EQ(device.FillQuad(QuadFromBounds(x + 2, y + 32, 28, 26), {0x80FF0000u, 0xFF00FF00u, 0x400000FFu, 0xFFFFFFFFu},
                              effects[i]), 0);
    EXPECT_EQ(device.TextureMap(image.get(), QuadFromBounds(x + 2, y + 2, 28, 28), corners, effects[i], 0), 0);
    const TPoint4 diamond{TGfxPoint{x + 46, y + 14}, {x + 62, y + 30}, {x + 46, y + 46}, {x + 30, y + 30}};
    EXPECT_EQ(device.TextureMap(image.get(), diamond, corners, effects[i], 0), 0);
    EXPECT_EQ(device.FrameRect(GfxBounds(x, y, 64, 60), Color4(0xFF000000u), 0), 0);
  }
  EXPECT_EQ(device.ReadFrame(frame, w, h), 0);
  shot.Pixels.insert(shot.Pixels.end(), frame.begin(), frame.end());
  EXPECT_EQ(device.Present(), 0);  // no window: the frame stays in memory
  return shot;
}

TEST(SoftDevices, TestCardOfEveryEffectOnEachDevice) {
  vxtest::GoldenRules exact;
  exact.Tolerance = 0;
  EXPECT_EQ(vxtest::CompareWithGolden("soft/card_gdi", DrawCard<TGfxDeviceGDI>(), exact), "");
  EXPECT_EQ(vxtest::CompareWithGolden("soft/card_dd", DrawCard<TGfxDevice2>(), exact), "");
}

std::unique_ptr<TGfxDeviceSoft> SoftDevice(int kind, TGfxForm* form) {
  if (kind == 0) return std::make_unique<TGfxDeviceGDI>(form);
  return std::make_unique<TGfxDevice2>(form);
}

TEST(SoftDevices, CallsOutsideTheirStateFailAndClipsSizesAndFramesFollowTheSurface) {
  TGfxForm form;
  for (int kind = 0; kind < 2; ++kind) {
    std::unique_ptr<TGfxDeviceSoft> device = SoftDevice(kind, &form);
    EXPECT_EQ(device->PreferredFormat(2), COLOR_A8R8G8B8);
    EXPECT_EQ(device->Present(), errInvalidCall);
    EXPECT_EQ(device->InitDevice(), errInvalidCall);
    ASSERT_EQ(device->Initialize(), 0);
    EXPECT_EQ(device->Initialize(), errInvalidCall);
    EXPECT_EQ(device->Clear(0), errInvalidCall);
    ASSERT_EQ(device->InitDevice(), 0);
    EXPECT_EQ(device->GetClipRect(), GfxRect(0, 0, 640, 480));
    device->SetClipRect(GfxRect(-5, -5, 1000, 1000));  // the full surface on both devices
    EXPECT_EQ(device->GetClipRect(), GfxRect(0, 0, 640, 480));
    TGfxImage3 foreign;
    EXPECT_EQ(device->TextureMap(&foreign, QuadFromBounds(0, 0, 4, 4), Color4(0xFFFFFFFFu), 0, 0), errWrongImage);
    // Red and blue of a colour change places on the way into the frame.
    ASSERT_EQ(device->Clear(0xFF0000FFu), 0);
    std::vector<uint32_t> frame;
    int32_t w = 0, h = 0;
    ASSERT_EQ(device->ReadFrame(frame, w, h), 0);
    EXPECT_EQ(frame[0], 0xFFFF0000u);
    ASSERT_EQ(device->Clear(0xFFFFFFFFu), 0);
    ASSERT_EQ(device->ReadFrame(frame, w, h), 0);
    EXPECT_EQ(frame.back(), 0xFFFFFFFFu);
    // Asked again while ready, the DirectDraw device keeps its surface and frame; the GDI
    // device makes a fresh one.
    int doneCalls = 0;
    device->OnDoneDevice = [&](void*) { ++doneCalls; };
    EXPECT_EQ(device->InitDevice(), kind == 0 ? 0 : errInvalidCall);
    EXPECT_EQ(doneCalls, kind == 0 ? 1 : 0);
    ASSERT_EQ(device->ReadFrame(frame, w, h), 0);
    EXPECT_EQ(frame.back(), kind == 0 ? 0u : 0xFFFFFFFFu);
    device->OnDoneDevice = nullptr;
    // A size change makes the frame again at the new size.
    device->SetWidth(100);
    device->SetHeight(50);
    ASSERT_EQ(device->ReadFrame(frame, w, h), 0);
    EXPECT_EQ(w * h, 5000);
    EXPECT_EQ(frame.size(), 5000u);
    EXPECT_EQ(device->FillRect(GfxRect(90, 40, 200, 200), Color4(0xFFFFFFFFu), 0), 0);
    EXPECT_EQ(device->Finalize(), 0);
    EXPECT_EQ(device->ReadFrame(frame, w, h), errInvalidCall);
  }
  // The frame reaches a 16-bit display as R5G6B5.
  TGfxDevice2 dd(&form);
  dd.SetWidth(2);
  dd.SetHeight(1);
  ASSERT_EQ(dd.Initialize(), 0);
  ASSERT_EQ(dd.InitDevice(), 0);
  ASSERT_EQ(dd.PutPixel(0, 0, 0xFFFFFFFFu, 0), 0);
  ASSERT_EQ(dd.PutPixel(1, 0, 0xFF0000FFu, 0), 0);
  uint16_t out[2] = {0, 0};
  dd.CopyFrame(out, 4, COLOR_R5G6B5);
  EXPECT_EQ(out[0], 0xFFFF);
  EXPECT_EQ(out[1], 0xF800);
}

TEST(SoftDevices, TheFacadeSwitchesDevicesAtRunTimeAndItsImagesFollow) {
  TGfxForm form;
  TGfxDraw draw(&form);
  draw.SetWidth(64);
  draw.SetHeight(64);
  draw.SetMode(rmSoftGDI);
  ASSERT_EQ(draw.Initialize(), 0);
  ASSERT_EQ(draw.InitDevice(), 0);
  TGfxImages images;
  draw.SetImages(&images);
  images.Add(CardImage(*draw.Device()));
  images.Items(0)->Name = "card";
  const auto drawn = [&draw, &images] {
    TGfxDevice* d = draw.Device();
    EXPECT_EQ(d->Clear(0xFF000000u), 0);
    EXPECT_EQ(d->TextureMap(images.Items(0), QuadFromBounds(8, 8, 40, 40), Color4(0xFFFFFFFFu), 5, 0), 0);
    std::vector<uint32_t> frame;
    int32_t w = 0, h = 0;
    EXPECT_EQ(d->ReadFrame(frame, w, h), 0);
    return frame;
  };
  const std::vector<uint32_t> onGdi = drawn();
  for (TRenderingMode mode : {rmSoftware, rmSoftGDI, rmSoftware}) {
    draw.SetMode(mode);
    ASSERT_TRUE(draw.DeviceReady());
    EXPECT_EQ(images.Items(0)->Device, draw.Device());
    EXPECT_NE(dynamic_cast<TGfxImage2*>(images.Items(0)), nullptr);
    EXPECT_EQ(images.Items(0)->Name, "card");
    EXPECT_EQ(drawn(), onGdi) << "mode " << mode;
  }
  draw.SetImages(nullptr);
}

class WindowForm : public TGfxForm {
public:
  vx::PlatformWindow* Window() const override { return const_cast<vx::PlatformWindow*>(&window_); }
  vx::PlatformWindow window_;
};

TEST(SoftDevices, FullScreenOnAWindowGivesBackPositionSizeAndBorder) {
  WindowForm form;
  std::string error;
  if (!form.window_.Create("soft window test", 640, 480, &error)) GTEST_SKIP() << "no video: " << error;
  form.window_.SetPosition(30, 40);
  for (int kind = 0; kind < 2; ++kind) {
    std::unique_ptr<TGfxDeviceSoft> device = SoftDevice(kind, &form);
    device->SetWidth(640);
    device->SetHeight(480);
    ASSERT_EQ(device->Initialize(), 0);
    ASSERT_EQ(device->InitDevice(), 0) << kind;
    ASSERT_EQ(device->Clear(0xFF00FF00u), 0);
    EXPECT_EQ(device->Present(), 0);
    device->SetWindowed(false);
    ASSERT_TRUE(device->SurfaceCreated()) << kind;
    EXPECT_TRUE(device->WindowStateSaved());
    ASSERT_EQ(device->Clear(0xFF00FF00u), 0);
    EXPECT_EQ(device->Present(), 0);
    device->SetWindowed(true);
    EXPECT_FALSE(device->WindowStateSaved());
    EXPECT_EQ(form.window_.Mode(), vx::WindowMode::Windowed);
    EXPECT_TRUE(form.window_.Bordered());
    int w = 0, h = 0, x = 0, y = 0;
    form.window_.GetClientSize(w, h);
    form.window_.GetPosition(x, y);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(device->Present(), 0);
  }
}

}  // namespace
