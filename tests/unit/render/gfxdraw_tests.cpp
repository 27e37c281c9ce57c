// The drawing facade: settings reach every device, the current device is what it reports,
// mode switches re-create what was there and a failed switch leaves nothing half-ready.
#include <gtest/gtest.h>

#include "core/Exception.h"
#include "render/GfxDraw.h"
#include "render/GfxImg.h"
#include "unit/render/GfxTestSupport.h"

namespace {

// A device whose start can be made to fail, standing in a software slot.
class StubDevice : public TGfxDevice {
public:
  using TGfxDevice::TGfxDevice;
  int32_t InitializeCode = 0;
  bool RefuseSizes = false;
  void SizeChanging(int32_t, int32_t, bool& accept) override {
    if (RefuseSizes) accept = false;
  }
  std::unique_ptr<TGfxImage> CreateImage() override { return nullptr; }
  int32_t Initialize() override {
    if (InitializeCode != 0) return InitializeCode;
    initialized_ = true;
    int32_t code = 0;
    if (OnInitialize) OnInitialize(this, code);
    return code;
  }
  int32_t Finalize() override {
    surfaceCreated_ = false;
    initialized_ = false;
    return 0;
  }
  int32_t InitDevice() override {
    surfaceCreated_ = true;
    return 0;
  }
  int32_t DoneDevice() override {
    surfaceCreated_ = false;
    return 0;
  }
  int32_t CheckState() override { return 0; }
  int32_t BeginScene() override { return 0; }
  int32_t EndScene() override { return 0; }
  int32_t Present() override { return 0; }
  int32_t Clear(uint32_t) override { return 0; }
  int32_t PutPixel(int32_t, int32_t, uint32_t, int32_t) override { return 0; }
  int32_t FillQuad(const TPoint4&, const TColor4&, int32_t) override { return 0; }
  int32_t WireQuad(const TPoint4&, const TColor4&, int32_t) override { return 0; }
  int32_t Line(TGfxPoint, TGfxPoint, uint32_t, uint32_t, int32_t) override { return 0; }
  int32_t TextureMap(TGfxImage*, const TPoint4&, const TColor4&, int32_t, const TGfxPattern&) override { return 0; }
};

class TestDraw : public TGfxDraw {
public:
  explicit TestDraw(TGfxForm* form) : TGfxDraw(form) {
    InstallDevice(rmDirect3D, std::make_unique<TGfxDevice3>(form, [this](TGfxForm*) {
                    auto backend = std::make_unique<gfxtest::RecordingBackend>();
                    Backend = backend.get();
                    return backend;
                  }));
    auto soft = std::make_unique<StubDevice>(form);
    Soft = soft.get();
    InstallDevice(rmSoftware, std::move(soft));
  }
  gfxtest::RecordingBackend* Backend = nullptr;
  StubDevice* Soft = nullptr;
};

TEST(GfxDraw, NeedsAFormAndStartsWithItsDefaults) {
  try {
    TGfxDraw draw(nullptr);
    ADD_FAILURE() << "no form must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "This component must be dropped onto the form!");
  }
  TGfxForm form;
  TGfxDraw draw(&form);
  EXPECT_EQ(draw.Mode(), rmDirect3D);
  EXPECT_EQ(draw.Width(), 640);
  EXPECT_EQ(draw.Height(), 480);
  EXPECT_TRUE(draw.Windowed());
  EXPECT_FALSE(draw.VSync());
  EXPECT_EQ(draw.BackBufferCount(), 1);
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(draw.DeviceReady());
  EXPECT_NE(dynamic_cast<TGfxDevice3*>(draw.Device()), nullptr);
  EXPECT_NE(draw.DeviceFor(rmSoftGDI), nullptr);
  EXPECT_NE(draw.DeviceFor(rmSoftware), nullptr);
  EXPECT_THROW(draw.SetMode(static_cast<TRenderingMode>(3)), Exception);  // no such slot
  EXPECT_EQ(draw.Mode(), rmDirect3D);
}

TEST(GfxDraw, SettingsReachEveryDeviceAndValuesComeFromTheCurrentOne) {
  TGfxForm form;
  TestDraw draw(&form);
  draw.SetWidth(800);
  draw.SetHeight(600);
  draw.SetVSync(true);
  draw.SetBitDepth(bd32bit);
  EXPECT_EQ(draw.Soft->Width(), 800);
  EXPECT_EQ(draw.Device()->Height(), 600);
  EXPECT_TRUE(draw.Soft->VSync());
  EXPECT_EQ(draw.Soft->BitDepth(), bd32bit);
  // A device that refuses a size keeps its own, and the facade says what the current one has.
  draw.Soft->RefuseSizes = true;
  draw.SetWidth(1024);
  EXPECT_EQ(draw.Width(), 1024);
  draw.SetMode(rmSoftware);
  EXPECT_EQ(draw.Width(), 800);
}

TEST(GfxDraw, SwitchingModesRecreatesWhatWasRunning) {
  TGfxForm form;
  TestDraw draw(&form);
  TGfxImages images;
  draw.SetImages(&images);
  EXPECT_EQ(images.Device(), draw.Device());
  std::vector<std::string> events;
  draw.OnInitialize = [&](void*, int32_t&) { events.push_back("init"); };
  draw.OnInitDevice = [&](void*, int32_t&) { events.push_back("initdevice"); };
  draw.OnDoneDevice = [&](void*) { events.push_back("done"); };
  draw.OnFinalize = [&](void*) { events.push_back("final"); };
  ASSERT_EQ(draw.Initialize(), 0);
  ASSERT_EQ(draw.InitDevice(), 0);
  EXPECT_TRUE(draw.DeviceReady());
  draw.SetMode(rmSoftware);
  EXPECT_EQ(draw.Device(), draw.Soft);
  EXPECT_EQ(images.Device(), draw.Soft);
  EXPECT_TRUE(draw.Initialized());
  EXPECT_TRUE(draw.DeviceReady());
  EXPECT_FALSE(draw.DeviceFor(rmDirect3D)->Initialized());
  EXPECT_EQ(events, (std::vector<std::string>{"init", "initdevice", "done", "final", "init"}));

  // Back again, with a start that fails: nothing is left half-ready and the text is raised.
  draw.SetMode(rmDirect3D);
  EXPECT_TRUE(draw.DeviceReady());
  draw.Soft->InitializeCode = -100;
  try {
    draw.SetMode(rmSoftware);
    ADD_FAILURE() << "a failed switch must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Error creating DirectDraw");
  }
  EXPECT_FALSE(draw.Initialized());
  EXPECT_FALSE(draw.DeviceReady());
  draw.ListRemoved(&images);
  EXPECT_EQ(draw.Images(), nullptr);
}

TEST(GfxDraw, LostDeviceEventsReachTheFacadesOwner) {
  TGfxForm form;
  TestDraw draw(&form);
  int lost = 0;
  draw.OnDeviceLost = [&](void*) { ++lost; };
  ASSERT_EQ(draw.Initialize(), 0);
  ASSERT_EQ(draw.InitDevice(), 0);
  draw.Backend->Lost = true;
  draw.Backend->FailResets = 1;
  EXPECT_EQ(draw.Device()->Present(), -91);
  EXPECT_EQ(lost, 1);
}

}  // namespace
