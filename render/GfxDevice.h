#pragma once
// The abstract drawing device. Every drawing of the system goes through these operations;
// each returns a result code, 0 for success and negative for failure (see ErrorString).
// Devices never throw.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "render/GfxDef.h"

class TGfxImage;
class TGfxFont;
namespace vx {
class PlatformWindow;
}

// The window a device draws into. The main window derives from it and hands out its
// platform window; a form without one (tests, tools) gets an off-screen surface of the
// device's size.
class TGfxForm {
public:
  virtual ~TGfxForm() = default;
  virtual vx::PlatformWindow* Window() const { return nullptr; }
};

using TGfxNotifyEvent = std::function<void(void* sender)>;
// A handler may set the code to a failure, which makes the operation fail with it.
using TDeviceInitEvent = std::function<void(void* sender, int32_t& code)>;

class TGfxDevice {
public:
  // The device keeps the form; without one, Initialize fails with -1.
  explicit TGfxDevice(TGfxForm* ownerForm);
  virtual ~TGfxDevice();
  TGfxDevice(const TGfxDevice&) = delete;
  TGfxDevice& operator=(const TGfxDevice&) = delete;

  // ---- Parameters. Width and Height go through SizeChanging and are stored only when
  // accepted; the other five call ParamsChanged when the value changes.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Windowed() const { return windowed_; }
  bool VSync() const { return vsync_; }
  int32_t RefreshRate() const { return refreshRate_; }
  TBitDepth BitDepth() const { return bitDepth_; }
  int32_t BackBufferCount() const { return backBufferCount_; }
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetWindowed(bool value);
  void SetVSync(bool value);
  void SetRefreshRate(int32_t value);
  void SetBitDepth(TBitDepth value);
  void SetBackBufferCount(int32_t value);

  // Preferred texture formats: 0 pictures without alpha, 1 one-bit alpha, 2 full alpha.
  // An index outside 0..2 reads COLOR_A8R8G8B8 and writes nothing.
  TColorFormat PreferredFormat(int index) const;
  void SetPreferredFormat(int index, TColorFormat format);

  TGfxForm* OwnerForm() const { return ownerForm_; }
  bool Initialized() const { return initialized_; }
  bool SurfaceCreated() const { return surfaceCreated_; }

  TDeviceInitEvent OnInitialize;
  TDeviceInitEvent OnInitDevice;
  TGfxNotifyEvent OnFinalize;
  TGfxNotifyEvent OnDoneDevice;
  TGfxNotifyEvent OnDeviceLost;

  // ---- Virtual operations, in the order every device implements them.
  virtual void SizeChanging(int32_t newWidth, int32_t newHeight, bool& accept);
  virtual void ParamsChanged();
  virtual TGfxRect GetClipRect() const;
  // Left and top below 0 become 0; right and bottom are limited to Width and Height.
  virtual void SetClipRect(const TGfxRect& rect);
  virtual std::unique_ptr<TGfxImage> CreateImage() = 0;
  // -1 when already initialised or without a form; otherwise creates the device, raises
  // OnInitialize and, when that fails, finalises again and passes its code on.
  virtual int32_t Initialize();
  // DoneDevice when the surface exists, OnFinalize when initialised, then the device goes.
  virtual int32_t Finalize();
  virtual int32_t InitDevice() = 0;
  virtual int32_t DoneDevice() = 0;
  // 0 when drawing is possible, -1 when not ready, -91 when a lost device cannot be reset.
  virtual int32_t CheckState() = 0;
  virtual int32_t BeginScene() = 0;
  virtual int32_t EndScene() = 0;
  virtual int32_t Present() = 0;
  virtual int32_t Clear(uint32_t colour) = 0;
  virtual int32_t PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) = 0;
  // A filled quad shaded from its four corner colours.
  virtual int32_t FillQuad(const TPoint4& points, const TColor4& colours, int32_t effect) = 0;
  // The four edges as shaded lines; right and bottom coordinates pulled in by one pixel.
  virtual int32_t WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) = 0;
  virtual int32_t Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2,
                       int32_t effect) = 0;
  // A textured quad showing one pattern of the image.
  virtual int32_t TextureMap(TGfxImage* image, const TPoint4& points, const TColor4& colours,
                             int32_t effect, const TGfxPattern& pattern) = 0;

  // The finished frame as 0xAARRGGBB pixels, top row first (screenshots, tests). -1 when
  // the device has no surface or cannot read it back.
  virtual int32_t ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);

  // ---- Drawing offset: added to every position drawn (not to the clip), so that a control
  // can be drawn displaced without moving it. Devices apply it through Placed.
  TGfxPoint DrawOffset() const { return drawOffset_; }
  void SetDrawOffset(TGfxPoint offset) { drawOffset_ = offset; }

  // ---- Non-virtual helpers.
  // clip := (0, 0, Width, Height) when initialised and the surface exists (0); else -1.
  int32_t ResetClipRect();
  int32_t FrameRect(const TGfxRect& rect, const TColor4& colours, int32_t effect);
  int32_t FillRect(const TGfxRect& rect, const TColor4& colours, int32_t effect);

protected:
  // What a device makes when initialised and lets go of when finalised (0 or a failure code).
  virtual int32_t CreateDevice() { return errNone; }
  virtual void ReleaseDevice() {}
  // Clamps a clip rectangle to the surface.
  TGfxRect ClampClip(const TGfxRect& rect) const;
  // Positions moved by the drawing offset.
  TGfxPoint Placed(TGfxPoint p) const;
  TPoint4 Placed(const TPoint4& points) const;

  TGfxForm* ownerForm_ = nullptr;
  int32_t width_ = 640;
  int32_t height_ = 480;
  bool windowed_ = true;
  bool vsync_ = false;
  int32_t refreshRate_ = 0;
  TBitDepth bitDepth_ = bdDefault;
  int32_t backBufferCount_ = 1;
  std::array<TColorFormat, 3> preferredFormats_{COLOR_A4R4G4B4, COLOR_A4R4G4B4, COLOR_A4R4G4B4};
  bool initialized_ = false;
  bool surfaceCreated_ = false;
  TGfxRect clip_{0, 0, 640, 480};
  TGfxPoint drawOffset_{};
};

// Adds to a device's drawing offset for one scope and puts the previous one back.
class TGfxScopedOffset {
public:
  TGfxScopedOffset(TGfxDevice* device, int32_t dx, int32_t dy);
  ~TGfxScopedOffset();
  TGfxScopedOffset(const TGfxScopedOffset&) = delete;
  TGfxScopedOffset& operator=(const TGfxScopedOffset&) = delete;

private:
  TGfxDevice* device_;
  TGfxPoint previous_{};
};
