#pragma once
// The image of the two software devices: each texture is a plain block of memory, one texel
// every 4 bytes whatever the format (the format's bytes at the start of each texel), read by
// the software rasteriser.
#include <cstdint>
#include <vector>

#include "render/GfxImg.h"

// A texture block as the rasteriser reads it.
struct TImageTexture {
  uint8_t* Bits = nullptr;
  int32_t Pitch = 0;   // bytes per row (width x 4)
  int32_t Width = 0;   // texels per row
  int32_t Height = 0;  // rows
};

class TGfxImage2 : public TGfxImage {
public:
  TGfxImage2() = default;
  ~TGfxImage2() override;

  bool TexturesReady() const { return texturesReady_; }

  int32_t CreateTextures() override;
  void ReleaseTextures() override;
  // 0 when not loaded or outside the texture; else the texel widened from Format.
  uint32_t GetPixel(int32_t x, int32_t y, int32_t texture) override;
  // Only when loaded and inside the texture: red and blue of the $AABBGGRR colour are
  // exchanged, then the texel is written in Format.
  void SetPixel(int32_t x, int32_t y, uint32_t colour, int32_t texture) override;
  // A row of pixels packed in Format; each texel lands at the start of its 4-byte texel. A row
  // out of range, or more bytes than a row holds, sets code -1 and copies nothing.
  void WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line,
                     int32_t texture) override;
  void ReadScanline(void* dest, int32_t byteCount, int32_t& code, int32_t line, int32_t texture) override;

  // The block and rectangle of a pattern for the rasteriser; -1 unless the textures exist
  // and there is at least one pattern.
  int32_t GetPatternTexture(const TGfxPattern& request, TImageTexture& texture, TGfxRect& rect);

private:
  uint8_t* Texel(int32_t x, int32_t y, int32_t texture);
  uint8_t* Row(int32_t line, int32_t texture, int32_t byteCount);

  bool texturesReady_ = false;
  std::vector<std::vector<uint8_t>> blocks_;
};
