#pragma once
// What the two software devices share: every drawing operation is done by the software
// rasteriser into a 32-bit frame buffer in memory (0xAARRGGBB), and only the way a finished
// frame reaches the window differs. Without a window (tests, tools) the frame stays in
// memory, readable through ReadFrame. Images are TGfxImage2; full screen saves the window's
// position, size and border and puts them back when the surface goes.
#include <cstdint>
#include <memory>
#include <vector>

#include "render/GfxDevice.h"
#include "render/SoftRaster.h"

namespace vx {
class PlatformWindow;
enum class WindowMode;
}  // namespace vx

// A texture map given an image of another device's kind.
constexpr int32_t errWrongImage = -16;

class TGfxDeviceSoft : public TGfxDevice {
public:
  // Frames larger than this on a side are refused (-1) rather than allocated.
  static constexpr int32_t MaxSide = 8192;

  explicit TGfxDeviceSoft(TGfxForm* ownerForm);
  ~TGfxDeviceSoft() override;

  // A surface that exists is made again at the new size (or with the new parameters).
  void SizeChanging(int32_t newWidth, int32_t newHeight, bool& accept) override;
  void ParamsChanged() override;
  std::unique_ptr<TGfxImage> CreateImage() override;
  int32_t InitDevice() override;
  int32_t DoneDevice() override;
  int32_t CheckState() override;
  int32_t BeginScene() override;
  int32_t EndScene() override;
  int32_t Present() override;
  int32_t Clear(uint32_t colour) override;
  int32_t PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) override;
  int32_t FillQuad(const TPoint4& points, const TColor4& colours, int32_t effect) override;
  int32_t WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) override;
  int32_t Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2, int32_t effect) override;
  int32_t TextureMap(TGfxImage* image, const TPoint4& points, const TColor4& colours, int32_t effect,
                     const TGfxPattern& pattern) override;
  int32_t ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;

  // The frame buffer as the rasteriser sees it (Bits null when there is none).
  const TSRSurface& Surface() const { return surface_; }
  // Whether the window's position, size and border wait to be put back.
  bool WindowStateSaved() const { return saved_.Valid; }

protected:
  // The form's window, or null when frames stay in memory.
  vx::PlatformWindow* Window() const;
  // Prepares presenting on the window once the frame buffer exists (0 or a failure code)
  // and takes it down again.
  virtual int32_t OpenPresentation() = 0;
  virtual void ClosePresentation() = 0;
  // Shows the finished frame; 0 or a failure code.
  virtual int32_t PresentFrame() = 0;

  // Full screen: keeps the window's position, size and border, takes the border away and
  // switches the window to `mode`. False when the window refuses.
  bool EnterFullScreen(vx::WindowMode mode);
  // Back to a window with what EnterFullScreen kept; forgets it afterwards.
  void LeaveFullScreen();

  std::vector<uint64_t> buffer_;  // 8-aligned
  TSRSurface surface_;

private:
  struct SavedWindow {
    bool Valid = false;
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool Bordered = true;
  } saved_;
};
