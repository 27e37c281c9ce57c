#include "render/GfxDevice2.h"

#include <cstring>
#include <string>

#include "core/Log.h"
#include "platform/Window.h"

TGfxDevice2::TGfxDevice2(TGfxForm* ownerForm) : TGfxDeviceSoft(ownerForm) {}

TGfxDevice2::~TGfxDevice2() {
  OnDoneDevice = nullptr;
  OnFinalize = nullptr;
  OnDeviceLost = nullptr;
  Finalize();
}

int32_t TGfxDevice2::InitDevice() {
  if (surfaceCreated_) return errInvalidCall;
  return TGfxDeviceSoft::InitDevice();
}

int32_t TGfxDevice2::OpenPresentation() {
  surfaceFormat_ = COLOR_A8R8G8B8;
  vx::PlatformWindow* window = Window();
  if (window == nullptr) return errNone;
  if (!windowed_ && !EnterFullScreen(vx::WindowMode::ExclusiveFullScreen)) return errDDVideoMode;
  std::string error;
  if (!presenter_.Open(*window, width_, height_, vsync_, &error)) {
    Log("ERROR: " + error);
    return presenter_.DisplayUnsupported() ? errDDSurfaceDesc : errDDPrimarySurface;
  }
  surfaceFormat_ = presenter_.BytesPerPixel() == 2 ? COLOR_R5G6B5 : COLOR_A8R8G8B8;
  return errNone;
}

void TGfxDevice2::ClosePresentation() { presenter_.Close(); }

void TGfxDevice2::CopyFrame(void* dest, int32_t pitch, TColorFormat format) const {
  const auto* src = reinterpret_cast<const uint32_t*>(surface_.Bits);
  auto* out = static_cast<uint8_t*>(dest);
  const TLineConverter convert = format == COLOR_A8R8G8B8 ? nullptr : GetLineConverter(format);
  for (int32_t y = 0; y < height_; ++y, src += width_, out += pitch) {
    if (convert != nullptr)
      convert(src, out, width_);
    else
      std::memcpy(out, src, static_cast<size_t>(width_) * 4);
  }
}

int32_t TGfxDevice2::ShowOnce(bool& lost) {
  void* pixels = nullptr;
  int pitch = 0;
  lost = false;
  if (!presenter_.Lock(pixels, pitch)) {
    lost = true;
    return errDDLock;
  }
  CopyFrame(pixels, pitch, surfaceFormat_);
  switch (presenter_.UnlockAndShow()) {
    case vx::SoftPresentResult::Ok: return errNone;
    case vx::SoftPresentResult::Lost: lost = true; return errDDFlip;
    case vx::SoftPresentResult::Failed: break;
  }
  return errDDFlip;
}

int32_t TGfxDevice2::PresentFrame() {
  if (!presenter_.IsOpen()) return errNone;  // frames stay in memory
  bool lost = false;
  int32_t code = ShowOnce(lost);
  if (lost && presenter_.Restore()) code = ShowOnce(lost);
  if (lost && OnDeviceLost) OnDeviceLost(this);
  return code;
}
