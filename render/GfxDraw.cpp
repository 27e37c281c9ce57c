#include "render/GfxDraw.h"

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "core/Log.h"
#include "render/GfxDevGDI.h"
#include "render/GfxDevice2.h"
#include "render/GfxDevice3.h"
#include "render/GfxFonts.h"
#include "render/GfxImg.h"
#include "render/Streams.h"

std::unique_ptr<TGfxImage> RecreateImage(TGfxImage& image, TGfxDevice& device) {
  // The pictures travel as one image record in the image's own format, so the new image is
  // loaded exactly as a record from an archive would be.
  TMemoryStream record;
  const auto put32 = [&record](int32_t v) { record.WriteBuffer(&v, 4); };
  const uint8_t format = image.Format();
  record.WriteBuffer(&format, 1);
  put32(image.PatternSize().Width);
  put32(image.PatternSize().Height);
  put32(image.VisibleSize().Width);
  put32(image.VisibleSize().Height);
  put32(image.PatternCount());
  put32(image.TextureSize().Width);
  put32(image.TextureSize().Height);
  put32(image.TextureCount());
  const int32_t rowBytes = image.TextureSize().Width * image.BytesPerPixel();
  std::vector<uint8_t> row(static_cast<size_t>(std::max(rowBytes, 0)));
  for (int32_t t = 0; t < image.TextureCount(); ++t)
    for (int32_t y = 0; y < image.TextureSize().Height; ++y) {
      int32_t code = 0;
      image.ReadScanline(row.data(), rowBytes, code, y, t);
      if (code != 0) return nullptr;
      record.WriteBuffer(row.data(), rowBytes);
    }
  record.SetPosition(0);
  std::unique_ptr<TGfxImage> fresh = device.CreateImage();
  if (!fresh) return nullptr;
  fresh->Device = &device;
  if (fresh->LoadFromStream(record, image.Format()) != errNone) return nullptr;
  fresh->UserValue = image.UserValue;
  fresh->UserValue2 = image.UserValue2;
  fresh->UserFlag = image.UserFlag;
  fresh->Name = image.Name;
  fresh->Index = image.Index;
  return fresh;
}

TGfxDraw::TGfxDraw(TGfxForm* owner) : owner_(owner) {
  if (owner == nullptr) throw Exception("This component must be dropped onto the form!");
  InstallDevice(rmDirect3D, std::make_unique<TGfxDevice3>(owner));
  InstallDevice(rmSoftware, std::make_unique<TGfxDevice2>(owner));
  InstallDevice(rmSoftGDI, std::make_unique<TGfxDeviceGDI>(owner));
  mode_ = rmDirect3D;
  device_ = devices_[rmDirect3D].get();
  SetVSync(false);
  SetWindowed(true);
  SetRefreshRate(0);
  SetWidth(640);
  SetHeight(480);
  SetBackBufferCount(1);
  SetBitDepth(bdDefault);
}

TGfxDraw::~TGfxDraw() {
  // The image and font lists belong to whoever set them and may be gone already: they are
  // not touched here. GPU images outliving their device forget it by themselves.
  ForEachDevice([](TGfxDevice& d) {
    // No events reach a facade that is going away.
    d.OnInitialize = nullptr;
    d.OnFinalize = nullptr;
    d.OnInitDevice = nullptr;
    d.OnDoneDevice = nullptr;
    d.OnDeviceLost = nullptr;
    d.Finalize();
  });
}

void TGfxDraw::InstallDevice(TRenderingMode mode, std::unique_ptr<TGfxDevice> device) {
  if (!device) return;
  device->OnInitialize = [this](void* sender, int32_t& code) { DoInitialize(sender, code); };
  device->OnFinalize = [this](void* sender) { DoFinalize(sender); };
  device->OnInitDevice = [this](void* sender, int32_t& code) { DoInitDevice(sender, code); };
  device->OnDoneDevice = [this](void* sender) { DoDoneDevice(sender); };
  device->OnDeviceLost = [this](void* sender) { DoDeviceLost(sender); };
  if (device_ != nullptr) {
    // A late device starts from the facade's settings.
    device->SetWidth(device_->Width());
    device->SetHeight(device_->Height());
    device->SetWindowed(device_->Windowed());
    device->SetVSync(device_->VSync());
    device->SetRefreshRate(device_->RefreshRate());
    device->SetBitDepth(device_->BitDepth());
    device->SetBackBufferCount(device_->BackBufferCount());
  }
  const bool replacesCurrent = device_ == devices_[mode].get();
  devices_[mode] = std::move(device);
  if (replacesCurrent) {
    device_ = devices_[mode].get();
    initialized_ = false;
    deviceReady_ = false;
    HandOutDevice();
  }
}

TGfxDevice* TGfxDraw::DeviceFor(TRenderingMode mode) const {
  if (mode > rmSoftGDI) return nullptr;
  return devices_[mode].get();
}

template <typename F>
void TGfxDraw::ForEachDevice(F&& f) {
  for (auto& d : devices_)
    if (d) f(*d);
}

void TGfxDraw::SetWidth(int32_t value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetWidth(value); });
}
void TGfxDraw::SetHeight(int32_t value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetHeight(value); });
}
void TGfxDraw::SetWindowed(bool value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetWindowed(value); });
}
void TGfxDraw::SetVSync(bool value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetVSync(value); });
}
void TGfxDraw::SetRefreshRate(int32_t value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetRefreshRate(value); });
}
void TGfxDraw::SetBitDepth(TBitDepth value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetBitDepth(value); });
}
void TGfxDraw::SetBackBufferCount(int32_t value) {
  ForEachDevice([&](TGfxDevice& d) { d.SetBackBufferCount(value); });
}

void TGfxDraw::HandOutDevice() {
  if (images_ != nullptr) images_->SetDevice(device_);
  if (fonts_ != nullptr) fonts_->SetDevice(device_);
}

void TGfxDraw::SetMode(TRenderingMode mode) {
  TGfxDevice* next = DeviceFor(mode);
  if (next == nullptr) throw Exception(ErrorString(errInvalidCall));
  const bool wasInitialized = initialized_;
  const bool wasReady = deviceReady_;
  if (wasInitialized) Finalize();
  mode_ = mode;
  device_ = next;
  HandOutDevice();
  if (!wasInitialized) return;
  int32_t code = Initialize();
  if (code == errNone && wasReady) code = InitDevice();
  if (code != errNone) {
    device_->Finalize();
    initialized_ = false;
    deviceReady_ = false;
    throw Exception(ErrorString(code));
  }
  if (wasReady) MoveImages();
}

void TGfxDraw::MoveImages() {
  const auto move = [this](TGfxImage* image) -> std::unique_ptr<TGfxImage> {
    if (image == nullptr || !image->Loaded()) return nullptr;
    std::unique_ptr<TGfxImage> fresh = RecreateImage(*image, *device_);
    if (!fresh) Log("ERROR: " + image->Name + " cannot be made on the new device");
    return fresh;
  };
  if (images_ != nullptr)
    for (int32_t i = 0; i < images_->Count(); ++i)
      if (auto fresh = move(images_->Items(i))) images_->Replace(i, std::move(fresh));
  if (fonts_ != nullptr)
    for (int32_t i = 0; i < fonts_->Count(); ++i) {
      TGfxFont* font = fonts_->Items(i);
      if (auto fresh = move(font->Image())) font->SetImage(std::move(fresh));
    }
}

void TGfxDraw::SetImages(TGfxImages* images) {
  images_ = images;
  if (images_ != nullptr) images_->SetDevice(device_);
}

void TGfxDraw::SetFonts(TGfxFonts* fonts) {
  fonts_ = fonts;
  if (fonts_ != nullptr) fonts_->SetDevice(device_);
}

void TGfxDraw::ListRemoved(const void* list) {
  if (list == nullptr) return;
  if (list == images_) images_ = nullptr;
  if (list == fonts_) fonts_ = nullptr;
}

int32_t TGfxDraw::Initialize() {
  const int32_t code = device_->Initialize();
  initialized_ = code == errNone;
  return code;
}

int32_t TGfxDraw::Finalize() {
  const int32_t code = device_->Finalize();
  initialized_ = false;
  deviceReady_ = false;
  return code;
}

int32_t TGfxDraw::InitDevice() {
  const int32_t code = device_->InitDevice();
  deviceReady_ = code == errNone;
  return code;
}

void TGfxDraw::DoInitialize(void* sender, int32_t& code) {
  if (OnInitialize) OnInitialize(sender, code);
}
void TGfxDraw::DoFinalize(void* sender) {
  if (OnFinalize) OnFinalize(sender);
}
void TGfxDraw::DoInitDevice(void* sender, int32_t& code) {
  if (OnInitDevice) OnInitDevice(sender, code);
}
void TGfxDraw::DoDoneDevice(void* sender) {
  if (OnDoneDevice) OnDoneDevice(sender);
}
void TGfxDraw::DoDeviceLost(void* sender) {
  if (OnDeviceLost) OnDeviceLost(sender);
}
