// The COMMON pictures: buttons, tabs, check boxes, scroll arrows and the dialog chrome.
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

using namespace look;

namespace {

// Polished gold: bright top, warm middle, dark foot.
std::vector<Stop> GoldStops() {
  return {{0.0, Hex(kGoldPale)}, {0.35, Hex(kGoldLight)}, {0.6, Hex(kGold)}, {1.0, Hex(kGoldDark)}};
}

// Felt, lit from above.
std::vector<Stop> FeltStops() {
  return {{0.0, Hex(kFeltLight)}, {0.55, Hex(kFelt)}, {1.0, Hex(kFeltDark)}};
}

// Lacquered dark green of buttons and tabs: darker than the felt they sit on, so they stand
// out from a dialog, with room for cream captions.
std::vector<Stop> LacquerStops() {
  return {{0.0, Hex(0x1E5A3A)}, {0.5, Hex(0x0C2C1C)}, {1.0, Hex(0x03110A)}};
}

// A gold-rimmed lacquer plate: the shape of buttons and tabs; `topOnly` rounds only the top corners.
void Plate(Canvas& c, double w, double h, double r, bool topOnly, double rim) {
  auto shape = [&](double inset, double radius) {
    if (topOnly)
      c.TopRoundedRect(inset, inset, w - 2 * inset, h - inset, radius);
    else
      c.RoundedRect(inset, inset, w - 2 * inset, h - 2 * inset, radius);
  };
  // Gold rim with a dark outer edge so it reads on any background.
  shape(0.5, r);
  c.SetVertical(0, h, GoldStops());
  c.FillPreserve();
  c.SetColour(Hex(0x2A1C04, 0.9));
  c.Stroke(1.0);
  // Felt face.
  shape(rim, std::max(1.0, r - rim + 0.5));
  c.SetVertical(rim, h - rim, LacquerStops());
  c.FillPreserve();
  c.SetColour(Hex(0x000000, 0.45));
  c.Stroke(1.0);
  // Gloss over the upper half of the face.
  const double gh = (h - 2 * rim) * 0.48;
  c.RoundedRect(rim + 1.5, rim + 1.0, w - 2 * rim - 3, gh, std::max(1.0, r - rim - 1));
  c.SetVertical(rim, rim + gh, {{0.0, Hex(0xFFFFFF, 0.26)}, {1.0, Hex(0xFFFFFF, 0.04)}});
  c.Fill();
}

Picture Button(FontLibrary&) {
  Canvas c(kButtonW, kButtonH);
  Plate(c, kButtonW, kButtonH, 9, false, 3.0);
  return c.ToPicture();
}

Picture TabButton(FontLibrary&) {
  Canvas c(kTabW, kTabH);
  Plate(c, kTabW, kTabH, 6, true, 1.5);
  return c.ToPicture();
}

Picture CheckBox(bool checked) {
  const double s = kCheckSize;
  Canvas c(kCheckSize, kCheckSize);
  c.RoundedRect(0.5, 0.5, s - 1, s - 1, 4.5);
  c.SetVertical(0, s, GoldStops());
  c.FillPreserve();
  c.SetColour(Hex(0x2A1C04, 0.9));
  c.Stroke(1.0);
  // A sunken felt well.
  c.RoundedRect(3, 3, s - 6, s - 6, 2.5);
  c.SetVertical(3, s - 3, {{0.0, Hex(kInk)}, {0.4, Hex(kFeltDark)}, {1.0, Hex(kFelt)}});
  c.Fill();
  if (checked) {
    const std::vector<std::pair<double, double>> tick = {{5.5, 11.5}, {9.5, 15.5}, {16.5, 6.0}};
    for (int pass = 0; pass < 2; ++pass) {
      cairo_new_path(c.cr());
      cairo_move_to(c.cr(), tick[0].first, tick[0].second);
      for (size_t i = 1; i < tick.size(); ++i) cairo_line_to(c.cr(), tick[i].first, tick[i].second);
      cairo_set_line_cap(c.cr(), CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(c.cr(), CAIRO_LINE_JOIN_ROUND);
      if (pass == 0) {
        c.SetColour(Hex(0x000000, 0.6));
        c.Stroke(4.2);
      } else {
        c.SetVertical(5, 16, {{0.0, Hex(kGoldPale)}, {1.0, Hex(kGoldLight)}});
        c.Stroke(2.6);
      }
    }
  }
  return c.ToPicture();
}

Picture ScrollButton(bool up) {
  const double s = kScrollButton;
  Canvas c(kScrollButton, kScrollButton);
  c.RoundedRect(0.5, 0.5, s - 1, s - 1, 2);
  c.SetVertical(0, s, GoldStops());
  c.Fill();
  c.RoundedRect(1.5, 1.5, s - 3, s - 3, 1.2);
  c.SetVertical(1, s - 1, FeltStops());
  c.Fill();
  if (up)
    c.Polygon({{5.0, 2.6}, {8.0, 7.0}, {2.0, 7.0}});
  else
    c.Polygon({{2.0, 3.0}, {8.0, 3.0}, {5.0, 7.4}});
  c.SetColour(Hex(kGoldPale));
  c.Fill();
  return c.ToPicture();
}

// A gold chip that shows the four suits in turn (one frame each).
Picture WindowLogo(FontLibrary& fonts, int frame) {
  static const char* const kSuits[kLogoFrames] = {"\u2660", "\u2665", "\u2663", "\u2666"};
  const double s = kLogoSize, r = s / 2 - 0.75;
  Canvas c(kLogoSize, kLogoSize);
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), s / 2, s / 2, r, 0, 2 * M_PI);
  c.SetRadial(s * 0.38, s * 0.32, 1, r * 1.2,
              {{0.0, Hex(kGoldPale)}, {0.45, Hex(kGoldLight)}, {0.8, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.FillPreserve();
  c.SetColour(Hex(0x2A1C04));
  c.Stroke(1.0);
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), s / 2, s / 2, r - 3, 0, 2 * M_PI);
  c.SetColour(Hex(kGoldDark, 0.7));
  c.Stroke(0.8);
  const bool red = frame == 1 || frame == 3;
  c.TextCentered(fonts.SystemFace("DejaVuSans-Bold.ttf"), 14, kSuits[frame], s / 2, s / 2);
  c.SetColour(red ? Hex(kSuitRed) : Hex(kInk));
  c.Fill();
  return c.ToPicture();
}

}  // namespace

// The dialog window: felt inside a polished gold rim, with a fine inner gold line and small
// diamonds in its corners.
Picture DialogFrame(int width, int height) {
  const double w = width, h = height;
  Canvas c(width, height);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 16);
  c.SetVertical(0, h, {{0.0, Hex(kGoldPale)}, {0.08, Hex(kGoldLight)}, {0.5, Hex(kGold)},
                       {0.92, Hex(kGoldDark)}, {1.0, Hex(kGold)}});
  c.FillPreserve();
  c.SetColour(Hex(0x1E1403));
  c.Stroke(1.0);
  c.RoundedRect(6, 6, w - 12, h - 12, 11);
  c.SetColour(Hex(0x000000, 0.7));
  c.StrokePreserve(1.5);
  c.SetRadial(w / 2, h * 0.42, 10, w * 0.62,
              {{0.0, Hex(kFeltLight)}, {0.55, Hex(kFelt)}, {1.0, Hex(kFeltDark)}});
  c.Fill();
  c.Grain(0x5EED0001u, 0.07);
  // Inner trim.
  c.RoundedRect(12.5, 12.5, w - 25, h - 25, 7);
  c.SetColour(Hex(kGoldLight, 0.45));
  c.Stroke(1.0);
  const double d = 4.0;
  const std::pair<double, double> corners[] = {
      {20, 20}, {w - 20, 20}, {w - 20, h - 20}, {20, h - 20}};
  for (auto [x, y] : corners) {
    c.Polygon({{x, y - d}, {x + d, y}, {x, y + d}, {x - d, y}});
    c.SetColour(Hex(kGoldLight, 0.85));
    c.Fill();
  }
  return c.ToPicture();
}

// The title strip across the top of a dialog; the caption and the logo sit on it.
Picture DialogTaskBar(int width) {
  const double w = width, h = kTaskBarH;
  Canvas c(width, kTaskBarH);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 7);
  c.SetVertical(0, h, {{0.0, Hex(0x16402A)}, {0.5, Hex(0x0B2618)}, {1.0, Hex(0x04120A)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.8));
  c.Stroke(1.0);
  // Sheen along the top and a bright gold rule along the foot.
  c.RoundedRect(2, 1.5, w - 4, h * 0.45, 5);
  c.SetVertical(1, h * 0.45, {{0.0, Hex(0xFFFFFF, 0.16)}, {1.0, Hex(0xFFFFFF, 0.0)}});
  c.Fill();
  c.Polygon({{10, h - 3.5}, {w - 10, h - 3.5}, {w - 10, h - 2.5}, {10, h - 2.5}});
  cairo_pattern_t* p = cairo_pattern_create_linear(10, 0, w - 10, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 0.95, 0.8, 0.0);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.95, 0.8, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 0.95, 0.8, 0.0);
  cairo_set_source(c.cr(), p);
  cairo_pattern_destroy(p);
  c.Fill();
  return c.ToPicture();
}

// A veil that dims the screen behind a dialog, darker towards the edges.
Picture DimBackground() {
  const double w = kScreenW, h = kScreenH;
  Canvas c(kScreenW, kScreenH);
  c.SetRadial(w / 2, h / 2, 60, w * 0.62,
              {{0.0, Hex(0x000000, 0.42)}, {1.0, Hex(0x000000, 0.74)}});
  cairo_paint(c.cr());
  return c.ToPicture();
}

std::vector<ArtEntry> CommonArt() {
  std::vector<ArtEntry> art = {
      {"COMMON\\BTN_ALL.bmp", Button},
      {"COMMON\\TSBTN_ALL.bmp", TabButton},
      {"COMMON\\CB_ALL.bmp", [](FontLibrary&) { return CheckBox(false); }},
      {"COMMON\\CB_ALL_checked.bmp", [](FontLibrary&) { return CheckBox(true); }},
      {"COMMON\\BTN_SCROLLUP.bmp", [](FontLibrary&) { return ScrollButton(true); }},
      {"COMMON\\BTN_SCROLLDOWN.bmp", [](FontLibrary&) { return ScrollButton(false); }},
      {"COMMON\\IMG_FRAME.bmp", [](FontLibrary&) { return DialogFrame(kFrameW, kFrameH); }},
      {"COMMON\\IMG_TASKBAR.bmp", [](FontLibrary&) { return DialogTaskBar(kTaskBarW); }},
      {"COMMON\\background.bmp", [](FontLibrary&) { return DimBackground(); }},
  };
  for (int f = 0; f < kLogoFrames; ++f) {
    // Frame 1 has no number in its name; frames 2.. carry "_n".
    std::string key = "COMMON\\IMG_WINDOWLOGO" + (f == 0 ? std::string() : "_" + std::to_string(f + 1)) + ".bmp";
    art.push_back({key, [f](FontLibrary& fonts) { return WindowLogo(fonts, f); }});
  }
  return art;
}

}  // namespace vx::datagen
