// The about dialog's veil and emblem, and the help dialog's veil, window and title strip,
// sized as the "ABOUT" and "HELP" themes place them.
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

namespace {

// As the "HELP" theme places it: the page (768x512) with room for the title and the buttons.
constexpr int kHelpFrameW = 784, kHelpFrameH = 592;
// As the "ABOUT" theme places the emblem.
constexpr int kEmblemW = 432, kEmblemH = 96;

// A suit drawn as a path: 0 spade, 1 heart, 2 diamond, 3 club, centred on (cx, cy).
void SuitPath(Canvas& c, int suit, double cx, double cy, double s) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  switch (suit) {
    case 1:  // heart
      cairo_move_to(cr, cx, cy + s * 0.45);
      cairo_curve_to(cr, cx - s * 0.9, cy - s * 0.1, cx - s * 0.45, cy - s * 0.75, cx, cy - s * 0.3);
      cairo_curve_to(cr, cx + s * 0.45, cy - s * 0.75, cx + s * 0.9, cy - s * 0.1, cx, cy + s * 0.45);
      break;
    case 2:  // diamond
      c.Polygon({{cx, cy - s * 0.55}, {cx + s * 0.4, cy}, {cx, cy + s * 0.55}, {cx - s * 0.4, cy}});
      return;
    case 3:  // club: three leaves and a stem, one path
      for (auto [dx, dy] : {std::pair{0.0, -0.25}, {-0.26, 0.08}, {0.26, 0.08}}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + dx * s, cy + dy * s, s * 0.22, 0, 2 * M_PI);
      }
      cairo_new_sub_path(cr);
      cairo_move_to(cr, cx - s * 0.08, cy);
      cairo_line_to(cr, cx + s * 0.08, cy);
      cairo_line_to(cr, cx + s * 0.2, cy + s * 0.5);
      cairo_line_to(cr, cx - s * 0.2, cy + s * 0.5);
      break;
    default:  // spade
      cairo_move_to(cr, cx, cy - s * 0.5);
      cairo_curve_to(cr, cx + s * 0.9, cy + s * 0.1, cx + s * 0.4, cy + s * 0.55, cx, cy + s * 0.2);
      cairo_curve_to(cr, cx - s * 0.4, cy + s * 0.55, cx - s * 0.9, cy + s * 0.1, cx, cy - s * 0.5);
      cairo_close_path(cr);
      cairo_move_to(cr, cx - s * 0.06, cy + s * 0.1);
      cairo_line_to(cr, cx + s * 0.06, cy + s * 0.1);
      cairo_line_to(cr, cx + s * 0.2, cy + s * 0.5);
      cairo_line_to(cr, cx - s * 0.2, cy + s * 0.5);
      break;
  }
  cairo_close_path(cr);
}

// A gold-rimmed plaque with the four suits and the casino's name.
Picture AboutEmblem(FontLibrary& fonts) {
  using namespace look;
  Canvas c(kEmblemW, kEmblemH);
  c.RoundedRect(2, 2, kEmblemW - 4, kEmblemH - 4, 14);
  c.SetVertical(0, kEmblemH, {{0, Hex(kFeltLight)}, {1, Hex(kFeltDark)}});
  c.FillPreserve();
  c.SetVertical(0, kEmblemH, {{0, Hex(kGoldLight)}, {0.5, Hex(kGold)}, {1, Hex(kGoldDark)}});
  c.Stroke(3);
  c.Grain(29, 0.04);
  kit::GoldText(c, kit::Bold(fonts), 40, "ORVANTA", kEmblemW / 2.0, 38);
  kit::PlainText(c, kit::Bold(fonts), 14, "CARDS  CASINO", kEmblemW / 2.0, 72, Hex(kGoldLight));
  for (int i = 0; i < 4; ++i) {
    for (double x : {26.0 + i * 18, kEmblemW - 80.0 + i * 18}) {
      SuitPath(c, i, x, 48, 14);
      c.SetColour(i == 1 || i == 2 ? Hex(kSuitRed) : Hex(kCream));
      c.Fill();
    }
  }
  return c.ToPicture();
}

}  // namespace

void DrawSuit(Canvas& c, int suit, double cx, double cy, double size) { SuitPath(c, suit, cx, cy, size); }

std::vector<ArtEntry> HelpArt() {
  return {
      {"ABOUT\\background.bmp", [](FontLibrary&) { return DimBackground(); }},
      {"ABOUT\\IMG_ABOUTLOGO.bmp", AboutEmblem},
      {"HELP\\background.bmp", [](FontLibrary&) { return DimBackground(); }},
      {"HELP\\IMG_FRAME.bmp", [](FontLibrary&) { return DialogFrame(kHelpFrameW, kHelpFrameH); }},
      {"HELP\\IMG_TASKBAR.bmp",
       [](FontLibrary&) { return DialogTaskBar(kHelpFrameW - 2 * look::kTaskBarInset); }},
  };
}

}  // namespace vx::datagen
