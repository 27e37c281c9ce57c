#include "render/BitmapEx.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/StrUtils.h"
#include "render/RecDb.h"
#include "render/Streams.h"

namespace {
size_t WordsFor(size_t bytes) { return (bytes + 3) / 4; }
}  // namespace

// Rows are addressed in int32 bytes and whole pictures in size_t.
static_assert(int64_t{TBitmapEx::MaxWideSide} * 4 <= INT32_MAX && TBitmapEx::MaxPixels * 4 <= INT32_MAX);

void TBitmapEx::CheckPictureSize(int64_t width, int64_t height, const char* what, int64_t maxSide) {
  if (width < 1 || height < 1) throw EInvalidGraphic(std::string(what) + ": the picture has no pixels");
  maxSide = std::min<int64_t>(maxSide, MaxWideSide);
  if (width > maxSide || height > maxSide || width * height > MaxPixels) {
    throw EInvalidGraphic(std::string(what) + ": the picture is too large (" + std::to_string(width) + "x" +
                          std::to_string(height) + ")");
  }
}

void TBitmapEx::SetSize(int32_t width, int32_t height, int32_t maxSide) {
  if (width < 0 || height < 0) throw EInvalidGraphic("Invalid picture size");
  if (width != 0 && height != 0) CheckPictureSize(width, height, "Picture", maxSide);
  if (width == 0 || height == 0) {
    width_ = width;
    height_ = height;
    data_.clear();
    return;
  }
  const size_t bpp = static_cast<size_t>(BytesPerPixel());
  Store data(WordsFor(static_cast<size_t>(width) * static_cast<size_t>(height) * bpp), 0);
  const int32_t keepW = std::min(width, width_), keepH = std::min(height, height_);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(data.data());
  for (int32_t y = 0; y < keepH; ++y) {
    std::memcpy(bytes + static_cast<size_t>(y) * width * bpp, ScanLine(y), static_cast<size_t>(keepW) * bpp);
  }
  data_ = std::move(data);
  width_ = width;
  height_ = height;
}

void TBitmapEx::AllocatePixels(int32_t width, int32_t height) {
  CheckPictureSize(width, height, "Picture");
  data_.clear();
  data_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  width_ = width;
  height_ = height;
  format_ = pf32bit;
}

void TBitmapEx::TakePixels(TBitmapEx& decoded) {
  data_ = std::move(decoded.data_);
  width_ = decoded.width_;
  height_ = decoded.height_;
  format_ = decoded.format_;
  decoded.data_.clear();
  decoded.width_ = decoded.height_ = 0;
}

void TBitmapEx::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  const size_t n = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  Store data(WordsFor(n * (format == pf32bit ? 4 : 3)));
  if (!data.empty()) data.back() = 0;  // the padding after packed 24-bit pixels
  const uint8_t* s = reinterpret_cast<const uint8_t*>(data_.data());
  uint8_t* d = reinterpret_cast<uint8_t*>(data.data());
  if (format == pf32bit) {
    for (size_t i = 0; i < n; ++i, s += 3, d += 4) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 0;
    }
  } else {
    for (size_t i = 0; i < n; ++i, s += 4, d += 3) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  data_ = std::move(data);
  format_ = format;
}

uint8_t TBitmapEx::KindFromExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return pkBmp;
  std::string ext = name.substr(dot);
  if (vx::SameText(ext, ".tga")) return pkTga;
  if (vx::SameText(ext, ".jpg") || vx::SameText(ext, ".jpeg")) return pkJpeg;
  if (vx::SameText(ext, ".png")) return pkPng;
  return pkBmp;
}

void TBitmapEx::LoadFromStream(TStream& stream, uint8_t kind) {
  switch (kind) {
    case pkByExtension:
      throw Exception("Could not autodetect bitmap type!");
    case pkTga:
      vx::ReadTgaPicture(*this, stream);
      break;
    case pkJpeg:
      vx::ReadJpegPicture(*this, stream);
      break;
    case pkPng:
      vx::ReadPngPicture(*this, stream);
      break;
    default:
      vx::ReadBmpPicture(*this, stream);
      break;
  }
  // Pictures that came without alpha come out opaque.
  if (format_ != pf32bit) {
    SetPixelFormat(pf32bit);
    MakeOpaque();
  }
}

void TBitmapEx::LoadFromFile(const std::string& fileName, uint8_t kind) {
  if (kind == pkByExtension) kind = KindFromExtension(fileName);
  TFileStream file(fileName, fmOpenRead);
  // Decoders seek about; a memory copy keeps that cheap. Files past the cap cannot hold a
  // picture within the limits anyway.
  if (file.Size() > (int64_t{512} << 20)) throw EInvalidGraphic("Picture file too large: " + fileName);
  TMemoryStream mem;
  mem.LoadFromStream(file);
  file.Close();
  LoadFromStream(mem, kind);
}

int32_t TBitmapEx::LoadFromRecDb(TRecDb& archive, const std::string& key, uint8_t kind) {
  if (kind == pkByExtension) kind = KindFromExtension(key);
  TMemoryStream mem;
  int32_t code = archive.ReadStream(key, mem);
  if (code != 0) return code;
  mem.SetPosition(0);
  LoadFromStream(mem, kind);
  return code;
}

TGfxSize TBitmapEx::GetPatternSize() const {
  return TGfxSize{PatternWidth != 0 ? PatternWidth : width_, PatternHeight != 0 ? PatternHeight : height_};
}

TGfxRect TBitmapEx::GetPatternRect(int32_t index) const {
  const TGfxSize p = GetPatternSize();
  const int32_t perRow = p.Width > 0 ? width_ / p.Width : 0;
  const int32_t perColumn = p.Height > 0 ? height_ / p.Height : 0;
  const int64_t total = static_cast<int64_t>(perRow) * perColumn;
  if (total <= 0) return TGfxRect{0, 0, p.Width, p.Height};
  // A negative index counts from the end rather than giving a rectangle off the picture.
  const int64_t i = ((static_cast<int64_t>(index) % total) + total) % total;
  const int32_t column = static_cast<int32_t>(i % perRow);
  const int32_t row = static_cast<int32_t>((i / perRow) % perColumn);
  const int32_t x = column * p.Width, y = row * p.Height;
  return TGfxRect{x, y, x + p.Width, y + p.Height};
}

void TBitmapEx::DrawPattern(TBitmapEx& target, int32_t x, int32_t y, int32_t index) const {
  if (width_ == 0 || height_ == 0 || format_ != pf32bit || target.format_ != pf32bit) return;
  TGfxRect r = GetPatternRect(index);
  r.Right = std::min(r.Right, width_);
  r.Bottom = std::min(r.Bottom, height_);
  // Clip against the target, moving the source rectangle along.
  int64_t dx = x, dy = y;
  int64_t sx = r.Left, sy = r.Top, w = r.Width(), h = r.Height();
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min<int64_t>(w, target.width_ - dx);
  h = std::min<int64_t>(h, target.height_ - dy);
  if (w <= 0 || h <= 0) return;
  for (int64_t row = 0; row < h; ++row) {
    std::memcpy(target.Pixels() + (dy + row) * target.width_ + dx, Pixels() + (sy + row) * width_ + sx,
                static_cast<size_t>(w) * 4);
  }
}

void TBitmapEx::Fill(uint32_t colour) {
  SetPixelFormat(pf32bit);
  const uint32_t c = SwapRedBlue(colour);
  std::fill(Pixels(), Pixels() + static_cast<size_t>(width_) * height_, c);
}

void TBitmapEx::SetAlpha(uint8_t alpha) {
  SetPixelFormat(pf32bit);
  const uint32_t a = static_cast<uint32_t>(alpha) << 24;
  for (uint32_t& p : data_) p = (p & 0x00FFFFFFu) | a;
}

void TBitmapEx::MakeOpaque() {
  if (format_ != pf32bit) return;  // no alpha to set
  SetAlpha(255);
}

void TBitmapEx::FlipVertical() {
  const size_t line = static_cast<size_t>(LineSize());
  std::vector<uint8_t> tmp(line);
  for (int32_t y = 0; y < height_ / 2; ++y) {
    uint8_t* a = ScanLine(y);
    uint8_t* b = ScanLine(height_ - 1 - y);
    std::memcpy(tmp.data(), a, line);
    std::memcpy(a, b, line);
    std::memcpy(b, tmp.data(), line);
  }
}

void TBitmapEx::FlipHorizontal() {
  const int32_t bpp = BytesPerPixel();
  for (int32_t y = 0; y < height_; ++y) {
    uint8_t* row = ScanLine(y);
    for (int32_t l = 0, r = width_ - 1; l < r; ++l, --r) {
      for (int32_t k = 0; k < bpp; ++k) std::swap(row[l * bpp + k], row[r * bpp + k]);
    }
  }
}

namespace {

uint32_t KeyedPixel(uint32_t px, uint32_t keyRgb, double limit) {
  auto comp = [](uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF) / 255.0; };
  const double dr = comp(px, 16) - comp(keyRgb, 16);
  const double dg = comp(px, 8) - comp(keyRgb, 8);
  const double db = comp(px, 0) - comp(keyRgb, 0);
  const double d = std::sqrt(dr * dr + dg * dg + db * db);
  if (d >= limit) return px;
  // A sine-shaped ramp: fully transparent at the key, back to the pixel's own alpha at the limit.
  const double t = SmoothStep(d / limit);
  const uint32_t a = static_cast<uint32_t>(std::lround((px >> 24) * t));
  return (px & 0x00FFFFFFu) | (std::min<uint32_t>(a, 255) << 24);
}

}  // namespace

bool TBitmapEx::Repack(const TBitmapEx& source, TBitmapEx& dest, int32_t mode, uint32_t keyColour,
                       int32_t tolerance, TGfxSize destCell, TGfxSize sourceCell, TGfxSize textureSize,
                       const TBitmapEx* mask) {
  dest.format_ = pf32bit;
  dest.width_ = dest.height_ = 0;
  dest.data_.clear();
  if (sourceCell.Width < 1 || sourceCell.Height < 1 || destCell.Width < 1 || destCell.Height < 1 ||
      textureSize.Width < 1 || textureSize.Height < 1 || source.format_ != pf32bit) {
    return false;
  }
  const int64_t columns = source.width_ / sourceCell.Width;
  const int64_t rows = source.height_ / sourceCell.Height;
  const int64_t total = columns * rows;
  const int64_t perRow = textureSize.Width / destCell.Width;
  const int64_t perColumn = textureSize.Height / destCell.Height;
  const int64_t perSheet = perRow * perColumn;
  if (perSheet < 1) return false;
  const int64_t sheets = (total + perSheet - 1) / perSheet;
  const int64_t destHeight = static_cast<int64_t>(textureSize.Height) * sheets;
  if (sheets == 0) return true;  // nothing to place: an empty destination
  if (textureSize.Width > MaxSide || destHeight > int64_t{1} << 30 ||
      static_cast<int64_t>(textureSize.Width) * destHeight > TGfxImage::MaxTextureBytes / 4) {
    return false;
  }
  dest.width_ = textureSize.Width;
  dest.height_ = static_cast<int32_t>(destHeight);
  dest.data_.assign(static_cast<size_t>(dest.width_) * static_cast<size_t>(dest.height_), 0);

  const int32_t copyW = std::min(sourceCell.Width, destCell.Width);
  const int32_t copyH = std::min(sourceCell.Height, destCell.Height);
  const int32_t srcOffX = std::max(0, (sourceCell.Width - copyW) / 2);
  const int32_t srcOffY = std::max(0, (sourceCell.Height - copyH) / 2);
  const int32_t dstOffX = (destCell.Width - copyW) / 2;
  const int32_t dstOffY = (destCell.Height - copyH) / 2;
  const bool useMask = mode == 1 && mask && mask->format_ == pf32bit && mask->width_ >= source.width_ &&
                       mask->height_ >= source.height_;
  const uint32_t keyRgb = SwapRedBlue(keyColour) & 0x00FFFFFFu;
  const double limit = tolerance / 57.73502692 + 0.025;

  std::vector<uint32_t> row(static_cast<size_t>(copyW));
  int64_t rowsCopied = 0;
  for (int64_t s = 0; s < total; ++s) {
    const int64_t sheet = s / perSheet, cell = s % perSheet;
    const int64_t dCol = cell % perRow, dRow = (cell / perRow) % perColumn;
    const int64_t sCol = s % columns, sRow = s / columns;
    const int64_t sx = sCol * sourceCell.Width + srcOffX, sy = sRow * sourceCell.Height + srcOffY;
    const int64_t dx = dCol * destCell.Width + dstOffX;
    const int64_t dy = sheet * textureSize.Height + dRow * destCell.Height + dstOffY;
    for (int32_t y = 0; y < copyH; ++y) {
      const uint32_t* src = source.Pixels() + (sy + y) * source.width_ + sx;
      std::memcpy(row.data(), src, row.size() * 4);
      if (useMask) {
        const uint32_t* m = mask->Pixels() + (sy + y) * mask->width_ + sx;
        for (int32_t x = 0; x < copyW; ++x) {
          const uint32_t r = (m[x] >> 16) & 0xFF, g = (m[x] >> 8) & 0xFF, b = m[x] & 0xFF;
          row[x] = (row[x] & 0x00FFFFFFu) | ((5 * r + 8 * g + 3 * b) / 16) << 24;
        }
      } else if (mode == 2) {
        for (auto& px : row) px = KeyedPixel(px, keyRgb, limit);
      }
      std::memcpy(dest.Pixels() + (dy + y) * dest.width_ + dx, row.data(), row.size() * 4);
      if (++rowsCopied % 8 == 0 && source.OnProgress) source.OnProgress();
    }
  }
  return true;
}
