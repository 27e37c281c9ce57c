// Pictures of pages: sniffing over small generated files, the transparent colour of GIF and
// PNG files found without decoding, loading with masks, palette displays, the cache and the
// loader that serves a document.
#include <gtest/gtest.h>
#include <zlib.h>

#include "html/HtmlParser.h"
#include "html/HtmlPictures.h"
#include "support/TempDir.h"
#include "unit/html/FixedFonts.h"
#include "unit/html/GifTestEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using K = ThtmlPictureKind;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

void Be32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(Bytes& png, const char* type, const Bytes& data, int64_t length = -1) {
  Be32(png, length < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(length));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  Be32(png, static_cast<uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

// A palette PNG of w x h (pixel i takes index i % palette size), tRNS of `trns` entries.
Bytes PalettePng(int w, int h, const std::vector<uint32_t>& palette, int trns, int colourType = 3) {
  Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, ihdr;
  Be32(ihdr, static_cast<uint32_t>(w));
  Be32(ihdr, static_cast<uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, static_cast<uint8_t>(colourType), 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Bytes plte;
  for (uint32_t c : palette) plte.insert(plte.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
  Chunk(png, "PLTE", plte);
  if (trns >= 0) Chunk(png, "tRNS", Bytes(static_cast<size_t>(trns), 0));
  Bytes raw;
  for (int y = 0, i = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x, ++i) raw.push_back(static_cast<uint8_t>(i % palette.size()));
  }
  Bytes z(compressBound(static_cast<uLong>(raw.size())));
  uLongf zn = static_cast<uLongf>(z.size());
  compress(z.data(), &zn, raw.data(), static_cast<uLong>(raw.size()));
  z.resize(zn);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return png;
}

// A 24-bit BMP of w x h whose pixel (x, y) is colour(x, y) (0x00RRGGBB).
Bytes Bmp(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  const int row = (w * 3 + 3) & ~3;
  Bytes b = B("BM");
  auto le32 = [&b](uint32_t v) { for (int s = 0; s < 32; s += 8) b.push_back(static_cast<uint8_t>(v >> s)); };
  auto le16 = [&b](uint16_t v) { b.push_back(static_cast<uint8_t>(v)), b.push_back(static_cast<uint8_t>(v >> 8)); };
  le32(static_cast<uint32_t>(54 + row * h)), le32(0), le32(54);
  le32(40), le32(static_cast<uint32_t>(w)), le32(static_cast<uint32_t>(h)), le16(1), le16(24);
  for (int i = 0; i < 6; ++i) le32(0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
    }
    b.resize(b.size() + static_cast<size_t>(row - w * 3), 0);
  }
  return b;
}

Bytes Gif(const char* signature, bool control, int transparent, bool globalTable = true,
          std::vector<uint32_t> table = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}) {
  giftest::GifWriter w(2, 2, globalTable ? table : std::vector<uint32_t>{}, signature);
  giftest::Frame f;
  f.width = f.height = 2;
  f.pixels = {0, 1, 2, 3};
  f.control = control;
  f.transparent = transparent;
  if (!globalTable) f.localTable = table;
  w.Add(f);
  return w.Finish();
}

TEST(HtmlPictures, KindsAndTransparentColoursFromTheFirstBytes) {
  Bytes late = Gif("GIF89a", false, -1);  // the control block of a later frame does not count
  late.pop_back();
  {
    giftest::Frame f;
    f.width = f.height = 2, f.pixels = {0, 0, 0, 0}, f.control = true, f.transparent = 1;
    giftest::GifWriter w(2, 2);
    w.out = late;
    late = w.Add(f).Finish();
  }
  Bytes pointless = Gif("GIF89a", true, 3);
  pointless[10] = 0x71;  // the global-table flag cleared: no table to name a colour from
  const std::vector<uint32_t> pal = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0};
  const Bytes whole = Gif("GIF89a", true, 2);
  Bytes longChunk = PalettePng(2, 2, pal, 4);
  longChunk[33 + 3] = 0xFF, longChunk[33 + 0] = 0xFF;  // PLTE's length far past the file
  struct Case {
    const char* what;
    Bytes bytes;
    K kind;
    std::optional<uint32_t> colour;
  };
  const Case cases[] = {
      {"gif89 with a first control block", Gif("GIF89a", true, 2), K::Gif89, 0xFF0000},
      {"gif89 without transparency", Gif("GIF89a", true, -1), K::Gif89, std::nullopt},
      {"gif87 never", Gif("GIF87a", true, 2), K::Gif87, std::nullopt},
      {"gif89 whose first block is an image", late, K::Gif89, std::nullopt},
      {"gif89 without a global table", pointless, K::Gif89, std::nullopt},
      {"gif89 local tables only", Gif("GIF89a", true, 1, false), K::Gif89, std::nullopt},
      {"gif cut short", Bytes(whole.begin(), whole.begin() + 20), K::Gif89, std::nullopt},
      {"bmp", B("BM"), K::Bmp, std::nullopt},
      {"png tRNS of 4", PalettePng(2, 2, pal, 4), K::Png, 0xC0B0A0},
      {"png tRNS of 1", PalettePng(2, 2, pal, 1), K::Png, 0x302010},
      {"png tRNS empty", PalettePng(2, 2, pal, 0), K::Png, std::nullopt},
      {"png tRNS past the palette", PalettePng(2, 2, pal, 6), K::Png, std::nullopt},
      {"png without tRNS", PalettePng(2, 2, pal, -1), K::Png, std::nullopt},
      {"png truecolour alpha", PalettePng(2, 2, pal, 4, 6), K::Png, std::nullopt},
      {"png chunk past the end", longChunk, K::Png, std::nullopt},
      {"png signature only", Bytes{0x89, 'P', 'N', 'G'}, K::Png, std::nullopt},
      {"jpeg", Bytes{0xFF, 0xD8, 0xFF}, K::Jpeg, std::nullopt},
      {"text", B("<html>"), K::None, std::nullopt},
      {"two bytes", B("GI"), K::None, std::nullopt},
      {"empty", Bytes{}, K::None, std::nullopt},
  };
  vxtest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SniffPicture(c.bytes.data(), c.bytes.size()), c.kind);
    vxtest::TempDir::WriteFile(dir.File("f"), std::string(c.bytes.begin(), c.bytes.end()));
    EXPECT_EQ(SniffPictureFile(dir.File("f")), c.kind);
    const auto gifColour = GifTransparentColor(c.bytes.data(), c.bytes.size());
    const auto pngColour = PngTransparentColor(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(c.kind == K::Png ? pngColour : gifColour, c.colour);
    EXPECT_FALSE(c.kind == K::Png ? gifColour : pngColour);
  }
  EXPECT_EQ(SniffPictureFile(dir.File("missing")), K::None);
}

TEST(HtmlPictures, LoadingGivesPixelsAndMasks) {
  const std::vector<uint32_t> pal = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
  auto png = LoadHtmlPicture(PalettePng(4, 2, pal, 2));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->Width, 4);
  EXPECT_EQ(png->Pixels[2], 0xFF708090u);
  ASSERT_TRUE(png->Mask);
  EXPECT_EQ(png->Mask->Bits, (std::vector<uint8_t>{0, 1, 0, 0, 0, 1, 0, 0}));

  auto bmp = LoadHtmlPicture(Bmp(3, 2, [](int x, int y) { return x == 0 && y == 1 ? 0x00FF00u : 0x0000FFu * (x + 1); }));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Pixels[1], 0xFF0001FEu);
  EXPECT_FALSE(bmp->Mask);
  auto own = LoadHtmlPicture(Bmp(3, 2, [](int x, int y) { return x == 0 && y == 1 ? 0x00FF00u : 0x0000FFu * (x + 1); }), true);
  ASSERT_TRUE(own && own->Mask);
  EXPECT_EQ(own->Mask->Bits, (std::vector<uint8_t>{0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(WithOwnColorMask(*bmp)->Mask->Bits, own->Mask->Bits);

  auto gif = LoadHtmlPicture(Gif("GIF89a", true, 3));
  ASSERT_TRUE(gif && gif->Mask);
  EXPECT_EQ(gif->Pixels[0], 0xFFFF0000u);
  EXPECT_EQ(gif->Mask->Bits, (std::vector<uint8_t>{0, 0, 0, 1}));
  EXPECT_FALSE(LoadHtmlPicture(Gif("GIF87a", true, 3))->Mask);

  // Damaged files of every kind give nothing, never a crash.
  for (Bytes bad : {Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J'}, B("BM\x10"), B("GIF89a\x01"), Bytes{0x89, 'P', 'N', 'G'}, B("none")})
    EXPECT_FALSE(LoadHtmlPicture(bad));
  Bytes cut = PalettePng(4, 2, pal, 2);
  cut.resize(cut.size() - 20);
  EXPECT_FALSE(LoadHtmlPicture(cut));
}

TEST(HtmlPictures, TheTransparentColourMasksEveryPixelOfItAndFilesGoByTheirExtension) {
  // Entries 0 and 3 share a colour: with entry 0 transparent, both are. The bottom-left is blue.
  const Bytes twin = Gif("GIF89a", true, 0, true, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000});
  const std::vector<uint8_t> keyed = {1, 0, 0, 1}, none, own = {0, 0, 1, 0};
  vxtest::TempDir dir;
  auto file = [&](const char* name, bool ownColor) {
    vxtest::TempDir::WriteFile(dir.File(name), std::string(twin.begin(), twin.end()));
    auto p = LoadHtmlPictureFile(dir.File(name), ownColor);
    return p && p->Mask ? p->Mask->Bits : none;
  };
  EXPECT_EQ(file("a.gif", false), keyed);
  EXPECT_EQ(file("b.GIF", true), keyed) << "the colour found wins over the bottom-left one";
  EXPECT_EQ(file("c.bmp", false), none);
  EXPECT_EQ(file("d.gif.x", true), own);
  EXPECT_EQ(LoadHtmlPicture(twin)->Mask->Bits, keyed) << "bytes from a stream go by their kind";
}

TEST(HtmlPictures, PaletteDisplaysTakeTheSharedPalette) {
  SetHtmlDisplayBits(8);
  auto p = LoadHtmlPicture(Bmp(8, 8, [](int x, int y) { return static_cast<uint32_t>(x * 30 << 16 | y * 30 << 8 | 77); }));
  SetHtmlDisplayBits(24);
  ASSERT_TRUE(p);
  for (uint32_t px : p->Pixels)
    for (int s = 0; s < 24; s += 8) EXPECT_EQ((px >> s & 0xFF) % 51, 0u) << std::hex << px;
  EXPECT_EQ(HtmlDisplayBits(), 24);
  SetHtmlDisplayBits(1);
  EXPECT_EQ(HtmlDisplayBits(), 4);
  SetHtmlDisplayBits(24);
}

TEST(HtmlPictures, TheLoaderServesADocumentThroughTheCache) {
  vxtest::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "Pics");
  const Bytes bmp = Bmp(2, 2, [](int, int) { return 0x123456u; });
  for (const char* name : {"Pics/A.BMP", "Pics/b.bmp", "Pics/c.bmp"})
    vxtest::TempDir::WriteFile(dir.File(name), std::string(bmp.begin(), bmp.end()));
  ThtmlPictureLoader loader;
  loader.Folder = dir.Str();
  loader.Cache.SetCapacity(2);
  int served = 0;
  loader.OnImageRequest = [&served](const std::string& src, std::vector<uint8_t>& bytes) {
    if (src != "mem:x") return false;
    ++served;
    bytes = Bmp(5, 1, [](int, int) { return 0u; });
    return true;
  };
  vxtest::FixedFontProvider fixed(8, 12, 4, 2);
  TSectionList doc;
  doc.Fonts = &fixed;
  loader.Attach(doc);
  ThvParser parser;
  parser.HtmlParseString("<img src=pics/a.bmp><img src=\"pics%2Fa.bmp\"><img src=mem:x><img src=nothing.gif>"
                         "<img src=PICS/B.bmp transp>",
                         doc);
  doc.DoLogic(0, 400);
  const auto& images = dynamic_cast<const TSection&>(*doc.Sections[0]).Images;
  ASSERT_EQ(images.size(), 5u);
  EXPECT_EQ(images[0]->Picture, images[1]->Picture) << "one file, one cached picture";
  EXPECT_EQ(images[2]->Picture->Width, 5);
  EXPECT_EQ(served, 1);
  EXPECT_TRUE(images[3]->LoadFailed);
  ASSERT_TRUE(images[4]->Picture && images[4]->Picture->Mask) << "TRANSP makes the bottom-left colour see-through";
  EXPECT_EQ(loader.Cache.Count(), 2u);
  EXPECT_TRUE(loader.Get("pics/c.bmp"));
  EXPECT_EQ(loader.Cache.Count(), 2u);
  EXPECT_TRUE(loader.Cache.Find(loader.FileOf("pics/a.bmp"))) << "the most used picture stays";
  loader.Cache.SetCapacity(99);
  EXPECT_EQ(loader.Cache.Capacity(), ThtmlPictureCache::kMaxCount);
  loader.Cache.SetCapacity(0);
  EXPECT_EQ(loader.Cache.Count(), 0u);
}

}  // namespace
