// Reader of Windows BMP pictures: 1, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and RLE8,
// bit-field masks, bottom-up and top-down rows, core (12-byte) and info (40-124 byte) headers.
// A 32-bit picture keeps its alpha byte (or its alpha mask); everything else comes out opaque.
// Every depth is decoded straight into 32-bit pixels: no second pass to widen them.
#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "render/BitmapEx.h"
#include "render/StreamEx.h"
#include "render/Streams.h"

namespace {

[[noreturn]] void Fail(const std::string& why) { throw EInvalidGraphic("Invalid BMP picture: " + why); }

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// One colour channel described by a mask: its shift and width, widened to 8 bits.
struct MaskField {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit MaskField(uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint32_t Get(uint32_t v) const {
    if (!mask) return 0;
    uint32_t f = (v & mask) >> shift;
    if (bits >= 8) return f >> (bits - 8);
    return f * 255u / ((1u << bits) - 1u);
  }
};

bool ContiguousMask(uint32_t m) {
  if (!m) return true;
  while (!(m & 1)) m >>= 1;
  return (m & (m + 1)) == 0;
}

// Decodes RLE8/RLE4 into one palette index per pixel, rows in file order (bottom-up unless the
// height was negative). Skipped pixels keep index 0. Data that ends before its end-of-picture
// mark fails; runs and deltas that leave the picture are cut at its edge.
void DecodeRle(const uint8_t* p, size_t n, bool rle4, int32_t width, int32_t height,
               std::vector<uint8_t>& indices) {
  size_t i = 0;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t v) {
    if (x < width && y < height) indices[static_cast<size_t>(y) * width + static_cast<size_t>(x)] = v;
    ++x;
  };
  for (;;) {
    if (y >= height) return;  // the picture is full; what follows does not matter
    if (i + 2 > n) Fail("run-length data ends early");
    const uint8_t count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) {
        put(rle4 ? static_cast<uint8_t>(k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return;
      case 2:  // delta
        if (i + 2 > n) Fail("run-length data ends early");
        x += p[i];
        y += p[i + 1];
        i += 2;
        break;
      default: {  // literal run of `value` pixels, padded to a 16-bit boundary
        const size_t bytes = rle4 ? (static_cast<size_t>(value) + 1) / 2 : value;
        const size_t padded = (bytes + 1) & ~size_t{1};
        if (i + bytes > n) Fail("run-length data ends early");
        for (int k = 0; k < value; ++k) {
          const uint8_t b = p[i + (rle4 ? static_cast<size_t>(k / 2) : static_cast<size_t>(k))];
          put(rle4 ? static_cast<uint8_t>(k % 2 == 0 ? b >> 4 : b & 0x0F) : b);
        }
        i += std::min(padded, n - i);
        break;
      }
    }
  }
}

}  // namespace

namespace vx {

namespace {

void WidenBgrPortable(const uint8_t* bgr, uint8_t* out, int32_t count) {
  // Four pixels from three little-endian words at a time.
  int32_t x = 0;
  for (; x + 4 <= count; x += 4, bgr += 12, out += 16) {
    uint32_t w[3];
    std::memcpy(w, bgr, 12);
    const uint32_t px[4] = {0xFF000000u | w[0], 0xFF000000u | w[0] >> 24 | w[1] << 8,
                            0xFF000000u | w[1] >> 16 | w[2] << 16, 0xFF000000u | w[2] >> 8};
    std::memcpy(out, px, 16);
  }
  for (; x < count; ++x, bgr += 3, out += 4) {
    const uint32_t px = 0xFF000000u | uint32_t{bgr[0]} | uint32_t{bgr[1]} << 8 | uint32_t{bgr[2]} << 16;
    std::memcpy(out, &px, 4);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels a step, each group of four spread out by one byte shuffle.
__attribute__((target("ssse3"))) void WidenBgrSsse3(const uint8_t* bgr, uint8_t* out, int32_t count) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i alpha = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  int32_t x = 0;
  for (; x + 16 <= count; x += 16, bgr += 48, out += 64) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 32));
    const __m128i p0 = a, p1 = _mm_alignr_epi8(b, a, 12), p2 = _mm_alignr_epi8(c, b, 8), p3 = _mm_srli_si128(c, 4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(_mm_shuffle_epi8(p0, spread), alpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_or_si128(_mm_shuffle_epi8(p1, spread), alpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm_or_si128(_mm_shuffle_epi8(p2, spread), alpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48), _mm_or_si128(_mm_shuffle_epi8(p3, spread), alpha));
  }
  WidenBgrPortable(bgr, out, count - x);
}
#endif

}  // namespace

void WidenBgrPixels(const uint8_t* bgr, uint8_t* out, int32_t count) {
#if defined(__x86_64__) || defined(__i386__)
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) return WidenBgrSsse3(bgr, out, count);
#endif
  WidenBgrPortable(bgr, out, count);
}

void ReadBmpPicture(TBitmapEx& bitmap, TStream& stream) {
  const int64_t start = stream.Position();
  const int64_t available = stream.Remaining();
  uint8_t fh[14];
  if (stream.Read(fh, 14) != 14) Fail("file header missing");
  if (fh[0] != 'B' || fh[1] != 'M') Fail("not a bitmap file");
  const uint32_t offBits = GetU32LE(fh + 10);

  const uint32_t headerSize = StreamReadU32(stream);
  if (headerSize != 12 && (headerSize < 40 || headerSize > 124)) Fail("unknown header size");
  std::vector<uint8_t> h(headerSize);
  stream.ReadBuffer(h.data() + 4, headerSize - 4);

  int64_t width, height;
  uint32_t bpp, compression = BI_RGB, colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  bool haveMasks = false;
  const bool core = headerSize == 12;
  if (core) {
    width = GetU16LE(h.data() + 4);
    height = GetU16LE(h.data() + 6);
    bpp = GetU16LE(h.data() + 10);
  } else {
    width = GetI32LE(h.data() + 4);
    height = GetI32LE(h.data() + 8);
    bpp = GetU16LE(h.data() + 14);
    compression = GetU32LE(h.data() + 16);
    colorsUsed = GetU32LE(h.data() + 32);
    if (headerSize >= 52) {
      for (int k = 0; k < 3; ++k) masks[k] = GetU32LE(h.data() + 40 + 4 * k);
      haveMasks = true;
    }
    if (headerSize >= 56) masks[3] = GetU32LE(h.data() + 52);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  TBitmapEx::CheckPictureSize(width, height, "BMP");
  const int32_t w = static_cast<int32_t>(width), hgt = static_cast<int32_t>(height);

  switch (bpp) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail("unsupported bit depth " + std::to_string(bpp));
  }
  const bool bitfields = compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
  if (compression == BI_RLE8 && bpp != 8) Fail("RLE8 needs 8 bits per pixel");
  if (compression == BI_RLE4 && bpp != 4) Fail("RLE4 needs 4 bits per pixel");
  if (bitfields && bpp != 16 && bpp != 32) Fail("bit fields need 16 or 32 bits per pixel");
  if (compression != BI_RGB && compression != BI_RLE8 && compression != BI_RLE4 && !bitfields) {
    Fail("unsupported compression " + std::to_string(compression));
  }
  if (bitfields && !haveMasks) {
    // A 40-byte header is followed by the masks (three, or four with alpha).
    const int n = compression == BI_ALPHABITFIELDS ? 4 : 3;
    for (int k = 0; k < n; ++k) masks[k] = StreamReadU32(stream);
  }
  if (!bitfields) {
    masks[0] = masks[1] = masks[2] = masks[3] = 0;
    if (bpp == 16) {
      masks[0] = 0x7C00;
      masks[1] = 0x03E0;
      masks[2] = 0x001F;
    }
  }
  for (uint32_t m : masks) {
    if (!ContiguousMask(m)) Fail("bit-field mask is not contiguous");
  }

  // Palette: the declared number of entries, or 2^bpp, at most 256.
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint32_t entries = colorsUsed ? colorsUsed : (1u << bpp);
    if (core) entries = 1u << bpp;
    if (entries > 256) Fail("palette too large");
    const int entrySize = core ? 3 : 4;
    palette.assign(256, 0xFF000000u);  // indices past the palette: opaque black
    for (uint32_t k = 0; k < entries; ++k) {
      uint8_t e[4] = {0, 0, 0, 0};
      stream.ReadBuffer(e, entrySize);
      palette[k] = 0xFF000000u | static_cast<uint32_t>(e[2]) << 16 | static_cast<uint32_t>(e[1]) << 8 | e[0];
    }
  }

  // Pixel data starts at offBits when that lies after the headers, else right here.
  const int64_t here = stream.Position();
  int64_t dataPos = start + static_cast<int64_t>(offBits);
  if (offBits == 0 || dataPos < here) dataPos = here;
  if (dataPos > start + available) Fail("pixel data offset past the end of the file");
  if (stream.Seek(dataPos, soBeginning) != dataPos) Fail("cannot reach the pixel data");
  const int64_t dataAvail = start + available - dataPos;

  // Decoded straight into the rows of a picture of our own, handed over at the end, so a
  // failed load leaves the target as it was.
  TBitmapEx out;
  out.AllocatePixels(w, hgt);
  auto destRow = [&](int64_t fileRow) { return out.ScanLine(static_cast<int32_t>(topDown ? fileRow : hgt - 1 - fileRow)); };

  if (compression == BI_RLE8 || compression == BI_RLE4) {
    std::vector<uint8_t> packed(static_cast<size_t>(dataAvail));
    stream.ReadBuffer(packed.data(), dataAvail);
    std::vector<uint8_t> indices(static_cast<size_t>(w) * static_cast<size_t>(hgt), 0);
    DecodeRle(packed.data(), packed.size(), compression == BI_RLE4, w, hgt, indices);
    for (int32_t y = 0; y < hgt; ++y) {
      uint32_t* px = reinterpret_cast<uint32_t*>(destRow(y));
      const uint8_t* s = indices.data() + static_cast<size_t>(y) * w;
      for (int32_t x = 0; x < w; ++x) px[x] = palette[s[x]];
    }
    bitmap.TakePixels(out);
    return;
  }

  const int64_t stride = ((width * bpp + 31) / 32) * 4;
  // The last row need not carry its padding.
  const int64_t lastRow = (width * bpp + 7) / 8;
  if (stride * (hgt - 1) + lastRow > dataAvail) Fail("pixel data ends early");
  std::vector<uint8_t> row(static_cast<size_t>(stride));
  const MaskField mr(masks[0]), mg(masks[1]), mb(masks[2]), ma(masks[3]);
  for (int32_t y = 0; y < hgt; ++y) {
    const int64_t want = y == hgt - 1 ? lastRow : stride;
    const uint8_t* s = stream.ReadView(want, row.data());
    uint8_t* d = destRow(y);
    switch (bpp) {
      case 1:
      case 4:
      case 8: {
        const uint32_t perByte = 8 / bpp, mask = (1u << bpp) - 1;
        uint32_t* px = reinterpret_cast<uint32_t*>(d);
        for (int32_t x = 0; x < w; ++x) {
          const uint32_t byte = s[x / perByte];
          const uint32_t shift = 8 - bpp * (x % perByte + 1);
          px[x] = palette[(byte >> shift) & mask];
        }
        break;
      }
      case 16:
        for (int32_t x = 0; x < w; ++x, d += 4) {
          const uint32_t v = GetU16LE(s + 2 * x);
          d[0] = static_cast<uint8_t>(mb.Get(v));
          d[1] = static_cast<uint8_t>(mg.Get(v));
          d[2] = static_cast<uint8_t>(mr.Get(v));
          d[3] = 255;
        }
        break;
      case 24:
        vx::WidenBgrPixels(s, d, w);
        break;
      case 32:
        if (!bitfields) {
          std::memcpy(d, s, static_cast<size_t>(w) * 4);  // blue, green, red, alpha
        } else {
          for (int32_t x = 0; x < w; ++x, d += 4) {
            const uint32_t v = GetU32LE(s + 4 * x);
            d[0] = static_cast<uint8_t>(mb.Get(v));
            d[1] = static_cast<uint8_t>(mg.Get(v));
            d[2] = static_cast<uint8_t>(mr.Get(v));
            d[3] = masks[3] ? static_cast<uint8_t>(ma.Get(v)) : 255;
          }
        }
        break;
    }
  }
  bitmap.TakePixels(out);
}

}  // namespace vx
