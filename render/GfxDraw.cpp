#include "render/GfxDraw.h"

#include "core/Exception.h"
#include "render/GfxDevice3.h"
#include "render/GfxFonts.h"
#include "render/GfxImg.h"

TGfxDraw::TGfxDraw(TGfxForm* owner) : owner_(owner) {
  if (owner == nullptr) throw Exception("This component must be dropped onto the form!");
  InstallDevice(rmDirect3D, std::make_unique<TGfxDevice3>(owner));
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
