#pragma once
// The drawing facade: owns the three devices, forwards its settings to all of them and makes
// one current by Mode. The engine is a TGfxDraw.
#include <array>
#include <cstdint>
#include <memory>

#include "render/GfxDevice.h"

class TGfxImage;
class TGfxImages;
class TGfxFonts;

// The same pictures made again as an image of `device`: how images follow a switch of
// devices. nullptr when the image cannot be read or made there.
std::unique_ptr<TGfxImage> RecreateImage(TGfxImage& image, TGfxDevice& device);

class TGfxDraw {
public:
  // The owner must be a form: without one, Exception("This component must be dropped onto
  // the form!").
  explicit TGfxDraw(TGfxForm* owner);
  virtual ~TGfxDraw();
  TGfxDraw(const TGfxDraw&) = delete;
  TGfxDraw& operator=(const TGfxDraw&) = delete;

  TGfxForm* Owner() const { return owner_; }

  TRenderingMode Mode() const { return mode_; }
  // Finalises the current device when initialised, switches, and re-creates what was there;
  // when the surface was ready, the images and fonts are made again on the new device.
  // A failure finalises the new device, clears Initialized and DeviceReady and raises an
  // Exception with the code's text. A mode whose device is not available raises the text of
  // -1 and changes nothing.
  void SetMode(TRenderingMode mode);

  // The current device (never null once constructed).
  TGfxDevice* Device() const { return device_; }
  // The device of a mode; null for a slot that holds none.
  TGfxDevice* DeviceFor(TRenderingMode mode) const;

  // Read from the current device; set on all of them.
  int32_t Width() const { return device_->Width(); }
  int32_t Height() const { return device_->Height(); }
  bool Windowed() const { return device_->Windowed(); }
  bool VSync() const { return device_->VSync(); }
  int32_t RefreshRate() const { return device_->RefreshRate(); }
  TBitDepth BitDepth() const { return device_->BitDepth(); }
  int32_t BackBufferCount() const { return device_->BackBufferCount(); }
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetWindowed(bool value);
  void SetVSync(bool value);
  void SetRefreshRate(int32_t value);
  void SetBitDepth(TBitDepth value);
  void SetBackBufferCount(int32_t value);

  // Not owned. Each list gets the current device.
  TGfxImages* Images() const { return images_; }
  void SetImages(TGfxImages* images);
  TGfxFonts* Fonts() const { return fonts_; }
  void SetFonts(TGfxFonts* fonts);
  // A list that is going away: the facade forgets it.
  void ListRemoved(const void* list);

  bool Initialized() const { return initialized_; }
  // Also false once the device has released its surface by itself (a failed recovery).
  bool DeviceReady() const { return deviceReady_ && device_->SurfaceCreated(); }
  int32_t Initialize();
  int32_t Finalize();
  int32_t InitDevice();

  TDeviceInitEvent OnInitialize;
  TGfxNotifyEvent OnFinalize;
  TDeviceInitEvent OnInitDevice;
  TGfxNotifyEvent OnDoneDevice;
  TGfxNotifyEvent OnDeviceLost;

protected:
  // The devices' events come through here and are raised again as the facade's own.
  virtual void DoInitialize(void* sender, int32_t& code);
  virtual void DoFinalize(void* sender);
  virtual void DoInitDevice(void* sender, int32_t& code);
  virtual void DoDoneDevice(void* sender);
  virtual void DoDeviceLost(void* sender);

  // Puts a device into a slot (tests put their own devices in place of the built-in ones).
  void InstallDevice(TRenderingMode mode, std::unique_ptr<TGfxDevice> device);
  // After a switch with a ready surface: the image and font lists' pictures are made again
  // on the new device. An owner with images of its own adds them.
  virtual void MoveImages();

private:
  template <typename F>
  void ForEachDevice(F&& f);
  void HandOutDevice();

  TGfxForm* owner_;
  std::array<std::unique_ptr<TGfxDevice>, 3> devices_;
  TGfxDevice* device_ = nullptr;
  TRenderingMode mode_ = rmDirect3D;
  TGfxImages* images_ = nullptr;
  TGfxFonts* fonts_ = nullptr;
  bool initialized_ = false;
  bool deviceReady_ = false;
};
