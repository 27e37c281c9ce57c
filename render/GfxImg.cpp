#include "render/GfxImg.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/BitmapEx.h"
#include "render/RecDb.h"
#include "render/StreamEx.h"
#include "render/Streams.h"

void TGfxImage::SetPatternSize(TGfxSize size) {
  patternSize_ = size;
  RecomputeCounts();
}

void TGfxImage::SetTextureSize(TGfxSize size) {
  textureSize_ = size;
  RecomputeCounts();
}

void TGfxImage::RecomputeCounts() {
  patternsPerRow_ = patternSize_.Width >= 1 ? textureSize_.Width / patternSize_.Width : 0;
  patternsPerColumn_ = patternSize_.Height >= 1 ? textureSize_.Height / patternSize_.Height : 0;
  const int64_t perTexture = static_cast<int64_t>(patternsPerRow_) * patternsPerColumn_;
  patternsPerTexture_ = static_cast<int32_t>(std::min<int64_t>(perTexture, INT32_MAX));
}

int32_t TGfxImage::Release() {
  ReleaseTextures();
  patternSize_ = textureSize_ = visibleSize_ = TGfxSize{};
  patternCount_ = textureCount_ = 0;
  RecomputeCounts();
  loaded_ = false;
  return 0;
}

namespace {

bool SideOk(int32_t v) { return v >= 1 && v <= TGfxImage::MaxSide; }

// The header of an image record, checked as a whole before anything is created: sizes
// within 1..MaxSide with visible <= pattern <= texture, counts that the textures can hold,
// and every product in 64 bits.
bool HeaderOk(int format, TGfxSize pattern, TGfxSize visible, int32_t patternCount, TGfxSize texture,
              int32_t textureCount) {
  if (!IsValidColorFormat(format)) return false;
  if (!SideOk(pattern.Width) || !SideOk(pattern.Height) || !SideOk(visible.Width) || !SideOk(visible.Height) ||
      !SideOk(texture.Width) || !SideOk(texture.Height)) {
    return false;
  }
  if (visible.Width > pattern.Width || visible.Height > pattern.Height || pattern.Width > texture.Width ||
      pattern.Height > texture.Height) {
    return false;
  }
  if (textureCount < 1 || textureCount > TGfxImage::MaxTextures) return false;
  const int64_t texels = static_cast<int64_t>(texture.Width) * texture.Height * textureCount;
  if (texels * 4 > TGfxImage::MaxTextureBytes) return false;
  const int64_t perTexture =
      static_cast<int64_t>(texture.Width / pattern.Width) * static_cast<int64_t>(texture.Height / pattern.Height);
  return patternCount >= 0 && patternCount <= perTexture * textureCount;
}

}  // namespace

int32_t TGfxImage::LoadFromStream(TStream& stream, TColorFormat format) {
  UserFlag = false;
  if (loaded_) Release();
  if (!IsValidColorFormat(format)) return errInvalidCall;
  int storedFormat;
  TGfxSize pattern, visible, texture;
  int32_t patternCount, textureCount;
  try {
    storedFormat = StreamReadU8(stream);
    pattern.Width = StreamReadI32(stream);
    pattern.Height = StreamReadI32(stream);
    visible.Width = StreamReadI32(stream);
    visible.Height = StreamReadI32(stream);
    patternCount = StreamReadI32(stream);
    texture.Width = StreamReadI32(stream);
    texture.Height = StreamReadI32(stream);
    textureCount = StreamReadI32(stream);
  } catch (const EStreamError&) {
    return errArchiveRead;
  }
  if (!HeaderOk(storedFormat, pattern, visible, patternCount, texture, textureCount)) return errImageFormat;
  const TColorFormat stored = static_cast<TColorFormat>(storedFormat);
  const int64_t storedRow = static_cast<int64_t>(texture.Width) * ColorFormatBytes[stored];
  // The pixel rows must all be there before any texture is made.
  if (storedRow * texture.Height * textureCount > stream.Remaining()) return errArchiveRead;

  int32_t code = MakeTexturesOf(pattern, visible, texture, textureCount, format, patternCount);
  if (code != 0) return code;
  std::vector<uint8_t> row(static_cast<size_t>(storedRow));
  std::vector<uint8_t> converted;
  std::vector<uint32_t> argb;
  TLineConverter convert = nullptr;
  const int32_t outRow = texture.Width * ColorFormatBytes[format];
  if (format != stored) {
    converted.resize(static_cast<size_t>(outRow));
    argb.resize(static_cast<size_t>(texture.Width));
    convert = GetLineConverter(format);
  }
  try {
    for (int32_t t = 0; t < textureCount && code == 0; ++t) {
      for (int32_t y = 0; y < texture.Height && code == 0; ++y) {
        stream.ReadBuffer(row.data(), storedRow);
        if (!convert) {
          WriteScanline(row.data(), static_cast<int32_t>(storedRow), code, y, t);
        } else {
          ConvertLineToARGB(row.data(), argb.data(), texture.Width, stored);
          convert(argb.data(), converted.data(), texture.Width);
          WriteScanline(converted.data(), outRow, code, y, t);
        }
      }
    }
  } catch (const EStreamError&) {
    code = errArchiveRead;
  }
  return FinishLoad(code);
}

int32_t TGfxImage::LoadFromBitmap(const TBitmapEx& bitmap, TGfxSize patternSize, TGfxSize visibleSize,
                                  TGfxSize textureSize, TColorFormat format) {
  UserFlag = false;
  if (loaded_) Release();
  if (!IsValidColorFormat(format) || !SideOk(patternSize.Width) || !SideOk(patternSize.Height) ||
      !SideOk(visibleSize.Width) || !SideOk(visibleSize.Height) || !SideOk(textureSize.Width) ||
      !SideOk(textureSize.Height) || patternSize.Width > textureSize.Width ||
      patternSize.Height > textureSize.Height) {
    return errInvalidCall;
  }
  TBitmapEx sheets;
  if (!TBitmapEx::Repack(bitmap, sheets, 0, 0, 0, visibleSize, patternSize, textureSize) || sheets.Empty()) {
    return errInvalidCall;
  }
  const int32_t textureCount = sheets.Height() / textureSize.Height;
  if (textureCount > MaxTextures) return errInvalidCall;
  int32_t code = MakeTexturesOf(patternSize, visibleSize, textureSize, textureCount, format);
  if (code != 0) return code;
  const TLineConverter convert = GetLineConverter(format);
  std::vector<uint8_t> row(static_cast<size_t>(textureSize.Width) * ColorFormatBytes[format]);
  for (int32_t t = 0; t < textureCount && code == 0; ++t) {
    for (int32_t y = 0; y < textureSize.Height && code == 0; ++y) {
      convert(reinterpret_cast<const uint32_t*>(sheets.ScanLine(t * textureSize.Height + y)), row.data(),
              textureSize.Width);
      WriteScanline(row.data(), static_cast<int32_t>(row.size()), code, y, t);
    }
  }
  return FinishLoad(code);
}

int32_t TGfxImage::LoadTiles(const TBitmapEx& picture, TGfxSize tile, TColorFormat format) {
  UserFlag = false;
  if (loaded_) Release();
  if (!IsValidColorFormat(format) || !SideOk(tile.Width) || !SideOk(tile.Height) || picture.Empty() ||
      picture.PixelFormat() != pf32bit) {
    return errInvalidCall;
  }
  const int32_t w = picture.Width();
  const int32_t h = picture.Height();
  const bool single = w <= tile.Width && h <= tile.Height;
  const TGfxSize cell = single ? TGfxSize{w, h} : tile;
  const int64_t columns = (int64_t{w} + cell.Width - 1) / cell.Width;
  const int64_t rows = (int64_t{h} + cell.Height - 1) / cell.Height;
  const int64_t count = columns * rows;
  if (count > MaxTextures || int64_t{tile.Width} * tile.Height * count > MaxTextureBytes / 4) return errInvalidCall;
  int32_t code = MakeTexturesOf(cell, cell, tile, static_cast<int32_t>(count), format);
  if (code != 0) return code;
  const TLineConverter convert = GetLineConverter(format);
  // The 32-bit formats take the working colours unchanged: rows go from the picture straight
  // into the texture. The others are converted through a row of working colours.
  const bool asIs = format == COLOR_A8R8G8B8 || format == COLOR_X8R8G8B8;
  const int32_t texW = tile.Width;
  std::vector<uint32_t> argb(static_cast<size_t>(texW), 0);
  std::vector<uint8_t> converted(asIs ? 0 : static_cast<size_t>(texW) * ColorFormatBytes[format]);
  const int32_t outBytes = texW * ColorFormatBytes[format];
  auto write = [&](const uint32_t* line, int32_t y, int32_t t) {
    if (asIs) {
      WriteScanline(line, outBytes, code, y, t);
    } else {
      convert(line, converted.data(), texW);
      WriteScanline(converted.data(), outBytes, code, y, t);
    }
  };
  for (int32_t t = 0; t < textureCount_ && code == 0; ++t) {
    const int32_t x0 = static_cast<int32_t>(t % columns) * cell.Width;
    const int32_t y0 = static_cast<int32_t>(t / columns) * cell.Height;
    const int32_t spanW = std::min(cell.Width, w - x0);
    const int32_t spanH = std::min(cell.Height, h - y0);
    for (int32_t y = 0; y < tile.Height && code == 0; ++y) {
      if (y >= spanH) {
        std::fill(argb.begin(), argb.end(), 0u);
        write(argb.data(), y, t);
        continue;
      }
      const uint32_t* source = picture.Pixels() + static_cast<size_t>(y0 + y) * static_cast<size_t>(w) + x0;
      if (spanW == texW) {
        write(source, y, t);
      } else {
        std::memcpy(argb.data(), source, static_cast<size_t>(spanW) * 4);
        std::fill(argb.begin() + spanW, argb.end(), 0u);
        write(argb.data(), y, t);
      }
    }
  }
  return FinishLoad(code);
}

int32_t TGfxImage::MakeTexturesOf(TGfxSize pattern, TGfxSize visible, TGfxSize texture, int32_t textureCount,
                                  TColorFormat format, int32_t patternCount) {
  format_ = format;
  patternSize_ = pattern;
  visibleSize_ = visible;
  textureSize_ = texture;
  textureCount_ = textureCount;
  RecomputeCounts();
  patternCount_ = patternCount >= 0 ? patternCount : patternsPerTexture_ * textureCount_;
  const int32_t code = CreateTextures();
  if (code != 0) Release();
  return code;
}

int32_t TGfxImage::FinishLoad(int32_t code) {
  if (code != 0) {
    Release();
    return code;
  }
  loaded_ = true;
  TexelsComplete();
  return 0;
}

bool TGfxImage::PatternRect(const TGfxPattern& request, int32_t& texture, TGfxRect& rect) const {
  if (patternCount_ < 1 || patternsPerTexture_ < 1 || patternsPerRow_ < 1 || patternsPerColumn_ < 1) return false;
  const int32_t index = std::clamp(request.Pattern, 0, patternCount_ - 1);
  texture = index / patternsPerTexture_;
  if (texture >= textureCount_) return false;
  const int32_t p = index % patternsPerTexture_;
  const int32_t column = p % patternsPerRow_;
  const int32_t row = (p / patternsPerRow_) % patternsPerColumn_;
  int32_t x1 = column * patternSize_.Width + request.X + (patternSize_.Width - visibleSize_.Width) / 2;
  int32_t y1 = row * patternSize_.Height + request.Y + (patternSize_.Height - visibleSize_.Height) / 2;
  int32_t x2 = x1 + (request.Width >= 1 ? request.Width : visibleSize_.Width);
  int32_t y2 = y1 + (request.Height >= 1 ? request.Height : visibleSize_.Height);
  if (request.Mirror) std::swap(x1, x2);
  if (request.Flip) std::swap(y1, y2);
  rect = TGfxRect{x1, y1, x2, y2};
  return true;
}

// ---- TGfxImages ---------------------------------------------------------------------------

TGfxImages::~TGfxImages() { Clear(); }

void TGfxImages::SetDevice(TGfxDevice* device) {
  device_ = device;
  for (auto& image : items_) image->Device = device;
}

void TGfxImages::DeviceInserted(TGfxDevice* device) {
  if (!device_ && device) SetDevice(device);
}

void TGfxImages::DeviceRemoved(TGfxDevice* device) {
  if (device && device == device_) SetDevice(nullptr);
}

TGfxImage* TGfxImages::Items(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TGfxImage* TGfxImages::Add(std::unique_ptr<TGfxImage> image) {
  if (!image) return nullptr;
  image->Device = device_;
  items_.push_back(std::move(image));
  return items_.back().get();
}

void TGfxImages::Replace(int32_t index, std::unique_ptr<TGfxImage> image) {
  if (index < 0 || index >= Count() || !image) return;
  items_[static_cast<size_t>(index)] = std::move(image);
}

void TGfxImages::Clear() {
  // Last to first, the order the list was built in reversed.
  while (!items_.empty()) items_.pop_back();
}
