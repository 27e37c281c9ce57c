// The two card sets: "CardSet1" (classic: ivory paper, serif indices, ornate courts, red
// lattice back) and "CardSet2" (modern: white paper, large sans indices, flat courts, blue
// back). Each holds the 52 cards, two jokers, the back and the four deuces with their wild
// banner, all at the one size the screens show them.
#include <cmath>

#include "tools/datagen/Art.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {

using namespace look;
using namespace poker;

namespace {

constexpr double kW = kCardW, kH = kCardH;
constexpr double kRadius = 8;

struct CardStyle {
  bool classic = true;
  uint32_t paperTop = 0, paperFoot = 0, edge = 0;
  uint32_t red = 0, black = 0;
  const char* rankFont = "";
  const char* rankFontNarrow = "";
  uint32_t gold = 0, skin = 0, outline = 0;
};

const CardStyle& Style(bool classic) {
  static const CardStyle kClassic = {true,     0xFFFBEF, 0xF4EBD3, 0x7A6E55, 0xBE1622, 0x161412,
                                     "DejaVuSerif-Bold.ttf", "DejaVuSerifCondensed-Bold.ttf",
                                     0xD9A52B, 0xF7D6AE, 0x2B1D10};
  static const CardStyle kModern = {false,    0xFFFFFF, 0xF2F4F7, 0x56606C, 0xD9142B, 0x10161E,
                                    "DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf",
                                    0xF0B429, 0xF5CFA4, 0x1B2230};
  return classic ? kClassic : kModern;
}

enum Suit { kSpades, kHearts, kDiamonds, kClubs };

// Card numbers 1-13, 14-26, 27-39 and 40-52 are the four suits in this order; the colours
// the double-up's RED/BLACK reads are suits 2 and 3 red, 1 and 4 black.
Suit SuitOf(int number) { return static_cast<Suit>((number - 1) / 13); }
int RankOf(int number) { return (number - 1) % 13 + 1; }
bool IsRed(Suit s) { return s == kHearts || s == kDiamonds; }

const char* RankText(int rank) {
  static const char* const kText[] = {"", "A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
  return kText[rank];
}

// Rotates everything drawn inside `body` by 180 degrees about (cx, cy).
template <class F>
void Turned(Canvas& c, double cx, double cy, F body) {
  cairo_save(c.cr());
  cairo_translate(c.cr(), cx, cy);
  cairo_rotate(c.cr(), M_PI);
  cairo_translate(c.cr(), -cx, -cy);
  body();
  cairo_restore(c.cr());
}

// --- Suit shapes: paths of height `s` centred on (cx, cy); `up` false turns them over. ---

void HeartPath(cairo_t* cr) {
  // Unit heart: lobes of radius .26 at (+-.24, -.17), point at (0, .47).
  const double r = 0.26, ly = -0.17, a = std::acos(0.24 / r);
  cairo_move_to(cr, 0, 0.47);
  cairo_curve_to(cr, -0.2, 0.3, -0.5, 0.1, -0.5, ly);
  cairo_arc(cr, -0.24, ly, r, M_PI, 2 * M_PI - a);
  cairo_arc(cr, 0.24, ly, r, M_PI + a, 2 * M_PI);
  cairo_curve_to(cr, 0.5, 0.1, 0.2, 0.3, 0, 0.47);
  cairo_close_path(cr);
}

void StemPath(cairo_t* cr, double top, double bottom, double halfFoot) {
  cairo_new_sub_path(cr);
  cairo_move_to(cr, -0.05, top);
  cairo_curve_to(cr, -0.04, bottom - 0.12, -halfFoot * 0.5, bottom - 0.02, -halfFoot, bottom);
  cairo_line_to(cr, halfFoot, bottom);
  cairo_curve_to(cr, halfFoot * 0.5, bottom - 0.02, 0.04, bottom - 0.12, 0.05, top);
  cairo_close_path(cr);
}

void SuitPath(Canvas& c, Suit suit, double cx, double cy, double s, bool up = true) {
  cairo_t* cr = c.cr();
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, s, up ? s : -s);
  switch (suit) {
    case kHearts:
      cairo_translate(cr, 0, 0.02);
      HeartPath(cr);
      break;
    case kSpades:
      cairo_save(cr);
      cairo_translate(cr, 0, -0.08);
      cairo_scale(cr, 1.0, -0.92);
      HeartPath(cr);
      cairo_restore(cr);
      StemPath(cr, 0.08, 0.5, 0.2);
      break;
    case kDiamonds:
      cairo_move_to(cr, 0, -0.5);
      cairo_curve_to(cr, 0.12, -0.3, 0.26, -0.13, 0.39, 0);
      cairo_curve_to(cr, 0.26, 0.13, 0.12, 0.3, 0, 0.5);
      cairo_curve_to(cr, -0.12, 0.3, -0.26, 0.13, -0.39, 0);
      cairo_curve_to(cr, -0.26, -0.13, -0.12, -0.3, 0, -0.5);
      cairo_close_path(cr);
      break;
    case kClubs: {
      const double r = 0.215;
      const std::pair<double, double> lobes[] = {{0, -0.255}, {-0.255, 0.075}, {0.255, 0.075}};
      for (auto [x, y] : lobes) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
      }
      cairo_new_sub_path(cr);
      cairo_arc(cr, 0, -0.02, 0.13, 0, 2 * M_PI);
      StemPath(cr, 0.0, 0.5, 0.19);
      break;
    }
  }
  cairo_restore(cr);
}

void FillSuit(Canvas& c, const CardStyle& st, Suit suit, double cx, double cy, double s, bool up = true) {
  const uint32_t ink = IsRed(suit) ? st.red : st.black;
  SuitPath(c, suit, cx, cy, s, up);
  if (st.classic) {
    c.SetColour(Hex(ink));
  } else {
    // Modern pips carry a faint light from above.
    const double top = cy - s / 2, foot = cy + s / 2;
    c.SetVertical(up ? top : foot, up ? foot : top,
                  {{0.0, Hex(IsRed(suit) ? 0xF0485A : 0x3A4656)}, {0.55, Hex(ink)}, {1.0, Hex(ink)}});
  }
  c.Fill();
}

// --- Paper and corner indices. ---

void Paper(Canvas& c, const CardStyle& st) {
  c.RoundedRect(0.5, 0.5, kW - 1, kH - 1, kRadius);
  c.SetVertical(0, kH, {{0.0, Hex(st.paperTop)}, {1.0, Hex(st.paperFoot)}});
  c.FillPreserve();
  c.SetColour(Hex(st.edge));
  c.Stroke(1.0);
  if (st.classic) {
    // A hairline just inside the edge, as on printed cards.
    c.RoundedRect(3.5, 3.5, kW - 7, kH - 7, kRadius - 3);
    c.SetColour(Hex(0xC9B98E, 0.8));
    c.Stroke(0.8);
  }
}

// The rank text fitted to the index column: at most `maxW` wide, glyphs `px` high.
void RankIndex(Canvas& c, FontLibrary& fonts, const CardStyle& st, const std::string& text, uint32_t ink,
               double cx, double cy, double px, double maxW) {
  cairo_font_face_t* face = fonts.SystemFace(text.size() > 1 ? st.rankFontNarrow : st.rankFont);
  double size = px;
  const double w = c.TextAdvance(face, size, text);
  if (w > maxW) size = size * maxW / w;
  c.TextCentered(face, size, text, cx, cy);
  c.SetColour(Hex(ink));
  c.Fill();
}

// Rank and suit in the top-left corner and, turned, in the bottom-right one.
void Indices(Canvas& c, FontLibrary& fonts, const CardStyle& st, int rank, Suit suit) {
  const uint32_t ink = IsRed(suit) ? st.red : st.black;
  const double px = st.classic ? 27 : 29;
  for (int turn = 0; turn < 2; ++turn) {
    auto draw = [&] {
      RankIndex(c, fonts, st, RankText(rank), ink, 14.5, st.classic ? 20 : 19.5, px, 23);
      FillSuit(c, st, suit, 14.5, st.classic ? 45 : 46, st.classic ? 17 : 19);
    };
    if (turn == 0)
      draw();
    else
      Turned(c, kW / 2, kH / 2, draw);
  }
}

// --- Number cards. ---

void Pips(Canvas& c, const CardStyle& st, int rank, Suit suit) {
  // Columns and rows of the pip field; rows are fractions from the top row to the bottom one.
  const double L = 42, M = 60, R = 78, top = 33, bottom = 135;
  const double size = rank == 1 ? (suit == kSpades ? 64 : 48) : 23;
  struct P {
    double x, f;
  };
  std::vector<P> pips;
  switch (rank) {
    case 1: pips = {{M, 0.5}}; break;
    case 2: pips = {{M, 0}, {M, 1}}; break;
    case 3: pips = {{M, 0}, {M, 0.5}, {M, 1}}; break;
    case 4: pips = {{L, 0}, {R, 0}, {L, 1}, {R, 1}}; break;
    case 5: pips = {{L, 0}, {R, 0}, {M, 0.5}, {L, 1}, {R, 1}}; break;
    case 6: pips = {{L, 0}, {R, 0}, {L, 0.5}, {R, 0.5}, {L, 1}, {R, 1}}; break;
    case 7: pips = {{L, 0}, {R, 0}, {M, 0.25}, {L, 0.5}, {R, 0.5}, {L, 1}, {R, 1}}; break;
    case 8: pips = {{L, 0}, {R, 0}, {M, 0.25}, {L, 0.5}, {R, 0.5}, {M, 0.75}, {L, 1}, {R, 1}}; break;
    case 9:
      pips = {{L, 0}, {R, 0}, {L, 1.0 / 3}, {R, 1.0 / 3}, {M, 0.5}, {L, 2.0 / 3}, {R, 2.0 / 3}, {L, 1}, {R, 1}};
      break;
    default:
      pips = {{L, 0},         {R, 0},         {M, 1.0 / 6}, {L, 1.0 / 3}, {R, 1.0 / 3},
              {L, 2.0 / 3},   {R, 2.0 / 3},   {M, 5.0 / 6}, {L, 1},       {R, 1}};
      break;
  }
  for (const auto& p : pips) {
    const double y = top + (bottom - top) * p.f;
    FillSuit(c, st, suit, p.x, y, size, p.f <= 0.5);
  }
  if (rank == 1 && st.classic) {
    // The classic ace carries a fine ring around its single pip.
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), M, 84, size * 0.72, 0, 2 * M_PI);
    c.SetColour(Hex(IsRed(suit) ? st.red : st.black, 0.35));
    c.Stroke(1.0);
  }
}

// --- Court cards: a stylised figure in a frame, its upper half mirrored below. ---

constexpr double kFx = 26, kFy = 22, kFw = 68, kFh = 124;

struct CourtColours {
  uint32_t robe, panel, trim, hair, background;
};

CourtColours CourtPalette(const CardStyle& st, int rank, Suit suit) {
  const bool red = IsRed(suit);
  if (st.classic) {
    // The traditional trio of red, blue and yellow, the suit's colour leading.
    const uint32_t a = red ? 0xC0242C : 0x24408E, b = red ? 0x24408E : 0xC0242C;
    const uint32_t hair = rank == 13 ? 0xE8E2D0 : (rank == 12 ? 0xE0A030 : 0x7A4A1E);
    return {a, b, 0xE7B634, hair, 0xFFF8E6};
  }
  const uint32_t a = red ? 0xD9142B : 0x263244, b = red ? 0xF7A1AB : 0x5F7896;
  const uint32_t hair = rank == 13 ? 0x9AA3AD : (rank == 12 ? 0xF0B429 : 0x4A2E14);
  return {a, b, 0xF0B429, hair, red ? 0xFFF0F1u : 0xEEF2F7u};
}

// The upper half of the figure in frame coordinates (0..kFw, 0..kFh/2).
void CourtHalf(Canvas& c, const CardStyle& st, int rank, Suit suit) {
  cairo_t* cr = c.cr();
  const CourtColours pal = CourtPalette(st, rank, suit);
  const double cx = kFw / 2, half = kFh / 2;
  const uint32_t line = st.outline;
  const double lw = st.classic ? 1.0 : 0.0;
  auto finish = [&](uint32_t fill) {
    c.SetColour(Hex(fill));
    if (lw > 0) {
      c.FillPreserve();
      c.SetColour(Hex(line));
      c.Stroke(lw);
    } else {
      c.Fill();
    }
  };

  // What the figure holds, behind the body: the king a sword, the queen a flower, the jack a
  // halberd.
  if (rank == 13) {
    c.Polygon({{54, half}, {57.5, 14}, {59.5, 10}, {61, 14}, {58, half}});
    finish(0xD8DDE4);
    c.Polygon({{51, 30}, {65, 27}, {65.5, 29.5}, {51.5, 32.5}});
    finish(pal.trim);
  } else if (rank == 11) {
    c.Polygon({{10, half}, {12.5, 12}, {14.5, 12}, {13, half}});
    finish(0x8A5A2B);
    c.Polygon({{13.5, 3}, {19, 10}, {13.5, 17}, {8, 10}});
    finish(0xD8DDE4);
  }

  // Robe: shoulders down to the fold.
  c.Polygon({{5, half}, {7, 46}, {17, 38}, {51, 38}, {61, 46}, {63, half}});
  finish(pal.robe);
  // The front panel with its trim.
  c.Polygon({{27, 39}, {41, 39}, {44, half}, {24, half}});
  finish(pal.panel);
  for (double x : {27.0, 41.0}) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, 39);
    cairo_line_to(cr, x + (x < cx ? -3 : 3), half);
    c.SetColour(Hex(pal.trim));
    c.Stroke(2.2);
  }
  // A row of studs across the chest.
  for (int i = 0; i < 5; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 14 + i * 10, 52, 1.6, 0, 2 * M_PI);
    c.SetColour(Hex(pal.trim));
    c.Fill();
  }

  // Hair behind the head; the queen's falls to her shoulders.
  if (rank == 12) {
    c.Polygon({{22, 20}, {46, 20}, {50, 40}, {44, 42}, {40, 28}, {28, 28}, {24, 42}, {18, 40}});
    finish(pal.hair);
  } else {
    cairo_new_path(cr);
    cairo_arc(cr, cx, 23, 12, M_PI * 0.95, M_PI * 2.05);
    cairo_close_path(cr);
    finish(pal.hair);
  }
  // Collar.
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_translate(cr, cx, 38);
  cairo_scale(cr, 15, 4.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  finish(st.classic ? 0xFFFFFF : pal.trim);
  // Face.
  cairo_new_path(cr);
  cairo_arc(cr, cx, 25, 9.5, 0, 2 * M_PI);
  finish(st.skin);
  if (rank == 13) {
    // The king's beard.
    cairo_new_path(cr);
    cairo_arc(cr, cx, 27, 9.6, 0.1 * M_PI, 0.9 * M_PI);
    cairo_curve_to(cr, cx - 6, 38, cx + 6, 38, cx + 9.1, 30);
    cairo_close_path(cr);
    finish(pal.hair);
  }
  // Eyes, nose and mouth.
  for (double ex : {cx - 3.6, cx + 3.6}) {
    cairo_new_path(cr);
    cairo_arc(cr, ex, 23.5, 1.2, 0, 2 * M_PI);
    c.SetColour(Hex(line));
    c.Fill();
  }
  cairo_new_path(cr);
  cairo_move_to(cr, cx, 24.5);
  cairo_line_to(cr, cx - 1.2, 27.5);
  cairo_line_to(cr, cx + 0.5, 27.8);
  c.SetColour(Hex(line, 0.8));
  c.Stroke(0.8);
  if (rank != 13) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 2.6, 30);
    cairo_curve_to(cr, cx - 1, 31.4, cx + 1, 31.4, cx + 2.6, 30);
    c.SetColour(Hex(0xB0303A));
    c.Stroke(1.1);
  }

  // Headwear.
  if (rank == 13) {
    c.Polygon({{24, 17}, {24, 6}, {29, 11}, {34, 2}, {39, 11}, {44, 6}, {44, 17}});
    finish(pal.trim);
    for (double jx : {29.0, 34.0, 39.0}) {
      cairo_new_path(cr);
      cairo_arc(cr, jx, 14, 1.5, 0, 2 * M_PI);
      c.SetColour(Hex(jx == 34.0 ? 0xC0242C : 0x24408E));
      c.Fill();
    }
  } else if (rank == 12) {
    c.Polygon({{25, 17}, {27, 10}, {30.5, 13}, {34, 7}, {37.5, 13}, {41, 10}, {43, 17}});
    finish(pal.trim);
    cairo_new_path(cr);
    cairo_arc(cr, 34, 7, 2, 0, 2 * M_PI);
    c.SetColour(Hex(0xF4F4F4));
    c.FillPreserve();
    c.SetColour(Hex(line));
    c.Stroke(0.6);
    // Her flower.
    for (int i = 0; i < 5; ++i) {
      const double a = i * 2 * M_PI / 5;
      cairo_new_path(cr);
      cairo_arc(cr, 12 + 3.2 * std::cos(a), 46 + 3.2 * std::sin(a), 2.6, 0, 2 * M_PI);
      c.SetColour(Hex(0xE0405A));
      c.Fill();
    }
    cairo_new_path(cr);
    cairo_arc(cr, 12, 46, 1.8, 0, 2 * M_PI);
    c.SetColour(Hex(pal.trim));
    c.Fill();
  } else {
    // The jack's cap with a feather.
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, 15);
    cairo_scale(cr, 14, 5.5);
    cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
    cairo_restore(cr);
    cairo_close_path(cr);
    finish(pal.panel);
    c.Polygon({{20, 15}, {48, 15}, {48, 17.5}, {20, 17.5}});
    finish(pal.trim);
    cairo_new_path(cr);
    cairo_move_to(cr, 44, 13);
    cairo_curve_to(cr, 50, 4, 57, 4, 60, 8);
    cairo_curve_to(cr, 55, 7, 50, 9, 46, 15);
    cairo_close_path(cr);
    finish(st.classic ? 0x2E7D4A : 0x2FA36B);
  }
}

void Court(Canvas& c, FontLibrary& fonts, const CardStyle& st, int rank, Suit suit) {
  cairo_t* cr = c.cr();
  const CourtColours pal = CourtPalette(st, rank, suit);
  const uint32_t ink = IsRed(suit) ? st.red : st.black;
  // The frame.
  c.RoundedRect(kFx, kFy, kFw, kFh, st.classic ? 2 : 5);
  c.SetColour(Hex(pal.background));
  c.Fill();
  if (!st.classic) {
    // Modern courts sit on a large pale letter.
    c.TextCentered(fonts.SystemFace("DejaVuSans-Bold.ttf"), 110, RankText(rank), kFx + kFw / 2, kFy + kFh / 2);
    c.SetColour(Hex(ink, 0.07));
    c.Fill();
  }
  for (int turn = 0; turn < 2; ++turn) {
    auto half = [&] {
      cairo_save(cr);
      cairo_rectangle(cr, kFx, kFy, kFw, kFh / 2);
      cairo_clip(cr);
      cairo_translate(cr, kFx, kFy);
      CourtHalf(c, st, rank, suit);
      cairo_restore(cr);
      // The suit in the frame's corner.
      FillSuit(c, st, suit, kFx + 8, kFy + 9, 11);
    };
    if (turn == 0)
      half();
    else
      Turned(c, kFx + kFw / 2, kFy + kFh / 2, half);
  }
  // The fold between the halves and the frame's edge.
  cairo_new_path(cr);
  cairo_move_to(cr, kFx, kFy + kFh / 2);
  cairo_line_to(cr, kFx + kFw, kFy + kFh / 2);
  c.SetColour(Hex(pal.trim));
  c.Stroke(1.4);
  c.RoundedRect(kFx + 0.5, kFy + 0.5, kFw - 1, kFh - 1, st.classic ? 2 : 5);
  c.SetColour(Hex(st.classic ? ink : pal.trim));
  c.Stroke(st.classic ? 1.2 : 1.6);
}

// --- Jokers. ---

void JokerFace(Canvas& c, FontLibrary& fonts, const CardStyle& st, int number) {
  cairo_t* cr = c.cr();
  // 53 is the red joker, 54 the black one: told apart by their colours and the corner star.
  const bool first = number == 53;
  const uint32_t a = first ? 0xD2202E : 0x1E2430, b = first ? 0x1E8A4C : 0x6A3FB0, bell = st.gold;
  const uint32_t ink = first ? st.red : st.black;
  // Corner: "JOKER" stacked, a star under it; turned in the opposite corner.
  cairo_font_face_t* bold = fonts.SystemFace("DejaVuSans-Bold.ttf");
  for (int turn = 0; turn < 2; ++turn) {
    auto corner = [&] {
      const char* letters[] = {"J", "O", "K", "E", "R"};
      for (int i = 0; i < 5; ++i) {
        c.TextCentered(bold, 13, letters[i], 12.5, 13 + i * 13.5);
        c.SetColour(Hex(ink));
        c.Fill();
      }
      std::vector<std::pair<double, double>> star;
      for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 3.2 : 7.5, ang = -M_PI / 2 + i * M_PI / 5;
        star.push_back({12.5 + r * std::cos(ang), 87 + r * std::sin(ang)});
      }
      c.Polygon(star);
      c.SetColour(Hex(first ? bell : 0x9AA6B8));
      c.FillPreserve();
      c.SetColour(Hex(st.outline));
      c.Stroke(0.7);
    };
    if (turn == 0)
      corner();
    else
      Turned(c, kW / 2, kH / 2, corner);
  }
  const double cx = 62, cy = 86;
  // Ruff collar in alternating colours.
  for (int i = 0; i < 8; ++i) {
    const double a0 = M_PI * (0.05 + i * 0.1125), a1 = a0 + M_PI * 0.1125;
    c.Polygon({{cx, cy + 10},
               {cx + 34 * std::cos(a0), cy + 16 + 22 * std::sin(a0)},
               {cx + 34 * std::cos(a1), cy + 16 + 22 * std::sin(a1)}});
    c.SetColour(Hex(i % 2 ? a : b));
    c.FillPreserve();
    c.SetColour(Hex(st.outline));
    c.Stroke(0.8);
  }
  // The hat's three floppy points, each with a bell.
  const std::pair<double, double> tips[] = {{26, 40}, {62, 26}, {98, 40}};
  for (int i = 0; i < 3; ++i) {
    const auto [tx, ty] = tips[i];
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 18 + i * 12, cy - 10);
    cairo_curve_to(cr, cx - 18 + i * 12, cy - 30, tx + (i == 0 ? 12 : (i == 2 ? -12 : 0)), ty + 4, tx, ty);
    cairo_curve_to(cr, tx + (i == 0 ? 4 : (i == 2 ? -4 : 10)), ty + 18, cx - 6 + i * 12, cy - 30, cx - 6 + i * 12,
                   cy - 10);
    cairo_close_path(cr);
    c.SetColour(Hex(i == 1 ? b : a));
    c.FillPreserve();
    c.SetColour(Hex(st.outline));
    c.Stroke(1.0);
    cairo_new_path(cr);
    cairo_arc(cr, tx, ty, 4.5, 0, 2 * M_PI);
    c.SetRadial(tx - 1.5, ty - 1.5, 0.5, 5, {{0.0, Hex(0xFFF6D0)}, {1.0, Hex(bell)}});
    c.FillPreserve();
    c.SetColour(Hex(st.outline));
    c.Stroke(0.8);
  }
  // Hat band.
  c.RoundedRect(cx - 22, cy - 14, 44, 7, 3);
  c.SetColour(Hex(bell));
  c.FillPreserve();
  c.SetColour(Hex(st.outline));
  c.Stroke(0.8);
  // Face with a wide grin.
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy + 4, 13, 0, 2 * M_PI);
  c.SetColour(Hex(st.skin));
  c.FillPreserve();
  c.SetColour(Hex(st.outline));
  c.Stroke(1.0);
  for (double ex : {cx - 5, cx + 5}) {
    cairo_new_path(cr);
    cairo_arc(cr, ex, cy + 1, 1.6, 0, 2 * M_PI);
    c.SetColour(Hex(st.outline));
    c.Fill();
  }
  for (double ex : {cx - 8.5, cx + 8.5}) {
    cairo_new_path(cr);
    cairo_arc(cr, ex, cy + 7, 2.4, 0, 2 * M_PI);
    c.SetColour(Hex(0xF08A8A, 0.7));
    c.Fill();
  }
  cairo_new_path(cr);
  cairo_move_to(cr, cx - 7, cy + 7);
  cairo_curve_to(cr, cx - 4, cy + 13, cx + 4, cy + 13, cx + 7, cy + 7);
  cairo_close_path(cr);
  c.SetColour(Hex(0xA0202A));
  c.Fill();
  // The word across the foot.
  c.TextCentered(fonts.SystemFace(st.classic ? "DejaVuSerif-Bold.ttf" : "DejaVuSans-Bold.ttf"), 19, "JOKER", cx,
                 kH - 22);
  c.SetColour(Hex(ink));
  c.Fill();
}

// --- The wild banner over a deuce. ---

void WildBanner(Canvas& c, FontLibrary& fonts, const CardStyle& st) {
  cairo_t* cr = c.cr();
  cairo_save(cr);
  cairo_translate(cr, kW / 2, kH / 2);
  cairo_rotate(cr, -0.32);
  const double bw = 150, bh = 34;
  // A soft shadow, then the gold ribbon with dark edges.
  c.RoundedRect(-bw / 2 + 2, -bh / 2 + 3, bw, bh, 3);
  c.SetColour(Hex(0x000000, 0.3));
  c.Fill();
  c.RoundedRect(-bw / 2, -bh / 2, bw, bh, 3);
  c.SetVertical(-bh / 2, bh / 2, {{0.0, Hex(kGoldPale)}, {0.35, Hex(kGoldLight)}, {0.7, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.FillPreserve();
  c.SetColour(Hex(0x3A2606));
  c.Stroke(1.2);
  c.TextCentered(fonts.SystemFace("DejaVuSans-Bold.ttf"), 25, "WILD", 0, 0);
  c.SetColour(Hex(st.red));
  c.FillPreserve();
  c.SetColour(Hex(0x3A0608));
  c.Stroke(0.8);
  cairo_restore(cr);
}

// --- Backs. ---

void Back(Canvas& c, FontLibrary& fonts, const CardStyle& st) {
  cairo_t* cr = c.cr();
  Paper(c, st);
  const double m = 7, iw = kW - 2 * m, ih = kH - 2 * m;
  c.RoundedRect(m, m, iw, ih, 5);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  if (st.classic) {
    // Deep red with a gold lattice.
    c.SetRadial(kW / 2, kH / 2, 10, kH * 0.7, {{0.0, Hex(0xB51C2C)}, {1.0, Hex(0x6E0A14)}});
    c.Fill();
    for (double d = -kH; d < kW + kH; d += 9) {
      cairo_new_path(cr);
      cairo_move_to(cr, d, 0);
      cairo_line_to(cr, d + kH, kH);
      cairo_move_to(cr, d, kH);
      cairo_line_to(cr, d + kH, 0);
      c.SetColour(Hex(kGoldLight, 0.45));
      c.Stroke(0.8);
    }
  } else {
    // Midnight blue with concentric diamonds.
    c.SetRadial(kW / 2, kH / 2, 8, kH * 0.7, {{0.0, Hex(0x2A56B8)}, {0.6, Hex(0x173070)}, {1.0, Hex(0x0A1638)}});
    c.Fill();
    for (int i = 1; i <= 14; ++i) {
      const double rx = i * 7.5, ry = i * 10.5;
      c.Polygon({{kW / 2, kH / 2 - ry}, {kW / 2 + rx, kH / 2}, {kW / 2, kH / 2 + ry}, {kW / 2 - rx, kH / 2}});
      c.SetColour(Hex(i % 2 ? 0x7FA8FF : kGoldLight, i % 2 ? 0.35 : 0.55));
      c.Stroke(i % 2 ? 0.8 : 1.1);
    }
  }
  cairo_restore(cr);
  c.RoundedRect(m + 0.5, m + 0.5, iw - 1, ih - 1, 5);
  c.SetColour(Hex(kGold));
  c.Stroke(1.5);
  c.RoundedRect(m + 4, m + 4, iw - 8, ih - 8, 3);
  c.SetColour(Hex(kGoldLight, 0.8));
  c.Stroke(0.8);
  // The medallion: the four suits around a gold "O".
  cairo_new_path(cr);
  cairo_save(cr);
  cairo_translate(cr, kW / 2, kH / 2);
  cairo_scale(cr, 30, 38);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  c.SetRadial(kW / 2 - 6, kH / 2 - 10, 2, 44,
              st.classic ? std::vector<Stop>{{0.0, Hex(0xFFF8E6)}, {1.0, Hex(0xE8D8B0)}}
                         : std::vector<Stop>{{0.0, Hex(0x203E88)}, {1.0, Hex(0x0C1A44)}});
  c.FillPreserve();
  c.SetVertical(kH / 2 - 38, kH / 2 + 38, {{0.0, Hex(kGoldPale)}, {0.5, Hex(kGold)}, {1.0, Hex(kGoldDark)}});
  c.Stroke(3.0);
  c.TextCentered(fonts.SystemFace(st.classic ? "DejaVuSerif-Bold.ttf" : "DejaVuSans-Bold.ttf"), 40, "O", kW / 2,
                 kH / 2);
  c.SetVertical(kH / 2 - 16, kH / 2 + 16, {{0.0, Hex(kGoldPale)}, {1.0, Hex(kGold)}});
  c.FillPreserve();
  c.SetColour(Hex(0x3A2606, 0.8));
  c.Stroke(0.8);
  const Suit suits[] = {kSpades, kHearts, kClubs, kDiamonds};
  const std::pair<double, double> at[] = {{0, -27}, {19, 0}, {0, 27}, {-19, 0}};
  for (int i = 0; i < 4; ++i) {
    SuitPath(c, suits[i], kW / 2 + at[i].first, kH / 2 + at[i].second, 10);
    c.SetColour(st.classic ? Hex(IsRed(suits[i]) ? st.red : st.black) : Hex(kGoldLight));
    c.Fill();
  }
}

Picture Face(FontLibrary& fonts, bool classic, int number, bool wild) {
  const CardStyle& st = Style(classic);
  Canvas c(kCardW, kCardH);
  Paper(c, st);
  if (number >= 53) {
    JokerFace(c, fonts, st, number);
    return c.ToPicture();
  }
  const Suit suit = SuitOf(number);
  const int rank = RankOf(number);
  if (rank >= 11)
    Court(c, fonts, st, rank, suit);
  else
    Pips(c, st, rank, suit);
  Indices(c, fonts, st, rank, suit);
  if (wild) WildBanner(c, fonts, st);
  return c.ToPicture();
}

}  // namespace

Picture poker::CardFace(FontLibrary& fonts, const std::string& cardSet, int number, bool wild) {
  const bool classic = cardSet == "CardSet1";
  if (number < 1 || number > 54) {
    Canvas c(kCardW, kCardH);
    Back(c, fonts, Style(classic));
    return c.ToPicture();
  }
  return Face(fonts, classic, number, wild);
}

std::vector<std::string> poker::CardPictureNames() {
  std::vector<std::string> names;
  for (int n = 1; n <= 54; ++n) names.push_back("CARD_" + std::to_string(n));
  names.push_back("CARD_BACK_1");
  for (int deuce : {2, 15, 28, 41}) names.push_back("CARD_" + std::to_string(deuce) + "_WILD");
  return names;
}

std::vector<ArtEntry> CardArt() {
  std::vector<ArtEntry> art;
  for (const std::string& set : CardSets()) {
    const bool classic = set == "CardSet1";
    for (int n = 1; n <= 54; ++n)
      art.push_back({set + "\\CARD_" + std::to_string(n) + ".bmp",
                     [classic, n](FontLibrary& f) { return Face(f, classic, n, false); }});
    for (int deuce : {2, 15, 28, 41})
      art.push_back({set + "\\CARD_" + std::to_string(deuce) + "_WILD.bmp",
                     [classic, deuce](FontLibrary& f) { return Face(f, classic, deuce, true); }});
    art.push_back({set + "\\CARD_BACK_1.bmp", [set](FontLibrary& f) { return poker::CardFace(f, set, 0); }});
  }
  return art;
}

}  // namespace vx::datagen
