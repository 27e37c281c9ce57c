#include "support/RecordingDevice.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace vxtest {

TGfxRect DeviceCall::Bounds() const {
  TGfxRect r{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
  for (const TGfxPoint& p : Points) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

std::string DeviceCall::ToString() const {
  std::ostringstream s;
  s << Op;
  if (Op == "FillQuad" || Op == "WireQuad" || Op == "TextureMap") {
    const TGfxRect b = Bounds();
    s << " (" << b.Left << "," << b.Top << ")-(" << b.Right << "," << b.Bottom << ") fx " << Effect;
    if (Op == "TextureMap") s << " pattern " << Pattern;
  } else if (Op == "SetClipRect") {
    s << " (" << Rect.Left << "," << Rect.Top << "," << Rect.Right << "," << Rect.Bottom << ")";
  }
  return s.str();
}

// ---------------------------------------------------------------------------------------

int32_t MemoryImage::CreateTextures() {
  ReleaseTextures();
  const TGfxSize size = TextureSize();
  if (size.Width < 1 || size.Height < 1 || TextureCount() < 0) return errInvalidCall;
  textures_.assign(static_cast<size_t>(TextureCount()),
                   std::vector<uint32_t>(static_cast<size_t>(size.Width) * static_cast<size_t>(size.Height), 0));
  return 0;
}

void MemoryImage::ReleaseTextures() { textures_.clear(); }

uint32_t MemoryImage::Texel(int32_t x, int32_t y, int32_t texture) const {
  const TGfxSize size = TextureSize();
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size()) || x < 0 || y < 0 ||
      x >= size.Width || y >= size.Height) {
    return 0;
  }
  return textures_[static_cast<size_t>(texture)][static_cast<size_t>(y) * static_cast<size_t>(size.Width) +
                                                 static_cast<size_t>(x)];
}

uint32_t MemoryImage::GetPixel(int32_t x, int32_t y, int32_t texture) { return Texel(x, y, texture); }

void MemoryImage::SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) {
  const TGfxSize size = TextureSize();
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size()) || x < 0 || y < 0 ||
      x >= size.Width || y >= size.Height) {
    return;
  }
  textures_[static_cast<size_t>(texture)][static_cast<size_t>(y) * static_cast<size_t>(size.Width) +
                                          static_cast<size_t>(x)] = colour;
}

void MemoryImage::WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                                int32_t texture) {
  const TGfxSize size = TextureSize();
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size()) || line < 0 || line >= size.Height ||
      byteCount < 0) {
    code = errInvalidCall;
    return;
  }
  // One texel every 4 bytes: a row of a narrower format fills the start of each word.
  const int32_t bpp = std::max(BytesPerPixel(), 1);
  const auto* src = static_cast<const uint8_t*>(source);
  uint32_t* row = textures_[static_cast<size_t>(texture)].data() + static_cast<size_t>(line) * static_cast<size_t>(size.Width);
  const int32_t n = std::min(byteCount / bpp, size.Width);
  for (int32_t x = 0; x < n; ++x) {
    uint32_t v = 0;
    std::memcpy(&v, src + static_cast<size_t>(x) * static_cast<size_t>(bpp), static_cast<size_t>(std::min(bpp, 4)));
    row[x] = v;
  }
  code = 0;
}

void MemoryImage::ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line, int32_t texture) {
  const TGfxSize size = TextureSize();
  if (texture < 0 || texture >= static_cast<int32_t>(textures_.size()) || line < 0 || line >= size.Height ||
      byteCount < 0) {
    code = errInvalidCall;
    return;
  }
  const int32_t bpp = std::max(BytesPerPixel(), 1);
  auto* dst = static_cast<uint8_t*>(dest);
  const uint32_t* row = textures_[static_cast<size_t>(texture)].data() + static_cast<size_t>(line) * static_cast<size_t>(size.Width);
  const int32_t n = std::min(byteCount / bpp, size.Width);
  for (int32_t x = 0; x < n; ++x) {
    std::memcpy(dst + static_cast<size_t>(x) * static_cast<size_t>(bpp), &row[x], static_cast<size_t>(std::min(bpp, 4)));
  }
  code = 0;
}

// ---------------------------------------------------------------------------------------

RecordingDevice::RecordingDevice(int32_t width, int32_t height) : TGfxDevice(nullptr) {
  width_ = width;
  height_ = height;
  initialized_ = true;
  surfaceCreated_ = true;
  clip_ = TGfxRect{0, 0, width, height};
  for (int i = 0; i < 3; ++i) SetPreferredFormat(i, COLOR_A8R8G8B8);
}

std::vector<DeviceCall> RecordingDevice::CallsOf(const std::string& op) const {
  std::vector<DeviceCall> out;
  for (const DeviceCall& c : Calls) {
    if (c.Op == op) out.push_back(c);
  }
  return out;
}

std::string RecordingDevice::Dump() const {
  std::string out;
  for (const DeviceCall& c : Calls) out += c.ToString() + "\n";
  return out;
}

DeviceCall& RecordingDevice::Add(const std::string& op) {
  Calls.emplace_back();
  Calls.back().Op = op;
  return Calls.back();
}

void RecordingDevice::SetClipRect(const TGfxRect& rect) {
  TGfxDevice::SetClipRect(rect);
  Add("SetClipRect").Rect = GetClipRect();
}

std::unique_ptr<TGfxImage> RecordingDevice::CreateImage() {
  if (!CanCreateImages) return nullptr;
  auto image = std::make_unique<MemoryImage>();
  image->Device = this;
  return image;
}

int32_t RecordingDevice::Initialize() {
  Add("Initialize");
  initialized_ = InitializeResult == 0;
  return InitializeResult;
}

void RecordingDevice::ParamsChanged() {
  Add("ParamsChanged");
  if (OnParamsChanged) OnParamsChanged();
}

int32_t RecordingDevice::ReadFrame(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (FramePixels.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_) || FramePixels.empty()) {
    return TGfxDevice::ReadFrame(pixels, width, height);
  }
  pixels = FramePixels;
  width = width_;
  height = height_;
  return 0;
}

int32_t RecordingDevice::Finalize() {
  Add("Finalize");
  initialized_ = false;
  surfaceCreated_ = false;
  return 0;
}

int32_t RecordingDevice::InitDevice() {
  Add("InitDevice");
  surfaceCreated_ = true;
  return 0;
}

int32_t RecordingDevice::DoneDevice() {
  Add("DoneDevice");
  surfaceCreated_ = false;
  return 0;
}

int32_t RecordingDevice::CheckState() { return surfaceCreated_ ? 0 : -1; }

int32_t RecordingDevice::BeginScene() {
  Add("BeginScene");
  return 0;
}

int32_t RecordingDevice::EndScene() {
  Add("EndScene");
  return 0;
}

int32_t RecordingDevice::Present() {
  Add("Present");
  return 0;
}

int32_t RecordingDevice::Clear(uint32_t colour) {
  Add("Clear").Colour = colour;
  return 0;
}

int32_t RecordingDevice::PutPixel(int32_t x, int32_t y, uint32_t colour, int32_t effect) {
  DeviceCall& c = Add("PutPixel");
  c.Points[0] = Placed(TGfxPoint{x, y});
  c.Colour = colour;
  c.Effect = effect;
  return 0;
}

int32_t RecordingDevice::FillQuad(const TPoint4& points, const TColor4& colours, int32_t effect) {
  DeviceCall& c = Add("FillQuad");
  c.Points = Placed(points);
  c.Colours = colours;
  c.Effect = effect;
  return 0;
}

int32_t RecordingDevice::WireQuad(const TPoint4& points, const TColor4& colours, int32_t effect) {
  DeviceCall& c = Add("WireQuad");
  c.Points = Placed(points);
  c.Colours = colours;
  c.Effect = effect;
  return 0;
}

int32_t RecordingDevice::Line(TGfxPoint p1, TGfxPoint p2, uint32_t colour1, uint32_t colour2, int32_t effect) {
  DeviceCall& c = Add("Line");
  c.Points[0] = Placed(p1);
  c.Points[1] = Placed(p2);
  c.Colours[0] = colour1;
  c.Colours[1] = colour2;
  c.Effect = effect;
  return 0;
}

int32_t RecordingDevice::TextureMap(TGfxImage* image, const TPoint4& points, const TColor4& colours,
                                    int32_t effect, const TGfxPattern& pattern) {
  DeviceCall& c = Add("TextureMap");
  c.Image = image;
  c.Points = Placed(points);
  c.Colours = colours;
  c.Effect = effect;
  c.Pattern = pattern.Pattern;
  return TextureMapResult;
}

}  // namespace vxtest
