#include "render/GfxDevGDI.h"

#include "platform/Window.h"

TGfxDeviceGDI::TGfxDeviceGDI(TGfxForm* ownerForm) : TGfxDeviceSoft(ownerForm) {}

TGfxDeviceGDI::~TGfxDeviceGDI() {
  OnDoneDevice = nullptr;
  OnFinalize = nullptr;
  Finalize();
}

int32_t TGfxDeviceGDI::OpenPresentation() {
  vx::PlatformWindow* window = Window();
  if (window == nullptr) return errNone;
  if (!windowed_ && !EnterFullScreen(vx::WindowMode::DesktopFullScreen)) return errInvalidCall;
  return presenter_.Open(*window, width_, height_, vsync_, nullptr) ? errNone : errInvalidCall;
}

void TGfxDeviceGDI::ClosePresentation() { presenter_.Close(); }

int32_t TGfxDeviceGDI::PresentFrame() {
  if (!presenter_.IsOpen()) return errNone;  // frames stay in memory
  const auto* pixels = reinterpret_cast<const uint32_t*>(surface_.Bits);
  vx::SoftPresentResult result = presenter_.ShowFrame(pixels, surface_.Pitch);
  // A window surface that went away (a resize, a mode switch) is simply fetched again.
  if (result == vx::SoftPresentResult::Lost && presenter_.Restore()) result = presenter_.ShowFrame(pixels, surface_.Pitch);
  return result == vx::SoftPresentResult::Ok ? errNone : errInvalidCall;
}
