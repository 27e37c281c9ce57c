#include "render/GfxDevice3.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/Exception.h"
#include "core/Log.h"

namespace {

// A line's colour at distance d of `length` from its first end, per channel, rounded.
// Equal end colours give that colour exactly all along.
uint32_t LineColour(uint32_t c1, uint32_t c2, int64_t d, int64_t length) {
  if (c1 == c2 || d <= 0) return c1;
  if (d >= length) return c2;
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int64_t a = (c1 >> shift) & 0xFF;
    const int64_t b = (c2 >> shift) & 0xFF;
    const int64_t v = (a * (length - d) + b * d + length / 2) / length;
    result |= static_cast<uint32_t>(v) << shift;
  }
  return result;
}

// The GPU makes 32-bit textures only; the format lists are searched for the first it takes.
bool GpuTakesFormat(TColorFormat format) { return format == COLOR_X8R8G8B8 || format == COLOR_A8R8G8B8; }

TColorFormat FirstTaken(std::initializer_list<TColorFormat> list) {
  for (TColorFormat f : list)
    if (GpuTakesFormat(f)) return f;
  return COLOR_A8R8G8B8;
}

// Free heap pages go back to the system (the allocator keeps what it frees otherwise).
void ReturnFreeHeap() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

constexpr int32_t kPrimitiveFlags = fxLineFlag | fxPointFlag;

constexpr TGpuBlend kAlphaBlend{true, bfSrcAlpha, bfInvSrcAlpha};

// Below this many pixels an opaque quad rides in the blended batch: a draw call of its own
// would cost more than blending it.
constexpr float kOpaqueArea = 128.0f * 128.0f;

}  // namespace

// ---- TGfxImage3 -------------------------------------------------------------------------

TGfxImage3::TGfxImage3(TGfxDevice* device) { Device = device; }

TGfxImage3::~TGfxImage3() { ReleaseTextures(); }

int32_t TGfxImage3::CreateTextures() {
  auto* device = dynamic_cast<TGfxDevice3*>(Device);
  if (device == nullptr) return errNotGfxDevice;
  if (!device->SurfaceCreated() || device->backend_ == nullptr) return errDeviceInactive;
  ReleaseTextures();
  const int32_t w = textureSize_.Width;
  const int32_t h = textureSize_.Height;
  const int32_t bpp = BytesPerPixel();
  if (w < 1 || h < 1 || w > MaxSide || h > MaxSide || bpp == 0 || textureCount_ < 0 ||
      textureCount_ > MaxTextures ||
      int64_t{textureCount_} * w * h * 4 > MaxTextureBytes)
    return errInvalidCall;
  owner_ = device;
  device->Register(this);
  textures_.resize(static_cast<size_t>(textureCount_));
  device->FlushBeforeCreate();
  for (Texture& t : textures_) {
    t.Bytes.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * static_cast<size_t>(bpp), 0);
    t.Held = true;
    t.Id = NewTexture();
    t.Generation = device->generation_;
    t.Dirty = true;
    if (t.Id == 0) {
      ReleaseTextures();
      return errCreateTexture;
    }
  }
  return errNone;
}

uint32_t TGfxImage3::NewTexture() {
  TGfxBackend& backend = *owner_->backend_;
  const int32_t w = textureSize_.Width;
  const int32_t h = textureSize_.Height;
  // Large sheets of many patterns (glyphs) are drawn between everything else: they share one
  // page whatever their size. Smaller ones (most hold a few pictures in a corner) take a layer
  // as large as their texels need, as single pictures do.
  if (PatternsPerTexture() >= TGfxDevice3::SheetPatterns && std::max(w, h) > TGfxDevice3::SheetSide / 2)
    return backend.CreateSheetTexture(w, h, TGfxDevice3::SheetSide);
  return backend.CreateTexture(w, h);
}

void TGfxImage3::ReleaseTextures() {
  if (owner_ != nullptr) {
    for (Texture& t : textures_)
      if (t.Id != 0 && t.Generation == owner_->generation_ && owner_->backend_ != nullptr) {
        // Deleting may free the page the batch draws from.
        owner_->FlushBeforeCreate();
        const uint32_t page = owner_->backend_->TexturePage(t.Id);
        if (std::find(owner_->pages_, owner_->pages_ + owner_->boundUnits_, page) !=
            owner_->pages_ + owner_->boundUnits_)
          owner_->UnbindPages();
        owner_->backend_->DeleteTexture(t.Id);
      }
    owner_->Unregister(this);
    owner_ = nullptr;
  }
  textures_.clear();
}

void TGfxImage3::Detach() {
  for (Texture& t : textures_) {
    t.Id = 0;
    t.Dirty = true;
  }
  owner_ = nullptr;
  Device = nullptr;
}

void TGfxImage3::Hold(Texture& t) {
  if (t.Held) return;
  const int32_t w = textureSize_.Width;
  const int32_t h = textureSize_.Height;
  t.Bytes.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
  t.Held = true;
  const bool live = owner_ != nullptr && owner_->backend_ != nullptr && t.Id != 0 && t.Generation == owner_->generation_;
  if (!live || !owner_->backend_->ReadTexture(t.Id, w, h, reinterpret_cast<uint32_t*>(t.Bytes.data()))) {
    Log("ERROR: GPU: a texture could not be read back; its picture is lost");
    t.Dirty = true;
  }
}

void TGfxImage3::HoldAll() {
  for (Texture& t : textures_) Hold(t);
}

void TGfxImage3::MeasureOpaque(Texture& t, const uint32_t* texels) const {
  // The largest opaque rectangle from the top-left corner: rows narrow it as they go down.
  const int32_t w = textureSize_.Width;
  const int32_t h = textureSize_.Height;
  int32_t width = w;
  int64_t best = 0;
  t.OpaqueWidth = t.OpaqueHeight = 0;
  for (int32_t y = 0; y < h && width > 0; ++y) {
    const uint32_t* row = texels + static_cast<size_t>(y) * static_cast<size_t>(w);
    int32_t x = 0;
    while (x < width && (row[x] >> 24) == 0xFF) ++x;
    width = x;
    if (int64_t{width} * (y + 1) > best) {
      best = int64_t{width} * (y + 1);
      t.OpaqueWidth = width;
      t.OpaqueHeight = y + 1;
    }
  }
}

bool TGfxImage3::OpaqueWithin(int32_t texture, const TGfxRect& r) const {
  const Texture& t = textures_[static_cast<size_t>(texture)];
  // Filtering may reach one texel past the rectangle; the edge of the texture repeats.
  const int32_t right = std::min(textureSize_.Width, std::max(r.Left, r.Right) + 1);
  const int32_t bottom = std::min(textureSize_.Height, std::max(r.Top, r.Bottom) + 1);
  return right <= t.OpaqueWidth && bottom <= t.OpaqueHeight;
}

uint8_t* TGfxImage3::TexelAddress(int32_t x, int32_t y, int32_t texture) {
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size())) return nullptr;
  if (x < 0 || y < 0 || x >= textureSize_.Width || y >= textureSize_.Height) return nullptr;
  Hold(textures_[static_cast<size_t>(texture)]);
  const size_t bpp = static_cast<size_t>(BytesPerPixel());
  const size_t offset = (static_cast<size_t>(y) * static_cast<size_t>(textureSize_.Width) + static_cast<size_t>(x)) * bpp;
  return textures_[static_cast<size_t>(texture)].Bytes.data() + offset;
}

uint32_t TGfxImage3::GetPixel(int32_t x, int32_t y, int32_t texture) {
  const uint8_t* p = TexelAddress(x, y, texture);
  if (p == nullptr) return 0;
  return SwapRedBlue(ReadPixel(p, format_));
}

void TGfxImage3::SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) {
  uint8_t* p = TexelAddress(x, y, texture);
  if (p == nullptr) return;
  WritePixel(SwapRedBlue(colour), p, format_);
  textures_[static_cast<size_t>(texture)].Dirty = true;
}

void TGfxImage3::WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                               int32_t texture) {
  uint8_t* row = TexelAddress(0, line, texture);
  if (row == nullptr || source == nullptr || byteCount < 0) {
    code = errInvalidCall;
    return;
  }
  const size_t rowBytes = static_cast<size_t>(textureSize_.Width) * static_cast<size_t>(BytesPerPixel());
  std::memcpy(row, source, std::min(rowBytes, static_cast<size_t>(byteCount)));
  textures_[static_cast<size_t>(texture)].Dirty = true;
  code = errNone;
}

void TGfxImage3::ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line, int32_t texture) {
  const uint8_t* row = TexelAddress(0, line, texture);
  if (row == nullptr || dest == nullptr || byteCount < 0) {
    code = errInvalidCall;
    return;
  }
  const size_t rowBytes = static_cast<size_t>(textureSize_.Width) * static_cast<size_t>(BytesPerPixel());
  std::memcpy(dest, row, std::min(rowBytes, static_cast<size_t>(byteCount)));
  code = errNone;
}

void TGfxImage3::TexelsComplete() {
  for (int32_t i = 0; i < static_cast<int32_t>(textures_.size()); ++i) Prepare(i);
}

uint32_t TGfxImage3::Prepare(int32_t texture) {
  if (owner_ == nullptr || owner_->backend_ == nullptr) return 0;
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size())) return 0;
  Texture& t = textures_[static_cast<size_t>(texture)];
  const int32_t w = textureSize_.Width;
  const int32_t h = textureSize_.Height;
  if (t.Id == 0 || t.Generation != owner_->generation_) {
    // The surface was reset or re-created since: make the texture again from our copy.
    owner_->FlushBeforeCreate();
    t.Id = NewTexture();
    t.Generation = owner_->generation_;
    t.Dirty = true;
    if (t.Id == 0) return 0;
  }
  if (t.Dirty) {
    if (!t.Held) Hold(t);  // the texture was lost before its texels were taken back
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    const uint32_t* texels = upload_.data();
    if (format_ == COLOR_A8R8G8B8) {
      texels = reinterpret_cast<const uint32_t*>(t.Bytes.data());
    } else if (format_ == COLOR_X8R8G8B8) {
      upload_.resize(count);
      texels = upload_.data();
      std::memcpy(upload_.data(), t.Bytes.data(), count * 4);
      for (uint32_t& texel : upload_) texel |= 0xFF000000u;
    } else {
      upload_.resize(count);
      texels = upload_.data();
      ConvertLineToARGB(t.Bytes.data(), upload_.data(), static_cast<int32_t>(count), format_);
    }
    // The upload may move the texture to a layer its texels fit, or grow a page: the batch
    // drawn so far must see the page as it was, and the binding is made again.
    bool disturbs = false;
    for (int32_t unit = 0; unit < owner_->boundUnits_ && !disturbs; ++unit)
      disturbs = owner_->backend_->UploadDisturbs(t.Id, w, h, texels, owner_->pages_[unit]);
    if (disturbs) {
      if (owner_->batchTextured_) owner_->Flush();
      owner_->textureDirty_ = true;
    }
    MeasureOpaque(t, texels);
    if (!owner_->backend_->UploadTexture(t.Id, w, h, texels)) return 0;
    t.Dirty = false;
    owner_->uploadedSinceReturn_ += static_cast<int64_t>(count) * 4;
    owner_->uploadedThisFrame_ = true;
    // The driver keeps its own copy: ours goes where it can be read back as it was.
    if (format_ == COLOR_A8R8G8B8 && owner_->backend_->ReadsTextures()) {
      std::vector<uint8_t>().swap(t.Bytes);
      t.Held = false;
    }
    // Large conversion buffers are not worth keeping between uploads.
    if (upload_.capacity() > (size_t{1} << 20)) std::vector<uint32_t>().swap(upload_);
  }
  return t.Id;
}

// ---- TGfxDevice3 ------------------------------------------------------------------------

TGfxDevice3::TGfxDevice3(TGfxForm* ownerForm, TBackendFactory factory)
    : TGfxDevice(ownerForm), factory_(std::move(factory)) {}

TGfxDevice3::~TGfxDevice3() {
  // Images may outlive the device: they keep their texels and forget the GPU.
  if (surfaceCreated_) HoldAllTexels();
  for (TGfxImage3* image : images_) image->Detach();
  images_.clear();
  OnInitialize = nullptr;
  OnInitDevice = nullptr;
  OnFinalize = nullptr;
  OnDoneDevice = nullptr;
  OnDeviceLost = nullptr;
  if (surfaceCreated_ && backend_) backend_->Close();
  backend_.reset();
}

std::unique_ptr<TGfxImage> TGfxDevice3::CreateImage() { return std::make_unique<TGfxImage3>(this); }

TGfxPresentParams TGfxDevice3::BuildParams(int32_t width, int32_t height) const {
  TGfxPresentParams p;
  p.Width = width;
  p.Height = height;
  p.Windowed = windowed_;
  p.VSync = vsync_;
  p.RefreshRate = refreshRate_;
  p.BackBufferCount = backBufferCount_;
  return p;
}

void TGfxDevice3::ChooseTextureFormats() {
  if (IsHighBitDepth(bitDepth_)) {
    preferredFormats_[0] = FirstTaken({COLOR_X8R8G8B8, COLOR_A8R8G8B8, COLOR_R5G6B5, COLOR_X1R5G5B5,
                                       COLOR_A1R5G5B5, COLOR_X4R4G4B4, COLOR_A4R4G4B4, COLOR_R3G3B2,
                                       COLOR_A8R3G3B2});
    preferredFormats_[1] = FirstTaken({COLOR_A1R5G5B5, COLOR_A8R8G8B8, COLOR_A4R4G4B4, COLOR_A8R3G3B2});
    preferredFormats_[2] = FirstTaken({COLOR_A8R8G8B8, COLOR_A4R4G4B4, COLOR_A8R3G3B2, COLOR_A1R5G5B5});
  } else {
    preferredFormats_[0] = FirstTaken({COLOR_R5G6B5, COLOR_X1R5G5B5, COLOR_A1R5G5B5, COLOR_X8R8G8B8,
                                       COLOR_A8R8G8B8, COLOR_X4R4G4B4, COLOR_A4R4G4B4, COLOR_R3G3B2,
                                       COLOR_A8R3G3B2});
    preferredFormats_[1] = FirstTaken({COLOR_A1R5G5B5, COLOR_A4R4G4B4, COLOR_A8R8G8B8, COLOR_A8R3G3B2});
    preferredFormats_[2] = FirstTaken({COLOR_A4R4G4B4, COLOR_A8R8G8B8, COLOR_A8R3G3B2, COLOR_A1R5G5B5});
  }
}

void TGfxDevice3::MarkAllStates() {
  textureDirty_ = true;
  effectDirty_ = true;
  modeDirty_ = true;
}

void TGfxDevice3::RestoreStates() {
  used_ = 0;
  batchTextured_ = false;
  backend_->SetLinearFilter(filter_);
  backend_->SetDither(dither_);
  scissor_ = clip_;
  backend_->SetScissor(clip_);
  MarkAllStates();
}

int32_t TGfxDevice3::CreateDevice() {
  backend_ = factory_ ? factory_(ownerForm_) : CreateGLBackend(ownerForm_);
  return backend_ ? errNone : errDeviceCreate;
}

void TGfxDevice3::ReleaseDevice() {
  backend_.reset();
  ++generation_;
}

int32_t TGfxDevice3::InitDevice() {
  if (!initialized_ || !backend_) return errInvalidCall;
  if (surfaceCreated_) DoneDevice();
  params_ = BuildParams(width_, height_);
  if (width_ < 1 || height_ < 1 || !backend_->Open(params_)) return errDeviceFailure;
  ++generation_;
  batch_.assign(static_cast<size_t>(Capacity), TGfxVertex{});
  used_ = 0;
  batchTextured_ = false;
  ChooseTextureFormats();
  surfaceCreated_ = true;
  inScene_ = false;
  lost_ = false;
  clip_ = TGfxRect{0, 0, width_, height_};
  RestoreStates();
  int32_t code = errNone;
  if (OnInitDevice) OnInitDevice(this, code);
  if (code != errNone) {
    DoneDevice();
    return code;
  }
  return errNone;
}

void TGfxDevice3::HoldAllTexels() {
  for (TGfxImage3* image : images_) image->HoldAll();
}

int32_t TGfxDevice3::DoneDevice() {
  if (surfaceCreated_ && OnDoneDevice) OnDoneDevice(this);
  if (surfaceCreated_) HoldAllTexels();
  if (backend_) backend_->Close();
  std::vector<TGfxVertex>().swap(batch_);
  used_ = 0;
  batchTextured_ = false;
  surfaceCreated_ = false;
  inScene_ = false;
  lost_ = false;
  boundUnits_ = 0;
  MarkAllStates();
  ++generation_;
  return errNone;
}

int32_t TGfxDevice3::ResetSurface(const TGfxPresentParams& params) {
  used_ = 0;
  batchTextured_ = false;
  HoldAllTexels();
  if (!backend_->Reset(params)) {
    lost_ = true;
    MarkAllStates();
    return errDeviceReset;
  }
  params_ = params;
  ++generation_;
  lost_ = false;
  boundUnits_ = 0;
  RestoreStates();
  return errNone;
}

int32_t TGfxDevice3::CheckState() {
  if (!surfaceCreated_) return errInvalidCall;
  return ResetSurface(params_);
}

void TGfxDevice3::SizeChanging(int32_t newWidth, int32_t newHeight, bool& accept) {
  if (!surfaceCreated_) return;
  const int32_t code = newWidth < 1 || newHeight < 1 ? errDeviceReset : ResetSurface(BuildParams(newWidth, newHeight));
  if (code != errNone) {
    accept = false;
    throw Exception(ErrorString(code));
  }
  clip_ = TGfxRect{0, 0, newWidth, newHeight};
  scissor_ = clip_;
  backend_->SetScissor(clip_);
}

void TGfxDevice3::ParamsChanged() {
  if (!surfaceCreated_) return;
  const int32_t code = ResetSurface(BuildParams(width_, height_));
  if (code != errNone) throw Exception(ErrorString(code));
}

void TGfxDevice3::SetClipRect(const TGfxRect& rect) {
  const TGfxRect clamped = ClampClip(rect);
  if (!surfaceCreated_) {
    clip_ = clamped;
    return;
  }
  // The batch goes on: each primitive brings the scissor in line when it needs to.
  clip_ = clamped;
}

void TGfxDevice3::SetTextureFilter(bool on) {
  filter_ = on;
  if (!surfaceCreated_) return;
  Flush();
  backend_->SetLinearFilter(on);
}

void TGfxDevice3::SetDithering(bool on) {
  dither_ = on;
  if (!surfaceCreated_) return;
  Flush();
  backend_->SetDither(on);
}

int32_t TGfxDevice3::BeginScene() {
  if (!surfaceCreated_) return errInvalidCall;
  if (inScene_) return errBeginScene;
  used_ = 0;
  batchTextured_ = false;
  SetClipRect(TGfxRect{0, 0, width_, height_});
  if (!backend_->BeginScene()) return errBeginScene;
  inScene_ = true;
  return errNone;
}

int32_t TGfxDevice3::EndScene() {
  if (!surfaceCreated_) return errInvalidCall;
  const int32_t code = Flush();
  for (int32_t unit = 1; unit < boundUnits_; ++unit) backend_->SetUnitTexture(unit, 0);
  backend_->SetTexture(0);
  boundUnits_ = 0;
  MarkAllStates();
  const bool wasInScene = inScene_;
  inScene_ = false;
  if (code != errNone) return code;
  return wasInScene ? errNone : errEndScene;
}

int32_t TGfxDevice3::Present() {
  if (!surfaceCreated_) return errInvalidCall;
  const int32_t flushed = Flush();
  if (!uploadedThisFrame_ && uploadedSinceReturn_ >= LoadBytes) {
    ReturnFreeHeap();
    ++heapReturns_;
    uploadedSinceReturn_ = 0;
  }
  // While nothing loads, a frame gathers a little of what closed screens left scattered.
  const bool loading = uploadedThisFrame_;
  uploadedThisFrame_ = false;
  switch (backend_->Present()) {
    case TGfxPresentResult::Ok:
      if (!loading && backend_->CompactTextures(CompactBytes)) textureDirty_ = true;
      return flushed;
    case TGfxPresentResult::Lost: {
      MarkAllStates();
      lost_ = true;
      const int32_t code = ResetSurface(params_);
      if (code != errNone && OnDeviceLost) OnDeviceLost(this);
      return code;
    }
    case TGfxPresentResult::DriverError: {
      const int32_t code = CheckState();
      if (code != errNone) DoneDevice();
      return code;
    }
    case TGfxPresentResult::Failed:
      break;
  }
  return errPresent;
}

int32_t TGfxDevice3::Clear(uint32_t colour) {
  if (!surfaceCreated_) return errInvalidCall;
  int32_t code = Flush();
  if (!(scissor_ == clip_)) {
    scissor_ = clip_;
    backend_->SetScissor(clip_);
  }
  if (!backend_->Clear(colour)) return errClear;
  return code;
}

int32_t TGfxDevice3::Flush() {
  if (used_ == 0) return errNone;
  const int32_t count = used_;
  used_ = 0;  // a failed draw drops the batch: its vertices are never sent twice
  batchTextured_ = false;
  ++drawCalls_;
  if (backend_ == nullptr || !backend_->Draw(batch_.data(), count)) return errDrawPrimitive;
  return errNone;
}

void TGfxDevice3::UnbindPages() {
  for (int32_t unit = boundUnits_ - 1; unit >= 0; --unit) backend_->SetUnitTexture(unit, 0);
  boundUnits_ = 0;
}

int32_t TGfxDevice3::UseTexture(uint32_t id, uint32_t page, int32_t& unit) {
  if (!textureDirty_) {
    for (unit = 0; unit < boundUnits_; ++unit)
      if (pages_[unit] == page) return errNone;
  }
  int32_t code = errNone;
  const int32_t units = std::clamp(backend_->TextureUnits(), 1, vx::gl::kTextureUnits);
  unit = textureDirty_ ? units : boundUnits_;
  if (unit >= units) {
    // Every unit holds a page the batch may sample (or the bindings are in doubt): it is
    // drawn before one is replaced.
    if (batchTextured_) code = Flush();
    // The batch starts again from unit 0: the other units are let go as well, so nothing the
    // device no longer tracks stays bound to a texture that may be deleted.
    UnbindPages();
    unit = 0;
  }
  if (!backend_->SetUnitTexture(unit, id)) {
    textureDirty_ = true;
    boundUnits_ = 0;
    return errSetTexture;
  }
  pages_[unit] = page;
  boundUnits_ = unit + 1;
  textureDirty_ = false;
  return code;
}

int32_t TGfxDevice3::UseEffect(int32_t effect, bool opaque) {
  if (!surfaceCreated_) return errInvalidCall;
  // Line and point marks do not change the blend: lines, points and quads share batches.
  const int32_t blendEffect = effect & ~kPrimitiveFlags;
  int32_t code = errNone;
  if (blendEffect != effect_ || effectDirty_ || opaque != opaque_) {
    TGpuBlend blend;
    const bool known = GpuBlendForEffect(blendEffect, blend);
    if (known && opaque && blend == kAlphaBlend) blend = TGpuBlend{false, bfOne, bfZero};
    opaque_ = opaque;
    // Effects differing only in how the texel is taken blend alike and share the batch; a
    // code outside the table keeps the blend but still ends the batch.
    if (!known || effectDirty_ || !(blend == blend_)) {
      code = Flush();
      if (known) {
        backend_->SetBlend(blend);
        blend_ = blend;
      }
    }
    effect_ = blendEffect;
    effectDirty_ = false;
  }
  if (modeDirty_) {
    const int32_t flushed = Flush();
    if (code == errNone) code = flushed;
    backend_->SetTextureMode(TGfxTextureMode::PerVertex);
    modeDirty_ = false;
  }
  return code;
}

int32_t TGfxDevice3::Reserve(int32_t vertices) {
  if (vertices > Capacity || batch_.size() != static_cast<size_t>(Capacity)) return errVertexIndex;
  if (used_ + vertices > Capacity) return Flush();
  return errNone;
}

void TGfxDevice3::AddQuad(const float* x, const float* y, const uint32_t* colours, const float* u, const float* v,
                          float sample) {
  static constexpr int kOrder[6] = {0, 1, 2, 0, 2, 3};
  TGfxVertex* out = batch_.data() + used_;
  for (int i = 0; i < 6; ++i) {
    const int k = kOrder[i];
    out[i] = TGfxVertex{x[k], y[k], colours[k], u[k], v[k], sample};
  }
  if (sample != 0.0f) batchTextured_ = true;
  used_ += 6;
}

bool TGfxDevice3::LargeOpaque(const float* x, const float* y, const uint32_t* colours) {
  if ((colours[0] & colours[1] & colours[2] & colours[3]) >> 24 != 0xFF) return false;
  // Twice the area of the quad (the shoelace formula).
  const float twice = (x[0] * y[1] - x[1] * y[0]) + (x[1] * y[2] - x[2] * y[1]) + (x[2] * y[3] - x[3] * y[2]) +
                      (x[3] * y[0] - x[0] * y[3]);
  return std::fabs(twice) >= 2.0f * kOpaqueArea;
}

bool TGfxDevice3::Invisible(int32_t effect, const uint32_t* colours) {
  if (((colours[0] | colours[1] | colours[2] | colours[3]) >> 24) != 0) return false;
  TGpuBlend blend;
  if (!GpuBlendForEffect(effect & ~kPrimitiveFlags, blend) || !blend.Enabled) return false;
  // The source counts by its alpha, 0 everywhere, and the frame by itself.
  return blend.Source == bfSrcAlpha && (blend.Dest == bfInvSrcAlpha || blend.Dest == bfOne);
}

int32_t TGfxDevice3::FitScissor(const TGfxRect& bounds) {
  const auto within = [&](const TGfxRect& r) {
    return bounds.Left >= r.Left && bounds.Top >= r.Top && bounds.Right <= r.Right && bounds.Bottom <= r.Bottom;
  };
  // A primitive inside both the clip and the scissor lights the same pixels under either.
  TGfxRect wanted = clip_;
  if (within(clip_)) {
    if (within(scissor_)) return errNone;
    wanted = TGfxRect{0, 0, width_, height_};  // the widest scissor serves the most clips
  } else if (scissor_ == clip_) {
    return errNone;
  }
  const int32_t code = Flush();
  scissor_ = wanted;
  backend_->SetScissor(wanted);
  return code;
}

int32_t TGfxDevice3::PlaceQuad(float* x, float* y, const uint32_t* colours, float* u, float* v, float sample,
                               float extentU, float extentV) {
  const bool textured = sample != 0.0f;
  const float minX = std::min({x[0], x[1], x[2], x[3]});
  const float maxX = std::max({x[0], x[1], x[2], x[3]});
  const float minY = std::min({y[0], y[1], y[2], y[3]});
  const float maxY = std::max({y[0], y[1], y[2], y[3]});
  // Pixel centres inside the quad lie in these whole pixels.
  const auto whole = [](double value) {
    return static_cast<int32_t>(std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
  };
  TGfxRect bounds{whole(std::floor(minX)), whole(std::floor(minY)), whole(std::ceil(maxX)), whole(std::ceil(maxY))};
  const bool rectangle = (x[0] == x[3] && x[1] == x[2] && y[0] == y[1] && y[2] == y[3]) ||
                         (x[0] == x[1] && x[2] == x[3] && y[0] == y[3] && y[1] == y[2]);
  const bool oneColour = colours[0] == colours[1] && colours[0] == colours[2] && colours[0] == colours[3];
  const bool inside = bounds.Left >= clip_.Left && bounds.Top >= clip_.Top && bounds.Right <= clip_.Right &&
                      bounds.Bottom <= clip_.Bottom;
  // A texture drawn one texel a pixel, corners in the usual order: cut texture coordinates
  // move by whole texels, which floats hold exactly over a power-of-two extent, so every
  // pixel samples where it did.
  const auto power = [](float e) {
    const auto n = static_cast<uint32_t>(e);
    return static_cast<float>(n) == e && n > 0 && (n & (n - 1)) == 0;
  };
  const bool oneToOne = textured && power(extentU) && power(extentV) && x[0] == x[3] && x[1] == x[2] && y[0] == y[1] && y[2] == y[3] &&
                        x[1] > x[0] && y[2] > y[0] && std::fabs((u[1] - u[0]) * extentU) == x[1] - x[0] &&
                        std::fabs((v[2] - v[0]) * extentV) == y[2] - y[0];
  if (!inside && rectangle && oneColour && (!textured || oneToOne) && bounds.Left == minX && bounds.Right == maxX &&
      bounds.Top == minY && bounds.Bottom == maxY) {
    // Whole-pixel edges of one colour: the cut rectangle covers exactly the pixels the
    // scissor would have left.
    bounds = TGfxRect{std::max(bounds.Left, clip_.Left), std::max(bounds.Top, clip_.Top),
                      std::min(bounds.Right, clip_.Right), std::min(bounds.Bottom, clip_.Bottom)};
    if (bounds.Left >= bounds.Right || bounds.Top >= bounds.Bottom) return errNone;
    const float l = static_cast<float>(bounds.Left), r = static_cast<float>(bounds.Right);
    const float t = static_cast<float>(bounds.Top), b = static_cast<float>(bounds.Bottom);
    if (oneToOne) {
      const float du = (u[1] - u[0]) / (x[1] - x[0]), dv = (v[2] - v[0]) / (y[2] - y[0]);
      const float uL = u[0] + (l - x[0]) * du, uR = u[0] + (r - x[0]) * du;
      const float vT = v[0] + (t - y[0]) * dv, vB = v[0] + (b - y[0]) * dv;
      u[0] = u[3] = uL;
      u[1] = u[2] = uR;
      v[0] = v[1] = vT;
      v[2] = v[3] = vB;
    }
    x[0] = x[3] = l;
    x[1] = x[2] = r;
    y[0] = y[1] = t;
    y[2] = y[3] = b;
  }
  const int32_t code = FitScissor(bounds);
  if (code != errNone) return code;
  AddQuad(x, y, colours, u, v, sample);
  return errNone;
}

void TGfxDevice3::AddRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
  const float l = static_cast<float>(left);
  const float t = static_cast<float>(top);
  const float r = static_cast<float>(right);
  const float b = static_cast<float>(bottom);
  const float x[4] = {l, r, r, l};
  const float y[4] = {t, t, b, b};
  const uint32_t c[4] = {colour, colour, colour, colour};
  const float zero[4] = {0, 0, 0, 0};
  FitScissor(TGfxRect{left, top, right, bottom});
  AddQuad(x, y, c, zero, zero, 0.0f);
}

int32_t TGfxDevice3::AddLinePixels(TGfxPoint p1, TGfxPoint p2, uint32_t c1, uint32_t c2, bool open) {
  // Pixels are gathered into runs of one colour along the stepping axis, each one quad.
  struct Run {
    int64_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    uint32_t colour = 0;
    bool active = false;
  } run;
  int32_t code = errNone;
  const auto emit = [&]() {
    if (!run.active || code != errNone) return;
    code = Reserve(6);
    if (code == errNone)
      AddRect(static_cast<int32_t>(run.x0), static_cast<int32_t>(run.y0), static_cast<int32_t>(run.x1 + 1),
              static_cast<int32_t>(run.y1 + 1), run.colour);
    run.active = false;
  };
  const auto put = [&](int64_t x, int64_t y, uint32_t colour) {
    if (x < clip_.Left || x >= clip_.Right || y < clip_.Top || y >= clip_.Bottom) return;
    if (run.active && colour == run.colour &&
        ((y == run.y0 && y == run.y1 && x == run.x1 + 1) || (x == run.x0 && x == run.x1 && y == run.y1 + 1))) {
      run.x1 = x;
      run.y1 = y;
      return;
    }
    emit();
    run = Run{x, y, x, y, colour, true};
  };

  const int64_t x1 = p1.X, y1 = p1.Y, x2 = p2.X, y2 = p2.Y;
  const int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2;
  const int64_t dy = y2 > y1 ? y2 - y1 : y1 - y2;
  if (dx == 0 && dy == 0) {
    put(x1, y1, LineColour(c1, c2, 1, 2));
    emit();
    return code;
  }
  // The pixels are the software rasteriser's: step along the major axis in whole pixels
  // and along the minor one in 16.16. Colours run evenly from end to end, as the GPU
  // interpolates them, so a one-colour line is that colour throughout.
  const bool stepY = dy > dx;
  const int64_t major = stepY ? dy : dx;
  const int64_t a1 = stepY ? y1 : x1, a2 = stepY ? y2 : x2;  // major coordinates
  const int64_t b1 = stepY ? x1 : y1, b2 = stepY ? x2 : y2;  // minor coordinates
  int64_t start = a1;
  int64_t pos = b1 * 65536;
  int64_t step = ((b2 - b1) * 65536) / major;
  const bool backwards = a2 < a1;
  if (backwards) {
    start = a2;
    pos = b2 * 65536;
    step = -step;
  }
  int64_t count = major + 1;
  if (open) {
    count = major;
    if (backwards) {
      ++start;
      pos += step;
    }
  }
  // Only the stretch of the major axis inside the clip can show: skip straight to it.
  const int64_t lo = stepY ? clip_.Top : clip_.Left;
  const int64_t hi = stepY ? clip_.Bottom : clip_.Right;
  const int64_t first = std::max<int64_t>(0, lo - start);
  const int64_t last = std::min<int64_t>(count, hi - start);
  for (int64_t i = first; i < last; ++i) {
    const int64_t minor = (pos + i * step) >> 16;
    const int64_t along = start + i - a1;
    const uint32_t colour = LineColour(c1, c2, along < 0 ? -along : along, major);
    if (stepY)
      put(minor, start + i, colour);
    else
      put(start + i, minor, colour);
    if (code != errNone) return code;
  }
  emit();
  return code;
}

int32_t TGfxDevice3::PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  const TGfxPoint at = Placed(TGfxPoint{x, y});
  x = at.X;
  y = at.Y;
  int32_t code = UseEffect(effect | fxPointFlag);
  if (code != errNone) return code;
  if (x < clip_.Left || x >= clip_.Right || y < clip_.Top || y >= clip_.Bottom) return errNone;
  code = Reserve(6);
  if (code != errNone) return code;
  AddRect(x, y, x + 1, y + 1, colour);
  return errNone;
}

int32_t TGfxDevice3::FillQuad(const TPoint4& drawn, const TColor4& colours, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  if (Invisible(effect, colours.data())) return errNone;
  const TPoint4 points = Placed(drawn);
  float x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = static_cast<float>(points[static_cast<size_t>(i)].X);
    y[i] = static_cast<float>(points[static_cast<size_t>(i)].Y);
  }
  int32_t code = UseEffect(effect, LargeOpaque(x, y, colours.data()));
  if (code != errNone) return code;
  if (clip_.IsEmpty()) return errNone;
  code = Reserve(6);
  if (code != errNone) return code;
  float zero[4] = {0, 0, 0, 0};
  return PlaceQuad(x, y, colours.data(), zero, zero, 0.0f, 0.0f, 0.0f);
}

int32_t TGfxDevice3::WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  int32_t code = UseEffect(effect | fxLineFlag);
  if (code != errNone) return code;
  if (clip_.IsEmpty()) return errNone;
  // The two largest x and the two largest y come in by one, so a rectangle's frame lies on
  // its own pixels.
  TPoint4 p = Placed(points);
  std::array<int, 4> order{0, 1, 2, 3};
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return p[static_cast<size_t>(a)].X > p[static_cast<size_t>(b)].X; });
  const auto pullIn = [](int32_t& v) {
    if (v > INT32_MIN) --v;
  };
  pullIn(p[static_cast<size_t>(order[0])].X);
  pullIn(p[static_cast<size_t>(order[1])].X);
  order = {0, 1, 2, 3};
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return p[static_cast<size_t>(a)].Y > p[static_cast<size_t>(b)].Y; });
  pullIn(p[static_cast<size_t>(order[0])].Y);
  pullIn(p[static_cast<size_t>(order[1])].Y);
  for (size_t i = 0; i < 4 && code == errNone; ++i) {
    const size_t j = (i + 1) % 4;
    code = AddLinePixels(p[i], p[j], colours[i], colours[j], true);
  }
  return code;
}

int32_t TGfxDevice3::Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2, int32_t effect) {
  if (!surfaceCreated_) return errInvalidCall;
  int32_t code = UseEffect(effect | fxLineFlag);
  if (code != errNone) return code;
  if (clip_.IsEmpty()) return errNone;
  return AddLinePixels(Placed(p1), Placed(p2), colour1, colour2, false);
}

int32_t TGfxDevice3::TextureMap(TGfxImage* image, const TPoint4& drawn, const TColor4& colours, int32_t effect,
                                const TGfxPattern& pattern) {
  if (!surfaceCreated_) return errInvalidCall;
  const TPoint4 points = Placed(drawn);
  auto* img = dynamic_cast<TGfxImage3*>(image);
  if (img == nullptr || img->owner_ != this || img->textures_.empty()) return errInvalidCall;
  int32_t texture = 0;
  TGfxRect r;
  if (!img->PatternRect(pattern, texture, r)) return errInvalidCall;
  // The pattern must lie inside its texture: a bad record or request reads nothing.
  const int32_t tw = img->TextureSize().Width;
  const int32_t th = img->TextureSize().Height;
  if (texture < 0 || texture >= static_cast<int32_t>(img->textures_.size()) || tw < 1 || th < 1) return errInvalidCall;
  if (std::min(r.Left, r.Right) < 0 || std::max(r.Left, r.Right) > tw || std::min(r.Top, r.Bottom) < 0 ||
      std::max(r.Top, r.Bottom) > th)
    return errInvalidCall;
  if (clip_.IsEmpty()) return errNone;
  const bool modulates = EffectModulates(effect);
  if (modulates && Invisible(effect, colours.data())) return errNone;
  const uint32_t id = img->Prepare(texture);
  if (id == 0) return errSetTexture;
  const uint32_t page = backend_->TexturePage(id);
  float x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = static_cast<float>(points[static_cast<size_t>(i)].X);
    y[i] = static_cast<float>(points[static_cast<size_t>(i)].Y);
  }
  static constexpr uint32_t kWhite[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  const bool opaque = LargeOpaque(x, y, modulates ? colours.data() : kWhite) && img->OpaqueWithin(texture, r);
  int32_t unit = 0;
  int32_t code = UseTexture(id, page, unit);
  if (code == errNone) code = UseEffect(effect, opaque);
  if (code != errNone) return code;
  const float sample = vx::gl::SampleCode(backend_->TextureLayer(id), !modulates, unit);
  code = Reserve(6);
  if (code != errNone) return code;
  // Coordinates are measured against the layer the texture lies in.
  int32_t uw = tw, uh = th;
  backend_->TextureExtent(id, uw, uh);
  const float uL = static_cast<float>(r.Left) / static_cast<float>(uw);
  const float uR = static_cast<float>(r.Right) / static_cast<float>(uw);
  const float vT = static_cast<float>(r.Top) / static_cast<float>(uh);
  const float vB = static_cast<float>(r.Bottom) / static_cast<float>(uh);
  float u[4] = {uL, uR, uR, uL};
  float v[4] = {vT, vT, vB, vB};
  return PlaceQuad(x, y, colours.data(), u, v, sample, static_cast<float>(uw), static_cast<float>(uh));
}

int32_t TGfxDevice3::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  width = 0;
  height = 0;
  if (!surfaceCreated_) return errInvalidCall;
  Flush();
  if (!backend_->ReadFrame(pixels, width, height)) return errInvalidCall;
  return errNone;
}

int32_t TGfxDevice3::DrawBuffer(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  if (!surfaceCreated_) return errInvalidCall;
  const int32_t code = Flush();
  const bool ok = backend_->DrawBuffer(pixels, width, height, pitch);
  MarkAllStates();
  if (!ok) return errDrawPrimitive;
  return code;
}
