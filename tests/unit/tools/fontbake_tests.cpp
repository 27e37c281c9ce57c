// The font baker and the packer, end to end: a system font baked into a record, packed into
// an archive, loaded by the font list and measured.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"
#include "render/GfxImg2.h"
#include "render/RecDb.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/FontBaker.h"
#include "tests/support/NullDevice.h"

namespace {

const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

using ReadyDevice = vxtest::NullDevice;

// The largest alpha inside one glyph's visible cell.
uint32_t MaxCoverage(TGfxImage& image, int32_t glyph) {
  TGfxPattern p(glyph);
  int32_t texture = 0;
  TGfxRect r;
  if (!image.PatternRect(p, texture, r)) return 0;
  uint32_t best = 0;
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    for (int32_t x = r.Left; x < r.Right; ++x) best = std::max(best, image.GetPixel(x, y, texture) >> 24);
  }
  return best;
}

TEST(FontBakeTest, BakedFontLoadsAndMeasuresLikeText) {
  if (!vx::FileExists(kFont)) GTEST_SKIP() << "DejaVu Sans is not installed";
  vxtools::TFontBakeOptions options;
  options.FontFile = kFont;
  options.PixelSize = 18;
  vxtools::TBakedFont baked;
  std::string error;
  ASSERT_TRUE(vxtools::BakeFont(options, baked, &error)) << error;
  ASSERT_EQ(baked.Info.Glyphs.size(), 224u);  // 32..255
  EXPECT_EQ(baked.Info.FirstChar, 32u);
  auto width = [&](char c) { return baked.Info.Glyphs[static_cast<uint8_t>(c) - 32].Width; };
  EXPECT_GT(width('W'), width('i'));
  EXPECT_GT(width(' '), 0);
  EXPECT_EQ(baked.Info.Glyphs[0x81 - 32].Width, 0);  // unassigned in Windows-1252

  vxtest::TempDir dir;
  const std::string archivePath = dir.File("fonts.vxr");
  ASSERT_TRUE(vxtools::WriteArchiveFile(archivePath, {{"Sans18.font", FontRecordType, baked.Record, 0},
                                                      {"Lobby\\x.bmp", 0, {1, 2, 3}, 0}}));
  TRecDb db;
  db.SetFileName(archivePath);
  db.SetOpenMode(opReadOnly);
  ReadyDevice device;
  TGfxFonts fonts;
  fonts.SetDevice(&device);
  ASSERT_EQ(fonts.LoadFromRecDb(db), 0);
  ASSERT_EQ(fonts.Count(), 1);
  TGfxFont& font = *fonts.Items(0);
  EXPECT_EQ(font.Name, "Sans18.font");
  EXPECT_EQ(font.TextWidth("Wi"), width('W') + width('i'));
  EXPECT_GE(font.TextHeight("Ag"), 18);
  // White glyphs whose alpha is their coverage; a space covers nothing.
  ASSERT_NE(font.Image(), nullptr);
  EXPECT_GT(MaxCoverage(*font.Image(), 'A' - 32), 200u);
  EXPECT_EQ(MaxCoverage(*font.Image(), ' ' - 32), 0u);
  EXPECT_EQ(font.Image()->GetPixel(0, 0, 0) & 0x00FFFFFFu, 0x00FFFFFFu);
}

// Every glyph's ink lies inside its own advance, so no glyph reaches into the next one and a
// space keeps its whole width (a bold "w" used to overhang the space after it by 2 pixels).
TEST(FontBakeTest, EveryGlyphsInkLiesInsideItsAdvance) {
  for (const auto& [file, size] : std::vector<std::pair<std::string, int32_t>>{
           {"/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf", 16},
           {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 11},
           {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 20}}) {
    if (!vx::FileExists(file)) continue;
    vxtools::TFontBakeOptions options;
    options.FontFile = file;
    options.PixelSize = size;
    vxtools::TBakedFont baked;
    ASSERT_TRUE(vxtools::BakeFont(options, baked));
    vxtest::TempDir dir;
    ASSERT_TRUE(vxtools::WriteArchiveFile(dir.File("f.vxr"), {{"F.font", FontRecordType, baked.Record, 0}}));
    TRecDb db;
    db.SetFileName(dir.File("f.vxr"));
    db.SetOpenMode(opReadOnly);
    ReadyDevice device;
    TGfxFonts fonts;
    fonts.SetDevice(&device);
    ASSERT_EQ(fonts.LoadFromRecDb(db), 0);
    TGfxImage& image = *fonts.Items(0)->Image();
    for (size_t g = 0; g < baked.Info.Glyphs.size(); ++g) {
      int32_t texture = 0;
      TGfxRect r;
      ASSERT_TRUE(image.PatternRect(TGfxPattern(int32_t(g)), texture, r));
      int32_t inkRight = 0;
      for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x)
          if ((image.GetPixel(x, y, texture) >> 24) > 32) inkRight = std::max(inkRight, x - r.Left + 1);
      EXPECT_LE(inkRight, baked.Info.Glyphs[g].Width) << file << " " << size << " glyph " << g + 32;
    }
  }
}

TEST(FontBakeTest, RefusesWhatItCannotBake) {
  vxtools::TBakedFont baked;
  std::string error;
  vxtools::TFontBakeOptions missing;
  missing.FontFile = "/nonexistent/font.ttf";
  EXPECT_FALSE(vxtools::BakeFont(missing, baked, &error));
  EXPECT_FALSE(error.empty());
  vxtools::TFontBakeOptions range;
  range.FontFile = kFont;
  range.FirstChar = 200;
  range.LastChar = 100;
  EXPECT_FALSE(vxtools::BakeFont(range, baked, &error));
  range.FirstChar = 32;
  range.LastChar = 300;
  EXPECT_FALSE(vxtools::BakeFont(range, baked, &error));
  vxtools::TFontBakeOptions size;
  size.FontFile = kFont;
  size.PixelSize = 1000;
  EXPECT_FALSE(vxtools::BakeFont(size, baked, &error));
}

TEST(ArchiveKeyTest, KeysAreRelativePathsWithBackslashes) {
  EXPECT_EQ(vxtools::ArchiveKeyForPath("/data/pak", "/data/pak/Lobby/table.bmp"), "Lobby\\table.bmp");
  EXPECT_EQ(vxtools::ArchiveKeyForPath("", "Cards/ace.bmp"), "Cards\\ace.bmp");
  EXPECT_EQ(vxtools::ArchiveKeyForPath("/data/pak", "/elsewhere/x.bmp"), "x.bmp");
  EXPECT_EQ(vxtools::Cp1252ToUnicode(0x80), 0x20ACu);
  EXPECT_EQ(vxtools::Cp1252ToUnicode(0xE9), 0xE9u);
  EXPECT_EQ(vxtools::Cp1252ToUnicode(0x8D), 0u);
}

}  // namespace
