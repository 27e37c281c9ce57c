#pragma once
// The software device shown with the platform's plain 2-D path: each frame is blitted onto
// SDL's window surface. Full screen covers the desktop at its own resolution, the frame
// scaled up letterboxed.
#include "platform/SoftPresent.h"
#include "render/GfxDeviceSoft.h"

class TGfxDeviceGDI : public TGfxDeviceSoft {
public:
  explicit TGfxDeviceGDI(TGfxForm* ownerForm);
  ~TGfxDeviceGDI() override;

protected:
  int32_t OpenPresentation() override;
  void ClosePresentation() override;
  int32_t PresentFrame() override;

private:
  vx::SoftPresenter presenter_{vx::SoftPresentKind::WindowSurface};
};
