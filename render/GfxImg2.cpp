#include "render/GfxImg2.h"

#include <algorithm>
#include <cstring>

TGfxImage2::~TGfxImage2() { ReleaseTextures(); }

int32_t TGfxImage2::CreateTextures() {
  ReleaseTextures();
  if (textureCount_ < 0 || textureSize_.Width < 0 || textureSize_.Height < 0) return errInvalidCall;
  const size_t bytes = static_cast<size_t>(textureSize_.Width) * static_cast<size_t>(textureSize_.Height) * 4;
  blocks_.resize(static_cast<size_t>(textureCount_));
  for (auto& b : blocks_) b.assign(bytes, 0);
  texturesReady_ = true;
  return 0;
}

void TGfxImage2::ReleaseTextures() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  texturesReady_ = false;
}

uint8_t* TGfxImage2::Texel(int32_t x, int32_t y, int32_t texture) {
  if (texture < 0 || texture >= static_cast<int32_t>(blocks_.size()) || x < 0 || y < 0 ||
      x >= textureSize_.Width || y >= textureSize_.Height) {
    return nullptr;
  }
  return blocks_[static_cast<size_t>(texture)].data() +
         (static_cast<size_t>(y) * static_cast<size_t>(textureSize_.Width) + static_cast<size_t>(x)) * 4;
}

uint8_t* TGfxImage2::Row(int32_t line, int32_t texture, int32_t byteCount) {
  const int32_t bpp = std::max(1, BytesPerPixel());
  if (byteCount < 0 || static_cast<int64_t>(byteCount) > static_cast<int64_t>(textureSize_.Width) * bpp) return nullptr;
  return Texel(0, line, texture);
}

uint32_t TGfxImage2::GetPixel(int32_t x, int32_t y, int32_t texture) {
  if (!loaded_) return 0;
  const uint8_t* p = Texel(x, y, texture);
  return p ? ReadPixel(p, format_) : 0;
}

void TGfxImage2::SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) {
  if (!loaded_) return;
  uint8_t* p = Texel(x, y, texture);
  if (p) WritePixel(SwapRedBlue(colour), p, format_);
}

void TGfxImage2::WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                               int32_t texture) {
  uint8_t* row = Row(line, texture, byteCount);
  if (!row) {
    code = errInvalidCall;
    return;
  }
  const int32_t bpp = BytesPerPixel();
  if (bpp == 4 || bpp == 0) {
    if (byteCount > 0) std::memcpy(row, source, static_cast<size_t>(byteCount));
    return;
  }
  // Narrower formats: each texel's bytes go to the start of its own 4-byte texel, where
  // GetPixel and the rasteriser look for them.
  const uint8_t* s = static_cast<const uint8_t*>(source);
  for (int32_t i = 0; i + bpp <= byteCount; i += bpp, row += 4) std::memcpy(row, s + i, static_cast<size_t>(bpp));
}

void TGfxImage2::ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line, int32_t texture) {
  uint8_t* row = Row(line, texture, byteCount);
  if (!row) {
    code = errInvalidCall;
    return;
  }
  const int32_t bpp = BytesPerPixel();
  if (bpp == 4 || bpp == 0) {
    if (byteCount > 0) std::memcpy(dest, row, static_cast<size_t>(byteCount));
    return;
  }
  uint8_t* d = static_cast<uint8_t*>(dest);
  for (int32_t i = 0; i + bpp <= byteCount; i += bpp, row += 4) std::memcpy(d + i, row, static_cast<size_t>(bpp));
}

int32_t TGfxImage2::GetPatternTexture(const TGfxPattern& request, TImageTexture& texture, TGfxRect& rect) {
  if (!texturesReady_ || blocks_.empty() || patternCount_ < 1) return errInvalidCall;
  int32_t t = 0;
  if (!PatternRect(request, t, rect) || t >= static_cast<int32_t>(blocks_.size())) return errInvalidCall;
  texture.Bits = blocks_[static_cast<size_t>(t)].data();
  texture.Pitch = textureSize_.Width * 4;
  texture.Width = textureSize_.Width;
  texture.Height = textureSize_.Height;
  return 0;
}
