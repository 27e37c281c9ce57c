// The PNG decoder against libpng over every colour type, depth, interlace and filter on random
// pictures; its error texts in one table; what the loader makes of the result.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <functional>
#include <random>
#include <tuple>

#include "core/Rounding.h"
#include "render/BitmapEx.h"
#include "render/DataStreams.h"
#include "render/PngPicture.h"
#include "render/Streams.h"
#include "support/ErrorText.h"

namespace {

using vxtest::ErrorOf;
using Bytes = std::vector<uint8_t>;

void Be32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

// A PNG put together chunk by chunk, so that damaged files can be made on purpose.
struct PngBuilder {
  Bytes bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  PngBuilder& Chunk(const char* name, const Bytes& data, bool badCrc = false) {
    Be32(bytes, static_cast<uint32_t>(data.size()));
    const size_t start = bytes.size();
    bytes.insert(bytes.end(), name, name + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    Be32(bytes, Crc32(bytes.data() + start, static_cast<int64_t>(bytes.size() - start)) ^ (badCrc ? 1u : 0u));
    return *this;
  }
  PngBuilder& Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t interlace = 0, uint8_t comp = 0) {
    Bytes d;
    Be32(d, w);
    Be32(d, h);
    d.insert(d.end(), {depth, type, comp, 0, interlace});
    return Chunk("IHDR", d);
  }
  PngBuilder& Idat(const Bytes& raw) {
    Bytes z(compressBound(raw.size()));
    uLongf n = z.size();
    compress(z.data(), &n, raw.data(), raw.size());
    z.resize(n);
    return Chunk("IDAT", z);
  }
  PngBuilder& End() { return Chunk("IEND", {}); }
};

TPngPicture Decode(const Bytes& bytes) {
  TMemoryStream s(bytes.data(), bytes.size());
  TPngPicture p;
  p.LoadFromStream(s);
  return p;
}

// ---- libpng as the writer and the reference reader ----

void WriteToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

struct PngCase {
  int type, depth, interlace, filters;
  uint32_t w, h;
  int paletteSize;
  bool trns, gama;
};

Bytes WriteWithLibpng(const PngCase& c, const std::vector<Bytes>& rows, const Bytes& palette) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  // Small buffers split the image data over many IDAT chunks.
  png_set_compression_buffer_size(png, 64 + (c.w * 7) % 200);
  png_set_IHDR(png, info, c.w, c.h, c.depth, c.type, c.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> pal;
  for (int i = 0; i < c.paletteSize; ++i) pal.push_back({palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]});
  if (c.type == 3) png_set_PLTE(png, info, pal.data(), c.paletteSize);
  png_byte alphas[4] = {0, 200, 255, 17};
  png_color_16 key{0, 2, 3, 4, 1};
  if (c.trns && c.type != 4 && c.type != 6) png_set_tRNS(png, info, alphas, c.type == 3 ? std::min(4, c.paletteSize) : 0, &key);
  if (c.gama) png_set_gAMA_fixed(png, info, 70000);
  png_set_filter(png, 0, c.filters);
  png_write_info(png, info);
  std::vector<png_bytep> ptrs;
  for (auto& r : rows) ptrs.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, ptrs.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct LibpngIn {
  const Bytes* bytes;
  size_t at;
};
void ReadFromVector(png_structp png, png_bytep data, png_size_t n) {
  auto* in = static_cast<LibpngIn*>(png_get_io_ptr(png));
  if (in->at + n > in->bytes->size()) png_error(png, "short");
  std::memcpy(data, in->bytes->data() + in->at, n);
  in->at += n;
}

// libpng's decode with the transforms that match the loader: 8 bits a sample (high byte
// kept), palette and grey expanded to RGB, RGBA rows.
std::vector<uint8_t> ReadWithLibpng(const Bytes& bytes, uint32_t& w, uint32_t& h) {
  LibpngIn in{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return {};
  }
  png_set_read_fn(png, &in, ReadFromVector);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  w = png_get_image_width(png, info);
  h = png_get_image_height(png, info);
  rgba.resize(static_cast<size_t>(w) * h * 4);
  for (uint32_t y = 0; y < h; ++y) rows.push_back(rgba.data() + static_cast<size_t>(y) * w * 4);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return rgba;
}

TEST(PngDecoderTest, MatchesLibpngOnEveryTypeDepthInterlaceAndFilter) {
  const std::pair<int, int> combos[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                        {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH, PNG_ALL_FILTERS};
  std::mt19937 rng(20261209u);
  int cases = 0;
  for (auto [type, depth] : combos) {
    for (int interlace = 0; interlace < 2; ++interlace) {
      for (int filter : filters) {
        PngCase c{type, depth, interlace, filter, static_cast<uint32_t>(1 + rng() % 37), static_cast<uint32_t>(1 + rng() % 23), 0, rng() % 3 == 0, rng() % 3 == 0};
        if (cases % 7 == 0) c.w = 1 + rng() % 4;  // narrow: several Adam7 passes are empty
        const int samples = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
        const int maxIndex = 1 << std::min(depth, 8);
        c.paletteSize = type == 3 ? 1 + static_cast<int>(rng() % maxIndex) : 0;
        Bytes palette(static_cast<size_t>(c.paletteSize) * 3);
        for (auto& b : palette) b = static_cast<uint8_t>(rng());
        const size_t rowBytes = (static_cast<size_t>(c.w) * samples * depth + 7) / 8;
        std::vector<Bytes> rows(c.h, Bytes(rowBytes));
        for (auto& r : rows) {
          if (type == 3) {
            // Indexes inside the palette only; past it is checked on its own below.
            for (uint32_t x = 0; x < c.w; ++x) {
              const uint32_t v = rng() % static_cast<uint32_t>(c.paletteSize);
              const size_t bit = x * static_cast<size_t>(depth);
              r[bit / 8] |= static_cast<uint8_t>(v << (8 - depth - bit % 8));
            }
          } else {
            // Smooth runs and noise, so that every filter has something to predict.
            for (size_t i = 0; i < rowBytes; ++i) r[i] = static_cast<uint8_t>(rng() % 4 == 0 ? rng() : i * 3);
          }
        }
        const Bytes file = WriteWithLibpng(c, rows, palette);
        ASSERT_FALSE(file.empty());
        uint32_t w = 0, h = 0;
        const std::vector<uint8_t> ref = ReadWithLibpng(file, w, h);
        ASSERT_EQ(ref.size(), static_cast<size_t>(c.w) * c.h * 4);
        TPngPicture pic = Decode(file);
        ASSERT_EQ(pic.Width(), static_cast<int32_t>(w));
        ASSERT_EQ(pic.Height(), static_cast<int32_t>(h));
        uint8_t gamma[256];
        for (int i = 0; i < 256; ++i) {
          gamma[i] = c.gama && (type == 2 || type == 6)
                         ? static_cast<uint8_t>(vx::Round(std::pow(i / 255.0, 1.0 / (0.7 * 2.2)) * 255.0))
                         : static_cast<uint8_t>(i);
        }
        for (uint32_t y = 0; y < h; ++y) {
          for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* p = &ref[(static_cast<size_t>(y) * w + x) * 4];
            // Key and palette transparency are not shown: only real alpha channels are.
            const uint32_t alpha = (type == 4 || type == 6) ? p[3] : 255;
            const uint32_t want = alpha << 24 | static_cast<uint32_t>(gamma[p[0]]) << 16 |
                                  static_cast<uint32_t>(gamma[p[1]]) << 8 | gamma[p[2]];
            ASSERT_EQ(pic.Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y)), want)
                << "type " << type << " depth " << depth << " interlace " << interlace << " filters " << filter
                << " size " << w << "x" << h << " at " << x << "," << y;
          }
        }
        ++cases;
      }
    }
  }
  EXPECT_EQ(cases, 180);
}

TEST(PngDecoderTest, ErrorTextsAndTheFaultsItRefuses) {
  const Bytes grey2x2 = {0, 1, 2, 0, 3, 4};  // 2x2, 8-bit grey, filter 0
  auto ok = [&] { return PngBuilder().Ihdr(2, 2, 8, 0); };
  Bytes badSig = PngBuilder().Ihdr(2, 2, 8, 0).Idat(grey2x2).End().bytes;
  badSig[7] ^= 0x40;
  Bytes huge = ok().bytes;
  Be32(huge, 0x80000000u);
  huge.insert(huge.end(), {'t', 'E', 'X', 't'});
  Bytes beyond = ok().bytes;
  Be32(beyond, 50);
  beyond.insert(beyond.end(), {'t', 'E', 'X', 't', 'a', 0, 'b'});
  // One row of two, then another chunk: the run stops short.
  const Bytes lateIdat = ok().Idat({0, 1, 2}).Chunk("tEXt", {'a', 0}).End().bytes;
  const Bytes pal20(20, 1), pal257(257 * 3, 1), trns257(257, 1);
  const std::string zlibText = std::string(pngtexts::ZLIBError);
  struct Row {
    Bytes file;
    std::string text;
  } rows[] = {
      {badSig, pngtexts::InvalidFileHeader},
      {PngBuilder().Chunk("tEXt", {'a', 0}).bytes, pngtexts::IHDRNotFirst},
      {PngBuilder().bytes, pngtexts::UnexpectedEnd},
      {ok().Idat(grey2x2).bytes, pngtexts::UnexpectedEnd},  // no IEND: the next length is missing
      {huge, pngtexts::UnexpectedEnd},
      {beyond, pngtexts::UnexpectedEnd},
      {ok().Chunk("ABCD", {}).bytes, pngtexts::UnknownCriticalChunk},
      {ok().End().bytes, pngtexts::NoImageData},
      {PngBuilder().Chunk("IHDR", {0, 0, 0, 2, 0, 0, 0, 2, 8, 0, 0, 0, 0}, true).bytes, pngtexts::InvalidCRC},
      {PngBuilder().Chunk("IHDR", Bytes(12)).bytes, pngtexts::InvalidIHDR},
      {PngBuilder().Ihdr(0, 2, 8, 0).bytes, pngtexts::InvalidIHDR},
      {PngBuilder().Ihdr(2, 2, 3, 0).bytes, pngtexts::InvalidIHDR},
      {PngBuilder().Ihdr(2, 2, 8, 5).bytes, pngtexts::InvalidIHDR},
      {PngBuilder().Ihdr(2, 2, 16, 3).bytes, pngtexts::InvalidIHDR},
      {ok().Ihdr(2, 2, 8, 0).bytes, pngtexts::InvalidIHDR},
      {PngBuilder().Ihdr(65536, 1, 8, 0).bytes, pngtexts::SizeExceeds},
      {PngBuilder().Ihdr(4097, 4097, 1, 0).bytes, pngtexts::SizeExceeds},  // past the pixel budget
      {PngBuilder().Ihdr(2, 2, 8, 0, 0, 1).bytes, pngtexts::UnknownCompression},
      {PngBuilder().Ihdr(2, 2, 8, 0, 2).bytes, pngtexts::UnknownInterlace},
      {PngBuilder().Ihdr(2, 2, 8, 3).Chunk("PLTE", pal20).bytes, pngtexts::InvalidPalette},
      {PngBuilder().Ihdr(2, 2, 8, 3).Chunk("PLTE", pal257).bytes, pngtexts::InvalidPalette},
      {ok().Chunk("tRNS", trns257).bytes, pngtexts::InvalidPalette},
      {lateIdat, pngtexts::MissingMultipleIDAT},
      {ok().Chunk("IDAT", {1, 2, 3, 4}).bytes, zlibText + "incorrect header check"},
      {ok().Idat({0, 1, 2, 5, 3, 4}).bytes, pngtexts::InvalidFilter},
      {ok().Chunk("gAMA", {0, 1, 0}).bytes, pngtexts::ChunkTooShort},
      {ok().Chunk("tRNS", {0}).bytes, pngtexts::ChunkTooShort},
      {PngBuilder().Ihdr(2, 2, 8, 2).Chunk("tRNS", {0, 1, 0, 2}).bytes, pngtexts::ChunkTooShort},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ErrorOf([&] { Decode(r.file); }), r.text) << &r - rows;
  }
  // Through the loader, the same texts; a tRNS naming a palette entry that is not there
  // fails when the picture is handed over.
  const Bytes missingEntry = PngBuilder()
                                 .Ihdr(2, 2, 8, 3)
                                 .Chunk("PLTE", Bytes(12, 9))
                                 .Chunk("tRNS", {255, 255, 255, 255, 255, 0})
                                 .Idat(Bytes(6, 0))
                                 .End()
                                 .bytes;
  TBitmapEx bitmap;
  // Sizes past the format's limits meet the PNG text, not the bitmap's own refusal.
  const std::pair<Bytes, std::string> loads[] = {{missingEntry, pngtexts::NoSuchPaletteEntry},
                                                   {badSig, pngtexts::InvalidFileHeader},
                                                   {PngBuilder().Ihdr(65536, 1, 8, 0).bytes, pngtexts::SizeExceeds},
                                                   {PngBuilder().Ihdr(1, 65536, 8, 0).bytes, pngtexts::SizeExceeds},
                                                   {PngBuilder().Ihdr(16385, 1024, 1, 0).bytes, pngtexts::SizeExceeds}};
  for (const auto& [file, text] : loads) {
    TMemoryStream s(file.data(), file.size());
    EXPECT_EQ(ErrorOf([&] { bitmap.LoadFromStream(s, pkPng); }), text);
  }
  TPngPicture empty;
  EXPECT_EQ(ErrorOf([&] { empty.Header(); }), pngtexts::HeaderNotPresent);
  EXPECT_EQ(ErrorOf([&] { empty.AssignTo(bitmap); }), pngtexts::HeaderNotPresent);
  EXPECT_EQ(ErrorOf([&] { empty.SetWidth(3); }), pngtexts::CannotResize);
  EXPECT_EQ(ErrorOf([&] { Decode(missingEntry).PaletteEntry(4); }), pngtexts::NoSuchPaletteEntry);
}

TEST(PngDecoderTest, SoundReadingsOfOddButHarmlessFiles) {
  // Indexes past a short palette read black; a zero gamma leaves colours as stored; an
  // unknown ancillary chunk is kept and ignored; cHRM is skipped; texts and time are kept.
  Bytes z(64);
  uLongf zn = z.size();
  const char* note = "dealt by the house";
  compress(z.data(), &zn, reinterpret_cast<const uint8_t*>(note), std::strlen(note));
  Bytes ztxt = {'N', 0, 0};
  ztxt.insert(ztxt.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(zn));
  const Bytes file = PngBuilder()
                         .Ihdr(3, 1, 8, 3)
                         .Chunk("gAMA", {0, 0, 0, 0})
                         .Chunk("cHRM", Bytes(32))
                         .Chunk("PLTE", {10, 20, 30})
                         .Chunk("tIME", {0x07, 0xEA, 12, 9, 12, 30, 5})
                         .Chunk("tEXt", {'T', 0, 'h', 'i'})
                         .Chunk("zTXt", ztxt)
                         .Chunk("vxQz", {1, 2})
                         .Idat({0, 0, 1, 200})
                         .Chunk("IDAT", {9, 9, 9})  // past the image: skipped unread
                         .End()
                         .bytes;
  const TPngPicture p = Decode(file);
  EXPECT_EQ(p.Pixel(0, 0), 0xFF0A141Eu);
  EXPECT_EQ(p.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(p.Pixel(2, 0), 0xFF000000u);
  EXPECT_EQ(p.Gamma(), 0u);
  ASSERT_EQ(p.Texts().size(), 2u);
  EXPECT_EQ(p.Texts()[0].Text, "hi");
  EXPECT_EQ(p.Texts()[1].Text, note);
  EXPECT_EQ(p.Time().Year, 2026);
  EXPECT_EQ(p.Chunks().back().Name, "IEND");
  EXPECT_EQ(p.TransparencyMode(), ptmNone);

  // Image data split anywhere over IDAT chunks, empty ones included.
  Bytes z2(64);
  uLongf z2n = z2.size();
  const Bytes rgb = {0, 1, 2, 3, 4, 5, 6};
  compress(z2.data(), &z2n, rgb.data(), rgb.size());
  const Bytes split = PngBuilder()
                          .Ihdr(2, 1, 8, 2)
                          .Chunk("IDAT", {})
                          .Chunk("IDAT", Bytes(z2.begin(), z2.begin() + 3))
                          .Chunk("IDAT", {})
                          .Chunk("IDAT", Bytes(z2.begin() + 3, z2.begin() + static_cast<std::ptrdiff_t>(z2n)))
                          .End()
                          .bytes;
  EXPECT_EQ(Decode(split).Pixel(1, 0), 0xFF040506u);

  // The widest and the tallest pictures decode, through the loader too, to their last pixel.
  Bytes wideRow(1 + 8192, 0), tallRows(2 * 65535, 0);
  wideRow.back() = 0x02;     // pixel 65534
  tallRows.back() = 0x40;    // pixel (1, 65534)
  TBitmapEx b;
  for (const auto& [file, x, y] : {std::tuple{PngBuilder().Ihdr(65535, 1, 1, 0).Idat(wideRow).End().bytes, 65534, 0},
                                   std::tuple{PngBuilder().Ihdr(2, 65535, 1, 0).Idat(tallRows).End().bytes, 1, 65534}}) {
    EXPECT_EQ(Decode(file).Pixel(x, y), 0xFFFFFFFFu);
    TMemoryStream ws(file.data(), file.size());
    ASSERT_EQ(ErrorOf([&] { b.LoadFromStream(ws, pkPng); }), "(no error)");
    EXPECT_EQ(b.Width() * b.Height(), (x + 1) * (y + 1));
    EXPECT_EQ(b.Pixel(x, y), 0xFFFFFFFFu);
    EXPECT_EQ(b.Pixel(x - 1, y), 0xFF000000u);
  }

  // Grey with alpha keeps its alpha through the loader; a grey key (bit transparency) stays
  // opaque and names its colour.
  const Bytes ga = PngBuilder().Ihdr(2, 1, 8, 4).Idat({0, 50, 7, 60, 255}).End().bytes;
  TMemoryStream gs(ga.data(), ga.size());
  b.LoadFromStream(gs, pkPng);
  EXPECT_EQ(b.Pixel(0, 0), 0x07323232u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF3C3C3Cu);
  const Bytes keyed = PngBuilder().Ihdr(1, 1, 16, 0).Chunk("tRNS", {1, 0x80}).Idat({0, 0x80, 0x7F}).End().bytes;
  TMemoryStream ks(keyed.data(), keyed.size());
  b.LoadFromStream(ks, pkPng);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF808080u);
  EXPECT_EQ(Decode(keyed).TransparencyMode(), ptmBit);
  EXPECT_EQ(Decode(keyed).TransparentColor(), 0x808080u);
}

}  // namespace
