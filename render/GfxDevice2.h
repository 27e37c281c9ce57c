#pragma once
// The software device shown through an SDL renderer: each frame is written into a streaming
// texture, converted to R5G6B5 when the display is 16 bits a pixel, and drawn over the
// window. Full screen switches the display to the frame's size. A renderer or texture that
// is lost is made again; only when that fails does the device report it (OnDeviceLost and
// errDDFlip).
#include "platform/SoftPresent.h"
#include "render/GfxDeviceSoft.h"

class TGfxDevice2 : public TGfxDeviceSoft {
public:
  explicit TGfxDevice2(TGfxForm* ownerForm);
  ~TGfxDevice2() override;

  // The format frames are shown in: COLOR_A8R8G8B8, or COLOR_R5G6B5 on a 16-bit display.
  TColorFormat SurfaceFormat() const { return surfaceFormat_; }

  // Writes the frame into `dest` rows of `pitch` bytes in the surface format (what Present
  // does with the texture's memory).
  void CopyFrame(void* dest, int32_t pitch, TColorFormat format) const;

  // A surface that is ready is kept: asking again gives -1 (the GDI device makes it anew).
  int32_t InitDevice() override;

protected:
  int32_t OpenPresentation() override;
  void ClosePresentation() override;
  int32_t PresentFrame() override;

private:
  int32_t ShowOnce(bool& lost);

  vx::SoftPresenter presenter_{vx::SoftPresentKind::StreamingTexture};
  TColorFormat surfaceFormat_ = COLOR_A8R8G8B8;
};
