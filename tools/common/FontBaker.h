#pragma once
// Bakes a TrueType/OpenType font into a font record: one glyph per 8-bit code (Windows-1252)
// from FirstChar to LastChar, white texels whose alpha is the glyph's coverage, A8R8G8B8.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/RecordWriters.h"

namespace vxtools {

struct TFontBakeOptions {
  std::string FontFile;
  int32_t PixelSize = 16;   // em size in pixels
  uint32_t FirstChar = 32;
  uint32_t LastChar = 255;
  int32_t MaxTexture = 1024;  // largest texture side tried before using several textures
};

struct TBakedFont {
  TFontRecordInfo Info;           // first character, metrics (pixel size, ascender), glyph table
  std::vector<uint8_t> Record;    // the whole font record
};

// False with a reason when the font cannot be read or the options make no sense.
bool BakeFont(const TFontBakeOptions& options, TBakedFont& result, std::string* error = nullptr);

// The Unicode code point of a Windows-1252 byte (0 for the five unassigned codes).
uint32_t Cp1252ToUnicode(uint8_t code);

}  // namespace vxtools
