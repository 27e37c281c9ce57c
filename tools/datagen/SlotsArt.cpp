// The slot machines' pictures: the three cabinets (three by three, one by three, three by
// five) with their reel windows, drums, cell frames, bonus and pool panels, title plates,
// button decks and double-up glass, and the symbols of the "REELS" folder: fruit, bars,
// bells, sevens, the special symbols of the five-reel machines and the 54 cards.
#include <cmath>
#include <utility>

#include "games/GameManager.h"
#include "games/SlotsDefs.h"
#include "games/SlotsScene.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"
#include "tools/datagen/SlotsLook.h"

namespace vx::datagen {

using namespace kit;
using namespace look;
using namespace slots;

namespace {

constexpr double kPi = 3.14159265358979323846;

// --- Symbols ---------------------------------------------------------------------------

void Circle(Canvas& c, double cx, double cy, double r) {
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), cx, cy, r, 0, 2 * kPi);
}

// A glossy ball of fruit: light from the upper left.
void Ball(Canvas& c, double cx, double cy, double r, uint32_t light, uint32_t body, uint32_t shade) {
  Circle(c, cx, cy, r);
  c.SetRadial(cx - r * 0.35, cy - r * 0.35, r * 0.05, r * 1.1, {{0.0, Hex(light)}, {0.45, Hex(body)}, {1.0, Hex(shade)}});
  c.Fill();
  Circle(c, cx - r * 0.38, cy - r * 0.4, r * 0.18);
  c.SetColour(Hex(0xFFFFFF, 0.55));
  c.Fill();
}

void Leaf(Canvas& c, double x, double y, double len, double angle) {
  cairo_t* cr = c.cr();
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_new_path(cr);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, len * 0.3, -len * 0.35, len * 0.75, -len * 0.3, len, 0);
  cairo_curve_to(cr, len * 0.75, len * 0.3, len * 0.3, len * 0.35, 0, 0);
  cairo_restore(cr);
  c.SetVertical(y - len * 0.4, y + len * 0.4, {{0.0, Hex(0x7ACC3A)}, {1.0, Hex(0x1E6A14)}});
  c.FillPreserve();
  c.SetColour(Hex(0x0E3A08, 0.8));
  c.Stroke(1.0);
}

void Cherries(Canvas& c, double cx, double cy) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 16, cy + 6);
  cairo_curve_to(cr, cx - 12, cy - 12, cx - 2, cy - 26, cx + 10, cy - 32);
  cairo_move_to(cr, cx + 16, cy + 10);
  cairo_curve_to(cr, cx + 14, cy - 8, cx + 10, cy - 22, cx + 10, cy - 32);
  c.SetColour(Hex(0x3A5A14));
  c.Stroke(3.0);
  Leaf(c, cx + 10, cy - 32, 20, -0.5);
  Ball(c, cx - 15, cy + 16, 15, 0xFF9A9A, 0xD8101E, 0x5A0008);
  Ball(c, cx + 16, cy + 19, 15, 0xFF9A9A, 0xD8101E, 0x5A0008);
}

void Seven(Canvas& c, FontLibrary& fonts, double cx, double cy, double px, uint32_t top, uint32_t foot) {
  c.TextCentered(Serif(fonts), px, "7", cx, cy);
  c.SetVertical(cy - px / 2, cy + px / 2, {{0.0, Hex(top)}, {1.0, Hex(foot)}});
  c.FillPreserve();
  c.SetColour(Hex(0x1A0004));
  c.Stroke(std::max(1.5, px / 26));
}

void Sevens(Canvas& c, FontLibrary& fonts, int count, double cx, double cy) {
  const double px = count == 1 ? 74 : count == 2 ? 62 : 52;
  const double step = count == 1 ? 0 : count == 2 ? 26 : 24;
  static const uint32_t tops[] = {0xFF6A6A, 0x7AB8FF, 0xFFE27A};
  static const uint32_t feet[] = {0xA00010, 0x0A3A9A, 0xB87A00};
  for (int i = 0; i < count; ++i) {
    const double x = cx + (i - (count - 1) / 2.0) * step;
    Seven(c, fonts, x, cy + (count == 3 ? (i == 1 ? -4 : 4) : 0), px, tops[count - 1], feet[count - 1]);
  }
}

void Bars(Canvas& c, FontLibrary& fonts, int count, double cx, double cy) {
  const double h = count == 1 ? 26 : count == 2 ? 20 : 16, gap = 4;
  const double total = count * h + (count - 1) * gap;
  for (int i = 0; i < count; ++i) {
    const double y = cy - total / 2 + i * (h + gap);
    c.RoundedRect(cx - 40, y, 80, h, 4);
    c.SetVertical(y, y + h, {{0.0, Hex(0x3A3A3A)}, {0.5, Hex(0x0A0A0A)}, {1.0, Hex(0x222222)}});
    c.FillPreserve();
    c.SetVertical(y, y + h, GoldStops());
    c.Stroke(2.0);
    PlainText(c, Bold(fonts), h * 0.72, "BAR", cx, y + h / 2, Hex(kGoldPale));
  }
}

void Bell(Canvas& c, double cx, double cy) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 30, cy + 20);
  cairo_curve_to(cr, cx - 22, cy + 4, cx - 26, cy - 28, cx, cy - 30);
  cairo_curve_to(cr, cx + 26, cy - 28, cx + 22, cy + 4, cx + 30, cy + 20);
  cairo_close_path(cr);
  c.SetVertical(cy - 30, cy + 22, {{0.0, Hex(0xFFF4B0)}, {0.4, Hex(0xF2C230)}, {1.0, Hex(0x8A5A00)}});
  c.FillPreserve();
  c.SetColour(Hex(0x4A2E00));
  c.Stroke(1.5);
  c.RoundedRect(cx - 33, cy + 18, 66, 7, 3);
  c.SetVertical(cy + 18, cy + 25, GoldStops());
  c.Fill();
  Circle(c, cx, cy + 29, 6);
  c.SetColour(Hex(0x6A4400));
  c.Fill();
  Circle(c, cx, cy - 32, 4);
  c.SetColour(Hex(0x8A5A00));
  c.Fill();
  // Shine.
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 14, cy + 12);
  cairo_curve_to(cr, cx - 14, cy - 4, cx - 14, cy - 18, cx - 4, cy - 24);
  c.SetColour(Hex(0xFFFFFF, 0.6));
  c.Stroke(3.0);
}

void Melon(Canvas& c, double cx, double cy) {
  cairo_t* cr = c.cr();
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 1.25, 1.0);
  cairo_new_path(cr);
  cairo_arc(cr, 0, 0, 28, 0, 2 * kPi);
  cairo_restore(cr);
  c.SetRadial(cx - 10, cy - 10, 2, 40, {{0.0, Hex(0xB8F080)}, {0.6, Hex(0x3A9A2A)}, {1.0, Hex(0x0E4A10)}});
  c.FillPreserve();
  cairo_save(cr);
  cairo_clip(cr);
  for (int i = -3; i <= 3; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx + i * 10, cy - 30);
    cairo_curve_to(cr, cx + i * 14, cy - 10, cx + i * 14, cy + 10, cx + i * 10, cy + 30);
    c.SetColour(Hex(0x0A3A0A, 0.55));
    c.Stroke(3.0);
  }
  cairo_restore(cr);
  Circle(c, cx - 14, cy - 12, 5);
  c.SetColour(Hex(0xFFFFFF, 0.4));
  c.Fill();
}

void Plum(Canvas& c, double cx, double cy) {
  Ball(c, cx, cy + 4, 27, 0xE0A8FF, 0x6A1EA0, 0x22063A);
  cairo_new_path(c.cr());
  cairo_move_to(c.cr(), cx + 2, cy - 22);
  cairo_curve_to(c.cr(), cx + 4, cy - 10, cx + 6, cy + 10, cx + 2, cy + 28);
  c.SetColour(Hex(0x2A0640, 0.5));
  c.Stroke(2.0);
  Leaf(c, cx + 2, cy - 22, 20, -1.0);
}

void Orange(Canvas& c, double cx, double cy) {
  Ball(c, cx, cy + 3, 28, 0xFFE0A0, 0xF28A10, 0x8A3A00);
  for (int i = 0; i < 40; ++i) {
    const double a = i * 2.399, r = 4 + (i % 7) * 3.2;
    Circle(c, cx + std::cos(a) * r, cy + 3 + std::sin(a) * r, 0.9);
    c.SetColour(Hex(0x8A3A00, 0.35));
    c.Fill();
  }
  Leaf(c, cx, cy - 24, 18, -0.7);
}

void Cocktail(Canvas& c, double cx, double cy) {
  cairo_t* cr = c.cr();
  c.Polygon({{cx - 26, cy - 24}, {cx + 26, cy - 24}, {cx + 2, cy + 4}, {cx - 2, cy + 4}});
  c.SetVertical(cy - 24, cy + 4, {{0.0, Hex(0xFF7AB8, 0.9)}, {1.0, Hex(0xC01060, 0.95)}});
  c.FillPreserve();
  c.SetColour(Hex(0xFFFFFF, 0.8));
  c.Stroke(1.5);
  c.Polygon({{cx - 1.5, cy + 4}, {cx + 1.5, cy + 4}, {cx + 1.5, cy + 26}, {cx - 1.5, cy + 26}});
  c.SetColour(Hex(0xE8F4FF));
  c.Fill();
  cairo_save(cr);
  cairo_translate(cr, cx, cy + 28);
  cairo_scale(cr, 1.0, 0.3);
  cairo_new_path(cr);
  cairo_arc(cr, 0, 0, 14, 0, 2 * kPi);
  cairo_restore(cr);
  c.SetColour(Hex(0xE8F4FF));
  c.Fill();
  Ball(c, cx + 16, cy - 28, 6, 0xFF9A9A, 0xD8101E, 0x5A0008);
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 18, cy - 36);
  cairo_line_to(cr, cx + 4, cy - 10);
  c.SetColour(Hex(0xF2D98A));
  c.Stroke(2.0);
}

void Die(Canvas& c, int pips, double cx, double cy) {
  c.RoundedRect(cx - 28, cy - 28, 56, 56, 10);
  c.SetVertical(cy - 28, cy + 28, {{0.0, Hex(0xFFFFFF)}, {1.0, Hex(0xC8C4B8)}});
  c.FillPreserve();
  c.SetColour(Hex(0x3A3A3A));
  c.Stroke(1.5);
  static const int layout[7][6][2] = {{},
                                      {{0, 0}},
                                      {{-1, -1}, {1, 1}},
                                      {{-1, -1}, {0, 0}, {1, 1}},
                                      {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}},
                                      {{-1, -1}, {1, -1}, {0, 0}, {-1, 1}, {1, 1}},
                                      {{-1, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {1, 1}}};
  for (int i = 0; i < pips; ++i) {
    Circle(c, cx + layout[pips][i][0] * 15, cy + layout[pips][i][1] * 15, 5.5);
    c.SetColour(Hex(pips == 1 ? 0xC0101E : 0x101010));
    c.Fill();
  }
}

void Dollar(Canvas& c, FontLibrary& fonts, double cx, double cy) {
  Circle(c, cx, cy, 30);
  c.SetVertical(cy - 30, cy + 30, GoldStops());
  c.Fill();
  Circle(c, cx, cy, 24);
  c.SetVertical(cy - 24, cy + 24, {{0.0, Hex(0x2A9A4A)}, {1.0, Hex(0x0A4A1E)}});
  c.Fill();
  GoldText(c, Bold(fonts), 40, "$", cx, cy);
}

void SuitSymbol(Canvas& c, FontLibrary& fonts, const char* suit, bool red, double cx, double cy) {
  c.TextCentered(Sans(fonts), 70, suit, cx, cy);
  if (red)
    c.SetVertical(cy - 30, cy + 30, {{0.0, Hex(0xFF6A6A)}, {1.0, Hex(0x9A0010)}});
  else
    c.SetVertical(cy - 30, cy + 30, {{0.0, Hex(0x5A5A6A)}, {1.0, Hex(0x0A0A12)}});
  c.FillPreserve();
  c.SetColour(Hex(0xFFFFFF, 0.7));
  c.Stroke(1.2);
}

void Roulette(Canvas& c, double cx, double cy) {
  Circle(c, cx, cy, 31);
  c.SetVertical(cy - 31, cy + 31, GoldStops());
  c.Fill();
  for (int i = 0; i < 18; ++i) {
    cairo_new_path(c.cr());
    cairo_move_to(c.cr(), cx, cy);
    cairo_arc(c.cr(), cx, cy, 27, i * 2 * kPi / 18, (i + 1) * 2 * kPi / 18);
    cairo_close_path(c.cr());
    c.SetColour(Hex(i == 0 ? 0x1A8A3A : (i % 2 != 0 ? 0xB0141E : 0x141414)));
    c.Fill();
  }
  Circle(c, cx, cy, 12);
  c.SetVertical(cy - 12, cy + 12, GoldStops());
  c.Fill();
  Circle(c, cx + 8, cy - 19, 3.5);
  c.SetColour(Hex(0xFFFFFF));
  c.Fill();
}

Picture Symbol(FontLibrary& fonts, const std::string& name) {
  Canvas c(kCellW, kSymbolH);
  const double cx = kCellW / 2.0, cy = kSymbolH / 2.0;
  if (name == "reCherry") Cherries(c, cx, cy);
  else if (name == "re7") Sevens(c, fonts, 1, cx, cy);
  else if (name == "re77") Sevens(c, fonts, 2, cx, cy);
  else if (name == "re777") Sevens(c, fonts, 3, cx, cy);
  else if (name == "reBar1") Bars(c, fonts, 1, cx, cy);
  else if (name == "reBar2") Bars(c, fonts, 2, cx, cy);
  else if (name == "reBar3") Bars(c, fonts, 3, cx, cy);
  else if (name == "reBell") Bell(c, cx, cy);
  else if (name == "reMelon") Melon(c, cx, cy);
  else if (name == "rePlum") Plum(c, cx, cy);
  else if (name == "reOrange") Orange(c, cx, cy);
  else if (name == "reCocktail") Cocktail(c, cx, cy);
  else if (name.rfind("reDice", 0) == 0) Die(c, name.back() - '0', cx, cy);
  else if (name == "reDollar") Dollar(c, fonts, cx, cy);
  else if (name == "rePokerDiamond") SuitSymbol(c, fonts, "\u2666", true, cx, cy);
  else if (name == "rePokerHeart") SuitSymbol(c, fonts, "\u2665", true, cx, cy);
  else if (name == "rePokerSpade") SuitSymbol(c, fonts, "\u2660", false, cx, cy);
  else if (name == "rePokerClub") SuitSymbol(c, fonts, "\u2663", false, cx, cy);
  else if (name == "reRoulette") Roulette(c, cx, cy);
  else if (name == "reEmpty") {
    // An empty stop of the reel: only a faint gold ornament.
    c.Polygon({{cx - 30, cy - 0.75}, {cx + 30, cy - 0.75}, {cx + 30, cy + 0.75}, {cx - 30, cy + 0.75}});
    c.SetColour(Hex(kGold, 0.45));
    c.Fill();
    c.Polygon({{cx, cy - 6}, {cx + 6, cy}, {cx, cy + 6}, {cx - 6, cy}});
    c.SetColour(Hex(kGold, 0.7));
    c.Fill();
  }
  return c.ToPicture();
}

Picture CardSymbol(FontLibrary& fonts, int number) {
  Canvas c(kCellW, kSymbolH);
  PaintStyle style;
  style.shadowX = 2;
  style.shadowY = 2;
  style.shadowRadius = 0;
  style.shadowAlpha = 0.3;
  PaintPicture(c, poker::CardFace(fonts, "CardSet1", number), kCellW / 2.0, kSymbolH / 2.0, 74.0 / poker::kCardH, 0,
               style);
  return c.ToPicture();
}

const std::vector<std::string>& SymbolNames() {
  static const std::vector<std::string> names = {
      "reCherry", "re7",     "reBar1",  "reBar2",  "reBar3",  "reBell",   "reMelon",        "rePlum",
      "reOrange", "reEmpty", "re77",    "re777",   "reCocktail", "reDice1", "reDice2",     "reDice3",
      "reDice4",  "reDice5", "reDice6", "reDollar", "rePokerDiamond", "rePokerSpade", "rePokerHeart",
      "rePokerClub", "reRoulette"};
  return names;
}

// --- Cabinet pieces --------------------------------------------------------------------

// One cabinet per layout, in the order of the machine kinds; the machines that share it tell
// themselves apart by their title plates.
struct Machine {
  Layout layout;
  uint32_t colour;   // the machine's glass
  const char* lines;
};

const std::vector<Machine>& Machines() {
  static const std::vector<Machine> machines = {
      {Layouts()[0], 0xB3262E, "16 LINES"},
      {Layouts()[1], 0xC0611A, "2 LINES"},
      {Layouts()[2], 0x8A1C5A, "14 LINES"},
  };
  return machines;
}

int MeterTop(const Layout& l, int i) {
  const int base = l.columns == 5 ? 118 : 366;
  return base + i * (kMeterH + kMeterGap);
}

// A sunken meter window with its caption on the left (or on top when narrow).
void MeterWindow(Canvas& c, FontLibrary& fonts, double x, double y, double w, double h, const std::string& caption) {
  GoldRim(c, x, y, w, h, 8, 2);
  c.RoundedRect(x + 2, y + 2, w - 4, h - 4, 6);
  c.SetVertical(y, y + h, {{0.0, Hex(0x020604)}, {1.0, Hex(0x0E1E14)}});
  c.Fill();
  if (!caption.empty()) PlainText(c, Bold(fonts), 10, caption, x + w / 2, y + 9, Hex(kGoldLight, 0.9));
}

Picture Background(FontLibrary& fonts, const Machine& m) {
  const Layout& l = m.layout;
  const double W = kScreenW, H = kScreenH;
  Canvas c(kScreenW, kScreenH);
  cairo_t* cr = c.cr();
  c.SetVertical(0, H, {{0.0, Hex(0x0B1A12)}, {1.0, Hex(0x020805)}});
  cairo_paint(cr);
  c.RoundedRect(4, kMenuStripH - 8, W - 8, H - kMenuStripH + 4, 14);
  c.SetRadial(l.windowLeft + l.windowW / 2.0, l.windowTop + l.windowH / 2.0, 40, 560,
              {{0.0, Hex(kFeltLight)}, {0.45, Hex(kFelt)}, {1.0, Hex(0x071E12)}});
  c.Fill();
  MenuStrip(c);
  c.Grain(0x51075A00u + static_cast<uint32_t>(l.columns * 10 + l.rows), 0.06);
  cairo_save(cr);
  cairo_rectangle(cr, 0, kMenuStripH, W, H - kMenuStripH);
  cairo_clip(cr);
  c.RoundedRect(4.5, kMenuStripH - 7.5, W - 9, H - kMenuStripH + 3, 14);
  c.SetVertical(0, H, GoldStops());
  c.Stroke(2.0);
  cairo_restore(cr);
  // The side column's meters.
  const double sx = l.sideLeft, sw = l.sideW;
  MeterWindow(c, fonts, sx, MeterTop(l, 0), sw, kMeterH, "");
  MeterWindow(c, fonts, sx, MeterTop(l, 1), sw, kMeterH, "");
  if (l.columns == 5) {
    MeterWindow(c, fonts, sx, MeterTop(l, 2), sw, kMeterH, "BET 1");
    MeterWindow(c, fonts, sx, MeterTop(l, 3), sw, kMeterH, "BET 2");
  } else {
    const double half = (sw - 6) / 2;
    MeterWindow(c, fonts, sx, MeterTop(l, 2), half, kMeterH, "BET 1");
    MeterWindow(c, fonts, sx + half + 6, MeterTop(l, 2), half, kMeterH, "BET 2");
  }
  // The one-line machine tells its pays where the other machines show their bonuses.
  if (!l.bonusPanels && l.columns == 3) {
    const double y = kBonusTop, h = MeterTop(l, 0) - kBonusTop - 8;
    GoldRim(c, sx, y, sw, h, 10, 3);
    Glass(c, sx + 3, y + 3, sw - 6, h - 6, 8, m.colour, Mix(m.colour, 0x000000, 0.8));
    GoldText(c, Serif(fonts), 22, "SEVENS PAY", sx + sw / 2, y + 30);
    PlainText(c, Bold(fonts), 15, "ANY 2 SEVENS    2 x BET", sx + sw / 2, y + 80, Hex(0xFFFFFF));
    PlainText(c, Bold(fonts), 15, "ANY 3 SEVENS    5 x BET", sx + sw / 2, y + 112, Hex(0xFFFFFF));
    PlainText(c, Bold(fonts), 11, "SEVEN, DOUBLE SEVEN AND TRIPLE SEVEN", sx + sw / 2, y + 150, Hex(kGoldLight));
    PlainText(c, Bold(fonts), 11, "COUNT ANYWHERE ON THE REELS", sx + sw / 2, y + 168, Hex(kGoldLight));
    PlainText(c, Bold(fonts), 11, "BET 1 PLAYS THE LINE LEFT TO RIGHT,", sx + sw / 2, y + 196, Hex(kCream, 0.85));
    PlainText(c, Bold(fonts), 11, "BET 2 RIGHT TO LEFT", sx + sw / 2, y + 214, Hex(kCream, 0.85));
  }
  if (l.columns == 5) {
    const double y = MeterTop(l, 4) + 30, h = 160;
    GoldRim(c, sx, y, sw, h, 10, 3);
    Glass(c, sx + 3, y + 3, sw - 6, h - 6, 8, m.colour, Mix(m.colour, 0x000000, 0.8));
    GoldText(c, Serif(fonts), 20, "14", sx + sw / 2, y + 36);
    PlainText(c, Bold(fonts), 14, "LINES", sx + sw / 2, y + 62, Hex(0xFFFFFF));
    for (const auto& [text, dy] : {std::pair<const char*, double>{"BET 1:", 92}, {"LEFT TO RIGHT", 106},
                                   {"BET 2:", 124}, {"RIGHT TO LEFT", 138}})
      PlainText(c, Bold(fonts), 10, text, sx + sw / 2, y + dy, Hex(kGoldLight));
  }
  return c.ToPicture();
}

Picture ReelWindow(FontLibrary&, const Machine& m) {
  const Layout& l = m.layout;
  Canvas c(l.windowW, l.windowH);
  GoldRim(c, 0, 0, l.windowW, l.windowH, 14, 4);
  c.RoundedRect(4, 4, l.windowW - 8, l.windowH - 8, 11);
  c.SetVertical(0, l.windowH, {{0.0, Hex(Mix(m.colour, 0x000000, 0.55))}, {1.0, Hex(Mix(m.colour, 0x000000, 0.85))}});
  c.Fill();
  // A dark well behind the drums.
  const double gx = l.gridLeft - l.windowLeft, gy = l.gridTop - l.windowTop;
  c.RoundedRect(gx - 8, gy - 8, l.gridW() + 16, l.gridH() + 16, 8);
  c.SetColour(Hex(0x000000, 0.85));
  c.Fill();
  return c.ToPicture();
}

// The drums: one cream cylinder per column, shaded at top and foot.
Picture Drums(FontLibrary&, const Machine& m) {
  const Layout& l = m.layout;
  const int w = l.gridW() + 8, h = l.gridH() + 8;
  Canvas c(w, h);
  for (int col = 1; col <= l.columns; ++col) {
    const double x = 4 + (col - 1) * (kCellW + kColumnGap);
    c.Polygon({{x, 4}, {x + kCellW, 4}, {x + kCellW, h - 4.0}, {x, h - 4.0}});
    c.SetVertical(4, h - 4, {{0.0, Hex(0x8A8272)}, {0.12, Hex(0xF4EEDC)}, {0.5, Hex(0xFFFDF6)}, {0.88, Hex(0xF4EEDC)},
                             {1.0, Hex(0x8A8272)}});
    c.Fill();
  }
  return c.ToPicture();
}

// The cell's own face, drawn at partial alpha over the drum: a soft shadow at top and foot.
Picture ReelFace(FontLibrary&) {
  Canvas c(kCellW, kCellH);
  c.Polygon({{0, 0}, {kCellW, 0}, {kCellW, kCellH}, {0, kCellH}});
  c.SetVertical(0, kCellH, {{0.0, Hex(0x3A3226, 0.55)}, {0.2, Hex(0xFFFFFF, 0.0)}, {0.8, Hex(0xFFFFFF, 0.0)},
                            {1.0, Hex(0x3A3226, 0.55)}});
  c.Fill();
  return c.ToPicture();
}

// The frame over a cell: a fine rule round the middle symbol; the effects colour it.
Picture ReelBox(FontLibrary&) {
  Canvas c(kCellW, kCellH);
  const double top = (kCellH - kSymbolH) / 2.0;
  c.RoundedRect(3, top - 3, kCellW - 6, kSymbolH + 6, 6);
  c.SetColour(Hex(0xFFFFFF));
  c.Stroke(4.0);
  return c.ToPicture();
}

Picture TitlePlate(FontLibrary& fonts, const Machine& m, const std::string& title, const std::string& subtitle) {
  const double w = m.layout.sideW, h = kPlateH;
  Canvas c(m.layout.sideW, kPlateH);
  GoldRim(c, 0, 0, w, h, 12, 4);
  Glass(c, 4, 4, w - 8, h - 8, 9, m.colour, Mix(m.colour, 0x000000, 0.75));
  GoldText(c, Serif(fonts), Fit(c, Serif(fonts), 30, title, w - 20), title, w / 2, h * 0.4);
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 13, subtitle, w - 20), subtitle, w / 2, h * 0.76, Hex(0xFFFFFF));
  return c.ToPicture();
}

Picture BonusPanel(FontLibrary&, const Machine& m, int height) {
  const double w = m.layout.sideW, h = height;
  Canvas c(m.layout.sideW, height);
  GoldRim(c, 0, 0, w, h, 8, 2);
  Glass(c, 2, 2, w - 4, h - 4, 6, Mix(m.colour, 0x000000, 0.4), Mix(m.colour, 0x000000, 0.85));
  return c.ToPicture();
}

// The picture on a bonus panel: a symbol and the bonus's name.
Picture BonusSign(FontLibrary& fonts, const std::string& symbol, int count, const std::string& text, int w, int h) {
  Canvas c(w, h);
  const Picture pic = Symbol(fonts, symbol);
  PaintStyle style;
  style.shadowAlpha = 0.2;
  style.shadowRadius = 0;
  const double scale = (h - 4.0) / kSymbolH;
  for (int i = 0; i < count; ++i) PaintPicture(c, pic, 22 + i * 26, h / 2.0, scale, 0, style);
  if (!text.empty())
    PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 13, text, w - 40 - count * 26), text, (count * 26 + 20 + w) / 2.0,
              h / 2.0, Hex(kGoldPale));
  return c.ToPicture();
}

Picture Deck(FontLibrary&, const Machine&) {
  Canvas c(kScreenW, kDeckH);
  c.Polygon({{0, 0}, {double(kScreenW), 0}, {double(kScreenW), double(kDeckH)}, {0, double(kDeckH)}});
  c.SetVertical(0, kDeckH, {{0.0, Hex(0x2A2A2A)}, {0.1, Hex(0x141414)}, {1.0, Hex(0x050505)}});
  c.Fill();
  c.Polygon({{0, 0}, {double(kScreenW), 0}, {double(kScreenW), 2}, {0, 2}});
  c.SetVertical(0, 2, GoldStops());
  c.Fill();
  return c.ToPicture();
}

Picture DoubleUpGlass(FontLibrary&, const Machine& m, int w, int h) {
  Canvas c(w, h);
  GoldRim(c, 0, 0, w, h, 14, 4);
  Glass(c, 4, 4, w - 8, h - 8, 11, Mix(m.colour, 0x000000, 0.3), Mix(m.colour, 0x000000, 0.85));
  return c.ToPicture();
}

Picture HitLamp(FontLibrary& fonts, bool lit) {
  Canvas c(kLampW, kDupCardH);
  c.RoundedRect(1, 1, kLampW - 2, kDupCardH - 2, 10);
  c.SetVertical(0, kDupCardH, lit ? std::vector<Stop>{{0.0, Hex(0xFFF2A0)}, {1.0, Hex(0xE0A010)}}
                                  : std::vector<Stop>{{0.0, Hex(0x4A3A10)}, {1.0, Hex(0x1A1204)}});
  c.FillPreserve();
  c.SetVertical(0, kDupCardH, GoldStops());
  c.Stroke(2.0);
  PlainText(c, Bold(fonts), 13, "HIT", kLampW / 2.0, kDupCardH / 2.0, lit ? Hex(0x3A2400) : Hex(kGold, 0.6));
  return c.ToPicture();
}

int DupPanelW(const Layout& l) { return l.columns == 5 ? 574 : 462; }
constexpr int kDupPanelH = 240;

}  // namespace

std::vector<ArtEntry> SlotsArt() {
  std::vector<ArtEntry> art;
  for (const std::string& name : SymbolNames())
    art.push_back({"REELS\\" + name + ".bmp", [name](FontLibrary& f) { return Symbol(f, name); }});
  for (int n = 1; n <= 54; ++n)
    art.push_back({"REELS\\Card_" + std::to_string(n) + ".bmp", [n](FontLibrary& f) { return CardSymbol(f, n); }});
  for (const Machine& m : Machines()) {
    const std::string t = m.layout.theme + "\\";
    auto add = [&](const std::string& name, std::function<Picture(FontLibrary&)> draw) {
      art.push_back({t + name + ".bmp", std::move(draw)});
    };
    add("background", [m](FontLibrary& f) { return Background(f, m); });
    add("PNL_REELS", [m](FontLibrary& f) { return ReelWindow(f, m); });
    add("IMG_REELS", [m](FontLibrary& f) { return Drums(f, m); });
    add("img_reel", ReelFace);
    add("img_reelbox", ReelBox);
    // The plate of a screen that no machine has named yet: the cabinet's lines only.
    add("IMG_ADV", [m](FontLibrary& f) { return TitlePlate(f, m, m.lines, ""); });
    add("PNL_BUTTONS", [m](FontLibrary& f) { return Deck(f, m); });
    const bool wide = m.layout.columns == 5;
    const int holdW = wide ? 76 : 86, sideW = wide ? 84 : 90, spinW = wide ? 106 : 120;
    for (int n = 1; n <= m.layout.columns; ++n) {
      const std::string legend = n == 1 ? "SMALL" : n == 2 ? "DOUBLE" : n == 3 ? "BIG" : "";
      add("BTN_HOLD_" + std::to_string(n), [=](FontLibrary& f) { return PushButton(f, holdW, kSlotButtonH, 0xF2C218, legend, 0x3A2400); });
    }
    add("BTN_SPIN", [=](FontLibrary& f) { return PushButton(f, spinW, kSlotButtonH, 0x1FA83C, "", 0); });
    add("BTN_BET1", [=](FontLibrary& f) { return PushButton(f, sideW, kSlotButtonH, 0x2A64D0, "", 0); });
    add("BTN_BET2", [=](FontLibrary& f) { return PushButton(f, sideW, kSlotButtonH, 0x2A64D0, "", 0); });
    add("BTN_CASHALL", [=](FontLibrary& f) { return PushButton(f, sideW, kSlotButtonH, 0xC8202A, "", 0); });
    const int dupW = DupPanelW(m.layout);
    add("PNL_DOUBLEUP", [m, dupW](FontLibrary& f) { return DoubleUpGlass(f, m, dupW, kDupPanelH); });
    add("IMG_DUPHITDOWN", [](FontLibrary& f) { return HitLamp(f, false); });
    add("IMG_DUPHITUP", [](FontLibrary& f) { return HitLamp(f, true); });
    if (m.layout.bonusPanels) {
      const int w = m.layout.sideW;
      add("PNL_CHERRYBONUS", [m](FontLibrary& f) { return BonusPanel(f, m, kCherryPanelH); });
      add("IMG_CHERRYBONUS", [w](FontLibrary& f) { return BonusSign(f, "reCherry", 3, "CHERRY BONUS", w - 64, kCherryPanelH - 8); });
      add("IMG_2CHERRY", [](FontLibrary& f) { return BonusSign(f, "reCherry", 2, "", 56, 22); });
      add("PNL_BARBONUS", [m](FontLibrary& f) { return BonusPanel(f, m, kBarPanelH); });
      add("IMG_BARBONUS", [w](FontLibrary& f) { return BonusSign(f, "reBar1", 3, "3 FREE GAMES", w - 8, kBarPanelH - 8); });
      add("PNL_BELLBONUS", [m](FontLibrary& f) { return BonusPanel(f, m, kBellPanelH); });
      add("IMG_BELLBONUS", [w](FontLibrary& f) { return BonusSign(f, "reBell", 1, "BELL BONUS", w - 150, kBellPanelH - 8); });
      add("PNL_POOLS", [m](FontLibrary& f) { return BonusPanel(f, m, kPoolsPanelH); });
      add("IMG_POOLS", [](FontLibrary& f) { return BonusSign(f, "reMelon", 1, "", 44, 40); });
    }
  }
  // Each machine's own plate, named by its catalogue title: the name above ("CHERRY CHARM"),
  // the shape and the lines below ("3X5  -  14 LINES").
  const TVXGameManager catalogue;
  for (const ::vx::slots::TSlotMachine& sm : ::vx::slots::SlotMachines()) {
    const TGameInfo* info = catalogue.FindGameByID(sm.GameID);
    if (info == nullptr || static_cast<size_t>(sm.Kind) >= Machines().size()) continue;
    const Machine& m = Machines()[sm.Kind];
    const size_t cut = info->Title.rfind(' ');
    const std::string name = cut == std::string::npos ? info->Title : info->Title.substr(0, cut);
    const std::string shape = cut == std::string::npos ? std::string() : info->Title.substr(cut + 1) + "  -  ";
    art.push_back({m.layout.theme + "\\" + TSlotsScene::TitlePlateName(info->IDStr) + ".bmp",
                   [m, name, subtitle = shape + m.lines](FontLibrary& f) { return TitlePlate(f, m, name, subtitle); }});
  }
  return art;
}

}  // namespace vx::datagen
