// Pictures: BMP (every depth, RLE, bit fields, both row orders), TGA (raw, RLE, orientation),
// JPEG through the JPEG library, the loaders' choice of kind, archive records, the picture
// operations and repacking into texture sheets.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstring>
#include <random>

#include "core/StrUtils.h"
#include "render/BitmapEx.h"
#include "render/PngPicture.h"
#include "render/RecDb.h"
#include "render/Streams.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/BmpWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, size_t at, uint32_t v, int n) {
  if (b.size() < at + static_cast<size_t>(n)) b.resize(at + static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP with a 40-byte header (or `headerSize`), optional masks after it, a palette, and the
// pixel data exactly as given.
struct BmpSpec {
  int32_t width = 0, height = 0;
  uint16_t bpp = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint32_t> masks;    // written after a 40-byte header, or inside a longer one
  uint32_t headerSize = 40;
  Bytes data;
};

Bytes MakeBmp(const BmpSpec& s) {
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  const size_t header = 14;
  Put(b, header, s.headerSize, 4);
  Put(b, header + 4, static_cast<uint32_t>(s.width), 4);
  Put(b, header + 8, static_cast<uint32_t>(s.height), 4);
  Put(b, header + 12, 1, 2);
  Put(b, header + 14, s.bpp, 2);
  Put(b, header + 16, s.compression, 4);
  Put(b, header + 32, static_cast<uint32_t>(s.palette.size()), 4);
  b.resize(header + s.headerSize, 0);
  size_t at = header + s.headerSize;
  if (s.headerSize == 40) {
    for (uint32_t m : s.masks) {
      Put(b, at, m, 4);
      at += 4;
    }
  } else {
    for (size_t i = 0; i < s.masks.size(); ++i) Put(b, header + 40 + 4 * i, s.masks[i], 4);
  }
  for (uint32_t c : s.palette) {
    Put(b, at, c, 4);
    at += 4;
  }
  Put(b, 10, static_cast<uint32_t>(at), 4);
  b.insert(b.end(), s.data.begin(), s.data.end());
  Put(b, 2, static_cast<uint32_t>(b.size()), 4);
  return b;
}

TBitmapEx Load(const Bytes& bytes, uint8_t kind) {
  TMemoryStream stream(bytes);
  TBitmapEx bitmap;
  bitmap.LoadFromStream(stream, kind);
  return bitmap;
}

std::vector<uint32_t> PixelsOf(const TBitmapEx& b) {
  return std::vector<uint32_t>(b.Pixels(), b.Pixels() + static_cast<size_t>(b.Width()) * b.Height());
}

// The error a load raises ("" when it loads); a failed load leaves the target as it was.
std::string ErrorOf(const Bytes& bytes, uint8_t kind) {
  TMemoryStream stream(bytes);
  TBitmapEx bitmap;
  bitmap.SetSize(2, 1);
  bitmap.Fill(0x12345678);
  try {
    bitmap.LoadFromStream(stream, kind);
  } catch (const Exception& e) {
    EXPECT_EQ(PixelsOf(bitmap), (std::vector<uint32_t>{0x12785634, 0x12785634})) << e.Message;
    return e.Message;
  }
  return "";
}

std::vector<uint32_t> RandomPixels(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto& p : v) p = rng();
  return v;
}

TEST(BmpTest, TwentyFourAndThirtyTwoBitRoundTripsInBothRowOrders) {
  const int32_t w = 5, h = 3;  // odd width: rows carry padding in 24 bits
  const auto pixels = RandomPixels(w * h, 1);
  for (bool topDown : {false, true}) {
    TBitmapEx b24 = Load(vxtools::EncodeBmp(w, h, pixels.data(), 24, topDown), pkBmp);
    ASSERT_EQ(b24.PixelFormat(), pf32bit);
    ASSERT_EQ(b24.Width(), w);
    ASSERT_EQ(b24.Height(), h);
    TBitmapEx b32 = Load(vxtools::EncodeBmp(w, h, pixels.data(), 32, topDown), pkBmp);
    for (size_t i = 0; i < pixels.size(); ++i) {
      EXPECT_EQ(b24.Pixels()[i], pixels[i] | 0xFF000000u) << i;  // 24 bits come out opaque
      EXPECT_EQ(b32.Pixels()[i], pixels[i]) << i;               // 32 bits keep their alpha
    }
  }
}

TEST(BmpTest, PaletteDepths) {
  const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // 1 bit: 10 pixels a row, rows padded to 4 bytes; bottom row first in the file.
  BmpSpec one{10, 2, 1, 0, {0x112233, 0xAABBCC}, {}, 40, {}};
  one.data = {0b10110000, 0b01000000, 0, 0,   // bottom row: 1 0 1 1 0 0 0 0 | 0 1
              0b01001111, 0b11000000, 0, 0};  // top row:    0 1 0 0 1 1 1 1 | 1 1
  TBitmapEx b1 = Load(MakeBmp(one), pkBmp);
  const std::string top = "0100111111", bottom = "1011000001";
  for (int32_t x = 0; x < 10; ++x) {
    EXPECT_EQ(b1.Pixel(x, 0), top[x] == '1' ? 0xFFAABBCCu : 0xFF112233u) << x;
    EXPECT_EQ(b1.Pixel(x, 1), bottom[x] == '1' ? 0xFFAABBCCu : 0xFF112233u) << x;
  }
  // 4 bits, top-down: high nibble first.
  BmpSpec four{3, -1, 4, 0, palette, {}, 40, {0x12, 0x30, 0, 0}};
  TBitmapEx b4 = Load(MakeBmp(four), pkBmp);
  EXPECT_EQ(PixelsOf(b4), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
  // 8 bits, an index past the palette gives black.
  BmpSpec eight{3, 1, 8, 0, palette, {}, 40, {3, 200, 1, 0}};
  TBitmapEx b8 = Load(MakeBmp(eight), pkBmp);
  EXPECT_EQ(PixelsOf(b8), (std::vector<uint32_t>{0xFF0000FF, 0xFF000000, 0xFFFF0000}));
  // A palette that claims more than 256 entries is refused.
  BmpSpec huge = eight;
  huge.palette.assign(300, 0);
  EXPECT_NE(ErrorOf(MakeBmp(huge), pkBmp), "");
}

TEST(BmpTest, RunLengthEncodings) {
  const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // RLE8, 4x3, bottom-up: run, end of line, literal (odd, padded), delta, end of picture.
  BmpSpec rle8{4, 3, 8, 1, palette, {}, 40, {}};
  rle8.data = {3, 1, 0, 0,        // bottom row: 1 1 1, the fourth pixel skipped; end of line
               0, 3, 2, 3, 1, 0,  // middle row: literal 2 3 1 and its pad byte
               1, 2,              // a run of one 2
               0, 2, 1, 0,        // delta: one to the right, none down (off the picture)
               0, 0,              // end of line
               0, 1};             // end of picture: the top row stays unwritten (entry 0)
  TBitmapEx b = Load(MakeBmp(rle8), pkBmp);
  const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, K = 0xFF000000;
  EXPECT_EQ(PixelsOf(b), (std::vector<uint32_t>{K, K, K, K,  //
                                                G, B, R, G,  //
                                                R, R, R, K}));
  // RLE4, 6x1: a run alternates the two nibbles, a literal takes them in order.
  BmpSpec rle4{6, 1, 4, 2, palette, {}, 40, {3, 0x12, 0, 3, 0x30, 0x20, 0, 1}};
  TBitmapEx b4 = Load(MakeBmp(rle4), pkBmp);
  EXPECT_EQ(PixelsOf(b4), (std::vector<uint32_t>{R, G, R, B, K, G}));
  // Data that ends before its end mark, runs that leave the picture, a literal cut short.
  BmpSpec cut = rle8;
  cut.data = {3, 1, 0, 0, 2, 2};
  EXPECT_NE(ErrorOf(MakeBmp(cut), pkBmp), "");
  BmpSpec wide = rle8;
  wide.data = {255, 1, 0, 2, 255, 255, 255, 2, 0, 1};  // clipped, not written outside
  TBitmapEx bw = Load(MakeBmp(wide), pkBmp);
  EXPECT_EQ(bw.Pixel(3, 2), R);
  BmpSpec literal = rle8;
  literal.data = {0, 200, 1, 2};
  EXPECT_NE(ErrorOf(MakeBmp(literal), pkBmp), "");
  // RLE with the wrong depth.
  BmpSpec wrong = rle8;
  wrong.bpp = 4;
  EXPECT_NE(ErrorOf(MakeBmp(wrong), pkBmp), "");
}

TEST(BmpTest, SixteenBitAndBitFields) {
  // 16 bits without masks: 5-5-5.
  BmpSpec plain{2, 1, 16, 0, {}, {}, 40, {0x00, 0x7C, 0x1F, 0x00}};
  EXPECT_EQ(PixelsOf(Load(MakeBmp(plain), pkBmp)), (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));
  // 5-6-5 through bit fields after a 40-byte header.
  BmpSpec rgb565{2, 1, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, 40, {0xE0, 0x07, 0x10, 0x00}};
  EXPECT_EQ(PixelsOf(Load(MakeBmp(rgb565), pkBmp)), (std::vector<uint32_t>{0xFF00FF00, 0xFF000083}));
  // 32 bits with an alpha mask in a 108-byte header; red in the low byte by the masks.
  BmpSpec v4{1, 1, 32, 3, {}, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, 108, {0x11, 0x22, 0x33, 0x44}};
  EXPECT_EQ(PixelsOf(Load(MakeBmp(v4), pkBmp)), (std::vector<uint32_t>{0x44112233}));
  // Without an alpha mask a 32-bit bit-field picture is opaque.
  BmpSpec noAlpha{1, 1, 32, 3, {}, {0x00FF0000, 0x0000FF00, 0x000000FF}, 40, {0x11, 0x22, 0x33, 0x44}};
  EXPECT_EQ(PixelsOf(Load(MakeBmp(noAlpha), pkBmp)), (std::vector<uint32_t>{0xFF332211}));
  BmpSpec broken = rgb565;
  broken.masks = {0xF00F, 0x07E0, 0x001F};  // not one run of bits
  EXPECT_NE(ErrorOf(MakeBmp(broken), pkBmp), "");
}

TEST(BmpTest, BadFilesFailCleanly) {
  const auto pixels = RandomPixels(16, 2);
  const Bytes good = vxtools::EncodeBmp(4, 4, pixels.data(), 24);
  EXPECT_EQ(ErrorOf(good, pkBmp), "");
  for (size_t cut : {size_t{0}, size_t{2}, size_t{14}, size_t{30}, size_t{54}, good.size() - 12}) {
    EXPECT_NE(ErrorOf(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), pkBmp), "") << cut;
  }
  Bytes notBmp = good;
  notBmp[0] = 'X';
  EXPECT_NE(ErrorOf(notBmp, pkBmp), "");
  auto withSize = [&](int32_t w, int32_t h) {
    Bytes b = good;
    Put(b, 18, static_cast<uint32_t>(w), 4);
    Put(b, 22, static_cast<uint32_t>(h), 4);
    return ErrorOf(b, pkBmp);
  };
  EXPECT_NE(withSize(0, 4), "");
  EXPECT_NE(withSize(4, 0), "");
  EXPECT_NE(withSize(-4, 4), "");
  EXPECT_NE(withSize(1 << 30, 1 << 30), "");  // refused before anything is allocated
  EXPECT_NE(withSize(16384, 16384), "");
  EXPECT_NE(withSize(4, 1000), "");  // claims more rows than the file holds
  Bytes depth = good;
  Put(depth, 28, 7, 2);
  EXPECT_NE(ErrorOf(depth, pkBmp), "");
  Bytes jpegInside = good;
  Put(jpegInside, 30, 4, 4);
  EXPECT_NE(ErrorOf(jpegInside, pkBmp), "");
}

TEST(BmpTest, WideningMatchesPixelByPixel) {
  // Every length up to a few vector widths, at every start alignment.
  const auto words = RandomPixels(64, 9);
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(words.data());
  for (int32_t offset = 0; offset < 4; ++offset) {
    for (int32_t n = 0; n <= 50; ++n) {
      std::vector<uint32_t> out(static_cast<size_t>(n) + 1, 0xDEADBEEFu);
      vx::WidenBgrPixels(bytes + offset, reinterpret_cast<uint8_t*>(out.data()), n);
      for (int32_t i = 0; i < n; ++i) {
        const uint8_t* p = bytes + offset + 3 * i;
        ASSERT_EQ(out[static_cast<size_t>(i)], 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]) << n << " " << i;
      }
      ASSERT_EQ(out.back(), 0xDEADBEEFu) << n;  // nothing written past the pixels
    }
  }
}

Bytes Tga(uint8_t type, uint8_t depth, uint8_t descriptor, uint16_t w, uint16_t h, const Bytes& data,
          uint8_t colorMap = 0, const std::string& id = "") {
  Bytes b(18, 0);
  b[0] = static_cast<uint8_t>(id.size());
  b[1] = colorMap;
  b[2] = type;
  Put(b, 12, w, 2);
  Put(b, 14, h, 2);
  b[16] = depth;
  b[17] = descriptor;
  b.insert(b.end(), id.begin(), id.end());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST(TgaTest, OrientationAndAlpha) {
  // Data rows: (red, green) then (blue, white); bottom-up by default.
  const Bytes rows24{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
  TBitmapEx b = Load(Tga(2, 24, 0, 2, 2, rows24, 0, "hello"), pkTga);
  EXPECT_EQ(PixelsOf(b), (std::vector<uint32_t>{0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}));
  TBitmapEx topDown = Load(Tga(2, 24, 0x20, 2, 2, rows24), pkTga);
  EXPECT_EQ(PixelsOf(topDown), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
  TBitmapEx rightToLeft = Load(Tga(2, 24, 0x30, 2, 2, rows24), pkTga);
  EXPECT_EQ(PixelsOf(rightToLeft), (std::vector<uint32_t>{0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF}));
  // 32 bits keep their alpha.
  TBitmapEx alpha = Load(Tga(2, 32, 0x20, 1, 1, {1, 2, 3, 4}), pkTga);
  EXPECT_EQ(PixelsOf(alpha), (std::vector<uint32_t>{0x04030201}));
}

TEST(TgaTest, RunLengthPackets) {
  // 0x83 + one pixel: four equal pixels; 0x03 + four pixels: those four.
  Bytes data{0x83, 1, 2, 3, 0x03, 10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
  TBitmapEx b = Load(Tga(10, 24, 0x20, 4, 2, data), pkTga);
  EXPECT_EQ(PixelsOf(b), (std::vector<uint32_t>{0xFF030201, 0xFF030201, 0xFF030201, 0xFF030201, 0xFF0C0B0A,
                                                0xFF161514, 0xFF201F1E, 0xFF2A2928}));
  // A packet running past the end is cut there.
  TBitmapEx cut = Load(Tga(10, 32, 0x20, 3, 1, {0x82, 1, 2, 3, 4, 0xFF, 9, 9, 9, 9}), pkTga);
  EXPECT_EQ(PixelsOf(cut), (std::vector<uint32_t>{0x04030201, 0x04030201, 0x04030201}));
  // Data that ends before the picture is full fails.
  EXPECT_NE(ErrorOf(Tga(10, 24, 0x20, 4, 2, {0x83, 1, 2, 3}), pkTga), "");
  EXPECT_NE(ErrorOf(Tga(10, 24, 0x20, 4, 2, {0x03, 1, 2}), pkTga), "");
  // A tiny file claiming a huge picture is refused before allocating it.
  EXPECT_NE(ErrorOf(Tga(10, 32, 0x20, 65535, 65535, {0xFF, 1, 2, 3, 4}), pkTga), "");
}

TEST(TgaTest, HeaderChecksInTheirOrder) {
  EXPECT_EQ(ErrorOf(Tga(1, 24, 0, 1, 1, {0, 0, 0}, 1), pkTga),
            "Invalid TARGA color format (only TrueColor and RLE are supported)");
  EXPECT_EQ(ErrorOf(Tga(2, 24, 0, 1, 1, {0, 0, 0}, 1), pkTga), "Color-mapped TARGA is not supported");
  EXPECT_EQ(ErrorOf(Tga(2, 16, 0, 1, 1, {0, 0}, 0), pkTga),
            "Unsupported TARGA bitdepth (only 24 and 32-bit depths are supported)");
  EXPECT_NE(ErrorOf(Tga(2, 24, 0, 0, 5, {}), pkTga), "");      // no pixels
  EXPECT_NE(ErrorOf(Tga(2, 24, 0, 2, 2, {1, 2, 3}), pkTga), "");  // raw data too short
  EXPECT_NE(ErrorOf(Bytes{2, 0, 2}, pkTga), "");
}

Bytes EncodeJpeg(int32_t w, int32_t h, uint32_t rgb, J_COLOR_SPACE space = JCS_RGB) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = space == JCS_GRAYSCALE ? 1 : 3;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(w) * static_cast<size_t>(c.input_components));
  for (int32_t x = 0; x < w; ++x) {
    if (space == JCS_GRAYSCALE) {
      row[static_cast<size_t>(x)] = static_cast<uint8_t>(rgb);
    } else {
      row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(rgb >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(rgb);
    }
  }
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes result(out, out + size);
  free(out);
  return result;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int k = 0; k < 4; ++k) {
    if (std::abs(static_cast<int>((a >> (8 * k)) & 0xFF) - static_cast<int>((b >> (8 * k)) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

TEST(JpegTest, DecodesOpaquePicturesAndRaisesInsteadOfExiting) {
  TBitmapEx b = Load(EncodeJpeg(33, 17, 0x2060C0), pkJpeg);
  ASSERT_EQ(b.Width(), 33);
  ASSERT_EQ(b.Height(), 17);
  EXPECT_TRUE(Near(b.Pixel(0, 0), 0xFF2060C0, 3)) << std::hex << b.Pixel(0, 0);
  EXPECT_TRUE(Near(b.Pixel(32, 16), 0xFF2060C0, 3));
  TBitmapEx grey = Load(EncodeJpeg(8, 8, 0x80, JCS_GRAYSCALE), pkJpeg);
  EXPECT_TRUE(Near(grey.Pixel(4, 4), 0xFF808080, 2)) << std::hex << grey.Pixel(4, 4);

  EXPECT_NE(ErrorOf(Bytes{0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3}, pkJpeg), "");
  EXPECT_NE(ErrorOf(Bytes{}, pkJpeg), "");
  EXPECT_NE(ErrorOf(Bytes(100, 0x42), pkJpeg), "");
  // Cut short: the library fills in the rest and warns; either way no crash and no exit.
  Bytes jpeg = EncodeJpeg(64, 64, 0x808080);
  for (size_t cut : {size_t{20}, jpeg.size() / 2, jpeg.size() - 2}) {
    try {
      TBitmapEx partial = Load(Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut)), pkJpeg);
      EXPECT_EQ(partial.Width(), 64);
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST(PictureKindTest, KindsByExtensionAndTheirLoaders) {
  EXPECT_EQ(TBitmapEx::KindFromExtension("a.TGA"), pkTga);
  EXPECT_EQ(TBitmapEx::KindFromExtension("b.Jpeg"), pkJpeg);
  EXPECT_EQ(TBitmapEx::KindFromExtension("c.jpg"), pkJpeg);
  EXPECT_EQ(TBitmapEx::KindFromExtension("d.PnG"), pkPng);
  EXPECT_EQ(TBitmapEx::KindFromExtension("e.gif"), pkBmp);
  EXPECT_EQ(TBitmapEx::KindFromExtension("dir.tga\\noext"), pkBmp);
  EXPECT_EQ(ErrorOf(Bytes{1, 2, 3}, pkByExtension), "Could not autodetect bitmap type!");

  vxtest::TempDir dir;
  const Bytes tga = Tga(2, 24, 0x20, 1, 1, {3, 2, 1});
  vxtest::TempDir::WriteFile(dir.File("pic.TGA"), std::string(tga.begin(), tga.end()));
  TBitmapEx b;
  b.LoadFromFile(dir.File("pic.TGA"), pkByExtension);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF010203u);
  // The same bytes named .gif go to the BMP reader, which refuses them.
  vxtest::TempDir::WriteFile(dir.File("pic.gif"), std::string(tga.begin(), tga.end()));
  EXPECT_THROW(b.LoadFromFile(dir.File("pic.gif"), pkByExtension), EInvalidGraphic);
  // A .png name goes to the PNG decoder, which finds the file cut short after its signature.
  vxtest::TempDir::WriteFile(dir.File("pic.png"), "\x89PNG\r\n\x1a\n");
  EXPECT_THROW(b.LoadFromFile(dir.File("pic.png"), pkByExtension), EPngUnexpectedEnd);
  EXPECT_THROW(b.LoadFromFile(dir.File("missing.bmp"), pkBmp), EStreamError);
}

TEST(PictureKindTest, ArchiveRecordsAreDecodedByKindAndCodesPassOn) {
  vxtest::TempDir dir;
  const auto pixels = RandomPixels(6, 3);
  std::vector<vxtools::TArchiveItem> items;
  items.push_back({"Lobby\\Logo.bmp", 0, vxtools::EncodeBmp(3, 2, pixels.data(), 32), 0});
  items.push_back({"Lobby\\Dot.tga", 0, Tga(2, 24, 0x20, 1, 1, {9, 8, 7}), 0});
  ASSERT_TRUE(vxtools::WriteArchiveFile(dir.File("default.vxr"), items));
  TRecDb db;
  db.SetFileName(dir.File("default.vxr"));
  db.SetOpenMode(opReadOnly);
  ASSERT_EQ(db.Open(), 0);
  TBitmapEx b;
  ASSERT_EQ(b.LoadFromRecDb(db, "LOBBY\\logo.BMP", pkBmp), 0);
  EXPECT_EQ(PixelsOf(b), pixels);
  ASSERT_EQ(b.LoadFromRecDb(db, "lobby\\dot.tga", pkByExtension), 0);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF070809u);
  EXPECT_EQ(b.LoadFromRecDb(db, "Lobby\\Missing.bmp", pkBmp), errRecordNotFound);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF070809u);  // untouched after a failed read
  EXPECT_THROW(b.LoadFromRecDb(db, "Lobby\\Dot.tga", pkBmp), EInvalidGraphic);
}

TEST(PictureOpsTest, PatternRectanglesAndDrawing) {
  TBitmapEx b;
  b.SetSize(64, 32);
  b.PatternWidth = 16;
  b.PatternHeight = 16;
  EXPECT_EQ(b.GetPatternSize(), (TGfxSize{16, 16}));
  EXPECT_EQ(b.GetPatternRect(10), (TGfxRect{32, 0, 48, 16}));  // 8 patterns; 10 mod 8 = 2
  EXPECT_EQ(b.GetPatternRect(5), (TGfxRect{16, 16, 32, 32}));
  EXPECT_EQ(b.GetPatternRect(-1), (TGfxRect{48, 16, 64, 32}));
  b.PatternWidth = 100;  // wider than the picture: no patterns, no division by zero
  EXPECT_EQ(b.GetPatternRect(3), (TGfxRect{0, 0, 100, 16}));
  b.PatternWidth = 0;
  b.PatternHeight = 0;
  EXPECT_EQ(b.GetPatternSize(), (TGfxSize{64, 32}));

  TBitmapEx src;
  src.SetSize(4, 2);
  src.PatternWidth = 2;
  for (int i = 0; i < 8; ++i) src.Pixels()[i] = 0xFF000000u + static_cast<uint32_t>(i);
  TBitmapEx target;
  target.SetSize(3, 3);
  src.DrawPattern(target, 2, -1, 1);  // pattern 1 = columns 2..3; clipped on the right and top
  EXPECT_EQ(PixelsOf(target), (std::vector<uint32_t>{0, 0, 0xFF000006, 0, 0, 0, 0, 0, 0}));
  src.DrawPattern(target, 100, 100, 0);  // entirely outside: nothing
}

TEST(PictureOpsTest, FillAlphaAndFlips) {
  TBitmapEx b;
  b.SetSize(3, 2);
  b.Fill(0x80112233);  // $AABBGGRR in, texel order out
  EXPECT_EQ(b.Pixel(2, 1), 0x80332211u);
  for (int i = 0; i < 6; ++i) b.Pixels()[i] = static_cast<uint32_t>(i);
  b.FlipHorizontal();
  EXPECT_EQ(PixelsOf(b), (std::vector<uint32_t>{2, 1, 0, 5, 4, 3}));
  b.FlipVertical();
  EXPECT_EQ(PixelsOf(b), (std::vector<uint32_t>{5, 4, 3, 2, 1, 0}));
  b.SetAlpha(0x7F);
  EXPECT_EQ(b.Pixel(0, 0), 0x7F000005u);
  b.MakeOpaque();
  EXPECT_EQ(b.Pixel(2, 1), 0xFF000000u);
  // Growing keeps the old corner; the new area is zero.
  b.SetSize(4, 3);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000005u);
  EXPECT_EQ(b.Pixel(3, 2), 0u);
  EXPECT_THROW(b.SetSize(-1, 3), EInvalidGraphic);
  EXPECT_THROW(b.SetSize(1 << 20, 1 << 20), EInvalidGraphic);
}

TEST(RepackTest, PatternsAreCentredInTheirCells) {
  // 40x20 with 20x20 source cells into 32x32 cells of 64x64 sheets: 2 patterns, one sheet.
  TBitmapEx src;
  src.SetSize(40, 20);
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 40; ++x) src.Pixels()[y * 40 + x] = x < 20 ? 0xFFAA0000u : 0xFF00BB00u;
  }
  TBitmapEx dst;
  int progress = 0;
  src.OnProgress = [&] { ++progress; };
  ASSERT_TRUE(TBitmapEx::Repack(src, dst, 0, 0, 0, {32, 32}, {20, 20}, {64, 64}));
  ASSERT_EQ(dst.Width(), 64);
  ASSERT_EQ(dst.Height(), 64);
  EXPECT_EQ(progress, 5);  // 40 rows copied, a call every 8
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      uint32_t expect = 0;
      if (y >= 6 && y < 26 && x >= 6 && x < 26) expect = 0xFFAA0000u;
      if (y >= 6 && y < 26 && x >= 38 && x < 58) expect = 0xFF00BB00u;
      ASSERT_EQ(dst.Pixel(x, y), expect) << x << "," << y;
    }
  }
  // A source cell larger than the destination cell gives up its border; several sheets.
  TBitmapEx big;
  big.SetSize(30, 10);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 30; ++x) big.Pixels()[y * 30 + x] = static_cast<uint32_t>(y * 100 + x);
  }
  ASSERT_TRUE(TBitmapEx::Repack(big, dst, 0, 0, 0, {6, 6}, {10, 10}, {6, 6}));
  ASSERT_EQ(dst.Height(), 18);  // three sheets of one cell
  EXPECT_EQ(dst.Pixel(0, 0), 202u);   // pattern 0 from (2, 2)
  EXPECT_EQ(dst.Pixel(0, 6), 212u);   // pattern 1 from (12, 2)
  EXPECT_EQ(dst.Pixel(5, 17), 727u);  // pattern 2 ends at (27, 7)
  // Impossible geometry is refused and leaves an empty picture.
  EXPECT_FALSE(TBitmapEx::Repack(big, dst, 0, 0, 0, {0, 6}, {10, 10}, {6, 6}));
  EXPECT_FALSE(TBitmapEx::Repack(big, dst, 0, 0, 0, {8, 8}, {10, 10}, {6, 6}));
  EXPECT_TRUE(dst.Empty());
}

TEST(RepackTest, MaskAndColourKeyModes) {
  TBitmapEx src, mask, dst;
  src.SetSize(2, 1);
  src.Pixels()[0] = 0xFFFF00FF;  // magenta: the key
  src.Pixels()[1] = 0xFF00FF00;
  mask.SetSize(2, 1);
  mask.Pixels()[0] = 0xFFFFFFFF;
  mask.Pixels()[1] = 0xFF000000;
  ASSERT_TRUE(TBitmapEx::Repack(src, dst, 1, 0, 0, {2, 1}, {2, 1}, {2, 1}, &mask));
  EXPECT_EQ(dst.Pixel(0, 0), 0xFFFF00FFu);  // white mask: opaque
  EXPECT_EQ(dst.Pixel(1, 0), 0x0000FF00u);  // black mask: clear
  ASSERT_TRUE(TBitmapEx::Repack(src, dst, 2, 0xFFFF00FF, 10, {2, 1}, {2, 1}, {2, 1}));
  EXPECT_EQ(dst.Pixel(0, 0) >> 24, 0u);     // the key colour itself is transparent
  EXPECT_EQ(dst.Pixel(1, 0), 0xFF00FF00u);  // far from the key: unchanged
}

}  // namespace
