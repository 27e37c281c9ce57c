#include "render/PngPicture.h"

#include <zlib.h>

#include <cmath>
#include <cstring>

#include "core/Rounding.h"
#include "render/BitmapEx.h"
#include "render/DataStreams.h"
#include "render/Streams.h"

namespace pngtexts {
const char* const InvalidFileHeader =
    "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an invalid "
    "header. This file may be corruped, try obtaining it again.";
const char* const IHDRNotFirst =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n(IHDR chunk is not the "
    "first)";
const char* const UnexpectedEnd =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the file.";
const char* const UnknownCriticalChunk =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
const char* const NoImageData = "This \"Portable Network Graphics\" image contains no data.";
const char* const InvalidCRC =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)";
const char* const InvalidIHDR =
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data (ihdr) "
    "might be corrupted";
const char* const SizeExceeds =
    "This \"Portable Network Graphics\" image is not supported because either it's width or height exceeds the "
    "maximum size, which is 65535 pixels length.";
const char* const UnknownCompression =
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not be "
    "decoded.";
const char* const UnknownInterlace =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
const char* const InvalidPalette = "The \"Portable Network Graphics\" image contains an invalid palette.";
const char* const MissingMultipleIDAT =
    "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
const char* const ZLIBError =
    "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
const char* const CannotResize =
    "The \"Portable Network Graphics\" image can not be resize by changing width and height properties. Try "
    "assigning the image from a bitmap.";
const char* const ChunksIncompatible = "The chunks must be compatible to be assigned.";
const char* const NoSuchPaletteEntry = "There is no such palette entry.";
const char* const HeaderNotPresent =
    "This operation is not valid because the current image contains no valid header.";
const char* const InvalidFilter =
    "This \"Portable Network Graphics\" image is invalid because a scan line uses an unknown filter.";
const char* const ChunkTooShort =
    "This \"Portable Network Graphics\" image is invalid because one of its chunks is too short.";
}  // namespace pngtexts

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// The standard's own limit on chunk lengths.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;
// zTXt texts are notes, not pictures: they inflate no further than this.
constexpr size_t kMaxTextSize = size_t{1} << 20;

uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

// Reads exactly `count` bytes or raises EPngUnexpectedEnd.
void ReadExactly(TStream& stream, void* buffer, int64_t count) {
  if (stream.Read(buffer, count) != count) throw EPngUnexpectedEnd(pngtexts::UnexpectedEnd);
}

struct ChunkHead {
  uint32_t length = 0;
  char name[5] = {};
};

// False when the stream ends before a whole length and name.
bool ReadChunkHead(TStream& stream, ChunkHead& head) {
  uint8_t bytes[8];
  if (stream.Read(bytes, 8) != 8) return false;
  head.length = BigEndian32(bytes);
  std::memcpy(head.name, bytes + 4, 4);
  return true;
}

// Reads the chunk's data and checks its CRC. The length must fit the format and the stream.
std::vector<uint8_t> ReadChunkData(TStream& stream, const ChunkHead& head) {
  if (head.length > kMaxChunkLength || static_cast<int64_t>(head.length) + 4 > stream.Remaining()) {
    throw EPngUnexpectedEnd(pngtexts::UnexpectedEnd);
  }
  std::vector<uint8_t> data(head.length);
  uint8_t crc[4];
  ReadExactly(stream, data.data(), head.length);
  ReadExactly(stream, crc, 4);
  uint32_t c = Crc32Update(0, head.name, 4);
  c = Crc32Update(c, data.data(), data.size());
  if (c != BigEndian32(crc)) throw EPngInvalidCRC(pngtexts::InvalidCRC);
  return data;
}

int SamplesPerPixel(uint8_t colorType) {
  switch (colorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}

bool StandardCombination(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the scan line's filter in place. Both rows have `bpp` zero bytes in front of the
// data, so the byte to the left of the first one reads 0.
void Unfilter(uint8_t filter, uint8_t* cur, const uint8_t* prev, size_t bpp, size_t rowBytes) {
  const size_t endAt = bpp + rowBytes;
  switch (filter) {
    case 0:
      break;
    case 1:
      for (size_t i = bpp; i < endAt; ++i) cur[i] = static_cast<uint8_t>(cur[i] + cur[i - bpp]);
      break;
    case 2:
      for (size_t i = bpp; i < endAt; ++i) cur[i] = static_cast<uint8_t>(cur[i] + prev[i]);
      break;
    case 3:
      for (size_t i = bpp; i < endAt; ++i) cur[i] = static_cast<uint8_t>(cur[i] + ((cur[i - bpp] + prev[i]) >> 1));
      break;
    case 4:
      for (size_t i = bpp; i < endAt; ++i) cur[i] = static_cast<uint8_t>(cur[i] + Paeth(cur[i - bpp], prev[i], prev[i - bpp]));
      break;
    default:
      throw EPngError(pngtexts::InvalidFilter);
  }
}

// The IDAT run: image data inflated across consecutive IDAT chunks, each read as needed.
class IdatReader {
public:
  IdatReader(TStream& stream, std::vector<uint8_t> first) : stream_(stream), data_(std::move(first)) {
    std::memset(&z_, 0, sizeof z_);
    if (inflateInit(&z_) != Z_OK) Fail(Z_MEM_ERROR);
    z_.next_in = data_.data();
    z_.avail_in = static_cast<uInt>(data_.size());
  }
  ~IdatReader() { inflateEnd(&z_); }
  IdatReader(const IdatReader&) = delete;
  IdatReader& operator=(const IdatReader&) = delete;

  void Read(uint8_t* out, size_t count) {
    z_.next_out = out;
    z_.avail_out = static_cast<uInt>(count);
    while (z_.avail_out > 0) {
      if (z_.avail_in == 0) {
        NextChunk();
        continue;  // an empty IDAT is allowed: take the next one
      }
      const int rc = inflate(&z_, Z_NO_FLUSH);
      if (rc == Z_STREAM_END) {
        if (z_.avail_out > 0) throw EPNGMissingMultipleIDAT(pngtexts::MissingMultipleIDAT);
        break;
      }
      if (rc != Z_OK) Fail(rc);
    }
  }

private:
  void NextChunk() {
    ChunkHead head;
    if (!ReadChunkHead(stream_, head) || std::memcmp(head.name, "IDAT", 4) != 0) {
      throw EPNGMissingMultipleIDAT(pngtexts::MissingMultipleIDAT);
    }
    data_ = ReadChunkData(stream_, head);
    z_.next_in = data_.data();
    z_.avail_in = static_cast<uInt>(data_.size());
  }
  [[noreturn]] void Fail(int rc) {
    const char* message = z_.msg != nullptr ? z_.msg : zError(rc == Z_NEED_DICT ? Z_DATA_ERROR : rc);
    throw EPNGZLIBError(std::string(pngtexts::ZLIBError) + message);
  }

  TStream& stream_;
  std::vector<uint8_t> data_;
  z_stream z_;
};

struct Adam7Pass {
  uint32_t x0, y0, dx, dy;
};
constexpr Adam7Pass kPasses[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Adam7Pass kWhole = {0, 0, 1, 1};

}  // namespace

void TPngPicture::Clear() { *this = TPngPicture(); }

const TPngHeader& TPngPicture::Header() const {
  if (!hasHeader_) throw EPNGHeaderNotPresent(pngtexts::HeaderNotPresent);
  return header_;
}

void TPngPicture::SetWidth(int32_t) { throw EPngError(pngtexts::CannotResize); }
void TPngPicture::SetHeight(int32_t) { throw EPngError(pngtexts::CannotResize); }

void TPngPicture::LoadInto(TStream& stream, TBitmapEx& bitmap) {
  into_ = &bitmap;
  try {
    LoadFromStream(stream);
  } catch (...) {
    into_ = nullptr;
    throw;
  }
  into_ = nullptr;
  if (TransparencyMode() == ptmBit) (void)TransparentColor();
}

void TPngPicture::LoadFromStream(TStream& stream) {
  TBitmapEx* const into = into_;
  Clear();
  into_ = into;
  uint8_t signature[8];
  if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) {
    throw EPNGInvalidFileHeader(pngtexts::InvalidFileHeader);
  }
  bool first = true, imageSeen = false;
  for (;;) {
    ChunkHead head;
    if (!ReadChunkHead(stream, head)) throw EPngUnexpectedEnd(pngtexts::UnexpectedEnd);
    const std::string name(head.name, 4);
    if (first && name != "IHDR") throw EPNGIHDRNotFirst(pngtexts::IHDRNotFirst);
    first = false;
    if (name == "cHRM" || (name == "IDAT" && imageSeen)) {
      if (head.length > kMaxChunkLength || static_cast<int64_t>(head.length) + 4 > stream.Remaining()) {
        throw EPngUnexpectedEnd(pngtexts::UnexpectedEnd);
      }
      stream.Seek(static_cast<int64_t>(head.length) + 4, soCurrent);
      continue;
    }
    static const char* const known[] = {"IHDR", "PLTE", "IDAT", "tRNS", "gAMA", "tIME", "tEXt", "zTXt", "IEND"};
    bool isKnown = false;
    for (const char* k : known) isKnown = isKnown || name == k;
    if (!isKnown && name[0] >= 'A' && name[0] <= 'Z') {
      throw EPNGUnknownCriticalChunk(pngtexts::UnknownCriticalChunk);
    }
    std::vector<uint8_t> data = ReadChunkData(stream, head);
    if (name == "IDAT") {
      chunks_.push_back({name, {}});
      if (!hasHeader_) throw EPNGHeaderNotPresent(pngtexts::HeaderNotPresent);
      imageSeen = true;
      DecodeImage(stream, std::move(data));
      continue;
    }
    chunks_.push_back({name, data});
    if (name == "IHDR") {
      ReadHeader(data);
    } else if (name == "PLTE") {
      ReadPalette(data);
    } else if (name == "tRNS") {
      ReadTransparency(data);
    } else if (name == "gAMA") {
      ReadGamma(data);
    } else if (name == "tIME") {
      ReadTime(data);
    } else if (name == "tEXt" || name == "zTXt") {
      ReadText(data, name == "zTXt");
    } else if (name == "IEND") {
      break;
    }
  }
  if (!imageSeen) throw EPNGNoImageData(pngtexts::NoImageData);
}

// The header's checks are the only limits a PNG meets: the loader's bitmap takes any picture
// they let through.
static_assert(TPngPicture::MaxSide <= TBitmapEx::MaxWideSide && TPngPicture::MaxPixels <= TBitmapEx::MaxPixels);

void TPngPicture::ReadHeader(const std::vector<uint8_t>& data) {
  // A second header would change the picture under data already decoded for the first.
  if (data.size() < 13 || hasHeader_) throw EPngInvalidIHDR(pngtexts::InvalidIHDR);
  TPngHeader h;
  h.Width = BigEndian32(data.data());
  h.Height = BigEndian32(data.data() + 4);
  h.BitDepth = data[8];
  h.ColorType = data[9];
  h.CompressionMethod = data[10];
  h.FilterMethod = data[11];
  h.InterlaceMethod = data[12];
  if (h.Width > MaxSide || h.Height > MaxSide) throw EPNGSizeExceeds(pngtexts::SizeExceeds);
  if (h.Width == 0 || h.Height == 0) throw EPngInvalidIHDR(pngtexts::InvalidIHDR);
  if (h.CompressionMethod != 0) throw EPNGUnknownCompression(pngtexts::UnknownCompression);
  if (h.InterlaceMethod > 1) throw EPNGUnknownInterlace(pngtexts::UnknownInterlace);
  if (!StandardCombination(h.ColorType, h.BitDepth)) throw EPngInvalidIHDR(pngtexts::InvalidIHDR);
  if (static_cast<int64_t>(h.Width) * h.Height > MaxPixels) throw EPNGSizeExceeds(pngtexts::SizeExceeds);
  header_ = h;
  hasHeader_ = true;
  for (int i = 0; i < 256; ++i) gammaTable_[i] = static_cast<uint8_t>(i);
  if (h.ColorType == 0 || h.ColorType == 4) {
    const uint32_t levels = 1u << (h.BitDepth >= 8 ? 8 : h.BitDepth);
    palette_.resize(levels);
    for (uint32_t i = 0; i < levels; ++i) palette_[i] = (i * 255 / (levels - 1)) * 0x010101u;
  }
}

void TPngPicture::ReadPalette(const std::vector<uint8_t>& data) {
  if (data.size() % 3 != 0 || data.size() > 256 * 3) throw EPNGInvalidPalette(pngtexts::InvalidPalette);
  // Grey pictures keep their grey levels: a palette there is not the picture's colours.
  if (header_.ColorType == 0 || header_.ColorType == 4) return;
  palette_.resize(data.size() / 3);
  for (size_t i = 0; i < palette_.size(); ++i) {
    palette_[i] = static_cast<uint32_t>(data[i * 3]) << 16 | static_cast<uint32_t>(data[i * 3 + 1]) << 8 | data[i * 3 + 2];
  }
}

void TPngPicture::ReadTransparency(const std::vector<uint8_t>& data) {
  if (data.size() > 256) throw EPNGInvalidPalette(pngtexts::InvalidPalette);
  const size_t need = header_.ColorType == 0 ? 2 : header_.ColorType == 2 ? 6 : 0;
  if (data.size() < need) throw EPngError(pngtexts::ChunkTooShort);
  trns_ = data;
  hasTrns_ = true;
}

void TPngPicture::ReadGamma(const std::vector<uint8_t>& data) {
  if (data.size() < 4) throw EPngError(pngtexts::ChunkTooShort);
  const uint32_t g = BigEndian32(data.data());
  // A zero gamma has no meaning (and would divide by zero): the picture is shown as stored.
  if (g == 0) return;
  gamma_ = g;
  const double exponent = 1.0 / (g / 100000.0 * 2.2);
  for (int i = 0; i < 256; ++i) {
    const int64_t v = vx::Round(std::pow(i / 255.0, exponent) * 255.0);
    gammaTable_[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
}

void TPngPicture::ReadTime(const std::vector<uint8_t>& data) {
  if (data.size() < 7) return;
  time_ = TPngTime{BigEndian16(data.data()), data[2], data[3], data[4], data[5], data[6]};
  hasTime_ = true;
}

void TPngPicture::ReadText(const std::vector<uint8_t>& data, bool compressed) {
  TPngText text;
  text.Compressed = compressed;
  const auto* nul = static_cast<const uint8_t*>(std::memchr(data.data(), 0, data.size()));
  const size_t keyLength = nul != nullptr ? static_cast<size_t>(nul - data.data()) : data.size();
  text.Keyword.assign(reinterpret_cast<const char*>(data.data()), keyLength);
  size_t at = keyLength + 1;
  if (compressed) {
    // Keyword, NUL, method byte (0 = zlib), then the stream. A damaged text is kept as far
    // as it inflated: it never changes the picture.
    at += 1;
    if (at < data.size() && data[at - 1] == 0) {
      z_stream z;
      std::memset(&z, 0, sizeof z);
      if (inflateInit(&z) == Z_OK) {
        z.next_in = const_cast<uint8_t*>(data.data() + at);
        z.avail_in = static_cast<uInt>(data.size() - at);
        char buffer[4096];
        int rc = Z_OK;
        while (rc == Z_OK && text.Text.size() < kMaxTextSize) {
          z.next_out = reinterpret_cast<Bytef*>(buffer);
          z.avail_out = sizeof buffer;
          rc = inflate(&z, Z_NO_FLUSH);
          text.Text.append(buffer, sizeof buffer - z.avail_out);
          if (z.avail_out == sizeof buffer) break;
        }
        inflateEnd(&z);
        if (text.Text.size() > kMaxTextSize) text.Text.resize(kMaxTextSize);
      }
    }
  } else if (at < data.size()) {
    text.Text.assign(reinterpret_cast<const char*>(data.data() + at), data.size() - at);
  }
  texts_.push_back(std::move(text));
}

void TPngPicture::DecodeImage(TStream& stream, std::vector<uint8_t> firstData) {
  const TPngHeader& h = header_;
  const uint32_t W = h.Width;
  const size_t bitsPerPixel = static_cast<size_t>(SamplesPerPixel(h.ColorType)) * h.BitDepth;
  const size_t bpp = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
  uint32_t* pixels;
  if (into_ != nullptr) {
    into_->SetSize(0, 0);
    into_->SetPixelFormat(pf32bit);
    into_->SetSize(static_cast<int32_t>(W), static_cast<int32_t>(h.Height), TBitmapEx::MaxWideSide);
    pixels = into_->Pixels();
  } else {
    pixels_.assign(static_cast<size_t>(W) * h.Height, 0xFF000000u);
    pixels = pixels_.data();
  }

  // Index and grey samples go through one table of final pixels. Indexes past the palette
  // read black.
  uint32_t lut[256];
  for (uint32_t i = 0; i < 256; ++i) lut[i] = 0xFF000000u | (i < palette_.size() ? palette_[i] : 0);
  const uint8_t* g = gammaTable_;

  IdatReader idat(stream, std::move(firstData));
  const size_t maxRow = (static_cast<size_t>(W) * bitsPerPixel + 7) / 8;
  std::vector<uint8_t> rowA(bpp + maxRow), rowB(bpp + maxRow);
  const bool interlaced = h.InterlaceMethod == 1;
  for (int p = 0; p < (interlaced ? 7 : 1); ++p) {
    const Adam7Pass pass = interlaced ? kPasses[p] : kWhole;
    if (W <= pass.x0 || h.Height <= pass.y0) continue;  // an empty pass has no scan lines at all
    const uint32_t pw = (W - pass.x0 + pass.dx - 1) / pass.dx;
    const uint32_t ph = (h.Height - pass.y0 + pass.dy - 1) / pass.dy;
    const size_t rowBytes = (static_cast<size_t>(pw) * bitsPerPixel + 7) / 8;
    uint8_t* cur = rowA.data();
    uint8_t* prev = rowB.data();
    std::memset(prev, 0, bpp + rowBytes);
    for (uint32_t r = 0; r < ph; ++r) {
      // The filter byte lands just before the data, then that place reads 0 again.
      idat.Read(cur + bpp - 1, rowBytes + 1);
      const uint8_t filter = cur[bpp - 1];
      cur[bpp - 1] = 0;
      Unfilter(filter, cur, prev, bpp, rowBytes);
      const uint8_t* s = cur + bpp;
      uint32_t* out = pixels + static_cast<size_t>(pass.y0 + r * pass.dy) * W + pass.x0;
      const size_t dx = pass.dx;
      switch (h.ColorType * 32 + h.BitDepth) {
        case 0 * 32 + 8: case 3 * 32 + 8:
          for (uint32_t i = 0; i < pw; ++i) out[i * dx] = lut[s[i]];
          break;
        case 0 * 32 + 16:
          for (uint32_t i = 0; i < pw; ++i) out[i * dx] = lut[s[i * 2]];
          break;
        case 2 * 32 + 8:
        case 2 * 32 + 16: {
          const size_t step = h.BitDepth / 8, stride = 3 * step;
          for (uint32_t i = 0; i < pw; ++i, s += stride) {
            out[i * dx] = 0xFF000000u | static_cast<uint32_t>(g[s[0]]) << 16 | static_cast<uint32_t>(g[s[step]]) << 8 | g[s[2 * step]];
          }
          break;
        }
        case 4 * 32 + 8:
        case 4 * 32 + 16: {
          const size_t step = h.BitDepth / 8, stride = 2 * step;
          for (uint32_t i = 0; i < pw; ++i, s += stride) {
            out[i * dx] = (lut[s[0]] & 0xFFFFFFu) | static_cast<uint32_t>(s[step]) << 24;
          }
          break;
        }
        case 6 * 32 + 8:
        case 6 * 32 + 16: {
          const size_t step = h.BitDepth / 8, stride = 4 * step;
          for (uint32_t i = 0; i < pw; ++i, s += stride) {
            out[i * dx] = static_cast<uint32_t>(s[3 * step]) << 24 | static_cast<uint32_t>(g[s[0]]) << 16 |
                          static_cast<uint32_t>(g[s[step]]) << 8 | g[s[2 * step]];
          }
          break;
        }
        default: {  // 1, 2 and 4 bits: grey or index samples, first pixel in the high bits
          const unsigned depth = h.BitDepth, perByte = 8 / depth, mask = (1u << depth) - 1;
          for (uint32_t i = 0; i < pw; ++i) {
            const unsigned shift = 8 - depth * (i % perByte + 1);
            out[i * dx] = lut[(s[i / perByte] >> shift) & mask];
          }
          break;
        }
      }
      std::swap(cur, prev);
    }
  }
}

uint32_t TPngPicture::PaletteEntry(int32_t index) const {
  if (!hasHeader_) throw EPNGHeaderNotPresent(pngtexts::HeaderNotPresent);
  if (index < 0 || index >= static_cast<int32_t>(palette_.size())) throw EPngError(pngtexts::NoSuchPaletteEntry);
  return palette_[static_cast<size_t>(index)];
}

TPngTransparencyMode TPngPicture::TransparencyMode() const {
  switch (header_.ColorType) {
    case 0:
    case 2:
      return hasTrns_ ? ptmBit : ptmNone;
    case 3: {
      if (!hasTrns_) return ptmNone;
      int below = 0;
      for (uint8_t a : trns_) below += a < 255 ? 1 : 0;
      return below == 1 ? ptmBit : ptmPartial;
    }
    case 4:
    case 6:
      return ptmPartial;
    default:
      return ptmNone;
  }
}

uint32_t TPngPicture::TransparentColor() const {
  switch (header_.ColorType) {
    case 0: {
      const uint32_t v = trns_.size() >= 2 ? trns_[1] : 0;
      return v * 0x010101u;
    }
    case 2:
      if (trns_.size() < 6) return 0;
      return static_cast<uint32_t>(trns_[1]) << 16 | static_cast<uint32_t>(trns_[3]) << 8 | trns_[5];
    case 3:
      for (size_t i = 0; i < trns_.size(); ++i) {
        if (trns_[i] == 0) return PaletteEntry(static_cast<int32_t>(i));
      }
      return 0;
    default:
      return 0;
  }
}

void TPngPicture::AssignTo(TBitmapEx& bitmap) const {
  if (!hasHeader_) throw EPNGHeaderNotPresent(pngtexts::HeaderNotPresent);
  if (TransparencyMode() == ptmBit) (void)TransparentColor();
  bitmap.SetSize(0, 0);
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(Width(), Height(), TBitmapEx::MaxWideSide);
  if (!pixels_.empty()) std::memcpy(bitmap.Pixels(), pixels_.data(), pixels_.size() * 4);
}
