#pragma once
// TPngPicture: reads Portable Network Graphics pictures (every standard colour type and bit
// depth, the five scan-line filters, Adam7) into 32-bit pixels 0xAARRGGBB, row 0 at the top.
// Colour types with alpha (4 and 6) carry their alpha; every other picture comes out opaque,
// as the picture loader has always shown them. Failures raise the exceptions below.
#include <cstdint>
#include <string>
#include <vector>

#include "core/Exception.h"

class TStream;
class TBitmapEx;

#define VX_PNG_EXCEPTION(Name)      \
  class Name : public Exception {   \
  public:                           \
    using Exception::Exception;     \
  }
VX_PNG_EXCEPTION(EPngError);
VX_PNG_EXCEPTION(EPngUnexpectedEnd);
VX_PNG_EXCEPTION(EPngInvalidCRC);
VX_PNG_EXCEPTION(EPngInvalidIHDR);
VX_PNG_EXCEPTION(EPNGMissingMultipleIDAT);
VX_PNG_EXCEPTION(EPNGZLIBError);
VX_PNG_EXCEPTION(EPNGInvalidPalette);
VX_PNG_EXCEPTION(EPNGInvalidFileHeader);
VX_PNG_EXCEPTION(EPNGIHDRNotFirst);
VX_PNG_EXCEPTION(EPNGSizeExceeds);
VX_PNG_EXCEPTION(EPNGUnknownCriticalChunk);
VX_PNG_EXCEPTION(EPNGUnknownCompression);
VX_PNG_EXCEPTION(EPNGUnknownInterlace);
VX_PNG_EXCEPTION(EPNGNoImageData);
VX_PNG_EXCEPTION(EPNGHeaderNotPresent);
#undef VX_PNG_EXCEPTION

namespace pngtexts {
extern const char* const InvalidFileHeader;   // 65252
extern const char* const IHDRNotFirst;        // 65253
extern const char* const UnexpectedEnd;       // 65260
extern const char* const UnknownCriticalChunk;  // 65256
extern const char* const NoImageData;         // 65261
extern const char* const InvalidCRC;          // 65279
extern const char* const InvalidIHDR;         // 65248
extern const char* const SizeExceeds;         // 65254
extern const char* const UnknownCompression;  // 65257
extern const char* const UnknownInterlace;    // 65258
extern const char* const InvalidPalette;      // 65251
extern const char* const MissingMultipleIDAT;  // 65249
extern const char* const ZLIBError;           // 65250, followed by zlib's message
extern const char* const CannotResize;        // 65262
extern const char* const ChunksIncompatible;  // 65259
extern const char* const NoSuchPaletteEntry;  // 65255
extern const char* const HeaderNotPresent;    // 65263
// Our own: damage the old decoder let through.
extern const char* const InvalidFilter;
extern const char* const ChunkTooShort;
}  // namespace pngtexts

enum TPngTransparencyMode : uint8_t { ptmNone, ptmBit, ptmPartial };

struct TPngHeader {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint8_t BitDepth = 0;
  uint8_t ColorType = 0;
  uint8_t CompressionMethod = 0;
  uint8_t FilterMethod = 0;
  uint8_t InterlaceMethod = 0;
};

// A chunk kept with the picture: its name and raw data (image data is not kept).
struct TPngChunk {
  std::string Name;
  std::vector<uint8_t> Data;
};

struct TPngText {
  std::string Keyword;
  std::string Text;
  bool Compressed = false;
};

struct TPngTime {
  uint16_t Year = 0;
  uint8_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TPngPicture {
public:
  // Largest picture decoded: 65535 on a side (the format's own limit here) and 2^24 pixels
  // in all, the picture loader's budget. Past either: EPNGSizeExceeds.
  static constexpr uint32_t MaxSide = 65535;
  static constexpr int64_t MaxPixels = int64_t{1} << 24;

  // Replaces the picture with the one read from the stream's position.
  void LoadFromStream(TStream& stream);

  bool HasHeader() const { return hasHeader_; }
  const TPngHeader& Header() const;
  int32_t Width() const { return static_cast<int32_t>(header_.Width); }
  int32_t Height() const { return static_cast<int32_t>(header_.Height); }
  bool Empty() const { return pixels_.empty(); }
  // Setting the size is not how a picture is made: raises EPngError (65262).
  void SetWidth(int32_t);
  void SetHeight(int32_t);

  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[static_cast<size_t>(y) * header_.Width + x]; }

  // Palette entry as 0x00RRGGBB (grey pictures: their grey levels). An index past the
  // palette raises EPngError (65255).
  uint32_t PaletteEntry(int32_t index) const;
  int32_t PaletteCount() const { return static_cast<int32_t>(palette_.size()); }

  TPngTransparencyMode TransparencyMode() const;
  // The colour that bit transparency makes transparent, 0x00RRGGBB.
  uint32_t TransparentColor() const;
  const std::vector<uint8_t>& Transparency() const { return trns_; }

  uint32_t Gamma() const { return gamma_; }  // 0 when the picture has no (usable) gAMA
  const std::vector<TPngText>& Texts() const { return texts_; }
  bool HasTime() const { return hasTime_; }
  const TPngTime& Time() const { return time_; }
  // Every chunk read, in file order, except the image data.
  const std::vector<TPngChunk>& Chunks() const { return chunks_; }

  // Hands the picture to the loader's bitmap: 32-bit pixels with their alpha. Works out the
  // transparent colour for bit transparency first (so a tRNS naming a palette entry that
  // does not exist raises 65255, as it always has). No header: EPNGHeaderNotPresent.
  void AssignTo(TBitmapEx& bitmap) const;
  // LoadFromStream then AssignTo, with the pixels decoded straight into the bitmap (the
  // picture's own Pixels() stay empty).
  void LoadInto(TStream& stream, TBitmapEx& bitmap);

private:
  void Clear();
  void ReadHeader(const std::vector<uint8_t>& data);
  void ReadPalette(const std::vector<uint8_t>& data);
  void ReadTransparency(const std::vector<uint8_t>& data);
  void ReadGamma(const std::vector<uint8_t>& data);
  void ReadText(const std::vector<uint8_t>& data, bool compressed);
  void ReadTime(const std::vector<uint8_t>& data);
  void DecodeImage(TStream& stream, std::vector<uint8_t> firstData);

  TPngHeader header_;
  bool hasHeader_ = false;
  std::vector<uint32_t> palette_;  // 0x00RRGGBB
  std::vector<uint8_t> trns_;
  bool hasTrns_ = false;
  uint32_t gamma_ = 0;
  uint8_t gammaTable_[256] = {};
  std::vector<TPngText> texts_;
  TPngTime time_;
  bool hasTime_ = false;
  std::vector<TPngChunk> chunks_;
  std::vector<uint32_t> pixels_;
  TBitmapEx* into_ = nullptr;  // where LoadInto decodes to
};
