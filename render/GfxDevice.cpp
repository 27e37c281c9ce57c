#include "render/GfxDevice.h"

#include <algorithm>

TGfxDevice::TGfxDevice(TGfxForm* ownerForm) : ownerForm_(ownerForm) {}

TGfxDevice::~TGfxDevice() = default;

int32_t TGfxDevice::Initialize() {
  if (initialized_ || ownerForm_ == nullptr) return errInvalidCall;
  int32_t code = CreateDevice();
  if (code != errNone) return code;
  if (OnInitialize) OnInitialize(this, code);
  if (code != errNone) {
    Finalize();
    return code;
  }
  initialized_ = true;
  return errNone;
}

int32_t TGfxDevice::Finalize() {
  if (surfaceCreated_) DoneDevice();
  if (initialized_ && OnFinalize) OnFinalize(this);
  ReleaseDevice();
  initialized_ = false;
  return errNone;
}

void TGfxDevice::SetWidth(int32_t value) {
  bool accept = true;
  SizeChanging(value, height_, accept);
  if (accept) width_ = value;
}

void TGfxDevice::SetHeight(int32_t value) {
  bool accept = true;
  SizeChanging(width_, value, accept);
  if (accept) height_ = value;
}

void TGfxDevice::SetWindowed(bool value) {
  if (windowed_ == value) return;
  windowed_ = value;
  try {
    ParamsChanged();
  } catch (...) {
    // The surface stayed as it was: so does the flag.
    windowed_ = !value;
    throw;
  }
}

void TGfxDevice::SetVSync(bool value) {
  if (vsync_ == value) return;
  vsync_ = value;
  ParamsChanged();
}

void TGfxDevice::SetRefreshRate(int32_t value) {
  if (refreshRate_ == value) return;
  refreshRate_ = value;
  ParamsChanged();
}

void TGfxDevice::SetBitDepth(TBitDepth value) {
  if (bitDepth_ == value) return;
  bitDepth_ = value;
  ParamsChanged();
}

void TGfxDevice::SetBackBufferCount(int32_t value) {
  if (backBufferCount_ == value) return;
  backBufferCount_ = value;
  ParamsChanged();
}

TColorFormat TGfxDevice::PreferredFormat(int index) const {
  if (index < 0 || index > 2) return COLOR_A8R8G8B8;
  return preferredFormats_[static_cast<size_t>(index)];
}

void TGfxDevice::SetPreferredFormat(int index, TColorFormat format) {
  if (index < 0 || index > 2 || !IsValidColorFormat(format)) return;
  preferredFormats_[static_cast<size_t>(index)] = format;
}

void TGfxDevice::SizeChanging(int32_t, int32_t, bool&) {}

void TGfxDevice::ParamsChanged() {}

TGfxRect TGfxDevice::GetClipRect() const { return clip_; }

TGfxRect TGfxDevice::ClampClip(const TGfxRect& rect) const {
  TGfxRect r = rect;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, width_);
  r.Bottom = std::min(r.Bottom, height_);
  return r;
}

void TGfxDevice::SetClipRect(const TGfxRect& rect) { clip_ = ClampClip(rect); }

int32_t TGfxDevice::ReadFrame(std::vector<uint32_t>&, int32_t& width, int32_t& height) {
  width = 0;
  height = 0;
  return errInvalidCall;
}

TGfxPoint TGfxDevice::Placed(TGfxPoint p) const {
  if (drawOffset_.X == 0 && drawOffset_.Y == 0) return p;
  const auto add = [](int32_t v, int32_t d) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
  };
  return TGfxPoint{add(p.X, drawOffset_.X), add(p.Y, drawOffset_.Y)};
}

TPoint4 TGfxDevice::Placed(const TPoint4& points) const {
  TPoint4 out;
  for (size_t i = 0; i < 4; ++i) out[i] = Placed(points[i]);
  return out;
}

TGfxScopedOffset::TGfxScopedOffset(TGfxDevice* device, int32_t dx, int32_t dy) : device_(device) {
  if (device_ == nullptr) return;
  previous_ = device_->DrawOffset();
  device_->SetDrawOffset(TGfxPoint{previous_.X + dx, previous_.Y + dy});
}

TGfxScopedOffset::~TGfxScopedOffset() {
  if (device_ != nullptr) device_->SetDrawOffset(previous_);
}

int32_t TGfxDevice::ResetClipRect() {
  if (!initialized_ || !surfaceCreated_) return errInvalidCall;
  SetClipRect(TGfxRect{0, 0, width_, height_});
  return errNone;
}

int32_t TGfxDevice::FrameRect(const TGfxRect& rect, const TColor4& colours, int32_t effect) {
  return WireQuad(QuadFromRect(rect), colours, effect);
}

int32_t TGfxDevice::FillRect(const TGfxRect& rect, const TColor4& colours, int32_t effect) {
  return FillQuad(QuadFromRect(rect), colours, effect);
}
