#pragma once
// Writers of the two record kinds the library reads from archives: image records (a header
// and the textures' pixel rows in a stored format) and font records (first character, two
// metrics, the glyph table and an image record of the glyphs).
#include <cstdint>
#include <vector>

#include "render/GfxFormats.h"
#include "render/GfxImg.h"

class TBitmapEx;

namespace vxtools {

struct TImageRecordHeader {
  TColorFormat Stored = COLOR_A8R8G8B8;
  TGfxSize Pattern;
  TGfxSize Visible;
  int32_t PatternCount = 0;
  TGfxSize Texture;
  int32_t TextureCount = 0;
};

// The header bytes alone (33 bytes), written exactly as given: tests use it to make damaged
// records too.
std::vector<uint8_t> EncodeImageRecordHeader(const TImageRecordHeader& header);

// A full record from 32-bit sheets: Texture.Width x (Texture.Height x TextureCount) pixels
// (0xAARRGGBB, top row first), narrowed into the stored format.
std::vector<uint8_t> EncodeImageRecord(const TImageRecordHeader& header, const uint32_t* sheets);

// A record from a picture cut into patterns of `pattern`, each centred in a `visible` cell,
// packed into textures of `texture`. Throws std::invalid_argument on impossible geometry.
std::vector<uint8_t> EncodeImageRecordFromPicture(const TBitmapEx& picture, TGfxSize pattern, TGfxSize visible,
                                                  TGfxSize texture, TColorFormat stored);

struct TFontRecordInfo {
  uint32_t FirstChar = 32;
  uint32_t Metric1 = 0;
  uint32_t Metric2 = 0;
  std::vector<TGfxSize> Glyphs;  // width and height of each glyph, before scaling
};

std::vector<uint8_t> EncodeFontRecord(const TFontRecordInfo& info, const std::vector<uint8_t>& imageRecord);

}  // namespace vxtools
