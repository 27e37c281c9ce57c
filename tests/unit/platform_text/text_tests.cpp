// The text service against the mapped fonts' own tables, and the canvas it draws on.
#include <gtest/gtest.h>

#include <random>

#include "platform/Canvas.h"
#include "platform/Region.h"
#include "platform/text/TextFonts.h"

namespace {

using vx::FontSpec;

TEST(TextFonts, MetricsOfTheMappedFontsFollowTheirTables) {
  // Expected values worked out by hand from each font's tables (units per em 2048):
  // OS/2 winAscent/winDescent, hhea ascender/descender/lineGap, the advance of "a", scaled to
  // the em height of size × 96 / 72 pixels and rounded.
  struct Row {
    const char* name;
    int size, height, ascent, descent, leading, advanceA;
  };
  const Row rows[] = {
      {"Times New Roman", 12, 17, 14, 3, 1, 7},  // Liberation Serif 1825/443/87, a 909
      {"Times New Roman", 24, 36, 29, 7, 1, 14},
      {"Courier New", 12, 18, 13, 5, 0, 10},  // Liberation Mono 1705/615/0, a 1229
      {"Courier New", 8, 12, 9, 3, 0, 7},
      {"Arial", 12, 17, 14, 3, 1, 9},  // Liberation Sans 1854/434/67, a 1139
      {"arial", 10, 15, 12, 3, 0, 7},
  };
  for (const Row& r : rows) {
    FontSpec spec;
    spec.Name = r.name;
    spec.Size = r.size;
    auto font = vx::SystemFonts().Font(spec);
    const vx::FontMetrics& m = font->Metrics();
    EXPECT_EQ(m.Height, r.height) << r.name << r.size;
    EXPECT_EQ(m.Ascent, r.ascent) << r.name << r.size;
    EXPECT_EQ(m.Descent, r.descent) << r.name << r.size;
    EXPECT_EQ(m.ExternalLeading, r.leading) << r.name << r.size;
    EXPECT_EQ(m.Overhang, 0);
    EXPECT_EQ(font->Advance('a'), r.advanceA) << r.name << r.size;
    EXPECT_EQ(font, vx::SystemFonts().Font(spec)) << "fonts are cached per face and size";
  }
  EXPECT_NE(vx::FreeTypeFontProvider::FontFile({"Times New Roman"}).find("LiberationSerif-Regular"), std::string::npos);
  EXPECT_NE(vx::FreeTypeFontProvider::FontFile({"Courier New", 12, true, true}).find("LiberationMono-BoldItalic"), std::string::npos);
  EXPECT_NE(vx::FreeTypeFontProvider::FontFile({"Comic"}).find("DejaVuSans.ttf"), std::string::npos);
  // Names a page makes up all share the one fallback face: the cache cannot grow with them.
  EXPECT_EQ(vx::SystemFonts().Font({"Comic"}), vx::SystemFonts().Font({"No such face 123"}));
}

TEST(TextFonts, MeasuringFittingAndDrawingAgree) {
  FontSpec spec;
  spec.Name = "Arial";
  spec.Underline = true;
  auto font = vx::SystemFonts().Font(spec);
  const std::string text = "The quick brown fox \xE9t\xE9";
  int width = 0;
  for (char c : text) width += font->Advance(static_cast<uint8_t>(c));
  EXPECT_EQ(font->TextWidth(text), width);
  for (int max : {0, 1, 37, width - 1, width, width + 50}) {
    int fitWidth = -1;
    const int n = font->FitCount(text, max, &fitWidth);
    EXPECT_EQ(fitWidth, font->TextWidth(text.substr(0, static_cast<size_t>(n))));
    EXPECT_LE(fitWidth, max);
    if (static_cast<size_t>(n) < text.size()) {
      EXPECT_GT(fitWidth + font->Advance(static_cast<uint8_t>(text[static_cast<size_t>(n)])), max);
    }
  }
  // Drawn on its baseline: ink stays in the cell, the underline spans the width, and an opaque
  // background fills exactly ascent + descent rows.
  std::vector<uint32_t> px(200 * 40, 0xFF000000u);
  vx::Canvas canvas(px.data(), 200, 40, 200);
  const vx::TColor white = 0xFFFFFF, blue = 0xFF0000;
  font->TextOut(canvas, 5, 25, "Hg", white, &blue);
  const vx::FontMetrics& m = font->Metrics();
  const int w = font->TextWidth("Hg");
  int ink = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      const uint32_t p = canvas.GetPixel(x, y);
      const bool inCell = x >= 5 && x < 5 + w && y >= 25 - m.Ascent && y < 25 + m.Descent;
      if (!inCell) {
        EXPECT_EQ(p, 0xFF000000u) << x << "," << y;
      }
      if (inCell && p != 0xFF0000FFu) ++ink;
    }
  EXPECT_GT(ink, 20);
  bool underlined = true;
  for (int x = 5; x < 5 + w; ++x) underlined &= canvas.GetPixel(x, 26) == 0xFFFFFFFFu;
  EXPECT_TRUE(underlined);
}

TEST(Canvas, EdgeRulesClipOriginAndPictures) {
  std::vector<uint32_t> px(16 * 16, 0);
  vx::Canvas c(px.data(), 16, 16, 16);
  auto count = [&](uint32_t v) { return std::count(px.begin(), px.end(), v); };
  const uint32_t red = vx::ColorToPixel(0x0000FF);
  // FillRect takes left/top, leaves right/bottom; empty and inverted rectangles paint nothing.
  c.FillRect({2, 3, 5, 7}, 0x0000FF);
  c.FillRect({9, 9, 9, 12}, 0x0000FF);
  c.FillRect({9, 9, 5, 5}, 0x0000FF);
  EXPECT_EQ(count(red), 12);
  EXPECT_EQ(c.GetPixel(4, 6), red);
  EXPECT_EQ(c.GetPixel(5, 6), 0u);
  // System colours and the palette flag resolve at use.
  EXPECT_EQ(vx::ColorToPixel(vx::clBtnFace), 0xFFC0C0C0u);
  EXPECT_EQ(vx::ColorToPixel(vx::kPaletteRelative | 0x00FF00), 0xFF00FF00u);
  // Lines leave out their end pixel; clip and origin move and cut everything.
  std::fill(px.begin(), px.end(), 0);
  c.Line(0, 0, 4, 0, 0xFFFFFF);
  c.Line(0, 2, 3, 5, 0xFFFFFF);
  EXPECT_EQ(count(0xFFFFFFFFu), 7);
  EXPECT_EQ(c.GetPixel(4, 0), 0u);
  std::fill(px.begin(), px.end(), 0);
  c.SetOrigin(10, 10);
  c.PushClip({12, 12, 14, 20});
  c.FillRect({0, 0, 100, 100}, 0xFFFFFF);
  EXPECT_EQ(count(0xFFFFFFFFu), 2 * 8);
  EXPECT_EQ(px[2 * 16 + 2], 0xFFFFFFFFu);
  c.PopClip();
  c.SetOrigin(0, 0);
  // Frames: top-left in one colour, bottom-right in the other, each pixel once.
  std::fill(px.begin(), px.end(), 0);
  c.Frame3D({1, 1, 5, 4}, 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(count(0xFFFFFFFFu), 6);
  EXPECT_EQ(count(red), 4);
  // Nearest-neighbour stretch with a colour-key mask, and tiling from an origin.
  const uint32_t pic[4] = {0xFF111111, 0xFF00FF00, 0xFF333333, 0xFF444444};
  const vx::PixelView view{pic, 2, 2, 2};
  const vx::PixelMask mask = vx::ColorKeyMask(view, 0x0000FF00);
  std::fill(px.begin(), px.end(), 0);
  c.StretchDraw({0, 0, 4, 4}, view, {0, 0, 2, 2}, &mask);
  EXPECT_EQ(px[0], 0xFF111111u);
  EXPECT_EQ(px[1], 0xFF111111u);
  EXPECT_EQ(px[2], 0u);
  EXPECT_EQ(px[3 * 16 + 3], 0xFF444444u);
  c.TileDraw({0, 8, 16, 10}, view, 1, 0);
  EXPECT_EQ(px[8 * 16 + 0], 0xFF00FF00u);
  EXPECT_EQ(px[8 * 16 + 1], 0xFF111111u);
  EXPECT_EQ(px[9 * 16 + 15], 0xFF333333u);
}

TEST(Canvas, LinesCoverOnePixelPerStepAndLeaveOutTheirEnd) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> coord(0, 31);
  std::vector<uint32_t> px(32 * 32);
  vx::Canvas c(px.data(), 32, 32, 32);
  for (int i = 0; i < 500; ++i) {
    std::fill(px.begin(), px.end(), 0);
    const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    c.Line(x0, y0, x1, y1, 0xFFFFFF);
    const auto lit = std::count(px.begin(), px.end(), 0xFFFFFFFFu);
    ASSERT_EQ(lit, std::max(std::abs(x1 - x0), std::abs(y1 - y0))) << x0 << "," << y0 << "->" << x1 << "," << y1;
    if (lit > 0) {
      ASSERT_EQ(c.GetPixel(x0, y0), 0xFFFFFFFFu);
    }
    ASSERT_EQ(c.GetPixel(x1, y1), 0u);
  }
  // The bullet: a filled disc five pixels across, symmetric, with its corners left out.
  std::fill(px.begin(), px.end(), 0);
  const vx::TColor red = 0x0000FF;
  c.Ellipse({10, 10, 15, 15}, red, &red);
  for (int y = 10; y < 15; ++y)
    for (int x = 10; x < 15; ++x) ASSERT_EQ(c.GetPixel(x, y), c.GetPixel(24 - x, y)) << x << "," << y;
  EXPECT_EQ(c.GetPixel(12, 12), vx::ColorToPixel(red));
  EXPECT_EQ(c.GetPixel(10, 10), 0u);
}

TEST(Regions, PointTestsOfRectanglesEllipsesAndPolygons) {
  const vx::Region rect = vx::Region::Rectangle(10, 10, 0, 0);
  EXPECT_TRUE(rect.Contains(0, 0));
  EXPECT_TRUE(rect.Contains(9, 9));
  EXPECT_FALSE(rect.Contains(10, 5));
  const vx::Region circle = vx::Region::Ellipse(0, 0, 20, 20);
  EXPECT_TRUE(circle.Contains(10, 10));
  EXPECT_TRUE(circle.Contains(0, 10));
  EXPECT_FALSE(circle.Contains(1, 1));
  // A five-pointed star drawn in one stroke: its middle is outside under even-odd filling.
  const vx::Region star = vx::Region::Polygon({{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}});
  EXPECT_FALSE(star.Contains(50, 50));
  EXPECT_TRUE(star.Contains(50, 10));
  EXPECT_FALSE(star.Contains(5, 80));
  EXPECT_FALSE(vx::Region::Polygon({{0, 0}, {5, 5}}).Contains(1, 1));
  // Axis-aligned polygons agree with the rectangle they trace, pixel for pixel.
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coord(0, 40);
  for (int i = 0; i < 200; ++i) {
    const int l = coord(rng), t = coord(rng), r = coord(rng), b = coord(rng);
    const vx::Region poly = vx::Region::Polygon({{l, t}, {r, t}, {r, b}, {l, b}}), box = vx::Region::Rectangle(l, t, r, b);
    for (int y = 0; y < 42; y += 3)
      for (int x = 0; x < 42; x += 3) ASSERT_EQ(poly.Contains(x, y), box.Contains(x, y)) << l << t << r << b;
  }
}

}  // namespace
