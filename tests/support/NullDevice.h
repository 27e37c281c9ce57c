#pragma once
// A drawing device that accepts every call and draws nothing: for tests and fuzz targets
// that need a ready device (fonts, images, control trees) but not its pixels. Override the
// operations a test wants to observe.
#include <memory>

#include "render/GfxDevice.h"
#include "render/GfxFormats.h"
#include "render/GfxImg2.h"

namespace vxtest {

class NullDevice : public TGfxDevice {
public:
  // ready: the surface and device count as created; fonts and images then load on it.
  explicit NullDevice(bool ready = true) : TGfxDevice(nullptr) {
    surfaceCreated_ = ready;
    initialized_ = ready;
    width_ = 800;
    height_ = 600;
    for (int i = 0; i < 3; ++i) SetPreferredFormat(i, COLOR_A8R8G8B8);
  }
  std::unique_ptr<TGfxImage> CreateImage() override { return std::make_unique<TGfxImage2>(); }
  int32_t Initialize() override { return 0; }
  int32_t Finalize() override { return 0; }
  int32_t InitDevice() override { return 0; }
  int32_t DoneDevice() override { return 0; }
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

}  // namespace vxtest
