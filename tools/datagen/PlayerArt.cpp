// The pictures of the players' dialogs: the players' portraits ("Players\IMG_PLAYER" with its
// frames), the coin of the credit dialog's amount buttons, and the veil behind each dialog.
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

using namespace look;

namespace {

constexpr int kPortrait = 96;
constexpr int kCoin = 76;

enum class Hair { Short, Long, Curly, Bob, Bald, Bun, Afro, Quiff };

// One portrait: a friendly face on a coloured medallion in a gold ring.
struct Portrait {
  uint32_t background;  // medallion colour
  uint32_t skin;
  uint32_t hair;
  Hair style;
  uint32_t shirt;
  bool glasses = false;
  bool bowTie = false;
  uint32_t bowTieColour = 0;
  bool earrings = false;
  bool beard = false;
  bool topHat = false;
  bool flower = false;
};

const Portrait kPortraits[] = {
    {0x1F6B45, 0xF2C9A0, 0x6B3E1E, Hair::Short, 0xF4F1E8, false, true, 0x151515},
    {0x7A1D2E, 0xE8B48C, 0xB8401E, Hair::Long, 0x2F4F8F, false, false, 0, true},
    {0x1D3260, 0x8A5A3C, 0x1A1210, Hair::Curly, 0xC99E38, true},
    {0x53306E, 0xF6D5B8, 0xE8C25A, Hair::Bob, 0x2E8B6E},
    {0x3A4A58, 0xD9A27A, 0xC9C9C9, Hair::Bald, 0x1E1E2A, true, true, 0xB0141E, false, true},
    {0x17656B, 0xEBC39C, 0x161214, Hair::Bun, 0xB0141E, false, false, 0, false, false, false, true},
    {0x8A5A12, 0x9C6B4A, 0x2B1B12, Hair::Quiff, 0x4A2C6E, false, false, 0, false, false, true},
    {0x8C3A5A, 0x5C3A28, 0x2A1A12, Hair::Afro, 0xF2D98A, false, false, 0, true},
};

// An ellipse path centred on (cx, cy).
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

// A colour a little darker or lighter.
uint32_t Shade(uint32_t rgb, double f) {
  auto ch = [&](int shift) {
    const double v = ((rgb >> shift) & 0xFF) * f;
    return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

void FillWith(Canvas& c, uint32_t rgb, double alpha = 1.0) {
  c.SetColour(Hex(rgb, alpha));
  c.Fill();
}

// Hair that falls behind the head and the shoulders.
void HairBehind(Canvas& c, const Portrait& p) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  switch (p.style) {
    case Hair::Long:
      c.RoundedRect(26, 24, 44, 58, 18);
      FillWith(c, p.hair);
      break;
    case Hair::Bob:
      c.RoundedRect(27, 22, 42, 44, 17);
      FillWith(c, p.hair);
      break;
    case Hair::Afro:
      for (int i = 0; i < 14; ++i) {
        const double a = i * 2 * M_PI / 14;
        cairo_new_sub_path(cr);
        cairo_arc(cr, 48 + 22 * std::cos(a), 40 + 20 * std::sin(a), 9, 0, 2 * M_PI);
      }
      Ellipse(cr, 48, 40, 24, 22);
      FillWith(c, p.hair);
      break;
    case Hair::Bun:
      cairo_arc(cr, 48, 19, 8.5, 0, 2 * M_PI);
      FillWith(c, p.hair);
      break;
    default:
      break;
  }
}

// Hair over the top of the head.
void HairFront(Canvas& c, const Portrait& p) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  switch (p.style) {
    case Hair::Short:
    case Hair::Long:
    case Hair::Bun:
      // A side parting: the hairline sweeps from one temple to the other.
      cairo_arc(cr, 48, 42, 19.5, M_PI * 1.0, M_PI * 2.0);
      cairo_curve_to(cr, 66, 33, 56, 29, 44, 31);
      cairo_curve_to(cr, 36, 32, 31, 37, 28.5, 44);
      cairo_close_path(cr);
      FillWith(c, p.hair);
      break;
    case Hair::Bob:
      // A straight fringe.
      cairo_arc(cr, 48, 40, 20, M_PI * 1.0, M_PI * 2.0);
      cairo_line_to(cr, 68, 36);
      cairo_line_to(cr, 28, 36);
      cairo_close_path(cr);
      FillWith(c, p.hair);
      break;
    case Hair::Curly:
      for (int i = 0; i < 9; ++i) {
        const double a = M_PI * (1.05 + 0.9 * i / 8.0);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 48 + 17 * std::cos(a), 39 + 17 * std::sin(a), 6, 0, 2 * M_PI);
      }
      FillWith(c, p.hair);
      break;
    case Hair::Quiff:
      cairo_move_to(cr, 29, 42);
      cairo_curve_to(cr, 27, 26, 38, 16, 52, 17);
      cairo_curve_to(cr, 64, 18, 70, 27, 67, 42);
      cairo_curve_to(cr, 62, 32, 50, 29, 40, 33);
      cairo_curve_to(cr, 34, 35, 31, 38, 29, 42);
      cairo_close_path(cr);
      FillWith(c, p.hair);
      break;
    case Hair::Bald:
      // A fringe of hair above the ears.
      Ellipse(cr, 31.5, 40, 3.5, 7);
      Ellipse(cr, 64.5, 40, 3.5, 7);
      FillWith(c, p.hair);
      break;
    case Hair::Afro:
      cairo_arc(cr, 48, 41, 18.5, M_PI * 1.05, M_PI * 1.95);
      cairo_curve_to(cr, 60, 32, 36, 32, 30.4, 35.5);
      cairo_close_path(cr);
      FillWith(c, p.hair);
      break;
  }
}

void Face(Canvas& c, const Portrait& p) {
  cairo_t* cr = c.cr();
  const uint32_t ink = 0x2A1A12;
  // Ears, head.
  cairo_new_path(cr);
  Ellipse(cr, 30.5, 46, 3.5, 5);
  Ellipse(cr, 65.5, 46, 3.5, 5);
  FillWith(c, Shade(p.skin, 0.9));
  cairo_new_path(cr);
  Ellipse(cr, 48, 44, 17.5, 20);
  c.SetRadial(44, 38, 2, 24, {{0.0, Hex(Shade(p.skin, 1.08))}, {1.0, Hex(Shade(p.skin, 0.9))}});
  c.Fill();
  if (p.beard) {
    cairo_new_path(cr);
    cairo_move_to(cr, 30.5, 44);
    cairo_curve_to(cr, 30, 70, 66, 70, 65.5, 44);
    cairo_curve_to(cr, 62, 51, 58, 50, 48, 50);
    cairo_curve_to(cr, 38, 50, 34, 51, 30.5, 44);
    cairo_close_path(cr);
    FillWith(c, p.hair);
  }
  // Cheeks.
  cairo_new_path(cr);
  Ellipse(cr, 38, 53, 4, 2.6);
  Ellipse(cr, 58, 53, 4, 2.6);
  FillWith(c, 0xE0505A, 0.28);
  // Brows.
  for (double x : {41.0, 55.0}) {
    cairo_new_path(cr);
    cairo_move_to(cr, x - 4, 40);
    cairo_curve_to(cr, x - 2, 38, x + 2, 38, x + 4, 39.5);
    c.SetColour(Hex(p.style == Hair::Bald ? p.hair : Shade(p.hair, 0.8)));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    c.Stroke(1.7);
  }
  // Eyes with a glint.
  for (double x : {41.0, 55.0}) {
    cairo_new_path(cr);
    Ellipse(cr, x, 46, 2.3, 2.7);
    FillWith(c, ink);
    cairo_new_path(cr);
    cairo_arc(cr, x + 0.8, 45.1, 0.8, 0, 2 * M_PI);
    FillWith(c, 0xFFFFFF);
  }
  // Nose.
  cairo_new_path(cr);
  cairo_move_to(cr, 47, 48.5);
  cairo_curve_to(cr, 46, 51.5, 47.5, 52.5, 50, 52);
  c.SetColour(Hex(Shade(p.skin, 0.72)));
  c.Stroke(1.3);
  // A wide smile.
  cairo_new_path(cr);
  cairo_move_to(cr, 41, 55.5);
  cairo_curve_to(cr, 44, 61.5, 52, 61.5, 55, 55.5);
  cairo_curve_to(cr, 51, 57.5, 45, 57.5, 41, 55.5);
  cairo_close_path(cr);
  c.SetColour(Hex(0x8E2A2A));
  c.FillPreserve();
  c.SetColour(Hex(0x5A1A16));
  c.Stroke(1.0);
  if (p.beard) {
    // A moustache over the smile.
    cairo_new_path(cr);
    cairo_move_to(cr, 48, 53.5);
    cairo_curve_to(cr, 44, 51, 40, 52.5, 38.5, 55.5);
    cairo_curve_to(cr, 42, 54.5, 45, 55.5, 48, 55);
    cairo_curve_to(cr, 51, 55.5, 54, 54.5, 57.5, 55.5);
    cairo_curve_to(cr, 56, 52.5, 52, 51, 48, 53.5);
    FillWith(c, p.hair);
  }
  if (p.glasses) {
    for (double x : {41.0, 55.0}) {
      cairo_new_path(cr);
      cairo_arc(cr, x, 46, 5.6, 0, 2 * M_PI);
      c.SetColour(Hex(0xFFFFFF, 0.18));
      c.FillPreserve();
      c.SetColour(Hex(0x1A1A1A));
      c.Stroke(1.5);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, 46.6, 45.5);
    cairo_curve_to(cr, 47.5, 44.3, 48.5, 44.3, 49.4, 45.5);
    c.Stroke(1.4);
  }
  if (p.earrings) {
    for (double x : {30.5, 65.5}) {
      cairo_new_path(cr);
      cairo_arc(cr, x, 53.5, 2.2, 0, 2 * M_PI);
      c.SetVertical(51, 56, {{0.0, Hex(kGoldPale)}, {1.0, Hex(kGold)}});
      c.Fill();
    }
  }
}

void Shoulders(Canvas& c, const Portrait& p) {
  cairo_t* cr = c.cr();
  // Neck, then a rounded torso.
  cairo_new_path(cr);
  cairo_rectangle(cr, 42, 58, 12, 16);
  FillWith(c, Shade(p.skin, 0.85));
  cairo_new_path(cr);
  cairo_move_to(cr, 12, 100);
  cairo_curve_to(cr, 14, 78, 30, 71, 48, 71);
  cairo_curve_to(cr, 66, 71, 82, 78, 84, 100);
  cairo_close_path(cr);
  c.SetVertical(70, 96, {{0.0, Hex(Shade(p.shirt, 1.1))}, {1.0, Hex(Shade(p.shirt, 0.7))}});
  c.Fill();
  // The collar's opening.
  cairo_new_path(cr);
  cairo_move_to(cr, 41, 71.5);
  cairo_line_to(cr, 48, 80);
  cairo_line_to(cr, 55, 71.5);
  cairo_close_path(cr);
  FillWith(c, Shade(p.skin, 0.85));
  if (p.bowTie) {
    cairo_new_path(cr);
    cairo_move_to(cr, 48, 77);
    cairo_line_to(cr, 39, 72.5);
    cairo_line_to(cr, 39, 81.5);
    cairo_close_path(cr);
    cairo_move_to(cr, 48, 77);
    cairo_line_to(cr, 57, 72.5);
    cairo_line_to(cr, 57, 81.5);
    cairo_close_path(cr);
    FillWith(c, p.bowTieColour);
    cairo_new_path(cr);
    cairo_arc(cr, 48, 77, 2.2, 0, 2 * M_PI);
    FillWith(c, Shade(p.bowTieColour == 0x151515 ? 0x404040 : p.bowTieColour, 0.8));
  }
}

void Hat(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  c.RoundedRect(34, 4, 28, 23, 3);
  c.SetVertical(4, 27, {{0.0, Hex(0x3A3A44)}, {1.0, Hex(0x121216)}});
  c.Fill();
  cairo_new_path(cr);
  cairo_rectangle(cr, 34, 20, 28, 4);
  FillWith(c, kSuitRed);
  cairo_new_path(cr);
  Ellipse(cr, 48, 27.5, 23, 4.2);
  FillWith(c, 0x18181E);
}

void Flower(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int i = 0; i < 5; ++i) {
    const double a = i * 2 * M_PI / 5;
    cairo_new_path(cr);
    cairo_arc(cr, 60 + 3.6 * std::cos(a), 22 + 3.6 * std::sin(a), 2.8, 0, 2 * M_PI);
    FillWith(c, 0xF0707A);
  }
  cairo_new_path(cr);
  cairo_arc(cr, 60, 22, 2, 0, 2 * M_PI);
  FillWith(c, kGoldLight);
}

Picture PlayerPicture(const Portrait& p) {
  const double s = kPortrait, r = s / 2;
  Canvas c(kPortrait, kPortrait);
  cairo_t* cr = c.cr();
  // Gold ring.
  cairo_new_path(cr);
  cairo_arc(cr, r, r, r - 0.75, 0, 2 * M_PI);
  c.SetVertical(0, s, {{0.0, Hex(kGoldPale)}, {0.4, Hex(kGoldLight)}, {0.7, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.FillPreserve();
  c.SetColour(Hex(0x2A1C04));
  c.Stroke(1.0);
  // The medallion, lit from the top left; everything after stays inside it.
  cairo_new_path(cr);
  cairo_arc(cr, r, r, r - 5, 0, 2 * M_PI);
  c.SetRadial(r * 0.8, r * 0.6, 2, r * 1.1,
              {{0.0, Hex(Shade(p.background, 1.45))}, {0.6, Hex(p.background)}, {1.0, Hex(Shade(p.background, 0.6))}});
  cairo_fill_preserve(cr);
  cairo_clip(cr);
  HairBehind(c, p);
  Shoulders(c, p);
  Face(c, p);
  HairFront(c, p);
  if (p.topHat) Hat(c);
  if (p.flower) Flower(c);
  cairo_reset_clip(cr);
  // A fine inner rim over the edge of the medallion.
  cairo_new_path(cr);
  cairo_arc(cr, r, r, r - 5, 0, 2 * M_PI);
  c.SetColour(Hex(kGoldDark, 0.9));
  c.Stroke(1.2);
  return c.ToPicture();
}

// A casino chip: a gold coin with a milled edge and an ink-friendly face for the amount.
Picture Coin(FontLibrary&) {
  const double s = kCoin, r = s / 2;
  Canvas c(kCoin, kCoin);
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  cairo_arc(cr, r, r, r - 1, 0, 2 * M_PI);
  c.SetVertical(0, s, {{0.0, Hex(kGoldPale)}, {0.45, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.FillPreserve();
  c.SetColour(Hex(0x2A1C04));
  c.Stroke(1.2);
  // Red inlays around the edge, like a chip.
  for (int i = 0; i < 8; ++i) {
    const double a = (i + 0.5) * 2 * M_PI / 8;
    cairo_new_path(cr);
    cairo_arc(cr, r, r, r - 5, a - 0.16, a + 0.16);
    cairo_arc_negative(cr, r, r, r - 11, a + 0.16, a - 0.16);
    cairo_close_path(cr);
    FillWith(c, kSuitRed);
  }
  // The face: a pale gold disc with a fine dark ring, where the amount is written.
  cairo_new_path(cr);
  cairo_arc(cr, r, r, r - 13, 0, 2 * M_PI);
  c.SetRadial(r * 0.8, r * 0.7, 2, r, {{0.0, Hex(kGoldPale)}, {0.7, Hex(kGoldLight)}, {1.0, Hex(kGold)}});
  c.FillPreserve();
  c.SetColour(Hex(kGoldDark));
  c.Stroke(1.2);
  // Gloss on the upper half.
  cairo_new_path(cr);
  Ellipse(cr, r, r * 0.62, r * 0.62, r * 0.34);
  c.SetVertical(r * 0.3, r, {{0.0, Hex(0xFFFFFF, 0.35)}, {1.0, Hex(0xFFFFFF, 0.0)}});
  c.Fill();
  return c.ToPicture();
}

}  // namespace

int PlayerPictureCount() { return static_cast<int>(std::size(kPortraits)); }

std::vector<ArtEntry> PlayerArt() {
  std::vector<ArtEntry> art = {
      {"CREDIT\\BTN_COIN.bmp", Coin},
  };
  for (const char* scene : {"LOGIN", "PROFILE", "CREDIT"})
    art.push_back({std::string(scene) + "\\background.bmp", [](FontLibrary&) { return DimBackground(); }});
  for (int i = 0; i < PlayerPictureCount(); ++i) {
    // Frame 1 has no number in its name; frames 2.. carry "_n".
    const std::string key = "Players\\IMG_PLAYER" + (i == 0 ? std::string() : "_" + std::to_string(i + 1)) + ".bmp";
    art.push_back({key, [i](FontLibrary&) { return PlayerPicture(kPortraits[i]); }});
  }
  return art;
}

}  // namespace vx::datagen
