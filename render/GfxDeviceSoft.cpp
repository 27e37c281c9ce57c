#include "render/GfxDeviceSoft.h"

#include <algorithm>
#include <cstring>

#include "platform/Window.h"
#include "render/GfxImg2.h"

TGfxDeviceSoft::TGfxDeviceSoft(TGfxForm* ownerForm) : TGfxDevice(ownerForm) {
  clip_ = TGfxRect{0, 0, 0, 0};
  preferredFormats_ = {COLOR_A8R8G8B8, COLOR_A8R8G8B8, COLOR_A8R8G8B8};
}

TGfxDeviceSoft::~TGfxDeviceSoft() {
  // Derived presenters are gone by now: only the memory and the window state are left.
  OnDoneDevice = nullptr;
  OnFinalize = nullptr;
  if (saved_.Valid) LeaveFullScreen();
}

vx::PlatformWindow* TGfxDeviceSoft::Window() const {
  vx::PlatformWindow* w = ownerForm_ != nullptr ? ownerForm_->Window() : nullptr;
  return w != nullptr && w->IsCreated() ? w : nullptr;
}

void TGfxDeviceSoft::SizeChanging(int32_t newWidth, int32_t newHeight, bool& accept) {
  if (!surfaceCreated_ || !accept) return;
  DoneDevice();
  const int32_t w = width_, h = height_;
  width_ = newWidth;
  height_ = newHeight;
  if (InitDevice() != errNone) {
    // The old size comes back; the caller keeps it.
    accept = false;
    width_ = w;
    height_ = h;
    InitDevice();
  }
}

void TGfxDeviceSoft::ParamsChanged() {
  if (!surfaceCreated_) return;
  DoneDevice();
  InitDevice();
}

std::unique_ptr<TGfxImage> TGfxDeviceSoft::CreateImage() {
  auto image = std::make_unique<TGfxImage2>();
  image->Device = this;
  return image;
}

int32_t TGfxDeviceSoft::InitDevice() {
  if (!initialized_) return errInvalidCall;
  if (surfaceCreated_) DoneDevice();
  if (width_ < 1 || height_ < 1 || width_ > MaxSide || height_ > MaxSide) return errInvalidCall;
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  buffer_.assign(pixels / 2 + 2, 0);
  surface_.Bits = reinterpret_cast<uint8_t*>(buffer_.data());
  surface_.Pitch = width_ * 4;
  surface_.Width = width_;
  surface_.Height = height_;
  int32_t code = OpenPresentation();
  if (code == errNone) {
    clip_ = TGfxRect{0, 0, width_, height_};
    surfaceCreated_ = true;
    if (OnInitDevice) OnInitDevice(this, code);
  }
  if (code != errNone) DoneDevice();
  return code;
}

int32_t TGfxDeviceSoft::DoneDevice() {
  if (surfaceCreated_ && OnDoneDevice) OnDoneDevice(this);
  ClosePresentation();
  if (saved_.Valid) LeaveFullScreen();
  std::vector<uint64_t>().swap(buffer_);
  surface_ = TSRSurface{};
  clip_ = TGfxRect{0, 0, 0, 0};
  surfaceCreated_ = false;
  return errNone;
}

int32_t TGfxDeviceSoft::CheckState() { return surfaceCreated_ ? errNone : errInvalidCall; }

int32_t TGfxDeviceSoft::BeginScene() { return errNone; }

int32_t TGfxDeviceSoft::EndScene() { return errNone; }

int32_t TGfxDeviceSoft::Present() {
  if (!surfaceCreated_) return errInvalidCall;
  return PresentFrame();
}

int32_t TGfxDeviceSoft::Clear(uint32_t colour) {
  if (!surfaceCreated_) return errInvalidCall;
  SRFillLongword(reinterpret_cast<uint32_t*>(surface_.Bits), width_ * height_, SRSwapRedBlue(colour));
  return errNone;
}

int32_t TGfxDeviceSoft::PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  const TGfxPoint at = Placed(TGfxPoint{x, y});
  SRPutPixel(surface_, clip_, at.X, at.Y, SRSwapRedBlue(colour), EffectToSoftwareFlags(effect));
  return errNone;
}

int32_t TGfxDeviceSoft::Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  p1 = Placed(p1);
  p2 = Placed(p2);
  SRLine(surface_, clip_, p1.X, p1.Y, p2.X, p2.Y, SRSwapRedBlue(colour1), SRSwapRedBlue(colour2),
         EffectToSoftwareFlags(effect));
  return errNone;
}

int32_t TGfxDeviceSoft::WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  TPoint4 p = Placed(points);
  SRPrepareRect(p);  // the right and bottom edges come in by one
  const uint32_t flags = EffectToSoftwareFlags(effect);
  for (size_t i = 0; i < 4; ++i) {
    const size_t j = (i + 1) % 4;
    SRLineOpen(surface_, clip_, p[i].X, p[i].Y, p[j].X, p[j].Y, SRSwapRedBlue(colours[i]), SRSwapRedBlue(colours[j]),
               flags);
  }
  return errNone;
}

int32_t TGfxDeviceSoft::FillQuad(const TPoint4& points, const TColor4& colours, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  TColor4 c;
  for (size_t i = 0; i < 4; ++i) c[i] = SRSwapRedBlue(colours[i]);
  SRQuad(surface_, TSRSurface{}, clip_, Placed(points), c, TGfxRect{0, 0, 0, 0},
         EffectToSoftwareFlags(effect) | srfFill | srfDiffuse);
  return errNone;
}

int32_t TGfxDeviceSoft::TextureMap(TGfxImage* image, const TPoint4& points, const TColor4& colours, int32_t effect,
                                   const TGfxPattern& pattern) {
  if (!surfaceCreated_) return errInvalidCall;
  auto* img = dynamic_cast<TGfxImage2*>(image);
  if (img == nullptr) return errWrongImage;
  TImageTexture texture;
  TGfxRect rect;
  const int32_t code = img->GetPatternTexture(pattern, texture, rect);
  if (code != errNone) return code;
  TColor4 c;
  for (size_t i = 0; i < 4; ++i) c[i] = SRSwapRedBlue(colours[i]);
  SRQuad(surface_, TSRSurface{texture.Bits, texture.Pitch, texture.Width, texture.Height}, clip_, Placed(points), c, rect,
         EffectToSoftwareFlags(effect));
  return errNone;
}

int32_t TGfxDeviceSoft::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  width = height = 0;
  if (!surfaceCreated_) return errInvalidCall;
  const auto* first = reinterpret_cast<const uint32_t*>(surface_.Bits);
  pixels.assign(first, first + static_cast<size_t>(width_) * static_cast<size_t>(height_));
  width = width_;
  height = height_;
  return errNone;
}

bool TGfxDeviceSoft::EnterFullScreen(vx::WindowMode mode) {
  vx::PlatformWindow* w = Window();
  if (w == nullptr) return true;  // frames in memory: nothing to switch
  if (!saved_.Valid) {
    saved_.Valid = true;
    w->GetPosition(saved_.X, saved_.Y);
    w->GetClientSize(saved_.Width, saved_.Height);
    saved_.Bordered = w->Bordered();
  }
  w->SetBordered(false);
  return w->SetMode(mode, width_, height_);
}

void TGfxDeviceSoft::LeaveFullScreen() {
  vx::PlatformWindow* w = Window();
  if (w != nullptr && saved_.Valid) {
    if (w->Mode() != vx::WindowMode::Windowed) w->SetMode(vx::WindowMode::Windowed);
    w->SetBordered(saved_.Bordered);
    w->SetClientSize(saved_.Width, saved_.Height);
    w->SetPosition(saved_.X, saved_.Y);
  }
  saved_ = SavedWindow{};
}
