// The video-poker screens' pictures: the six cabinets, their panels, buttons, lamps and
// advertisements, the double-up's series frames and the lobby pictures of the poker games.
// Every picture is drawn at the size its theme places it (see data/themes/VP*/theme.scn).
#include <algorithm>
#include <cmath>

#include "games/GameManager.h"
#include "games/PokerScene.h"
#include "games/PokerVariants.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {

using namespace kit;
using namespace look;
using namespace poker;

namespace {

// --- What tells the six machines apart. ---

enum class DupKind { BigSmall, RedBlack, BeatTheDealer };

struct Machine {
  std::string theme;
  const char* cardSet;
  bool compact;       // five pay columns, one per bet
  bool hideHand;      // the double-up takes the hand cards' place
  DupKind kind;
  bool half;          // the fifth hold button takes half the win
  uint32_t glass;     // the machine's colour: pay glass, panels
  uint32_t glassDeep;
  const char* title;  // the theme's name, on the welcome of a screen that names no machine
  const char* feature;
};

const std::vector<Machine>& Machines() {
  static const std::vector<Machine> machines = {
      {"VP01", "CardSet2", false, false, DupKind::BigSmall, true, 0x1A4AA8, 0x06153E, "ORVANTA BONUS POKER",
       "THREE ORVANTA CARDS LIGHT A STAR - TEN STARS OR FOUR ORVANTA CARDS PAY THE BONUS"},
      {"VP02", "CardSet2", false, true, DupKind::BeatTheDealer, false, 0x5A2A9A, 0x1A0838, "DOUBLE JOKER POKER",
       "TWO JOKERS IN THE DECK - BOTH ARE WILD"},
      {"VP03", "CardSet2", false, false, DupKind::RedBlack, false, 0x3A3A48, 0x0A0A10, "AMERICAN POKER",
       "EVERY UNPAID HIGH PAIR FEEDS THE BONUS - THE TOP HANDS WIN THE JACKPOT"},
      {"VPC01", "CardSet1", true, true, DupKind::BigSmall, true, 0x1C3E86, 0x081634, "JACKS OR BETTER",
       "A PAIR OF JACKS OR BETTER PAYS"},
      {"VPC02", "CardSet1", true, true, DupKind::RedBlack, true, 0x0E6A66, 0x03201E, "DEUCES WILD",
       "EVERY DEUCE IS WILD"},
      {"VPC03", "CardSet1", true, true, DupKind::BigSmall, true, 0x7A1452, 0x24041A, "JOKER WILD",
       "THE JOKER IS WILD"},
  };
  return machines;
}

const char* DupTitle(DupKind k) {
  switch (k) {
    case DupKind::BigSmall: return "BIG / SMALL";
    case DupKind::RedBlack: return "RED / BLACK";
    default: return "BEAT THE DEALER";
  }
}

// --- Drawing helpers. ---

// A card painted onto an advertisement: inside its glass, with a square, light shadow.
void PaintOnAdvert(Canvas& c, const Picture& pic, double cx, double cy, double scale, double angle) {
  cairo_save(c.cr());
  c.RoundedRect(5, 5, c.Width() - 10, c.Height() - 10, 10);
  cairo_clip(c.cr());
  PaintStyle style;
  style.shadowX = 3;
  style.shadowY = 4;
  style.shadowRadius = 0;
  style.shadowAlpha = 0.25;
  style.filter = CAIRO_FILTER_GOOD;
  PaintPicture(c, pic, cx, cy, scale, angle, style);
  cairo_restore(c.cr());
}

// --- The cabinet behind everything. ---

Picture Background(FontLibrary& fonts, const Machine& m) {
  const double W = kScreenW, H = kScreenH;
  Canvas c(kScreenW, kScreenH);
  cairo_t* cr = c.cr();
  // Lacquered cabinet.
  c.SetVertical(0, H, {{0.0, Hex(0x0B1A12)}, {1.0, Hex(0x020805)}});
  cairo_paint(cr);
  // The felt, lit from the middle of the card row; its top runs on under the menu bar's strip.
  const double cardMiddle = kCardTop + kCardH / 2.0;
  c.RoundedRect(4, kMenuStripH - 8, W - 8, H - kMenuStripH + 4, 14);
  c.SetRadial(W / 2, cardMiddle - 8, 40, 520, {{0.0, Hex(kFeltLight)}, {0.45, Hex(kFelt)}, {1.0, Hex(0x071E12)}});
  c.Fill();
  MenuStrip(c);
  c.Grain(0x9E7A0001u + static_cast<uint32_t>(m.theme.size()), 0.06);
  cairo_save(cr);
  cairo_rectangle(cr, 0, kMenuStripH, W, H - kMenuStripH);
  cairo_clip(cr);
  c.RoundedRect(4.5, kMenuStripH - 7.5, W - 9, H - kMenuStripH + 3, 14);
  c.SetVertical(0, H, GoldStops());
  c.Stroke(2.0);
  c.RoundedRect(8.5, kMenuStripH - 3.5, W - 17, H - kMenuStripH - 5, 11);
  c.SetColour(Hex(kGoldLight, 0.35));
  c.Stroke(1.0);
  cairo_restore(cr);
  // The stage the cards lie on: a band of richer felt between fine gold rules, from under the
  // pay list to above the meters.
  const double stageTop = kPayTop + kPayH + 1, stageFoot = kCreditTop - 2;
  c.Polygon({{8, stageTop}, {W - 8, stageTop}, {W - 8, stageFoot}, {8, stageFoot}});
  c.SetRadial(W / 2, cardMiddle - 8, 20, 430, {{0.0, Hex(0x2C8A56, 0.55)}, {1.0, Hex(0x000000, 0.0)}});
  c.Fill();
  for (double y : {stageTop + 0.5, stageFoot - 0.5}) {
    cairo_new_path(cr);
    cairo_move_to(cr, 20, y);
    cairo_line_to(cr, W - 20, y);
    cairo_pattern_t* p = cairo_pattern_create_linear(20, 0, W - 20, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0.95, 0.85, 0.54, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.95, 0.85, 0.54, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0.95, 0.85, 0.54, 0.0);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    c.Stroke(1.0);
  }
  // The message window.
  c.RoundedRect(96, kMessageTop, 608, kMessageH, 8);
  c.SetVertical(kMessageTop, kMessageTop + kMessageH, {{0.0, Hex(0x000000, 0.6)}, {1.0, Hex(0x000000, 0.35)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.7));
  c.Stroke(1.0);
  // Where the five cards lie: sunken slots, seen while the cards are away.
  for (int i = 0; i < 5; ++i) {
    const double x = 60 + i * 140, y = kCardTop;
    c.RoundedRect(x - 1.5, y - 1.5, kCardW + 3, kCardH + 3, 9);
    c.SetColour(Hex(0x000000, 0.28));
    c.FillPreserve();
    c.SetColour(Hex(kGoldLight, 0.22));
    c.Stroke(1.0);
    c.TextCentered(Serif(fonts), 40, std::string(i % 2 ? "\u2665" : "\u2660"), x + kCardW / 2, y + kCardH / 2);
    c.SetColour(Hex(0x000000, 0.18));
    c.Fill();
  }
  return c.ToPicture();
}

// --- Panels. ---

Picture PayGlass(FontLibrary&, const Machine& m) {
  const double w = kPayW, h = kPayH;
  Canvas c(kPayW, kPayH);
  GoldRim(c, 0, 0, w, h, 12, 4);
  Glass(c, 4, 4, w - 8, h - 8, 9, m.glass, m.glassDeep);
  // Faint rules between the rows.
  for (int r = 1; r < 11; ++r) {
    const double y = kPayRowTop + r * kPayRowH + 0.5;
    cairo_new_path(c.cr());
    cairo_move_to(c.cr(), 12, y);
    cairo_line_to(c.cr(), w - 12, y);
    c.SetColour(Hex(0xFFFFFF, 0.06));
    c.Stroke(1.0);
  }
  if (m.compact) {
    // Five bet columns, each under a fine gold rule.
    for (int col = 0; col < 5; ++col) {
      const double x = 237 + col * 64 + 0.5;
      cairo_new_path(c.cr());
      cairo_move_to(c.cr(), x, 8);
      cairo_line_to(c.cr(), x, h - 8);
      c.SetColour(Hex(kGoldLight, 0.3));
      c.Stroke(1.0);
    }
  } else {
    cairo_new_path(c.cr());
    cairo_move_to(c.cr(), 390.5, 8);
    cairo_line_to(c.cr(), 390.5, h - 8);
    c.SetColour(Hex(kGoldLight, 0.25));
    c.Stroke(1.0);
  }
  return c.ToPicture();
}

// The double-up's glass: deep red velvet so the player sees at once that the win is at stake.
Picture DoubleUpGlass(FontLibrary& fonts, const Machine& m) {
  const bool wide = m.hideHand;
  const int W = wide ? kWideDupW : kPayW, H = wide ? kWideDupH : kPayH;
  Canvas c(W, H);
  GoldRim(c, 0, 0, W, H, 12, 4);
  Glass(c, 4, 4, W - 8, H - 8, 9, 0x5A0A16, 0x1A0206);
  auto slot = [&](double x, double y, bool gold) {
    c.RoundedRect(x - 1.5, y - 1.5, kCardW + 3, kCardH + 3, 9);
    c.SetColour(Hex(0x000000, 0.35));
    c.FillPreserve();
    c.SetColour(gold ? Hex(kGoldLight, 0.9) : Hex(kGoldLight, 0.25));
    c.Stroke(gold ? 2.0 : 1.0);
  };
  if (m.kind == DupKind::BeatTheDealer) {
    // The dealer's card and the four to pick from (the panel lies at x 12).
    slot(42 - 12, kWideDupCardTop, true);
    for (int i = 0; i < 4; ++i) slot(236 - 12 + i * 138, kWideDupCardTop, false);
    return c.ToPicture();
  }
  if (!wide) {
    // A rule line along the foot unless the bar sits there.
    if (m.theme != "VP03") {
      const std::string rules = m.kind == DupKind::BigSmall ? "SMALL: A TO 6   \u2022   7: DRAW   \u2022   BIG: 8 TO K   \u2022   JOKER PAYS 4\u00D7"
                                                             : "RED OR BLACK PAYS 2\u00D7   \u2022   JOKER PAYS 4\u00D7";
      // Centred between the cards' foot and the rim.
      PlainText(c, Bold(fonts), 11, rules, 272, H - 15, Hex(kGoldLight, 0.85));
    }
  } else {
    // The ten cards fan out from the left: their slot is a long sunken tray.
    c.RoundedRect(26 - 12 - 2, kWideDupCardTop - 2, 9 * 52 + kCardW + 4, kCardH + 4, 9);
    c.SetColour(Hex(0x000000, 0.3));
    c.Fill();
  }
  return c.ToPicture();
}

Picture CreditPanel(FontLibrary&, const Machine&) {
  const double w = kCreditW, h = kCreditH;
  Canvas c(kCreditW, kCreditH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  c.RoundedRect(3, 3, w - 6, h - 6, 8);
  c.SetVertical(3, h - 3, {{0.0, Hex(0x1C1C1C)}, {0.5, Hex(0x0A0A0A)}, {1.0, Hex(0x000000)}});
  c.Fill();
  // Three meter windows: credit, bet, win.
  const double windows[][2] = {{8, 264}, {280, 502}, {522, 768}};
  for (const auto& win : windows) {
    const double x = win[0], ww = win[1] - win[0];
    c.RoundedRect(x, 6, ww, h - 12, 6);
    c.SetVertical(6, h - 6, {{0.0, Hex(0x000000)}, {1.0, Hex(0x1A0606)}});
    c.FillPreserve();
    c.SetColour(Hex(kGold, 0.75));
    c.Stroke(1.0);
    // The value part of the window is a touch darker, like an LED display.
    c.RoundedRect(x + ww * 0.34, 9, ww * 0.66 - 3, h - 18, 4);
    c.SetColour(Hex(0x2A0606, 0.55));
    c.Fill();
  }
  return c.ToPicture();
}

Picture ButtonDeck(FontLibrary&, const Machine&) {
  const double w = kScreenW, h = kDeckH;
  Canvas c(kScreenW, kDeckH);
  c.SetVertical(0, h, {{0.0, Hex(0x2A2A2A)}, {0.1, Hex(0x141414)}, {1.0, Hex(0x050505)}});
  cairo_paint(c.cr());
  c.Grain(0xDEC0u, 0.05);
  cairo_new_path(c.cr());
  cairo_move_to(c.cr(), 0, 1);
  cairo_line_to(c.cr(), w, 1);
  c.SetVertical(0, 2, GoldStops());
  c.Stroke(2.0);
  // Wells for the buttons, 3 pixels round each (the buttons lie 7 pixels down the deck).
  const double wells[][2] = {{12, 90}, {108, 90}, {208, 86}, {300, 86}, {392, 86}, {484, 86}, {576, 86}, {670, 120}};
  for (const auto& well : wells) {
    c.RoundedRect(well[0] - 3, 4, well[1] + 6, kDeckButtonH + 6, 10);
    c.SetVertical(4, 10 + kDeckButtonH, {{0.0, Hex(0x000000, 0.8)}, {1.0, Hex(0x3A3A3A, 0.6)}});
    c.Fill();
  }
  return c.ToPicture();
}

// The hold buttons' second legends: what each does while the double-up runs.
std::string HoldLegend(const Machine& m, int n) {
  switch (m.kind) {
    case DupKind::BigSmall:
      if (n == 2) return "SMALL";
      if (n == 4) return "BIG";
      break;
    case DupKind::RedBlack:
      if (n == 2) return "RED";
      if (n == 4) return "BLACK";
      break;
    case DupKind::BeatTheDealer:
      if (n >= 2) return "PICK " + std::to_string(n - 1);
      break;
  }
  if (n == 5 && m.half) return "HALF";
  return {};
}

Picture HeldPlate(FontLibrary&) {
  const double w = kHeldW, h = kHeldH;
  Canvas c(kHeldW, kHeldH);
  c.RoundedRect(10.5, 1.5, w - 21, h - 3, 7);
  c.SetVertical(0, h, {{0.0, Hex(0xFF5A4A)}, {0.5, Hex(0xD0141E)}, {1.0, Hex(0x7A0810)}});
  c.FillPreserve();
  c.SetVertical(0, h, GoldStops());
  c.Stroke(1.6);
  c.RoundedRect(14, 3, w - 28, h * 0.38, 5);
  c.SetVertical(3, 3 + h * 0.38, {{0.0, Hex(0xFFFFFF, 0.45)}, {1.0, Hex(0xFFFFFF, 0.05)}});
  c.Fill();
  return c.ToPicture();
}

Picture NormalDupPlate(FontLibrary& fonts, const Machine& m) {
  const double w = 208, h = kNormalDupH;
  Canvas c(208, kNormalDupH);
  GoldRim(c, 0, 0, w, h, 9, 3);
  Glass(c, 3, 3, w - 6, h - 6, 7, 0x5A0A16, 0x1A0206);
  PlainText(c, Bold(fonts), 9, "DOUBLE UP", w / 2, 11, Hex(kGoldLight));
  GoldText(c, Bold(fonts), Fit(c, Bold(fonts), 16, DupTitle(m.kind), w - 20), DupTitle(m.kind), w / 2, 25);
  return c.ToPicture();
}

Picture LogoPanel(FontLibrary& fonts, const Machine& m) {
  const double w = 208, h = kSidePanelH;
  Canvas c(208, kSidePanelH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  Glass(c, 3, 3, w - 6, h - 6, 8, Mix(m.glass, 0x000000, 0.2), m.glassDeep);
  // Four suits in a row over the casino's name.
  const char* suits[] = {"\u2660", "\u2665", "\u2663", "\u2666"};
  for (int i = 0; i < 4; ++i) {
    c.TextCentered(Bold(fonts), 20, suits[i], w / 2 - 48 + i * 32, 22);
    c.SetColour(i % 2 ? Hex(0xE8303C) : Hex(0xF4F4F4));
    c.FillPreserve();
    c.SetColour(Hex(0x000000, 0.6));
    c.Stroke(0.8);
  }
  GoldText(c, Serif(fonts), 17, "ORVANTA CARDS", w / 2, 48);
  PlainText(c, Bold(fonts), 9, "C A S I N O", w / 2, 65, Hex(kGoldLight, 0.9));
  return c.ToPicture();
}

Picture OrvantaPanel(FontLibrary&, const Machine& m) {
  const double w = 208, h = kSidePanelH;
  Canvas c(208, kSidePanelH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  Glass(c, 3, 3, w - 6, h - 6, 8, m.glass, m.glassDeep);
  // The window of the Orvanta number: a small white card (the label shows the number).
  c.RoundedRect(158.5, 5.5, 40, 48, 5);
  c.SetVertical(5, 53, {{0.0, Hex(0xFFFFFF)}, {1.0, Hex(0xE8E8E8)}});
  c.FillPreserve();
  c.SetColour(Hex(kGold));
  c.Stroke(1.5);
  // Sockets of the ten stage lamps.
  for (int n = 0; n < 10; ++n) {
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), 8 + n * 19 + 9, 57 + 9, 9.5, 0, 2 * M_PI);
    c.SetColour(Hex(0x000000, 0.55));
    c.Fill();
  }
  return c.ToPicture();
}

Picture JackpotPanel(FontLibrary&, const Machine& m) {
  const double w = 208, h = kSidePanelH;
  Canvas c(208, kSidePanelH);
  GoldRim(c, 0, 0, w, h, 10, 3);
  Glass(c, 3, 3, w - 6, h - 6, 8, m.glass, m.glassDeep);
  // Windows of the bonus and the jackpot, under their labels.
  for (double y : {17.0, 54.0}) {
    c.RoundedRect(20, y, w - 40, 21, 5);
    c.SetColour(Hex(0x000000, 0.6));
    c.FillPreserve();
    c.SetColour(Hex(kGold, 0.6));
    c.Stroke(1.0);
  }
  return c.ToPicture();
}

Picture DupBarPanel(FontLibrary& fonts, const Machine&) {
  const double w = kPayW, h = kBarH + 6;
  Canvas c(kPayW, kBarH + 6);
  c.RoundedRect(8, 1, w - 16, h - 2, 7);
  c.SetColour(Hex(0x000000, 0.55));
  c.FillPreserve();
  c.SetColour(Hex(kGold, 0.7));
  c.Stroke(1.0);
  c.RoundedRect(372, 2, 176, h - 4, 4);
  c.SetColour(Hex(0x000000, 0.6));
  c.Fill();
  PlainText(c, Bold(fonts), 9, "BONUS", 386, h / 2, Hex(kGoldLight, 0.8));
  return c.ToPicture();
}

// --- Lamps. The pictures are the lit look; the theme dims them until an effect lights them. ---

Picture StageStar(FontLibrary&) {
  const double s = kStageLamp, c0 = s / 2;
  Canvas c(kStageLamp, kStageLamp);
  c.SetRadial(c0, c0, 0, c0, {{0.0, Hex(0xFFF6C0, 0.9)}, {0.6, Hex(0xFFC020, 0.5)}, {1.0, Hex(0xFF9000, 0.0)}});
  cairo_paint(c.cr());
  std::vector<std::pair<double, double>> star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? 3.0 : 7.5, a = -M_PI / 2 + i * M_PI / 5;
    star.push_back({c0 + r * std::cos(a), c0 + 0.5 + r * std::sin(a)});
  }
  c.Polygon(star);
  c.SetRadial(c0 - 1, c0 - 1, 0.5, 7, {{0.0, Hex(0xFFFFFF)}, {0.5, Hex(kGoldLight)}, {1.0, Hex(kGold)}});
  c.FillPreserve();
  c.SetColour(Hex(0x3A2606));
  c.Stroke(0.7);
  return c.ToPicture();
}

Picture DealStageLamp(FontLibrary&) {
  const double s = kDealStageLamp, c0 = s / 2;
  Canvas c(kDealStageLamp, kDealStageLamp);
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), c0, c0, c0 - 0.5, 0, 2 * M_PI);
  c.SetVertical(0, s, GoldStops());
  c.FillPreserve();
  c.SetColour(Hex(0x241704));
  c.Stroke(1.0);
  cairo_new_path(c.cr());
  cairo_arc(c.cr(), c0, c0, c0 - 4, 0, 2 * M_PI);
  c.SetRadial(c0 - 4, c0 - 4, 1, c0, {{0.0, Hex(0xFFFFFF)}, {0.35, Hex(0xFFE070)}, {1.0, Hex(0xD86A00)}});
  c.Fill();
  // Facets of a jewel.
  for (int i = 0; i < 6; ++i) {
    const double a = i * M_PI / 3;
    cairo_new_path(c.cr());
    cairo_move_to(c.cr(), c0, c0);
    cairo_line_to(c.cr(), c0 + (c0 - 4) * std::cos(a), c0 + (c0 - 4) * std::sin(a));
    c.SetColour(Hex(0xFFFFFF, 0.25));
    c.Stroke(0.8);
  }
  return c.ToPicture();
}

// A bar segment: near white so the theme's tint gives it its colour.
Picture BarSegment(FontLibrary&) {
  const double w = kBarW, h = kBarH;
  Canvas c(kBarW, kBarH);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, 5);
  c.SetVertical(0, h, {{0.0, Hex(0xFFFFFF)}, {0.5, Hex(0xE8E8E8)}, {1.0, Hex(0xA0A0A0)}});
  c.FillPreserve();
  c.SetColour(Hex(0x202020));
  c.Stroke(1.0);
  c.RoundedRect(3, 2.5, w - 6, h * 0.38, 3);
  c.SetColour(Hex(0xFFFFFF, 0.7));
  c.Fill();
  return c.ToPicture();
}

// The hit lamp of the double-up: what to choose, off (DOWN) and lit (UP).
Picture HitLamp(FontLibrary& fonts, const Machine& m, bool lit) {
  const double w = 64, h = 168;
  Canvas c(64, 168);
  GoldRim(c, 0, 0, w, h, 10, 3);
  c.RoundedRect(3, 3, w - 6, h - 6, 8);
  c.SetColour(Hex(lit ? 0x200408 : 0x0C0204));
  c.Fill();
  auto half = [&](double y0, double y1, const std::string& word, uint32_t colour, bool up) {
    if (lit) {
      c.SetRadial(w / 2, (y0 + y1) / 2, 2, 40, {{0.0, Hex(colour, 0.45)}, {1.0, Hex(colour, 0.0)}});
      c.RoundedRect(5, y0, w - 10, y1 - y0, 6);
      c.Fill();
    }
    const double ay = up ? y0 + 20 : y1 - 20;
    if (up)
      c.Polygon({{w / 2, ay - 11}, {w / 2 + 12, ay + 6}, {w / 2 - 12, ay + 6}});
    else
      c.Polygon({{w / 2 - 12, ay - 6}, {w / 2 + 12, ay - 6}, {w / 2, ay + 11}});
    c.SetColour(lit ? Hex(colour) : Hex(Mix(colour, 0x000000, 0.7)));
    c.Fill();
    const double px = Fit(c, Condensed(fonts), 15, word, w - 10);
    PlainText(c, Condensed(fonts), px, word, w / 2, up ? y0 + 46 : y1 - 46,
              lit ? Hex(0xFFFFFF) : Hex(Mix(colour, 0x000000, 0.6)));
  };
  switch (m.kind) {
    case DupKind::BigSmall:
      half(6, h / 2, "BIG", 0xFFD24A, true);
      half(h / 2, h - 6, "SMALL", 0x4AC8FF, false);
      break;
    case DupKind::RedBlack:
      half(6, h / 2, "RED", 0xFF3040, true);
      half(h / 2, h - 6, "BLACK", 0xD0D8E0, false);
      break;
    case DupKind::BeatTheDealer:
      // Between the dealer's card and the player's four.
      if (lit) {
        c.SetRadial(w / 2, h / 2, 2, 44, {{0.0, Hex(0xFFD24A, 0.4)}, {1.0, Hex(0xFFD24A, 0.0)}});
        c.RoundedRect(5, 5, w - 10, h - 10, 6);
        c.Fill();
      }
      if (lit)
        GoldText(c, Serif(fonts), 30, "VS", w / 2, h / 2);
      else
        PlainText(c, Serif(fonts), 30, "VS", w / 2, h / 2, Hex(0x5A4A20));
      break;
  }
  cairo_new_path(c.cr());
  cairo_move_to(c.cr(), 8, h / 2 + 0.5);
  cairo_line_to(c.cr(), w - 8, h / 2 + 0.5);
  c.SetColour(Hex(kGold, m.kind == DupKind::BeatTheDealer ? 0.0 : 0.6));
  c.Stroke(1.0);
  return c.ToPicture();
}

// --- Advertisements: shown over the card row by the attract mode. ---

void AdvertFrame(Canvas& c, const Machine& m) {
  const double w = kAdvW, h = kAdvH;
  GoldRim(c, 0, 0, w, h, 14, 4);
  Glass(c, 4, 4, w - 8, h - 8, 11, m.glass, m.glassDeep);
  // Rays from the left.
  cairo_save(c.cr());
  c.RoundedRect(4, 4, w - 8, h - 8, 11);
  cairo_clip(c.cr());
  for (int i = 0; i < 18; ++i) {
    const double a0 = -M_PI / 2 + i * M_PI / 18, a1 = a0 + M_PI / 36;
    c.Polygon({{170, h / 2}, {170 + 900 * std::cos(a0), h / 2 + 900 * std::sin(a0)},
               {170 + 900 * std::cos(a1), h / 2 + 900 * std::sin(a1)}});
    c.SetColour(Hex(0xFFFFFF, 0.035));
    c.Fill();
  }
  cairo_restore(c.cr());
}

// The welcome: a royal flush fanned out beside the machine's name.
Picture AdvertWelcome(FontLibrary& fonts, const Machine& m, const std::string& title) {
  Canvas c(kAdvW, kAdvH);
  AdvertFrame(c, m);
  const int royal[] = {10, 11, 12, 13, 1};
  for (int i = 0; i < 5; ++i) {
    const double a = (i - 2) * 0.16;
    PaintOnAdvert(c, CardFace(fonts, m.cardSet, royal[i] + 13), 170 + (i - 2) * 34, 86 + std::abs(i - 2) * 4, 0.66, a);
  }
  // A long title takes two lines rather than shrinking far below the others.
  const double px = Fit(c, Serif(fonts), 40, title, 380);
  size_t cut = std::string::npos;
  for (size_t at = title.find(' '); px < 24 && at != std::string::npos; at = title.find(' ', at + 1))
    if (cut == std::string::npos || std::max(at, title.size() - at) < std::max(cut, title.size() - cut)) cut = at;
  if (cut == std::string::npos) {
    GoldText(c, Serif(fonts), px, title, 490, 62);
  } else {
    const std::string upper = title.substr(0, cut), lower = title.substr(cut + 1);
    const double px2 = std::min(Fit(c, Serif(fonts), 30, upper, 380), Fit(c, Serif(fonts), 30, lower, 380));
    GoldText(c, Serif(fonts), px2, upper, 490, 34);
    GoldText(c, Serif(fonts), px2, lower, 490, 66);
  }
  PlainText(c, Bold(fonts), 16, "ORVANTA CARDS CASINO", 490, 104, Hex(0xFFFFFF, 0.9));
  PlainText(c, Bold(fonts), 12, "VIDEO POKER", 490, 128, Hex(kGoldLight, 0.9));
  return c.ToPicture();
}

// What makes the machine special.
Picture AdvertFeature(FontLibrary& fonts, const Machine& m) {
  Canvas c(kAdvW, kAdvH);
  AdvertFrame(c, m);
  // Show the cards the feature is about.
  std::vector<int> cards;
  if (m.theme == "VP01")
    cards = {7, 20, 33};
  else if (m.theme == "VP02" || m.theme == "VPC03")
    cards = {53, 54};
  else if (m.theme == "VP03")
    cards = {11, 24};
  else if (m.theme == "VPC02")
    cards = {2, 15, 28, 41};
  else
    cards = {11, 37};
  const double n = static_cast<double>(cards.size());
  for (size_t i = 0; i < cards.size(); ++i) {
    const int number = cards[i];
    const bool wild = m.theme == "VPC02";
    PaintOnAdvert(c, CardFace(fonts, m.cardSet, number, wild), 150 + (i - (n - 1) / 2) * 52, 84,
                 0.66, (i - (n - 1) / 2) * 0.14);
  }
  std::string headline = m.theme == "VP01"   ? "ORVANTA BONUS"
                         : m.theme == "VP03" ? "JACKPOT BONUS"
                         : m.theme == "VPC02" ? "DEUCES ARE WILD"
                         : m.theme == "VPC01" ? "JACKS OR BETTER"
                                              : "JOKERS ARE WILD";
  GoldText(c, Serif(fonts), Fit(c, Serif(fonts), 34, headline, 380), headline, 490, 56);
  // The feature in up to two lines.
  std::string text = m.feature, line1 = text, line2;
  const auto dash = text.find(" - ");
  if (dash != std::string::npos) {
    line1 = text.substr(0, dash);
    line2 = text.substr(dash + 3);
  }
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 13, line1, 400), line1, 490, 98, Hex(0xFFFFFF, 0.95));
  if (!line2.empty()) PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 13, line2, 400), line2, 490, 120, Hex(0xFFFFFF, 0.95));
  return c.ToPicture();
}

// The double-up.
Picture AdvertDoubleUp(FontLibrary& fonts, const Machine& m) {
  Canvas c(kAdvW, kAdvH);
  AdvertFrame(c, m);
  PaintOnAdvert(c, CardFace(fonts, m.cardSet, 0), 132, 84, 0.66, -0.12);
  PaintOnAdvert(c, CardFace(fonts, m.cardSet, m.kind == DupKind::RedBlack ? 36 : 12), 190, 84, 0.66, 0.1);
  GoldText(c, Serif(fonts), 38, "DOUBLE UP", 490, 52);
  GoldText(c, Bold(fonts), 24, DupTitle(m.kind), 490, 92);
  const std::string text = m.kind == DupKind::BeatTheDealer ? "PICK A CARD HIGHER THAN THE DEALER'S"
                                                            : "GAMBLE EVERY WIN - GUESS RIGHT AND DOUBLE IT";
  PlainText(c, Bold(fonts), Fit(c, Bold(fonts), 13, text, 400), text, 490, 128, Hex(0xFFFFFF, 0.95));
  return c.ToPicture();
}

// --- The series frames of the double-up panel. ---

// A marquee strip of bulbs around "DOUBLE UP"; each frame lights every third bulb one
// place further on, so stepping the frames makes the lights chase.
Picture SeriesFrame(FontLibrary& fonts, int frame) {
  const double w = kSeriesW, h = kSeriesH;
  Canvas c(kSeriesW, kSeriesH);
  c.RoundedRect(0.5, 0.5, w - 1, h - 1, h / 2);
  c.SetVertical(0, h, {{0.0, Hex(kGoldPale)}, {0.5, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.Fill();
  c.RoundedRect(2.5, 2.5, w - 5, h - 5, h / 2 - 2);
  c.SetVertical(2, h - 2, {{0.0, Hex(0x3A0A10)}, {1.0, Hex(0x12030A)}});
  c.Fill();
  const int bulbs = 11;
  for (int side = 0; side < 2; ++side) {
    for (int i = 0; i < bulbs; ++i) {
      const double x = side == 0 ? 12 + i * 6.2 : w - 12 - i * 6.2;
      const bool lit = (i + frame) % 3 == 0;
      cairo_new_path(c.cr());
      cairo_arc(c.cr(), x, h / 2, 2.3, 0, 2 * M_PI);
      if (lit)
        c.SetRadial(x - 0.6, h / 2 - 0.6, 0.2, 2.6, {{0.0, Hex(0xFFFFF0)}, {0.6, Hex(0xFFE070)}, {1.0, Hex(0xE08A10)}});
      else
        c.SetColour(Hex(0x5A3A18));
      c.Fill();
    }
  }
  c.TextCentered(Bold(fonts), 13, "DOUBLE UP", w / 2, h / 2);
  c.SetVertical(h / 2 - 6, h / 2 + 6, {{0.0, Hex(kGoldPale)}, {1.0, Hex(kGoldLight)}});
  c.Fill();
  return c.ToPicture();
}

// --- The lobby's pictures of the poker games. ---

struct GameLogo {
  const char* idStr;
  const char* line1;
  const char* line2;
  uint32_t colour;
};

const std::vector<GameLogo>& GameLogos() {
  static const std::vector<GameLogo> logos = {
      {"VXG_VP_ORVANTABONUS", "ORVANTA", "BONUS POKER", 0x1A4AA8},
      {"VXG_VP_ORVANTABONUS2", "ORVANTA BONUS", "DEUCES WILD", 0x1A4AA8},
      {"VXG_VP_DOUBLEJOKER", "DOUBLE JOKER", "POKER", 0x5A2A9A},
      {"VXG_VP_DOUBLEJOKER2", "DOUBLE JOKER", "POKER 2", 0x5A2A9A},
      {"VXG_VP_AMERICANPOKER", "AMERICAN", "POKER", 0x3A3A48},
      {"VXG_VP_AMERICANPOKER2", "AMERICAN POKER", "DEUCES WILD", 0x3A3A48},
      {"VXG_VP_JACKSORBETTER", "JACKS OR BETTER", "9/6", 0x1C3E86},
      {"VXG_VP_JACKSORBETTER2", "JACKS OR BETTER", "BONUS POKER", 0x1C3E86},
      {"VXG_VP_DEUCESWILD", "DEUCES", "WILD", 0x0E6A66},
      {"VXG_VP_DEUCESWILD2", "JOKERS AND", "DEUCES WILD II", 0x0E6A66},
      {"VXG_VP_JOKERWILD", "JOKER", "WILD", 0x7A1452},
      {"VXG_VP_JOKERWILD2", "JOKER", "WILD II", 0x7A1452},
  };
  return logos;
}

Picture GameLogoPicture(FontLibrary& fonts, const GameLogo& g) {
  const double w = kGameLogoW, h = kGameLogoH;
  Canvas c(kGameLogoW, kGameLogoH);
  GoldRim(c, 0, 0, w, h, 14, 4);
  Glass(c, 4, 4, w - 8, h - 8, 11, g.colour, Mix(g.colour, 0x000000, 0.75));
  // A fan of four suits behind the name.
  const char* suits[] = {"\u2660", "\u2665", "\u2666", "\u2663"};
  for (int i = 0; i < 4; ++i) {
    c.TextCentered(Bold(fonts), 58, suits[i], 28 + i * 48, h / 2 + 4);
    c.SetColour(Hex(0xFFFFFF, 0.07));
    c.Fill();
  }
  GoldText(c, Serif(fonts), Fit(c, Serif(fonts), 26, g.line1, w - 24), g.line1, w / 2, 38);
  const double px = Fit(c, Bold(fonts), 18, g.line2, w - 24);
  PlainText(c, Bold(fonts), px, g.line2, w / 2, 68, Hex(0xFFFFFF));
  return c.ToPicture();
}

}  // namespace

std::vector<ArtEntry> PokerArt() {
  std::vector<ArtEntry> art;
  for (int f = 1; f <= kSeriesFrames; ++f) {
    // Frame 1 carries no number; frames 2.. carry "_n".
    const std::string key = "SERIES\\S_3\\IMG" + (f == 1 ? std::string() : "_" + std::to_string(f)) + ".bmp";
    art.push_back({key, [f](FontLibrary& fonts) { return SeriesFrame(fonts, f - 1); }});
  }
  for (const GameLogo& g : GameLogos())
    art.push_back({std::string("MAINROOM\\IMG_GAME_") + g.idStr + ".bmp",
                   [g](FontLibrary& fonts) { return GameLogoPicture(fonts, g); }});
  for (const Machine& m : Machines()) {
    const std::string t = m.theme + "\\";
    auto add = [&](const std::string& name, std::function<Picture(FontLibrary&, const Machine&)> draw) {
      art.push_back({t + name + ".bmp", [m, draw](FontLibrary& fonts) { return draw(fonts, m); }});
    };
    add("background", Background);
    add("PNL_PAYOFF", PayGlass);
    add("PNL_DOUBLEUP", DoubleUpGlass);
    add("PNL_CREDIT", CreditPanel);
    add("PNL_BUTTONS", ButtonDeck);
    add("PNL_NORMALDUP", NormalDupPlate);
    for (int n = 1; n <= 5; ++n) {
      add("BTN_HOLD_" + std::to_string(n), [n](FontLibrary& f, const Machine& mm) {
        return PushButton(f, kHoldButtonW, kDeckButtonH, 0xF2C218, HoldLegend(mm, n), 0x3A2400);
      });
      add("LBL_HOLD_" + std::to_string(n), [](FontLibrary& f, const Machine&) { return HeldPlate(f); });
    }
    add("BTN_DEAL", [](FontLibrary& f, const Machine&) { return PushButton(f, kDealButtonW, kDeckButtonH, 0x1FA83C, "", 0); });
    add("BTN_BET", [](FontLibrary& f, const Machine&) { return PushButton(f, kDeckButtonW, kDeckButtonH, 0x2A64D0, "", 0); });
    add("BTN_CASHALL", [](FontLibrary& f, const Machine&) { return PushButton(f, kDeckButtonW, kDeckButtonH, 0xC8202A, "", 0); });
    add("IMG_DUPHITDOWN", [](FontLibrary& f, const Machine& mm) { return HitLamp(f, mm, false); });
    add("IMG_DUPHITUP", [](FontLibrary& f, const Machine& mm) { return HitLamp(f, mm, true); });
    // The advertisement picture starts with its own name (the machine's welcome, below, where
    // the screen knows its machine); the attract mode then names the others.
    add("IMG_ADV", [](FontLibrary& f, const Machine& mm) { return AdvertWelcome(f, mm, mm.title); });
    add("img_adv_2", AdvertFeature);
    add("img_adv_3", AdvertDoubleUp);
    if (m.theme == "VP01") {
      add("PNL_ORVANTA", OrvantaPanel);
      add("img_jackpotstage", [](FontLibrary& f, const Machine&) { return StageStar(f); });
      add("img_dealstage", [](FontLibrary& f, const Machine&) { return DealStageLamp(f); });
    } else if (m.theme == "VP03") {
      add("PNL_AMERICANJACKPOT", JackpotPanel);
      add("PNL_DUPBARDUP", DupBarPanel);
      add("img_dupbar", [](FontLibrary& f, const Machine&) { return BarSegment(f); });
    } else {
      add("PNL_LOGO", LogoPanel);
    }
  }
  // Each machine's own welcome, named by its catalogue title: two machines share each theme.
  const TVXGameManager catalogue;
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TGameInfo* info = catalogue.Games(i);
    const TPokerVariant* variant = FindPokerVariant(info->ID);
    if (variant == nullptr) continue;
    for (const Machine& m : Machines())
      if (m.theme == variant->Theme)
        art.push_back({m.theme + "\\" + TPokerScene::WelcomePlateName(info->IDStr) + ".bmp",
                       [m, title = info->Title](FontLibrary& f) { return AdvertWelcome(f, m, title); }});
  }
  return art;
}

}  // namespace vx::datagen
