// Device images: loading image records and pictures into textures, the pattern maths, pixel
// access of the software image, and what bad records do (a code and no textures left).
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "render/BitmapEx.h"
#include "render/GfxImg2.h"
#include "render/RecDb.h"
#include "render/Streams.h"
#include "tools/common/RecordWriters.h"

namespace {

using vxtools::TImageRecordHeader;

TImageRecordHeader Header(TColorFormat stored, TGfxSize pattern, TGfxSize visible, int32_t patterns, TGfxSize texture,
                          int32_t textures) {
  TImageRecordHeader h;
  h.Stored = stored;
  h.Pattern = pattern;
  h.Visible = visible;
  h.PatternCount = patterns;
  h.Texture = texture;
  h.TextureCount = textures;
  return h;
}

// Sheets where every texel encodes its own position: x, y and texture.
std::vector<uint32_t> PositionSheets(TGfxSize texture, int32_t textures) {
  std::vector<uint32_t> s(static_cast<size_t>(texture.Width) * texture.Height * textures);
  for (int32_t t = 0; t < textures; ++t) {
    for (int32_t y = 0; y < texture.Height; ++y) {
      for (int32_t x = 0; x < texture.Width; ++x) {
        s[(static_cast<size_t>(t) * texture.Height + y) * texture.Width + x] =
            0x80000000u | static_cast<uint32_t>(t) << 16 | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x);
      }
    }
  }
  return s;
}

int32_t LoadRecord(TGfxImage& image, const std::vector<uint8_t>& record, TColorFormat format) {
  TMemoryStream stream(record);
  return image.LoadFromStream(stream, format);
}

TEST(ImageTest, PatternMathsOfTheSoftwareImage) {
  TGfxImage2 image;
  const TGfxSize tex{256, 256};
  auto sheets = PositionSheets(tex, 2);
  ASSERT_EQ(LoadRecord(image,
                       vxtools::EncodeImageRecord(Header(COLOR_A8R8G8B8, {32, 32}, {24, 24}, 100, tex, 2), sheets.data()),
                       COLOR_A8R8G8B8),
            0);
  EXPECT_EQ(image.PatternsPerRow(), 8);
  EXPECT_EQ(image.PatternsPerColumn(), 8);
  EXPECT_EQ(image.PatternsPerTexture(), 64);
  EXPECT_EQ(image.PatternCount(), 100);

  struct Case {
    TGfxPattern request;
    int32_t texture;
    TGfxRect rect;
  };
  auto pattern = [](int32_t n, int32_t x = 0, int32_t y = 0, int32_t w = 0, int32_t h = 0, bool mirror = false,
                    bool flip = false) {
    TGfxPattern p(n);
    p.X = x;
    p.Y = y;
    p.Width = w;
    p.Height = h;
    p.Mirror = mirror;
    p.Flip = flip;
    return p;
  };
  const Case cases[] = {
      {pattern(9), 0, {36, 36, 60, 60}},                      // column 1, row 1, centred
      {pattern(0), 0, {4, 4, 28, 28}},
      {pattern(-3), 0, {4, 4, 28, 28}},                       // clamped to the first
      {pattern(1000), 1, {100, 132, 124, 156}},               // clamped to the last (99: texture 1, p 35)
      {pattern(64), 1, {4, 4, 28, 28}},                       // first pattern of the second texture
      {pattern(0, 0, 0, 0, 0, true), 0, {28, 4, 4, 28}},      // mirror
      {pattern(0, 0, 0, 0, 0, false, true), 0, {4, 28, 28, 4}},  // flip
      {pattern(9, 2, 3, 10, 5), 0, {38, 39, 48, 44}},         // offset and part of the pattern
  };
  for (const Case& c : cases) {
    TImageTexture texture;
    TGfxRect rect;
    ASSERT_EQ(image.GetPatternTexture(c.request, texture, rect), 0) << c.request.Pattern;
    EXPECT_EQ(rect, c.rect) << c.request.Pattern;
    EXPECT_EQ(texture.Pitch, 1024);
    EXPECT_EQ(texture.Width, 256);
    // The block is the right texture: its texel (0,0) says which.
    EXPECT_EQ(texture.Bits[2], c.texture) << c.request.Pattern;
  }
}

TEST(ImageTest, PatternTextureNeedsTexturesAndPatterns) {
  TGfxImage2 image;
  TImageTexture texture;
  TGfxRect rect;
  EXPECT_EQ(image.GetPatternTexture(TGfxPattern(0), texture, rect), -1);
  auto sheets = PositionSheets({16, 16}, 1);
  ASSERT_EQ(LoadRecord(image, vxtools::EncodeImageRecord(Header(COLOR_A8R8G8B8, {8, 8}, {8, 8}, 0, {16, 16}, 1),
                                                        sheets.data()),
                       COLOR_A8R8G8B8),
            0);
  EXPECT_EQ(image.GetPatternTexture(TGfxPattern(0), texture, rect), -1);  // no patterns
}

TEST(ImageTest, SameFormatIsCopiedAndOtherFormatsGoThroughTheWorkingColour) {
  const TGfxSize tex{8, 4};
  std::vector<uint32_t> sheets(32);
  for (size_t i = 0; i < sheets.size(); ++i) sheets[i] = 0x9F3E5C71u + static_cast<uint32_t>(i) * 0x01010101u;
  const auto record = vxtools::EncodeImageRecord(Header(COLOR_A8R8G8B8, {4, 4}, {4, 4}, 2, tex, 1), sheets.data());

  TGfxImage2 same;
  ASSERT_EQ(LoadRecord(same, record, COLOR_A8R8G8B8), 0);
  EXPECT_TRUE(same.Loaded());
  EXPECT_EQ(same.Format(), COLOR_A8R8G8B8);
  TGfxImage2 narrow;
  ASSERT_EQ(LoadRecord(narrow, record, COLOR_A4R4G4B4), 0);
  EXPECT_EQ(narrow.Format(), COLOR_A4R4G4B4);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t c = sheets[static_cast<size_t>(y) * 8 + x];
      EXPECT_EQ(same.GetPixel(x, y, 0), c);
      // The top four bits of each component survive, widened back by 17.
      uint32_t expect = 0;
      for (int k = 0; k < 4; ++k) expect |= (((c >> (8 * k)) & 0xFF) >> 4) * 17u << (8 * k);
      EXPECT_EQ(narrow.GetPixel(x, y, 0), expect);
    }
  }
  // A stored 16-bit record loaded as 32 bits is widened.
  std::vector<uint32_t> white(32, 0xFFFFFFFF);
  TGfxImage2 wide;
  ASSERT_EQ(LoadRecord(wide, vxtools::EncodeImageRecord(Header(COLOR_R5G6B5, {4, 4}, {4, 4}, 2, tex, 1), white.data()),
                       COLOR_A8R8G8B8),
            0);
  EXPECT_EQ(wide.GetPixel(7, 3, 0), 0xFFFFFFFFu);
}

TEST(ImageTest, SetPixelTakesTheDeviceColourOrderAndGetPixelGivesTexelOrder) {
  std::vector<uint32_t> black(16, 0);
  TGfxImage2 image;
  EXPECT_EQ(image.GetPixel(0, 0, 0), 0u);  // not loaded
  ASSERT_EQ(LoadRecord(image, vxtools::EncodeImageRecord(Header(COLOR_A8R8G8B8, {4, 4}, {4, 4}, 1, {4, 4}, 1),
                                                        black.data()),
                       COLOR_A8R8G8B8),
            0);
  image.SetPixel(1, 2, 0xFF0000FF, 0);
  EXPECT_EQ(image.GetPixel(1, 2, 0), 0xFFFF0000u);
  // Outside the texture nothing happens and nothing is read.
  image.SetPixel(4, 0, 0xFFFFFFFF, 0);
  image.SetPixel(-1, 0, 0xFFFFFFFF, 0);
  image.SetPixel(0, 0, 0xFFFFFFFF, 1);
  EXPECT_EQ(image.GetPixel(4, 0, 0), 0u);
  EXPECT_EQ(image.GetPixel(0, 0, 1), 0u);
  EXPECT_EQ(image.GetPixel(0, 0, 0), 0u);
}

struct BadRecord {
  const char* what;
  TImageRecordHeader header;
};

TEST(ImageTest, RecordsOutsideTheLimitsGiveMinus8AndNoTextures) {
  const TGfxSize p{8, 8}, t{16, 16};
  const BadRecord bad[] = {
      {"format 10", Header(static_cast<TColorFormat>(10), p, p, 1, t, 1)},
      {"format 255", Header(static_cast<TColorFormat>(255), p, p, 1, t, 1)},
      {"zero pattern", Header(COLOR_A8R8G8B8, {0, 8}, {0, 8}, 1, t, 1)},
      {"negative visible", Header(COLOR_A8R8G8B8, p, {-1, 8}, 1, t, 1)},
      {"visible > pattern", Header(COLOR_A8R8G8B8, p, {9, 8}, 1, t, 1)},
      {"pattern > texture", Header(COLOR_A8R8G8B8, {17, 8}, {8, 8}, 1, t, 1)},
      {"texture 8193", Header(COLOR_A8R8G8B8, p, p, 1, {8193, 16}, 1)},
      {"no textures", Header(COLOR_A8R8G8B8, p, p, 1, t, 0)},
      {"negative textures", Header(COLOR_A8R8G8B8, p, p, 1, t, -5)},
      {"too many textures", Header(COLOR_A8R8G8B8, p, p, 1, t, 1 << 20)},
      {"huge textures", Header(COLOR_A8R8G8B8, p, p, 1, {8192, 8192}, 2)},
      {"more patterns than cells", Header(COLOR_A8R8G8B8, p, p, 5, t, 1)},
      {"negative patterns", Header(COLOR_A8R8G8B8, p, p, -1, t, 1)},
  };
  for (const BadRecord& b : bad) {
    auto record = vxtools::EncodeImageRecordHeader(b.header);
    record.resize(record.size() + 16 * 16 * 4, 0x55);  // enough pixels for the sane sizes
    TGfxImage2 image;
    EXPECT_EQ(LoadRecord(image, record, COLOR_A8R8G8B8), errImageFormat) << b.what;
    EXPECT_FALSE(image.Loaded()) << b.what;
    EXPECT_FALSE(image.TexturesReady()) << b.what;
  }
}

TEST(ImageTest, ShortRecordsGiveMinus5AndNoTextures) {
  auto sheets = PositionSheets({16, 16}, 2);
  const auto record = vxtools::EncodeImageRecord(Header(COLOR_R5G6B5, {8, 8}, {8, 8}, 8, {16, 16}, 2), sheets.data());
  for (size_t cut : {size_t{0}, size_t{10}, size_t{32}, size_t{33}, record.size() / 2, record.size() - 1}) {
    TGfxImage2 image;
    std::vector<uint8_t> shortRecord(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(LoadRecord(image, shortRecord, COLOR_A8R8G8B8), errArchiveRead) << cut;
    EXPECT_FALSE(image.Loaded());
    EXPECT_FALSE(image.TexturesReady());
  }
  TGfxImage2 image;
  EXPECT_EQ(LoadRecord(image, record, static_cast<TColorFormat>(12)), -1);  // no such target format
}

// An image whose device refuses: textures cannot be made, or a row cannot be written.
class FailingImage : public TGfxImage2 {
public:
  int32_t createCode = 0;
  int32_t failAtLine = -1;
  int32_t CreateTextures() override { return createCode != 0 ? createCode : TGfxImage2::CreateTextures(); }
  void WriteScanline(const void* source, int32_t byteCount, int32_t& code, int32_t line, int32_t texture) override {
    if (texture == 1 && line == failAtLine) {
      code = -98;
      return;
    }
    TGfxImage2::WriteScanline(source, byteCount, code, line, texture);
  }
};

TEST(ImageTest, DeviceFailuresArePassedOnAndLeaveNoTextures) {
  auto sheets = PositionSheets({16, 16}, 2);
  const auto record = vxtools::EncodeImageRecord(Header(COLOR_A8R8G8B8, {8, 8}, {8, 8}, 8, {16, 16}, 2), sheets.data());
  FailingImage refuse;
  refuse.createCode = -15;
  EXPECT_EQ(LoadRecord(refuse, record, COLOR_A8R8G8B8), -15);
  EXPECT_FALSE(refuse.Loaded());
  EXPECT_EQ(refuse.TextureCount(), 0);
  EXPECT_EQ(refuse.PatternSize(), (TGfxSize{0, 0}));

  FailingImage rows;
  rows.failAtLine = 5;
  EXPECT_EQ(LoadRecord(rows, record, COLOR_A4R4G4B4), -98);
  EXPECT_FALSE(rows.Loaded());
  EXPECT_FALSE(rows.TexturesReady());

  TBitmapEx picture;
  picture.SetSize(16, 32);
  FailingImage fromPicture;
  fromPicture.failAtLine = 0;
  EXPECT_EQ(fromPicture.LoadFromBitmap(picture, {16, 16}, {16, 16}, {16, 16}, COLOR_A8R8G8B8), -98);
  EXPECT_FALSE(fromPicture.TexturesReady());
}

TEST(ImageTest, LoadFromBitmapPacksPatternsIntoTextures) {
  // A 48x16 picture of three 16x16 patterns, each a solid colour, on 32x16 textures.
  TBitmapEx picture;
  picture.SetSize(48, 16);
  const uint32_t colours[3] = {0xFF0000FF, 0x8000FF00, 0xFFFF0000};
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 48; ++x) picture.Pixels()[y * 48 + x] = colours[x / 16];
  }
  TGfxImage2 image;
  image.UserFlag = true;
  ASSERT_EQ(image.LoadFromBitmap(picture, {16, 16}, {16, 16}, {32, 16}, COLOR_A8R8G8B8), 0);
  EXPECT_TRUE(image.Loaded());
  EXPECT_FALSE(image.UserFlag);
  EXPECT_EQ(image.TextureCount(), 2);
  EXPECT_EQ(image.PatternsPerTexture(), 2);
  EXPECT_EQ(image.PatternCount(), 4);  // every cell of every texture counts
  EXPECT_EQ(image.GetPixel(3, 3, 0), colours[0]);
  EXPECT_EQ(image.GetPixel(20, 3, 0), colours[1]);
  EXPECT_EQ(image.GetPixel(3, 3, 1), colours[2]);
  EXPECT_EQ(image.GetPixel(20, 3, 1), 0u);  // the empty cell is transparent black

  // Converted on the way in.
  TGfxImage2 low;
  ASSERT_EQ(low.LoadFromBitmap(picture, {16, 16}, {16, 16}, {32, 16}, COLOR_A1R5G5B5), 0);
  EXPECT_EQ(low.GetPixel(20, 3, 0), 0xFF00FF00u);

  // Nonsense geometry or an empty picture is refused.
  TGfxImage2 bad;
  EXPECT_EQ(bad.LoadFromBitmap(picture, {0, 16}, {16, 16}, {32, 16}, COLOR_A8R8G8B8), -1);
  EXPECT_EQ(bad.LoadFromBitmap(picture, {64, 16}, {16, 16}, {32, 16}, COLOR_A8R8G8B8), -1);
  EXPECT_EQ(bad.LoadFromBitmap(TBitmapEx(), {16, 16}, {16, 16}, {32, 16}, COLOR_A8R8G8B8), -1);
  EXPECT_FALSE(bad.TexturesReady());

  image.Release();
  EXPECT_FALSE(image.Loaded());
  EXPECT_FALSE(image.TexturesReady());
  EXPECT_EQ(image.PatternsPerTexture(), 0);
}

TEST(ImageTest, LoadTilesMatchesRepackingThePaddedPicture) {
  // The oracle: the picture padded with transparent pixels to whole tiles (not at all when it
  // fits one tile), packed by LoadFromBitmap with the tile (or the picture) as pattern.
  std::mt19937 rng(20261209);
  for (int round = 0; round < 200; ++round) {
    TBitmapEx picture;
    picture.SetSize(1 + static_cast<int32_t>(rng() % 70), 1 + static_cast<int32_t>(rng() % 70));
    for (int64_t i = 0; i < int64_t{picture.Width()} * picture.Height(); ++i) picture.Pixels()[i] = rng();
    const TGfxSize tile{4 + static_cast<int32_t>(rng() % 40), 4 + static_cast<int32_t>(rng() % 40)};
    const auto format = static_cast<TColorFormat>(rng() % 10);
    const bool single = picture.Width() <= tile.Width && picture.Height() <= tile.Height;
    TBitmapEx padded = picture;
    if (!single)
      padded.SetSize((picture.Width() + tile.Width - 1) / tile.Width * tile.Width,
                     (picture.Height() + tile.Height - 1) / tile.Height * tile.Height);
    const TGfxSize cell = single ? TGfxSize{picture.Width(), picture.Height()} : tile;
    TGfxImage2 want, got;
    ASSERT_EQ(want.LoadFromBitmap(padded, cell, cell, tile, format), 0);
    got.UserFlag = true;
    ASSERT_EQ(got.LoadTiles(picture, tile, format), 0);
    EXPECT_FALSE(got.UserFlag);
    ASSERT_EQ(std::tuple(got.TextureCount(), got.PatternCount(), got.PatternSize(), got.VisibleSize(),
                         got.TextureSize(), got.Format(), got.Loaded()),
              std::tuple(want.TextureCount(), want.PatternCount(), want.PatternSize(), want.VisibleSize(),
                         want.TextureSize(), want.Format(), want.Loaded()))
        << round;
    const int32_t bytes = tile.Width * want.BytesPerPixel();
    std::vector<uint8_t> a(static_cast<size_t>(bytes)), b(a.size());
    for (int32_t t = 0; t < want.TextureCount(); ++t) {
      for (int32_t y = 0; y < tile.Height; ++y) {
        int32_t code = 0;
        want.ReadScanline(a.data(), bytes, code, y, t);
        got.ReadScanline(b.data(), bytes, code, y, t);
        ASSERT_EQ(code, 0);
        ASSERT_EQ(a, b) << "round " << round << " texture " << t << " row " << y;
      }
    }
  }
  // What it cannot take (24 bits, nothing, no tile, more textures than an image holds)
  // leaves no textures.
  TBitmapEx narrow, wide, none;
  narrow.SetSize(4, 4);
  narrow.SetPixelFormat(pf24bit);
  wide.SetSize(2048, 1);
  TGfxImage2 bad;
  for (auto [picture, tile] : {std::pair{&narrow, TGfxSize{8, 8}}, std::pair{&wide, TGfxSize{0, 8}},
                               std::pair{&wide, TGfxSize{1, 1}}, std::pair{&none, TGfxSize{8, 8}}})
    EXPECT_EQ(bad.LoadTiles(*picture, tile, COLOR_A8R8G8B8), -1);
  EXPECT_FALSE(bad.TexturesReady());
}

TEST(ImageTest, ScanlinesStayInsideTheirTexture) {
  TGfxImage2 image;
  image.SetFormat(COLOR_A8R8G8B8);
  image.SetTextureSize({4, 2});
  image.SetTextureCount(1);
  ASSERT_EQ(image.CreateTextures(), 0);
  const uint32_t row[5] = {1, 2, 3, 4, 5};
  int32_t code = 0;
  image.WriteScanline(row, 16, code, 1, 0);
  EXPECT_EQ(code, 0);
  uint32_t back[4] = {};
  image.ReadScanline(back, 16, code, 1, 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(back[3], 4u);
  for (auto [bytes, line, texture] : {std::tuple{20, 0, 0}, std::tuple{16, 2, 0}, std::tuple{16, -1, 0},
                                      std::tuple{16, 0, 1}, std::tuple{-4, 0, 0}}) {
    code = 0;
    image.WriteScanline(row, bytes, code, line, texture);
    EXPECT_EQ(code, -1);
    code = 0;
    image.ReadScanline(back, bytes, code, line, texture);
    EXPECT_EQ(code, -1);
  }
  // A 16-bit row: packed in the call, one texel per 4 bytes in the texture.
  TGfxImage2 narrow;
  narrow.SetFormat(COLOR_R5G6B5);
  narrow.SetTextureSize({4, 1});
  narrow.SetTextureCount(1);
  ASSERT_EQ(narrow.CreateTextures(), 0);
  const uint16_t packed[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  code = 0;
  narrow.WriteScanline(packed, 8, code, 0, 0);
  EXPECT_EQ(code, 0);
  uint16_t again[4] = {};
  narrow.ReadScanline(again, 8, code, 0, 0);
  EXPECT_EQ(std::vector<uint16_t>(again, again + 4), std::vector<uint16_t>(packed, packed + 4));
  narrow.WriteScanline(packed, 10, code, 0, 0);  // more than a 16-bit row holds
  EXPECT_EQ(code, -1);
}

TEST(ImageListTest, DeviceGoesToEveryImageAndGoesAwayWithTheDevice) {
  TGfxImages list;
  auto* device = reinterpret_cast<TGfxDevice*>(0x1000);  // only compared, never used
  auto* other = reinterpret_cast<TGfxDevice*>(0x2000);
  TGfxImage* a = list.Add(std::make_unique<TGfxImage2>());
  EXPECT_EQ(a->Device, nullptr);
  list.DeviceInserted(device);
  EXPECT_EQ(list.Device(), device);
  EXPECT_EQ(a->Device, device);
  TGfxImage* b = list.Add(std::make_unique<TGfxImage2>());
  EXPECT_EQ(b->Device, device);
  list.DeviceInserted(other);  // one is set: kept
  EXPECT_EQ(list.Device(), device);
  list.DeviceRemoved(other);
  EXPECT_EQ(list.Device(), device);
  list.DeviceRemoved(device);
  EXPECT_EQ(list.Device(), nullptr);
  EXPECT_EQ(b->Device, nullptr);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(1), b);
  EXPECT_EQ(list.Items(2), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
