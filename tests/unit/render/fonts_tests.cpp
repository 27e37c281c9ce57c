// Bitmap fonts: loading font records, measuring under both rounding phases, drawing on a
// recording device (gradients, colour tags, bold, italic), and the font list over an archive
// with damaged records.
#include <gtest/gtest.h>

#include <random>

#include "core/Log.h"
#include "core/Rounding.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"
#include "render/GfxImg2.h"
#include "render/RecDb.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/RecordWriters.h"
#include "tests/support/NullDevice.h"

namespace {

struct Quad {
  TPoint4 points;
  TColor4 colours;
  int32_t effect;
  int32_t pattern;
};

// Draws nothing: keeps every textured quad it is given.
class QuadRecorder : public vxtest::NullDevice {
public:
  explicit QuadRecorder(bool ready = true) : vxtest::NullDevice(ready) {}
  std::vector<Quad> quads;

  int32_t TextureMap(TGfxImage*, const TPoint4& points, const TColor4& colours, int32_t effect,
                     const TGfxPattern& pattern) override {
    quads.push_back({points, colours, effect, pattern.Pattern});
    return -96;  // the font must not care
  }
};

// A font record: FirstChar 32, 95 glyphs (" " to "~"), glyph i of width widths[i % 4] and
// height 10 + i % 3, cells of 12x14 with a visible part of 10x12.
std::vector<uint8_t> FontRecord(uint32_t glyphs = 95, std::vector<int32_t> widths = {7, 5, 6, 9}) {
  vxtools::TFontRecordInfo info;
  info.FirstChar = 32;
  info.Metric1 = 16;
  info.Metric2 = 12;
  for (uint32_t i = 0; i < glyphs; ++i) {
    info.Glyphs.push_back(TGfxSize{widths[i % widths.size()], 10 + static_cast<int32_t>(i % 3)});
  }
  vxtools::TImageRecordHeader h;
  h.Stored = COLOR_A8R8G8B8;
  h.Pattern = {12, 14};
  h.Visible = {10, 12};
  h.Texture = {128, 128};
  h.TextureCount = 1;
  h.PatternCount = static_cast<int32_t>(std::min<uint32_t>(glyphs, 90));  // 10 x 9 cells
  std::vector<uint32_t> sheets(128 * 128, 0xFFFFFFFF);
  return vxtools::EncodeFontRecord(info, vxtools::EncodeImageRecord(h, sheets.data()));
}

class FontTest : public ::testing::Test {
protected:
  void SetUp() override { vx::ResetRoundingForTests(); }
  void TearDown() override { vx::ResetRoundingForTests(); }

  TRecDb& Archive(const std::vector<vxtools::TArchiveItem>& items) {
    EXPECT_TRUE(vxtools::WriteArchiveFile(dir.File("fonts.vxr"), items));
    db = std::make_unique<TRecDb>();
    db->SetFileName(dir.File("fonts.vxr"));
    db->SetOpenMode(opReadOnly);
    return *db;
  }
  // A loaded font on the recorder.
  TGfxFont& Font() {
    if (!font) {
      TRecDb& archive = Archive({{"Arial.font", FontRecordType, FontRecord(), 0}});
      font = std::make_unique<TGfxFont>();
      font->Device = &device;
      EXPECT_EQ(font->LoadFromRecDb(archive, "arial.FONT", COLOR_A8R8G8B8), 0);
    }
    return *font;
  }

  vxtest::TempDir dir;
  std::unique_ptr<TRecDb> db;
  QuadRecorder device;
  std::unique_ptr<TGfxFont> font;
};

TEST_F(FontTest, LoadsTheRecord) {
  TGfxFont& f = Font();
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(f.FirstChar(), 32);
  EXPECT_EQ(f.GlyphCount(), 95);
  EXPECT_EQ(f.Metric1(), 16u);
  EXPECT_EQ(f.Metric2(), 12u);
  EXPECT_EQ(f.GlyphSize(94), (TGfxSize{6, 11}));
  ASSERT_NE(f.Image(), nullptr);
  EXPECT_EQ(f.Image()->Format(), COLOR_A8R8G8B8);
  EXPECT_EQ(f.Image()->VisibleSize(), (TGfxSize{10, 12}));
  // Loading again, or without a ready device, is refused.
  EXPECT_EQ(f.LoadFromRecDb(*db, "Arial.font", COLOR_A8R8G8B8), -1);
  TGfxFont noDevice;
  EXPECT_EQ(noDevice.LoadFromRecDb(*db, "Arial.font", COLOR_A8R8G8B8), -1);
  QuadRecorder notReady(false);
  TGfxFont idle;
  idle.Device = &notReady;
  EXPECT_EQ(idle.LoadFromRecDb(*db, "Arial.font", COLOR_A8R8G8B8), -1);
  f.Unload();
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(f.Image(), nullptr);
  EXPECT_EQ(f.TextOut("A", 0, 0, 0xFFFFFFFF), -1);
  EXPECT_EQ(f.TextWidth("A"), 0);
}

TEST_F(FontTest, BadRecordsAndWrongTypes) {
  auto tooMany = FontRecord(257);
  auto cut = FontRecord();
  cut.resize(16 + 8 * 95 + 20);  // glyph table whole, image header cut
  auto shortTable = FontRecord();
  shortTable.resize(16 + 8 * 10);  // claims 95 glyphs, holds 10
  TRecDb& archive = Archive({{"many", FontRecordType, tooMany, 0},
                             {"cut", FontRecordType, cut, 0},
                             {"short", FontRecordType, shortTable, 0},
                             {"picture", 0, FontRecord(), 0}});
  auto load = [&](const char* key) {
    TGfxFont f;
    f.Device = &device;
    int32_t code = f.LoadFromRecDb(archive, key, COLOR_A8R8G8B8);
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(f.Image(), nullptr);
    return code;
  };
  EXPECT_EQ(load("many"), errImageFormat);
  EXPECT_EQ(load("cut"), errArchiveRead);
  EXPECT_EQ(load("short"), errImageFormat);
  EXPECT_EQ(load("picture"), errInvalidRecordType);
  EXPECT_EQ(load("missing"), errInvalidRecordType);
}

TEST_F(FontTest, WidthsFollowTheRoundingPhase) {
  TGfxFont& f = Font();
  // Glyph widths cycle 7, 5, 6, 9 from " " (32): "!" is 5, "\"" 6, "#" 9, "$" 7.
  f.Scale = 1.5;
  EXPECT_EQ(f.TextWidth(" "), 10);  // 10.5 to even
  EXPECT_EQ(f.TextWidth("!"), 8);   // 7.5 to even
  f.Scale = 1.2;
  EXPECT_EQ(f.TextWidth("\""), 7);  // 7.2
  vx::SwitchRoundingUpward();
  f.Scale = 1.5;
  EXPECT_EQ(f.TextWidth(" "), 11);  // 10.5 upward
  EXPECT_EQ(f.TextWidth("!"), 8);
  f.Scale = 1.2;
  EXPECT_EQ(f.TextWidth("\""), 8);  // 7.2 upward
  EXPECT_EQ(f.TextWidth(" !\"#"), 9 + 6 + 8 + 11);  // 8.4, 6.0, 7.2, 10.8
  f.Interleave = 2;  // also after the last glyph
  EXPECT_EQ(f.TextWidth(" !"), 9 + 6 + 4);
  f.Interleave = 0;
  f.Scale = 1.0;
  // Codes outside the font add nothing; heights take the largest glyph.
  EXPECT_EQ(f.TextWidth(std::string("\x7F\x1F ", 3)), 7);
  EXPECT_EQ(f.TextHeight(" !\""), 12);
  EXPECT_EQ(f.TextHeight(std::string("\x7F", 1)), 0);
  EXPECT_EQ(f.TextWidth(""), 0);
  EXPECT_EQ(f.TextHeight(""), 0);
}

TEST_F(FontTest, DrawingPlacesOneQuadPerGlyph) {
  TGfxFont& f = Font();
  ASSERT_EQ(f.TextOutEx(std::string("~\x7F!\x1F", 4), 100, 50, 0xFF0000FF, 0xFF00FF00, 16), 0);
  ASSERT_EQ(device.quads.size(), 2u);  // 127 and 31 skipped, without moving the pen
  const Quad& tilde = device.quads[0];
  EXPECT_EQ(tilde.pattern, 94);
  EXPECT_EQ(tilde.effect, 16 | 1 | 4);
  EXPECT_EQ(tilde.points, (TPoint4{TGfxPoint{100, 50}, {110, 50}, {110, 62}, {100, 62}}));  // visible 10x12
  EXPECT_EQ(tilde.colours, (TColor4{0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00}));
  EXPECT_EQ(device.quads[1].pattern, 1);
  EXPECT_EQ(device.quads[1].points[0].X, 106);  // "~" (94) has width 6
  device.quads.clear();
  EXPECT_EQ(f.TextOut("", 0, 0, 0xFFFFFFFF), 0);
  EXPECT_TRUE(device.quads.empty());
  EXPECT_EQ(f.TextOut("!", 0, 0, 0x80FFFFFF), 0);
  EXPECT_EQ(device.quads[0].effect, 5);
  EXPECT_EQ(device.quads[0].colours, Color4(0x80FFFFFF));
}

TEST_F(FontTest, BoldAndItalic) {
  TGfxFont& f = Font();
  f.SetStyle(fsBold | fsUnderline);
  EXPECT_EQ(f.Style(), fsBold);
  f.TextOut("!", 20, 0, 0xFFFFFFFF);
  ASSERT_EQ(device.quads.size(), 3u);
  EXPECT_EQ(device.quads[0].points[0].X, 19);
  EXPECT_EQ(device.quads[1].points[0].X, 21);
  EXPECT_EQ(device.quads[2].points[0].X, 20);
  device.quads.clear();

  f.SetStyle(fsItalic);
  f.TextOut("!", 20, 5, 0xFFFFFFFF);
  ASSERT_EQ(device.quads.size(), 1u);
  // W = 10, slant W div 4 = 2.
  EXPECT_EQ(device.quads[0].points, (TPoint4{TGfxPoint{22, 5}, {32, 5}, {30, 17}, {20, 17}}));
  device.quads.clear();

  f.SetStyle(fsBold | fsItalic);
  f.Scale = 2.0;
  f.TextOut("!", 20, 5, 0xFFFFFFFF);
  ASSERT_EQ(device.quads.size(), 3u);
  // The cell (12x14) sizes bold italic: W = 24, H = 28, slant 6.
  EXPECT_EQ(device.quads[2].points, (TPoint4{TGfxPoint{26, 5}, {50, 5}, {44, 33}, {20, 33}}));
  EXPECT_EQ(device.quads[0].points[3].X, 19);
  EXPECT_EQ(device.quads[1].points[3].X, 21);
}

TEST_F(FontTest, ColourTags) {
  TGfxFont& f = Font();
  const uint32_t top = 0xFFFFFFFF, bottom = 0xFF000000;
  // A tag with two characters after it colours both.
  f.TextOutEx("#$FF00FF00AB", 0, 0, top, bottom, 0);
  ASSERT_EQ(device.quads.size(), 2u);
  EXPECT_EQ(device.quads[0].colours, Color4(0xFF00FF00));
  EXPECT_EQ(device.quads[1].colours, Color4(0xFF00FF00));
  EXPECT_EQ(device.quads[0].pattern, 'A' - 32);
  EXPECT_EQ(f.TextWidth("#$FF00FF00AB"), f.TextWidth("AB"));
  device.quads.clear();
  // With only one character after it, it is not a tag: all eleven characters are glyphs.
  f.TextOutEx("#$FF00FF00A", 0, 0, top, bottom, 0);
  EXPECT_EQ(device.quads.size(), 11u);
  EXPECT_EQ(device.quads[0].colours, (TColor4{top, top, bottom, bottom}));
  EXPECT_EQ(f.TextWidth("#$FF00FF00A"), f.TextWidth("#") + f.TextWidth("$FF00FF00A"));
  device.quads.clear();
  // Digits that are no number take the last tag's colour, at first the top colour.
  f.TextOutEx("#$XX00FF00AB#$FF0000FFCD#$nothex!!EF", 0, 0, top, bottom, 0);
  ASSERT_EQ(device.quads.size(), 6u);
  EXPECT_EQ(device.quads[0].colours, Color4(top));
  EXPECT_EQ(device.quads[2].colours, Color4(0xFF0000FF));
  EXPECT_EQ(device.quads[4].colours, Color4(0xFF0000FF));
  device.quads.clear();
  // The character right after a tag is a character, even a "#".
  f.TextOutEx("#$FF0000FF#$FF00FF00XY", 0, 0, top, bottom, 0);
  EXPECT_EQ(device.quads.size(), 12u);
  EXPECT_EQ(device.quads[0].pattern, '#' - 32);
}

// Measuring and drawing agree: a marker glyph drawn last sits exactly where TextWidth says the
// text before it ends.
TEST_F(FontTest, TextWidthEqualsThePenAdvance) {
  TGfxFont& f = Font();
  std::mt19937 rng(5);
  const std::string alphabet = "AB!~# $0123456789abcdefF\x7F\x1F";
  for (int phase = 0; phase < 2; ++phase) {
    if (phase == 1) vx::SwitchRoundingUpward();
    for (int trial = 0; trial < 300; ++trial) {
      f.Scale = 0.5 + (rng() % 40) / 16.0;
      f.Interleave = static_cast<int32_t>(rng() % 5) - 1;
      f.SetStyle(static_cast<TFontStyles>(rng() % 4));
      std::string text;
      const int len = static_cast<int>(rng() % 16);
      for (int i = 0; i < len; ++i) {
        if (rng() % 6 == 0) {
          text += rng() % 2 ? "#$FF00FF00" : "#$ZZ00FF00";
        } else {
          text += alphabet[rng() % alphabet.size()];
        }
      }
      text += "|";  // the marker: a tag can never swallow the last character
      device.quads.clear();
      ASSERT_EQ(f.TextOut(text, 7, 0, 0xFFFFFFFF), 0);
      ASSERT_FALSE(device.quads.empty());
      const Quad& marker = device.quads.back();
      ASSERT_EQ(marker.pattern, '|' - 32);
      EXPECT_EQ(marker.points[3].X - 7, f.TextWidth(text) - f.TextWidth("|"))
          << "'" << text << "' scale " << f.Scale;
    }
  }
}

TEST_F(FontTest, FontListLoadsEveryFontRecordAndSurvivesBadOnes) {
  TRecDb& archive = Archive({{"Big.font", FontRecordType, FontRecord(), 0},
                             {"Logo.bmp", 0, {1, 2, 3}, 0},
                             {"Broken.font", FontRecordType, FontRecord(300), 0},
                             {"Small.font", FontRecordType, FontRecord(10), 0}});
  TGfxFonts fonts;
  EXPECT_EQ(fonts.LoadFromRecDb(archive), errNotGfxDevice);
  QuadRecorder idle(false);
  fonts.SetDevice(&idle);
  EXPECT_EQ(fonts.LoadFromRecDb(archive), errDeviceInactive);
  fonts.SetDevice(&device);
  TGfxFont* stale = fonts.AddFont();
  EXPECT_EQ(stale->Name, "Font00");
  vx::ClearLog();
  EXPECT_EQ(fonts.LoadFromRecDb(archive), errImageFormat);  // reported, but the rest loaded
  ASSERT_EQ(fonts.Count(), 2);                              // cleared first, broken one left out
  EXPECT_EQ(fonts.Items(0)->Name, "Big.font");
  EXPECT_EQ(fonts.Items(1)->Name, "Small.font");
  EXPECT_EQ(fonts.Items(1)->Index, 1);
  EXPECT_TRUE(fonts.Items(1)->Loaded());
  EXPECT_EQ(fonts.Items(1)->Device, &device);
  EXPECT_EQ(fonts.Items(2), nullptr);
  EXPECT_TRUE(vx::LogContains("Broken.font"));

  // The handler can refuse a font, rename it and choose its format.
  fonts.OnLoad = [](void*, const std::string& key, int32_t index, bool& accept, std::string& name,
                    TColorFormat& format) {
    accept = key != "Big.font";
    name = "renamed " + std::to_string(index);
    format = COLOR_A4R4G4B4;
  };
  fonts.ClearOnLoad = false;
  fonts.LoadFromRecDb(archive);
  ASSERT_EQ(fonts.Count(), 3);
  EXPECT_EQ(fonts.Items(2)->Name, "renamed 2");  // Broken was offered at index 2 and removed again
  EXPECT_EQ(fonts.Items(2)->Image()->Format(), COLOR_A4R4G4B4);

  // Names of fonts added by hand keep counting.
  fonts.ClearOnLoad = true;
  fonts.OnLoad = nullptr;
  fonts.Clear();
  for (int i = 0; i < 12; ++i) fonts.AddFont();
  EXPECT_EQ(fonts.Items(0)->Name, "Font06");  // six names were used before, failed loads too
  EXPECT_EQ(fonts.Items(11)->Name, "Font17");
  fonts.DeviceRemoved(&device);
  EXPECT_EQ(fonts.Items(0)->Device, nullptr);
}

TEST_F(FontTest, ArchiveWithoutFontsClearsTheList) {
  TRecDb& archive = Archive({{"Logo.bmp", 0, {1}, 0}});
  TGfxFonts fonts;
  fonts.SetDevice(&device);
  fonts.AddFont();
  EXPECT_EQ(fonts.LoadFromRecDb(archive), 0);
  EXPECT_EQ(fonts.Count(), 0);
  // An archive that cannot be opened says so.
  TRecDb missing;
  missing.SetFileName(dir.File("none.vxr"));
  missing.SetOpenMode(opReadOnly);
  EXPECT_EQ(fonts.LoadFromRecDb(missing), errArchiveOpen);
}

}  // namespace
