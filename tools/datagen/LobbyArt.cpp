// The lobby's pictures ("MAINROOM"): the room itself, its panels, bands and decorations, the
// slot machines' logos, every game's preview; the menu bar's ("NAVIGATION"); the loading
// screen ("LOGO\loader", "LOADER") and the intro's logo ("Logo\casino"). The sizes are those
// of the theme files in data/themes/MAINROOM, NAVIGATION and LOADER, so nothing is stretched
// except the game logos, which the lobby shows smaller than the game screens do.
#include <algorithm>
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {

using namespace kit;
using namespace look;

namespace {

// --- Places shared with the theme files. ---
constexpr int kWellW = 560, kWellH = 352;
constexpr int kColumnX = 580, kColumnY = 138, kColumnW = 208, kColumnH = 352;
constexpr int kBandW = 776, kBandH = 22;
constexpr int kConsoleW = 776, kConsoleH = 70;
constexpr int kPreviewW = 200, kPreviewH = 150;
constexpr int kInfoW = 200, kInfoH = 190;
constexpr int kPlayerW = 236, kPlayerH = 72;
constexpr int kLogoW = 300, kLogoH = 72;
constexpr int kChip = 64;
constexpr int kFanW = 150, kFanH = 72;
constexpr int kLogoBackW = 134, kLogoBackH = 72;
constexpr int kHeadingW = 180, kHeadingH = 22;
constexpr int kMenuW = 78, kMenuH = 22;
constexpr int kItemW = 250, kItemH = 24;
constexpr int kNavButtonW = 84, kNavButtonH = 22;
constexpr int kPopupW = 360, kPopupH = 72;
constexpr int kBarTroughW = 480, kBarTroughH = 22;

// --- Drawing helpers. ---

// Felt lit from (cx, cy), with its weave.
void Felt(Canvas& c, double x, double y, double w, double h, double r, double cx, double cy, uint32_t seed) {
  c.RoundedRect(x, y, w, h, r);
  c.SetRadial(cx, cy, 20, std::max(w, h) * 0.75,
              {{0.0, Hex(kFeltLight)}, {0.5, Hex(kFelt)}, {1.0, Hex(kFeltDark)}});
  c.Fill();
  (void)seed;
}

// A sunken well of darker felt with a fine gold line round it.
void Well(Canvas& c, double x, double y, double w, double h, double r) {
  c.RoundedRect(x + 0.5, y + 0.5, w - 1, h - 1, r);
  c.SetVertical(y, y + h, {{0.0, Hex(0x041209, 0.85)}, {0.12, Hex(0x08281A, 0.7)}, {1.0, Hex(0x0A3020, 0.55)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.75));
  c.Stroke(1.0);
  c.RoundedRect(x + 3.5, y + 3.5, w - 7, h - 7, std::max(1.0, r - 3));
  c.SetColour(Hex(kGoldLight, 0.18));
  c.Stroke(1.0);
}

// A suit sign drawn with the font (spades, hearts, diamonds, clubs: 0..3).
void Suit(Canvas& c, FontLibrary& fonts, int suit, double px, double cx, double cy, Rgba colour) {
  static const char* const kSuits[] = {"\u2660", "\u2665", "\u2666", "\u2663"};
  c.TextCentered(Bold(fonts), px, kSuits[suit & 3], cx, cy);
  c.SetColour(colour);
  c.Fill();
}

// A casino chip: gold edge with inlays, a felt face and a spade.
void Chip(Canvas& c, FontLibrary& fonts, double cx, double cy, double r, uint32_t face) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  cairo_arc(cr, cx + 1.5, cy + 2.5, r, 0, 2 * M_PI);
  c.SetColour(Hex(0x000000, 0.35));
  c.Fill();
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  c.SetRadial(cx - r * 0.3, cy - r * 0.35, 1, r * 1.2, {{0.0, Hex(kGoldPale)}, {0.5, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.FillPreserve();
  c.SetColour(Hex(0x241704));
  c.Stroke(1.0);
  // Inlays round the edge.
  for (int i = 0; i < 8; ++i) {
    const double a0 = i * M_PI / 4 - 0.16, a1 = i * M_PI / 4 + 0.16;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 1.5, a0, a1);
    cairo_arc_negative(cr, cx, cy, r * 0.74, a1, a0);
    cairo_close_path(cr);
    c.SetColour(Hex(kCream, 0.92));
    c.Fill();
  }
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r * 0.66, 0, 2 * M_PI);
  c.SetRadial(cx - r * 0.2, cy - r * 0.25, 1, r * 0.8, {{0.0, Hex(Mix(face, 0xFFFFFF, 0.25))}, {1.0, Hex(Mix(face, 0x000000, 0.4))}});
  c.FillPreserve();
  c.SetColour(Hex(kGoldLight, 0.9));
  c.Stroke(std::max(1.0, r * 0.05));
  Suit(c, fonts, 0, r * 0.8, cx, cy, Hex(kGoldPale));
}

// A flat plate of dark lacquer in a thin gold rim (menus, bands, items).
void Plate(Canvas& c, double w, double h, double r, uint32_t top, uint32_t foot, double rimAlpha) {
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, r);
  c.SetVertical(0, h, {{0.0, Hex(top)}, {1.0, Hex(foot)}});
  c.FillPreserve();
  c.SetVertical(0, h, {{0.0, Hex(kGoldLight, rimAlpha)}, {1.0, Hex(kGoldDark, rimAlpha)}});
  c.Stroke(1.0);
  c.RoundedRect(1.5, 1.0, w - 3, h * 0.45, std::max(1.0, r - 1));
  c.SetVertical(0, h * 0.45, {{0.0, Hex(0xFFFFFF, 0.14)}, {1.0, Hex(0xFFFFFF, 0.0)}});
  c.Fill();
}

// --- The room. ---

// The suit pattern woven faintly into the felt.
void SuitPattern(Canvas& c, FontLibrary& fonts, double x0, double y0, double x1, double y1) {
  cairo_save(c.cr());
  cairo_rectangle(c.cr(), x0, y0, x1 - x0, y1 - y0);
  cairo_clip(c.cr());
  int k = 0;
  for (double y = y0 + 18; y < y1 + 20; y += 36, ++k) {
    for (double x = x0 + (k % 2 ? 36 : 0) + 18; x < x1 + 20; x += 72) {
      Suit(c, fonts, (k + static_cast<int>(x / 72)) % 4, 13, x, y, Hex(0x000000, 0.08));
    }
  }
  cairo_restore(c.cr());
}

Picture Room(FontLibrary& fonts) {
  const double W = kScreenW, H = kScreenH;
  Canvas c(kScreenW, kScreenH);
  cairo_t* cr = c.cr();
  c.SetVertical(0, H, {{0.0, Hex(0x0B1A12)}, {1.0, Hex(0x020805)}});
  cairo_paint(cr);
  MenuStrip(c);
  // The felt.
  Felt(c, 4, 32, W - 8, H - 36, 12, W / 2, 300, 0);
  c.Grain(0x10BB0001u, 0.06);
  SuitPattern(c, fonts, 6, 34, W - 6, H - 6);
  c.RoundedRect(4.5, 32.5, W - 9, H - 37, 12);
  c.SetVertical(32, H, GoldStops());
  c.Stroke(2.0);
  c.RoundedRect(8.5, 36.5, W - 17, H - 45, 9);
  c.SetColour(Hex(kGoldLight, 0.3));
  c.Stroke(1.0);
  // The preview column, waiting for a game to be pointed at.
  Well(c, kColumnX, kColumnY, kColumnW, kColumnH, 10);
  Suit(c, fonts, 0, 120, kColumnX + kColumnW / 2.0, kColumnY + 140, Hex(0x000000, 0.22));
  PlainText(c, Bold(fonts), 13, "POINT AT A GAME", kColumnX + kColumnW / 2.0, kColumnY + 246, Hex(kGoldLight, 0.55));
  PlainText(c, Bold(fonts), 13, "TO SEE IT HERE", kColumnX + kColumnW / 2.0, kColumnY + 266, Hex(kGoldLight, 0.55));
  return c.ToPicture();
}

// The casino's name as a wordmark: "ORVANTA" in gold serif over "CARDS CASINO".
void Wordmark(Canvas& c, FontLibrary& fonts, double cx, double top, double scale) {
  GoldText(c, Serif(fonts), 40 * scale, "ORVANTA", cx, top + 24 * scale);
  const double y = top + 54 * scale;
  const double half = c.TextAdvance(Bold(fonts), 15 * scale, "CARDS  CASINO") / 2 + 14 * scale;
  for (double dir : {-1.0, 1.0}) {
    c.Polygon({{cx + dir * half, y - 0.8 * scale}, {cx + dir * (half + 46 * scale), y - 0.2 * scale},
               {cx + dir * (half + 46 * scale), y + 0.2 * scale}, {cx + dir * half, y + 0.8 * scale}});
    c.SetColour(Hex(kGoldLight, 0.85));
    c.Fill();
  }
  PlainText(c, Bold(fonts), 15 * scale, "CARDS  CASINO", cx, y, Hex(kCream));
}

Picture LobbyLogo(FontLibrary& fonts) {
  Canvas c(kLogoW, kLogoH);
  Wordmark(c, fonts, kLogoW / 2.0, 2, 1.0);
  for (int i = 0; i < 4; ++i)
    Suit(c, fonts, i, 12, kLogoW / 2.0 - 27 + i * 18, 68, i == 1 || i == 2 ? Hex(kSuitRed) : Hex(kGoldLight, 0.9));
  return c.ToPicture();
}

Picture LobbyChip(FontLibrary& fonts) {
  Canvas c(kChip, kChip);
  Chip(c, fonts, kChip / 2.0 - 1, kChip / 2.0 - 1, kChip / 2.0 - 4, 0x145233);
  return c.ToPicture();
}

// A fan of four aces, the room's flourish.
Picture CardFan(FontLibrary& fonts) {
  Canvas c(kFanW, kFanH);
  const int aces[] = {40, 27, 14, 1};
  for (int i = 0; i < 4; ++i) {
    const double angle = (i - 1.5) * 0.2;
    PaintPicture(c, poker::CardFace(fonts, "CardSet1", aces[i]), kFanW / 2.0 + (i - 1.5) * 20,
                 kFanH / 2.0 + 8 + std::abs(i - 1.5) * 3, 0.36, angle);
  }
  return c.ToPicture();
}

Picture PlayerPanel(FontLibrary& fonts) {
  const double w = kPlayerW, h = kPlayerH;
  Canvas c(kPlayerW, kPlayerH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  Glass(c, 3, 3, w - 6, h - 6, 8, 0x0E3A25, 0x03120A);
  // A rule between the name and the bank.
  c.Polygon({{12, 36.5}, {w - 12, 36.5}, {w - 12, 37.5}, {12, 37.5}});
  c.SetColour(Hex(kGold, 0.55));
  c.Fill();
  Suit(c, fonts, 1, 14, w - 16, 16, Hex(kSuitRed, 0.8));
  return c.ToPicture();
}

Picture Band(FontLibrary&) {
  Canvas c(kBandW, kBandH);
  Plate(c, kBandW, kBandH, 6, 0x06170E, 0x020A06, 0.85);
  return c.ToPicture();
}

Picture GamesWell(FontLibrary&) {
  Canvas c(kWellW, kWellH);
  Well(c, 0, 0, kWellW, kWellH, 10);
  return c.ToPicture();
}

Picture Heading(FontLibrary&) {
  const double w = kHeadingW, h = kHeadingH;
  Canvas c(kHeadingW, kHeadingH);
  // A gold rule under the caption, fading out to the right.
  c.Polygon({{4, h - 3}, {w, h - 3}, {w, h - 1.5}, {4, h - 1.5}});
  cairo_pattern_t* p = cairo_pattern_create_linear(4, 0, w, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 0.95, 0.85, 0.54, 1.0);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 0.95, 0.85, 0.54, 0.0);
  cairo_set_source(c.cr(), p);
  cairo_pattern_destroy(p);
  c.Fill();
  return c.ToPicture();
}

Picture LogoBack(FontLibrary&) {
  const double w = kLogoBackW, h = kLogoBackH;
  Canvas c(kLogoBackW, kLogoBackH);
  // A soft shadow and a thin lit edge, so each logo sits in its own niche.
  for (int i = 0; i < 5; ++i) {
    c.RoundedRect(i, i + 1, w - 2 * i, h - 2 * i, 12);
    c.SetColour(Hex(0x000000, 0.07));
    c.Fill();
  }
  c.RoundedRect(2.5, 2.5, w - 5, h - 5, 11);
  c.SetColour(Hex(kGoldLight, 0.35));
  c.Stroke(1.0);
  return c.ToPicture();
}

Picture PreviewPanel(FontLibrary&) {
  const double w = kColumnW, h = kColumnH;
  Canvas c(kColumnW, kColumnH);
  GoldRim(c, 0, 0, w, h, 10, 4);
  Glass(c, 4, 4, w - 8, h - 8, 7, 0x0B2A1B, 0x020A06);
  return c.ToPicture();
}

Picture PreviewInfo(FontLibrary&) {
  const double w = kInfoW, h = kInfoH;
  Canvas c(kInfoW, kInfoH);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 6);
  c.SetVertical(0, h, {{0.0, Hex(0x0E3323)}, {1.0, Hex(0x04140C)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.6));
  c.Stroke(1.0);
  c.Polygon({{14, 47.5}, {w - 14, 47.5}, {w - 14, 48.5}, {14, 48.5}});
  c.SetColour(Hex(kGold, 0.5));
  c.Fill();
  return c.ToPicture();
}

// The console the buttons stand on.
Picture Console(FontLibrary& fonts) {
  const double w = kConsoleW, h = kConsoleH;
  Canvas c(kConsoleW, kConsoleH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  c.RoundedRect(3, 3, w - 6, h - 6, 8);
  c.SetVertical(3, h - 3, {{0.0, Hex(0x2A1608)}, {0.5, Hex(0x1A0C04)}, {1.0, Hex(0x0C0602)}});
  c.Fill();
  c.Grain(0xC0501E01u, 0.05);
  c.RoundedRect(4, 4, w - 8, h * 0.4, 7);
  c.SetVertical(4, h * 0.4, {{0.0, Hex(0xFFFFFF, 0.1)}, {1.0, Hex(0xFFFFFF, 0.0)}});
  c.Fill();
  for (double x : {34.0, w - 40}) Suit(c, fonts, x < w / 2 ? 0 : 1, 18, x, h / 2, Hex(kGold, 0.55));
  return c.ToPicture();
}

// The picture the preview shows before any game is pointed at.
Picture DefaultPreview(FontLibrary& fonts) {
  const double w = kPreviewW, h = kPreviewH;
  Canvas c(kPreviewW, kPreviewH);
  Felt(c, 0, 0, w, h, 0, w / 2, h / 2, 0);
  Chip(c, fonts, w / 2, 56, 34, 0x145233);
  PlainText(c, Bold(fonts), 12, "CHOOSE YOUR GAME", w / 2, 112, Hex(kGoldLight));
  PlainText(c, Sans(fonts), 10, "16 MACHINES ARE OPEN", w / 2, 130, Hex(kCream, 0.8));
  return c.ToPicture();
}

// --- The games. ---

struct GameLook {
  const char* idStr;
  const char* title;         // on the preview
  const char* cardSet;       // poker only
  uint32_t colour;           // the machine's glass
  std::vector<int> cards;    // the hand shown (53, 54 jokers); empty for slot machines
  std::vector<int> wild;     // positions (0..4) shown as wild deuces
  const char* line1;         // what the hand is
  const char* line2;         // the double-up or the reels
  int reels;                 // slot machines: columns
  int rows;                  //                rows
  bool pokerSymbols;         // slot symbols are card ranks
};

const std::vector<GameLook>& Games() {
  static const std::vector<GameLook> games = {
      {"VXG_VP_ORVANTABONUS", "ORVANTA BONUS POKER", "CardSet2", 0x1A4AA8, {7, 20, 33, 46, 13}, {},
       "FOUR ORVANTA CARDS", "DOUBLE UP BIG / SMALL", 0, 0, false},
      {"VXG_VP_ORVANTABONUS2", "ORVANTA BONUS DEUCES", "CardSet2", 0x1A4AA8, {15, 7, 20, 33, 40}, {0},
       "DEUCES WILD", "ORVANTA BONUS", 0, 0, false},
      {"VXG_VP_DOUBLEJOKER", "DOUBLE JOKER POKER", "CardSet2", 0x5A2A9A, {53, 1, 14, 27, 54}, {},
       "FIVE OF A KIND", "BEAT THE DEALER", 0, 0, false},
      {"VXG_VP_DOUBLEJOKER2", "DOUBLE JOKER POKER 2", "CardSet2", 0x5A2A9A, {53, 25, 38, 51, 54}, {},
       "TWO JOKERS WILD", "BEAT THE DEALER", 0, 0, false},
      {"VXG_VP_AMERICANPOKER", "AMERICAN POKER", "CardSet2", 0xA01826, {23, 24, 25, 26, 14}, {},
       "ROYAL FLUSH", "DOUBLE UP RED / BLACK", 0, 0, false},
      {"VXG_VP_AMERICANPOKER2", "AMERICAN DEUCES WILD", "CardSet2", 0xA01826, {41, 28, 13, 26, 39}, {0, 1},
       "DEUCES WILD", "JACKPOT AND BONUS", 0, 0, false},
      {"VXG_VP_JACKSORBETTER", "JACKS OR BETTER 9/6", "CardSet1", 0x1C3E86, {10, 11, 12, 13, 1}, {},
       "ROYAL FLUSH", "CLASSIC 9/6 TABLE", 0, 0, false},
      {"VXG_VP_JACKSORBETTER2", "JACKS OR BETTER BONUS", "CardSet1", 0x1C3E86, {1, 14, 27, 40, 13}, {},
       "FOUR ACES PAY 80", "BONUS POKER", 0, 0, false},
      {"VXG_VP_DEUCESWILD", "DEUCES WILD", "CardSet1", 0x0E6A66, {2, 15, 28, 41, 1}, {0, 1, 2, 3},
       "FOUR DEUCES", "EVERY DEUCE IS WILD", 0, 0, false},
      {"VXG_VP_DEUCESWILD2", "JOKERS AND DEUCES II", "CardSet1", 0x0E6A66, {53, 2, 15, 28, 41}, {1, 2, 3, 4},
       "FIVE WILD CARDS", "JOKER AND DEUCES WILD", 0, 0, false},
      {"VXG_VP_JOKERWILD", "JOKER WILD", "CardSet1", 0x7A1452, {53, 37, 38, 39, 27}, {},
       "ROYAL FLUSH", "THE JOKER IS WILD", 0, 0, false},
      {"VXG_VP_JOKERWILD2", "JOKER WILD II", "CardSet1", 0x7A1452, {53, 9, 22, 35, 48}, {},
       "FIVE OF A KIND", "NEW PAYOUT TABLE", 0, 0, false},
      {"VXG_SLOT_3X3FRUITS", "CHERRY CHARM 3X3", nullptr, 0xB3262E, {}, {}, "", "3 REELS, 3 ROWS", 3, 3, false},
      {"VXG_SLOT_1X3FRUITS", "CHERRY CHARM 1X3", nullptr, 0xC0611A, {}, {}, "", "3 REELS, 1 LINE", 3, 1, false},
      {"VXG_SLOT_3X5FRUITS", "CHERRY CHARM 3X5", nullptr, 0x8A1C5A, {}, {}, "", "5 REELS, 3 ROWS", 5, 3, false},
      {"VXG_SLOT_3X5POKER", "POKER SLOTS 3X5", nullptr, 0x1E5AA0, {}, {}, "", "5 REELS OF CARDS", 5, 3, true},
  };
  return games;
}

// The fruit machine symbols: 0 cherries, 1 lemon, 2 bell, 3 seven, 4 bar, 5 plum.
void FruitSymbol(Canvas& c, FontLibrary& fonts, int kind, double cx, double cy, double s) {
  cairo_t* cr = c.cr();
  switch (kind % 6) {
    case 0: {  // cherries on their stalks
      cairo_new_path(cr);
      cairo_move_to(cr, cx - s * 0.22, cy + s * 0.08);
      cairo_curve_to(cr, cx - s * 0.15, cy - s * 0.2, cx, cy - s * 0.35, cx + s * 0.12, cy - s * 0.42);
      cairo_move_to(cr, cx + s * 0.2, cy + s * 0.12);
      cairo_curve_to(cr, cx + s * 0.18, cy - s * 0.15, cx + s * 0.12, cy - s * 0.3, cx + s * 0.12, cy - s * 0.42);
      c.SetColour(Hex(0x2E6A1E));
      c.Stroke(std::max(1.0, s * 0.06));
      for (double dx : {-0.22, 0.2}) {
        cairo_new_path(cr);
        cairo_arc(cr, cx + dx * s, cy + s * 0.22, s * 0.2, 0, 2 * M_PI);
        c.SetRadial(cx + dx * s - s * 0.07, cy + s * 0.15, 0.5, s * 0.24,
                    {{0.0, Hex(0xFF8A8A)}, {0.4, Hex(0xD0101E)}, {1.0, Hex(0x6A0008)}});
        c.Fill();
      }
      break;
    }
    case 1: {  // lemon
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, 1.0, 0.72);
      cairo_new_path(cr);
      cairo_arc(cr, 0, 0, s * 0.38, 0, 2 * M_PI);
      cairo_restore(cr);
      c.SetRadial(cx - s * 0.1, cy - s * 0.1, 0.5, s * 0.45, {{0.0, Hex(0xFFF6A0)}, {0.6, Hex(0xF2CC14)}, {1.0, Hex(0xA07A00)}});
      c.Fill();
      break;
    }
    case 2: {  // bell
      cairo_new_path(cr);
      cairo_move_to(cr, cx - s * 0.36, cy + s * 0.26);
      cairo_curve_to(cr, cx - s * 0.28, cy + s * 0.05, cx - s * 0.3, cy - s * 0.36, cx, cy - s * 0.38);
      cairo_curve_to(cr, cx + s * 0.3, cy - s * 0.36, cx + s * 0.28, cy + s * 0.05, cx + s * 0.36, cy + s * 0.26);
      cairo_close_path(cr);
      c.SetVertical(cy - s * 0.4, cy + s * 0.3, GoldStops());
      c.FillPreserve();
      c.SetColour(Hex(0x5A3A04));
      c.Stroke(std::max(0.8, s * 0.03));
      cairo_new_path(cr);
      cairo_arc(cr, cx, cy + s * 0.32, s * 0.08, 0, 2 * M_PI);
      c.SetColour(Hex(kGoldDark));
      c.Fill();
      break;
    }
    case 3: {  // seven
      c.TextCentered(Serif(fonts), s * 0.9, "7", cx, cy);
      c.SetVertical(cy - s * 0.4, cy + s * 0.4, {{0.0, Hex(0xFF5A5A)}, {1.0, Hex(0x9A0010)}});
      c.FillPreserve();
      c.SetColour(Hex(0x3A0004));
      c.Stroke(std::max(0.8, s * 0.03));
      break;
    }
    case 4: {  // bar
      c.RoundedRect(cx - s * 0.42, cy - s * 0.18, s * 0.84, s * 0.36, s * 0.06);
      c.SetColour(Hex(0x101010));
      c.FillPreserve();
      c.SetColour(Hex(kGoldLight));
      c.Stroke(std::max(0.8, s * 0.03));
      PlainText(c, Bold(fonts), s * 0.26, "BAR", cx, cy, Hex(kGoldPale));
      break;
    }
    default: {  // plum
      cairo_new_path(cr);
      cairo_arc(cr, cx, cy + s * 0.04, s * 0.34, 0, 2 * M_PI);
      c.SetRadial(cx - s * 0.12, cy - s * 0.08, 0.5, s * 0.4, {{0.0, Hex(0xC88AE8)}, {0.5, Hex(0x6A1E9A)}, {1.0, Hex(0x2A0640)}});
      c.Fill();
      break;
    }
  }
}

// A card rank with its suit, the symbols of the poker slots.
void CardSymbol(Canvas& c, FontLibrary& fonts, int kind, double cx, double cy, double s) {
  static const char* const kRanks[] = {"A", "K", "Q", "J", "10", "9"};
  const int suit = kind % 4;
  const bool red = suit == 1 || suit == 2;
  PlainText(c, Serif(fonts), s * (kind % 6 == 4 ? 0.42 : 0.52), kRanks[kind % 6], cx, cy - s * 0.12,
            red ? Hex(0xC01020) : Hex(0x101828));
  Suit(c, fonts, suit, s * 0.32, cx, cy + s * 0.26, red ? Hex(0xC01020) : Hex(0x101828));
}

// The reels of a slot machine in a window of (x, y, w, h).
void Reels(Canvas& c, FontLibrary& fonts, const GameLook& g, double x, double y, double w, double h, uint32_t seed) {
  GoldRim(c, x - 3, y - 3, w + 6, h + 6, 6, 3);
  const double cw = w / g.reels, ch = h / g.rows;
  for (int col = 0; col < g.reels; ++col) {
    const double cx0 = x + col * cw;
    c.Polygon({{cx0 + 0.5, y}, {cx0 + cw - 0.5, y}, {cx0 + cw - 0.5, y + h}, {cx0 + 0.5, y + h}});
    c.SetVertical(y, y + h, {{0.0, Hex(0xB8B0A0)}, {0.2, Hex(0xFFFDF4)}, {0.8, Hex(0xFFFDF4)}, {1.0, Hex(0xB8B0A0)}});
    c.Fill();
    for (int row = 0; row < g.rows; ++row) {
      const int kind = static_cast<int>((seed * 7 + col * 5 + row * 3 + col * row) % 6);
      const double s = std::min(cw, ch) * 0.95;
      if (g.pokerSymbols)
        CardSymbol(c, fonts, kind + col, cx0 + cw / 2, y + row * ch + ch / 2, s);
      else
        FruitSymbol(c, fonts, kind, cx0 + cw / 2, y + row * ch + ch / 2, s);
    }
  }
  // The win line across the middle row.
  const double ly = y + h / 2;
  c.Polygon({{x - 2, ly - 0.8}, {x + w + 2, ly - 0.8}, {x + w + 2, ly + 0.8}, {x - 2, ly + 0.8}});
  c.SetColour(Hex(0xE8102A, 0.75));
  c.Fill();
}

// A game's preview: the machine's glass, its title, a winning hand (or its reels) and what
// makes the game what it is.
Picture GamePreview(FontLibrary& fonts, const GameLook& g) {
  const double w = kPreviewW, h = kPreviewH;
  Canvas c(kPreviewW, kPreviewH);
  c.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
  c.SetVertical(0, h, {{0.0, Hex(0x0B1A12)}, {1.0, Hex(0x020805)}});
  c.Fill();
  Felt(c, 2, 30, w - 4, h - 32, 6, w / 2, 80, 0);
  // The title on the machine's glass.
  GoldRim(c, 2, 2, w - 4, 28, 6, 2);
  Glass(c, 4, 4, w - 8, 24, 4, g.colour, Mix(g.colour, 0x000000, 0.7));
  GoldText(c, Bold(fonts), Fit(c, Bold(fonts), 13, g.title, w - 20), g.title, w / 2, 16);
  if (g.cards.empty()) {
    const double rw = g.reels == 5 ? 170 : 120, rh = g.rows == 1 ? 44 : 84;
    Reels(c, fonts, g, (w - rw) / 2, 38 + (84 - rh) / 2, rw, rh, static_cast<uint32_t>(g.reels * 3 + g.rows + g.pokerSymbols));
  } else {
    for (size_t i = 0; i < g.cards.size(); ++i) {
      const bool wild = std::find(g.wild.begin(), g.wild.end(), static_cast<int>(i)) != g.wild.end();
      PaintPicture(c, poker::CardFace(fonts, g.cardSet, g.cards[i], wild), 24 + i * 38.0, 80, 0.3, 0);
    }
  }
  if (*g.line1 != 0) PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 12, g.line1, w - 16), g.line1, w / 2, 124, Hex(kGoldPale));
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 10, g.line2, w - 16), g.line2, w / 2, g.cards.empty() ? 132 : 140,
            Hex(kCream, 0.85));
  return c.ToPicture();
}

// A slot machine's logo, in the shape of the poker games' logos (200x100).
Picture SlotLogo(FontLibrary& fonts, const GameLook& g) {
  const double w = poker::kGameLogoW, h = poker::kGameLogoH;
  Canvas c(poker::kGameLogoW, poker::kGameLogoH);
  GoldRim(c, 0, 0, w, h, 14, 4);
  Glass(c, 4, 4, w - 8, h - 8, 11, g.colour, Mix(g.colour, 0x000000, 0.75));
  // Three symbols behind the name.
  for (int i = 0; i < 3; ++i) {
    cairo_push_group(c.cr());
    if (g.pokerSymbols)
      CardSymbol(c, fonts, i * 2 + 1, 46 + i * 54, h / 2 + 4, 56);
    else
      FruitSymbol(c, fonts, i == 1 ? 3 : 0, 46 + i * 54, h / 2 + 4, 56);
    cairo_pop_group_to_source(c.cr());
    cairo_paint_with_alpha(c.cr(), 0.28);
  }
  const std::string title(g.title);
  const auto cut = title.rfind(' ');
  const std::string line1 = title.substr(0, cut), line2 = title.substr(cut + 1);
  GoldText(c, Serif(fonts), Fit(c, Serif(fonts), 25, line1, w - 24), line1, w / 2, 38);
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 20, line2, w - 24), line2, w / 2, 69, Hex(0xFFFFFF));
  return c.ToPicture();
}

// --- The menu bar. ---

Picture MenuHead(FontLibrary&) {
  Canvas c(kMenuW, kMenuH);
  Plate(c, kMenuW, kMenuH, 5, 0x1E5A3A, 0x06190F, 0.95);
  return c.ToPicture();
}

Picture MenuItem(FontLibrary&) {
  const double w = kItemW, h = kItemH;
  Canvas c(kItemW, kItemH);
  c.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
  c.SetVertical(0, h, {{0.0, Hex(0x123A26)}, {1.0, Hex(0x061A10)}});
  c.Fill();
  c.Polygon({{0, 0}, {1, 0}, {1, h}, {0, h}});
  c.SetColour(Hex(kGold, 0.8));
  c.Fill();
  c.Polygon({{w - 1, 0}, {w, 0}, {w, h}, {w - 1, h}});
  c.Fill();
  c.Polygon({{6, h - 1}, {w - 6, h - 1}, {w - 6, h}, {6, h}});
  c.SetColour(Hex(kGold, 0.45));
  c.Fill();
  return c.ToPicture();
}

// The in-game buttons of the menu bar carry their words in the picture.
Picture NavButton(FontLibrary& fonts, const char* text, uint32_t top, uint32_t foot) {
  const double w = kNavButtonW, h = kNavButtonH;
  Canvas c(kNavButtonW, kNavButtonH);
  Plate(c, w, h, 6, top, foot, 1.0);
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 11, text, w - 12), text, w / 2, h / 2, Hex(kCream));
  return c.ToPicture();
}

Picture PopupPanel(FontLibrary&) {
  const double w = kPopupW, h = kPopupH;
  Canvas c(kPopupW, kPopupH);
  for (int i = 0; i < 4; ++i) {
    c.RoundedRect(i, i + 2, w - 2 * i, h - 2 - 2 * i, 12);
    c.SetColour(Hex(0x000000, 0.08));
    c.Fill();
  }
  GoldRim(c, 2, 0, w - 4, h - 4, 10, 3);
  Glass(c, 5, 3, w - 10, h - 10, 7, 0x164A30, 0x041A0E);
  return c.ToPicture();
}

// Never drawn: the menu bar's theme switches its background off.
Picture Transparent(FontLibrary&) { return Picture(1, 1, 0); }

// --- The loading screen and the intro. ---

Picture LoaderScreen(FontLibrary& fonts) {
  const double W = kScreenW, H = kScreenH;
  Canvas c(kScreenW, kScreenH);
  c.SetVertical(0, H, {{0.0, Hex(0x0B1A12)}, {1.0, Hex(0x020805)}});
  cairo_paint(c.cr());
  Felt(c, 4, 4, W - 8, H - 8, 14, W / 2, 240, 0);
  c.Grain(0x10AD0001u, 0.06);
  SuitPattern(c, fonts, 6, 6, W - 6, H - 6);
  c.RoundedRect(4.5, 4.5, W - 9, H - 9, 14);
  c.SetVertical(0, H, GoldStops());
  c.Stroke(2.0);
  Chip(c, fonts, W / 2, 118, 44, 0x145233);
  Wordmark(c, fonts, W / 2, 176, 1.5);
  // The plate the progress is shown on.
  GoldRim(c, 120, 286, 560, 176, 14, 4);
  Glass(c, 124, 290, 552, 168, 11, 0x0E3A25, 0x020C07);
  PlainText(c, Bold(fonts), 11, "PLEASE WAIT WHILE THE TABLES ARE SET", W / 2, 520, Hex(kGoldLight, 0.7));
  return c.ToPicture();
}

Picture BarTrough(FontLibrary&) {
  const double w = kBarTroughW, h = kBarTroughH;
  Canvas c(kBarTroughW, kBarTroughH);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 5);
  c.SetVertical(0, h, {{0.0, Hex(0x010604)}, {1.0, Hex(0x0A2418)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.85));
  c.Stroke(1.0);
  return c.ToPicture();
}

Picture IntroLogo(FontLibrary& fonts) {
  const double W = kScreenW, H = kScreenH;
  Canvas c(kScreenW, kScreenH);
  c.SetVertical(0, H, {{0.0, Hex(0x03100A)}, {1.0, Hex(0x010402)}});
  cairo_paint(c.cr());
  // A spotlight on the felt.
  c.Polygon({{0, 0}, {W, 0}, {W, H}, {0, H}});
  c.SetRadial(W / 2, 300, 10, 430, {{0.0, Hex(kFeltLight)}, {0.45, Hex(kFelt)}, {1.0, Hex(0x010402)}});
  c.Fill();
  c.Grain(0x1A7A0001u, 0.05);
  // A fan of the four aces above the name.
  const int aces[] = {40, 27, 14, 1};
  for (int i = 0; i < 4; ++i)
    PaintPicture(c, poker::CardFace(fonts, "CardSet1", aces[i]), W / 2 + (i - 1.5) * 52, 200 + std::abs(i - 1.5) * 8,
                 0.9, (i - 1.5) * 0.22);
  Wordmark(c, fonts, W / 2, 318, 2.0);
  for (int i = 0; i < 4; ++i)
    Suit(c, fonts, i, 26, W / 2 - 66 + i * 44, 470, i == 1 || i == 2 ? Hex(kSuitRed) : Hex(kGoldLight));
  return c.ToPicture();
}

}  // namespace

std::vector<ArtEntry> LobbyArt() {
  std::vector<ArtEntry> art = {
      {"MAINROOM\\background.bmp", Room},
      {"MAINROOM\\IMG_LOGO.bmp", LobbyLogo},
      {"MAINROOM\\IMG_LOGO2.bmp", LobbyChip},
      {"MAINROOM\\IMG_CUSTOM1.bmp", Band},
      {"MAINROOM\\IMG_CUSTOM2.bmp", GamesWell},
      {"MAINROOM\\IMG_CUSTOM3.bmp", Band},
      {"MAINROOM\\IMG_CUSTOM4.bmp", CardFan},
      {"MAINROOM\\PNL_PLAYER.bmp", PlayerPanel},
      {"MAINROOM\\PNL_GAMEPREVIEW.bmp", PreviewPanel},
      {"MAINROOM\\PNL_GAMEPREVIEWINFO.bmp", PreviewInfo},
      {"MAINROOM\\IMG_GAMEPREVIEW.bmp", DefaultPreview},
      {"MAINROOM\\IMG_GAMELOGOBACK.bmp", LogoBack},
      {"MAINROOM\\MEMO_INFO.bmp", Console},
      {"MAINROOM\\MENU_VIDEOPOKER.bmp", Heading},
      {"MAINROOM\\MENU_SLOTS.bmp", Heading},
      {"NAVIGATION\\background.bmp", Transparent},
      {"NAVIGATION\\MENU_HEAD.bmp", MenuHead},
      {"NAVIGATION\\MENU_ITEM.bmp", MenuItem},
      {"NAVIGATION\\BTN_CREDIT.bmp", [](FontLibrary& f) { return NavButton(f, "CREDIT", 0x1E6A3E, 0x06200F); }},
      {"NAVIGATION\\BTN_CASHOUT.bmp", [](FontLibrary& f) { return NavButton(f, "CASH OUT", 0x7A5A14, 0x2A1C04); }},
      {"NAVIGATION\\BTN_EXITGAME.bmp", [](FontLibrary& f) { return NavButton(f, "EXIT", 0x8A1C24, 0x300408); }},
      {"NAVIGATION\\PNL_POPUPMESSAGE.bmp", PopupPanel},
      {"LOGO\\loader.bmp", LoaderScreen},
      {"LOADER\\PB_LOAD.bmp", BarTrough},
      {"Logo\\casino.bmp", IntroLogo},
  };
  for (const GameLook& g : Games()) {
    art.push_back({std::string("MAINROOM\\IMG_SH_") + g.idStr + ".bmp",
                   [g](FontLibrary& fonts) { return GamePreview(fonts, g); }});
    // The poker machines' logos come with their screens' art.
    if (g.cards.empty())
      art.push_back({std::string("MAINROOM\\IMG_GAME_") + g.idStr + ".bmp",
                     [g](FontLibrary& fonts) { return SlotLogo(fonts, g); }});
  }
  return art;
}

}  // namespace vx::datagen
