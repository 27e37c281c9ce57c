// The drawing kit the lobby's and the poker screens' pictures share: pictures painted into
// pictures keep their colours and transparency, the shadow follows its style, shrunk captions
// fit, and the menu bar's strip ends where the screens below it begin.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tools/datagen/ArtKit.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {
namespace {

int Alpha(uint32_t p) { return static_cast<int>(p >> 24); }
int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }

// A straight-alpha picture goes through the premultiplied surface and back unchanged, within
// the rounding of one premultiplication: translucent colours must not darken or brighten.
TEST(ArtKit, PicturesKeepTheirColoursThroughThePaintSurface) {
  Picture pic(4, 1);
  pic.At(0, 0) = 0x00000000u;  // fully clear
  pic.At(1, 0) = 0xFF3080C0u;  // opaque
  pic.At(2, 0) = 0x80FF8000u;  // half-clear orange
  pic.At(3, 0) = 0x10FFFFFFu;  // barely there white
  Canvas c(4, 1);
  cairo_surface_t* s = kit::PictureSurface(pic);
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  cairo_set_source_surface(c.cr(), s, 0, 0);
  cairo_set_operator(c.cr(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(c.cr());
  cairo_surface_destroy(s);
  const Picture back = c.ToPicture();
  EXPECT_EQ(back.At(0, 0), 0u);
  EXPECT_EQ(back.At(1, 0), 0xFF3080C0u);
  EXPECT_EQ(Alpha(back.At(2, 0)), 0x80);
  EXPECT_NEAR(Red(back.At(2, 0)), 0xFF, 1);
  EXPECT_NEAR(Green(back.At(2, 0)), 0x80, 1);
  EXPECT_EQ(Blue(back.At(2, 0)), 0);
  EXPECT_EQ(Alpha(back.At(3, 0)), 0x10);
  EXPECT_GE(Red(back.At(3, 0)), 0xF0);
}

// An opaque picture painted unscaled lies exactly where asked, over its shadow; the shadow's
// corner is square or round as the style says, and as dark as it says.
TEST(ArtKit, PaintedPictureLiesOverTheShadowItsStyleAsksFor) {
  const Picture red(20, 20, 0xFFD02020u);
  auto paint = [&](double radius) {
    Canvas c(60, 60);
    kit::PaintStyle style;
    style.shadowX = 6;
    style.shadowY = 6;
    style.shadowRadius = radius;
    style.shadowAlpha = 0.5;
    kit::PaintPicture(c, red, 30, 30, 1.0, 0.0, style);
    return c.ToPicture();
  };
  const Picture square = paint(0), round = paint(8);
  for (const Picture* p : {&square, &round}) {
    // The picture covers 20..39 both ways, unchanged inside.
    EXPECT_EQ(p->At(21, 21), 0xFFD02020u);
    EXPECT_EQ(p->At(38, 38), 0xFFD02020u);
    EXPECT_EQ(p->At(19, 30), 0u) << "nothing left of the picture";
    // The shadow shows beyond its lower right edge, black at half strength.
    const uint32_t shade = p->At(42, 30);
    EXPECT_NEAR(Alpha(shade), 128, 1);
    EXPECT_EQ(shade & 0xFFFFFFu, 0u);
  }
  // The shadow's far corner: filled when square, cut away when round.
  EXPECT_NEAR(Alpha(square.At(45, 45)), 128, 1);
  EXPECT_EQ(Alpha(round.At(45, 45)), 0);
}

TEST(ArtKit, FitShrinksOnlyTextThatIsTooWide) {
  FontLibrary fonts;
  Canvas c(8, 8);
  cairo_font_face_t* face = kit::Bold(fonts);
  const std::string text = "JACKS OR BETTER";
  const double wide = c.TextAdvance(face, 16, text);
  EXPECT_EQ(kit::Fit(c, face, 16, text, wide + 10), 16);
  const double px = kit::Fit(c, face, 16, text, wide / 2);
  EXPECT_LT(px, 16);
  EXPECT_LE(c.TextAdvance(face, px, text), wide / 2 + 0.5);
  EXPECT_GT(c.TextAdvance(face, px, text), wide / 2 - 2) << "shrunk more than needed";
}

// The strip the menu bar lies on ends with its gold rule just above the first row a poker
// screen may use, and leaves the rest of the picture to the caller.
TEST(ArtKit, MenuStripEndsAboveTheScreensBelowTheMenuBar) {
  Canvas c(40, 40);
  kit::MenuStrip(c);
  const Picture p = c.ToPicture();
  for (int y = 0; y < 27; ++y) {
    const uint32_t px = p.At(20, y);
    EXPECT_EQ(Alpha(px), 255) << y;
    EXPECT_GT(Green(px), Red(px)) << "dark green lacquer at " << y;
  }
  const uint32_t rule = p.At(20, 27);
  EXPECT_GT(Red(rule), 150);
  EXPECT_GT(Red(rule), Blue(rule) + 40) << "gold";
  for (int y = poker::kMenuStripH + 1; y < 40; ++y) EXPECT_EQ(p.At(20, y), 0u) << y;
  // Neither the strip nor its rule spill into the row the screens start at, beyond the rule's
  // antialiased half pixel.
  EXPECT_LT(Alpha(p.At(20, poker::kMenuStripH)), 160);
}

TEST(ArtKit, MixRunsFromOneColourToTheOther) {
  EXPECT_EQ(kit::Mix(0x102030, 0xF0E0D0, 0.0), 0x102030u);
  EXPECT_EQ(kit::Mix(0x102030, 0xF0E0D0, 1.0), 0xF0E0D0u);
  EXPECT_EQ(kit::Mix(0x000000, 0xFF8040, 0.5), 0x804020u);
}

}  // namespace
}  // namespace vx::datagen
