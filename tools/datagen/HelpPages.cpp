// The help pages of the program folder's "Help" folder: the hand-written pages of data/help
// with the list of machines filled in, one page per video-poker machine made from the
// catalogue and the machine's set-up (so the pay tables shown are the ones played), and the
// pictures the pages show, in the three formats the viewer reads.
#include "tools/datagen/HelpPages.h"

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cctype>
#include <map>
#include <set>

#include "core/Exception.h"
#include "core/StrUtils.h"
#include "games/Cards.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/GameStatistics.h"
#include "games/PokerVariants.h"
#include "games/SlotsDefs.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/ArtKit.h"
#include "tools/datagen/Look.h"
#include "tools/datagen/PokerLook.h"
#include "tools/datagen/PokerPreview.h"

namespace fs = std::filesystem;

namespace vx::datagen {

namespace {

constexpr const char* kGamesMarker = "<!--VX:GAMES-->";
constexpr const char* kBody =
    "<body bgcolor=\"#0A2E1C\" text=\"#F3E6C2\" link=\"#F2D98A\" vlink=\"#C99E38\" olink=\"#FFFFFF\" "
    "background=\"felt.gif\">\n";

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

// "JACKS OR BETTER 9/6" as "Jacks or Better 9/6" reads better in running text; roman
// numbers stay capitals.
std::string Capitalised(const std::string& s) {
  static const std::set<std::string> kSmall = {"of", "a", "or", "and", "thru", "the", "to"};
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && std::isalnum(static_cast<unsigned char>(s[j]))) ++j;
    if (j == i) {
      out += s[i++];
      continue;
    }
    std::string word = vx::LowerCase(s.substr(i, j - i));
    const bool roman = word.find_first_not_of("iv") == std::string::npos && word.size() > 1;
    if (roman) {
      word = vx::UpperCase(word);
    } else if (out.empty() || !kSmall.count(word)) {
      word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    }
    out += word;
    i = j;
  }
  return out;
}

// ---- Picture encoders.

std::string EncodePng(const Picture& pic) {
  cairo_surface_t* s = kit::PictureSurface(pic);
  std::string bytes;
  const cairo_status_t st = cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &bytes);
  cairo_surface_destroy(s);
  if (st != CAIRO_STATUS_SUCCESS) throw ::Exception("Cannot encode a PNG picture");
  return bytes;
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

std::string EncodeJpeg(const Picture& pic, int quality) {
  jpeg_compress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); };
  unsigned char* out = nullptr;
  unsigned long size = 0;
  std::vector<unsigned char> row(static_cast<size_t>(pic.width) * 3);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    throw ::Exception("Cannot encode a JPEG picture");
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(pic.width);
  cinfo.image_height = static_cast<JDIMENSION>(pic.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (int y = 0; y < pic.height; ++y) {
    for (int x = 0; x < pic.width; ++x) {
      const uint32_t p = pic.At(x, y);
      row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(p >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(p >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<unsigned char>(p);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return bytes;
}

// An adaptive palette of at most 256 colours: the most used cells of a 4-bit-per-channel
// grid, each the average of its pixels.
std::vector<uint32_t> Palette(const Picture& pic) {
  struct Cell {
    uint64_t n = 0, r = 0, g = 0, b = 0;
  };
  std::map<uint32_t, Cell> cells;
  for (uint32_t p : pic.pixels) {
    Cell& c = cells[((p >> 12) & 0xF00) | ((p >> 8) & 0xF0) | ((p >> 4) & 0xF)];
    ++c.n, c.r += (p >> 16) & 0xFF, c.g += (p >> 8) & 0xFF, c.b += p & 0xFF;
  }
  std::vector<Cell> sorted;
  for (const auto& [key, c] : cells) sorted.push_back(c);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Cell& a, const Cell& b) { return a.n > b.n; });
  std::vector<uint32_t> palette;
  for (size_t i = 0; i < sorted.size() && i < 256; ++i) {
    const Cell& c = sorted[i];
    palette.push_back(static_cast<uint32_t>((c.r / c.n) << 16 | (c.g / c.n) << 8 | (c.b / c.n)));
  }
  return palette;
}

// GIF87a-compatible GIF89a with literal LZW codes: every pixel is one 9-bit code and the table
// is cleared before it would grow, which every decoder reads.
std::string EncodeGif(const Picture& pic) {
  const std::vector<uint32_t> palette = Palette(pic);
  std::string out = "GIF89a";
  auto put16 = [&](int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  put16(pic.width);
  put16(pic.height);
  out += static_cast<char>(0xF7);  // global table of 256 entries
  out += '\0';
  out += '\0';
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t c = i < palette.size() ? palette[i] : 0;
    out += static_cast<char>(c >> 16), out += static_cast<char>(c >> 8), out += static_cast<char>(c);
  }
  out += ',';
  put16(0), put16(0), put16(pic.width), put16(pic.height);
  out += '\0';
  out += static_cast<char>(8);  // minimum code size
  std::string data;
  uint32_t acc = 0;
  int bits = 0;
  auto code = [&](uint32_t v) {
    acc |= v << bits;
    bits += 9;
    while (bits >= 8) {
      data += static_cast<char>(acc & 0xFF);
      acc >>= 8;
      bits -= 8;
    }
  };
  std::map<uint32_t, uint32_t> nearest;
  int run = 0;
  code(256);
  for (uint32_t p : pic.pixels) {
    p &= 0xFFFFFF;
    auto it = nearest.find(p);
    if (it == nearest.end()) {
      uint32_t best = 0;
      int bestD = 1 << 30;
      for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = static_cast<int>((p >> 16) & 0xFF) - static_cast<int>((palette[i] >> 16) & 0xFF);
        const int dg = static_cast<int>((p >> 8) & 0xFF) - static_cast<int>((palette[i] >> 8) & 0xFF);
        const int db = static_cast<int>(p & 0xFF) - static_cast<int>(palette[i] & 0xFF);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestD) bestD = d, best = static_cast<uint32_t>(i);
      }
      it = nearest.emplace(p, best).first;
    }
    code(it->second);
    if (++run == 250) {
      code(256);
      run = 0;
    }
  }
  code(257);
  if (bits > 0) data += static_cast<char>(acc & 0xFF);
  for (size_t i = 0; i < data.size(); i += 255) {
    const size_t n = std::min<size_t>(255, data.size() - i);
    out += static_cast<char>(n);
    out.append(data, i, n);
  }
  out += '\0';
  out += ';';
  return out;
}

// ---- Pictures.

Picture Scaled(const Picture& src, int w, int h) {
  Canvas c(w, h);
  cairo_surface_t* s = kit::PictureSurface(src);
  cairo_scale(c.cr(), static_cast<double>(w) / src.width, static_cast<double>(h) / src.height);
  cairo_set_source_surface(c.cr(), s, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(c.cr()), CAIRO_FILTER_BEST);
  cairo_paint(c.cr());
  cairo_surface_destroy(s);
  return c.ToPicture();
}

// The page background: a tile of the casino's felt.
Picture FeltTile() {
  Canvas c(64, 64);
  c.SetColour(Hex(look::kFeltDark));
  cairo_paint(c.cr());
  c.Grain(41, 0.05);
  return c.ToPicture();
}

// A royal flush in hearts over the title strip's green.
Picture RoyalFlush(FontLibrary& fonts) {
  constexpr int kW = 230, kH = 64, kCardW = 42, kCardH = 59;
  Canvas c(kW, kH);
  c.SetColour(Hex(look::kFelt));
  cairo_paint(c.cr());
  const int hearts = 2;  // the second suit is red
  const int ranks[] = {10, 11, 12, 13, 1};
  for (int i = 0; i < 5; ++i) {
    const int number = (hearts - 1) * vx::CardsPerSuit + ranks[i];
    const Picture card = Scaled(poker::CardFace(fonts, "CardSet1", number), kCardW, kCardH);
    cairo_surface_t* s = kit::PictureSurface(card);
    cairo_set_source_surface(c.cr(), s, 4 + i * 45, 2.5);
    cairo_paint(c.cr());
    cairo_surface_destroy(s);
  }
  return c.ToPicture();
}

std::string ReadSource(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f) throw ::Exception("Cannot read " + p.string());
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (text.size() > (1u << 20)) throw ::Exception(p.string() + " is too large for a help page");
  return text;
}

// ---- The machines' pages.

const char* DoubleUpAnchor(TDoubleUpKind kind) {
  return kind == dkBigSmall ? "bigsmall" : kind == dkRedBlack ? "redblack" : "dealer";
}

const char* DoubleUpName(TDoubleUpKind kind) {
  return kind == dkBigSmall ? "BIG / SMALL" : kind == dkRedBlack ? "RED / BLACK" : "BEAT THE DEALER";
}

// The bets a machine takes.
std::vector<int> BetValues(const TPokerVariant& v) {
  std::vector<int> bets;
  if (!v.BetListEnabled()) {
    for (int b = v.MinBet; b <= v.MaxBet && v.BetStep > 0; b += v.BetStep) bets.push_back(b);
    return bets;
  }
  for (const std::string& b : vx::Split(v.BetList, ';'))
    if (const int n = vx::StrToIntDef(b, 0); n > 0) bets.push_back(n);
  return bets;
}

std::string Bets(const TPokerVariant& v) {
  if (!v.BetListEnabled())
    return "from " + std::to_string(v.MinBet) + " to " + std::to_string(v.MaxBet) +
           (v.BetStep > 1 ? " in steps of " + std::to_string(v.BetStep) : std::string());
  const std::vector<int> bets = BetValues(v);
  std::string out;
  for (size_t i = 0; i < bets.size(); ++i)
    out += (i == 0 ? "" : i + 1 == bets.size() ? " or " : ", ") + std::to_string(bets[i]);
  return out;
}

// The head of a machine's page: its title, the way back and the catalogue's description.
std::string PageHead(const TGameInfo& game) {
  const std::string title = Escape(Capitalised(game.Title));
  return "<html><head><title>" + title + "</title></head>\n" + kBody +
         "<table width=\"100%\" cellpadding=\"6\" cellspacing=\"0\"><tr>\n"
         "<td bgcolor=\"#145233\"><font size=\"5\" color=\"#F2D98A\"><b>" + title + "</b></font></td>\n"
         "<td bgcolor=\"#145233\" align=\"right\"><a href=\"index.html\">Contents</a></td>\n</tr></table>\n";
}

constexpr const char* kPayTableHead =
    "<table width=\"100%\" border=\"1\" cellpadding=\"4\" cellspacing=\"0\" bordercolor=\"#6E4F12\">\n";

std::string GamePage(const TGameInfo& game, const TPokerVariant& v) {
  std::string h = PageHead(game);
  h += "<p><i>" + Escape(Capitalised(game.Description)) + "</i>\n";
  const int deck = v.DeckSize();
  std::string wild = "none";
  if (v.DeucesWild() && deck > 52) wild = "the deuces and the joker" + std::string(deck > 53 ? "s" : "");
  else if (v.DeucesWild()) wild = "the four deuces (2s)";
  else if (deck > 52) wild = deck > 53 ? "the two jokers" : "the joker";
  const int limit = v.DoubleUpLimit >= 1 && v.DoubleUpLimit <= 10 ? v.DoubleUpLimit : 10;
  h += "<table cellpadding=\"3\" cellspacing=\"0\">\n";
  h += "<tr><td><b>Cards</b></td><td>" + std::to_string(deck) + (deck == 52 ? " cards" : " cards with " +
       std::string(deck == 53 ? "one joker" : "two jokers")) + "</td></tr>\n";
  h += "<tr><td><b>Wild cards</b></td><td>" + wild + "</td></tr>\n";
  h += "<tr><td><b>Bets</b></td><td>" + Bets(v) + "</td></tr>\n";
  if (v.DrawCostsBet()) h += "<tr><td><b>Draw</b></td><td>the draw costs the bet again</td></tr>\n";
  h += "<tr><td><b>Double up</b></td><td><a href=\"doubleup.html#" + std::string(DoubleUpAnchor(v.DoubleUpKind)) +
       "\">" + DoubleUpName(v.DoubleUpKind) + "</a>, up to " + std::to_string(limit) + " cards</td></tr>\n";
  if (HasOption(v.Options, poDoubleUpBar))
    h += "<tr><td><b>Bonus bar</b></td><td>every right guess in the double-up lights one more picture of "
         "the bar; a full bar pays a bonus</td></tr>\n";
  h += "</table>\n<h3><font color=\"#F2D98A\">Pay table</font></h3>\n";
  const std::vector<int> bets = BetValues(v);
  const int lo = bets.empty() ? 1 : *std::min_element(bets.begin(), bets.end());
  const int hi = bets.empty() ? 1 : *std::max_element(bets.begin(), bets.end());
  h += std::string(kPayTableHead) +
       "<tr bgcolor=\"#145233\"><th align=\"left\">Hand</th><th align=\"right\">Pays</th>"
       "<th align=\"right\">On a bet of " + std::to_string(lo) + "</th><th align=\"right\">On a bet of " +
       std::to_string(hi) + "</th></tr>\n";
  const TGameHands& hands = game.Hands();
  for (int i = 0; i < hands.Count(); ++i) {
    const TGameHand* hand = hands.Items(i);
    const std::string name = TVXGameManager::HandTitle(hand->HandIDStr);
    if (name.empty() || hand->Value <= 0) continue;
    h += "<tr><td>" + Escape(Capitalised(name)) + "</td><td align=\"right\">" + std::to_string(hand->Value) +
         " &times; bet</td><td align=\"right\">" + std::to_string(int64_t{hand->Value} * lo) +
         "</td><td align=\"right\">" + std::to_string(int64_t{hand->Value} * hi) + "</td></tr>\n";
  }
  h += "</table>\n<p>A hand pays only its best line. The win can be <a href=\"doubleup.html\">doubled up</a> "
       "or taken into the credit.\n";
  h += "<p><a href=\"poker.html\">How video poker plays</a> &middot; <a href=\"hands.html\">The poker hands</a>"
       " &middot; <a href=\"index.html\">Contents</a>\n</body></html>\n";
  return h;
}

bool HasFreeGames(const slots::TSlotMachine& m) {
  return slots::InSet(m.Features, slots::sfBarBonus) || slots::InSet(m.Features, slots::sfBell) ||
         slots::InSet(m.Features, slots::sfCherry);
}

// The symbols a machine's cells can show: those of its reels, and with a bonus feature those
// of the free games' reels as well (flagged).
struct ShownSymbol {
  slots::TSymbolDef def;
  bool freeGamesOnly;
};
std::vector<ShownSymbol> ShownSymbols(const slots::TSlotMachine& m) {
  const bool cards = slots::InSet(m.ReelClasses, slots::scCard);
  std::vector<ShownSymbol> out;
  for (int32_t n = 1; n <= slots::kSymbolCount; ++n) {
    slots::TSymbolDef d = slots::SymbolDef(n, cards);
    if (d.Id == 0) continue;
    const bool normal = (d.Classes & m.ReelClasses) != 0;
    const bool free = HasFreeGames(m) && (d.Classes & slots::kFreeGameClasses) != 0;
    if (normal || free) out.push_back({std::move(d), !normal});
  }
  return out;
}

std::string Anywhere(const slots::TSlotMachine& m, int32_t count) {
  const int32_t cells = m.Rows * m.Columns;
  if (count == cells) return count == 1 ? "the cell" : "all " + std::to_string(count) + " cells";
  return "exactly " + std::to_string(count) + " of the " + std::to_string(cells) + " cells";
}

std::string Times(int32_t n) { return std::to_string(n) + " &times; bet"; }

std::string SlotPageText(const TGameInfo& game, const slots::TSlotMachine& m) {
  TSlotsData start;
  std::string h = PageHead(game);
  h += "<p>" + std::to_string(m.Rows) + (m.Rows == 1 ? " row" : " rows") + " of " + std::to_string(m.Columns) +
       " reels. BET 1 puts coins on the pay lines from left to right, BET 2 on the lines from right to left; "
       "the bet of a spin is both together. Every pay below is a multiple of that whole bet" +
       (slots::InSet(m.ReelClasses, slots::scCard) ? "." : ", wherever the symbols stand.") + "\n";
  const std::vector<SlotPay> pays = SlotPays(m);
  if (!pays.empty()) {
    h += "<h3><font color=\"#F2D98A\">What pays</font></h3>\n" + std::string(kPayTableHead) +
         "<tr bgcolor=\"#145233\"><th align=\"left\">The cells show</th><th align=\"right\">Pays</th></tr>\n";
    for (const SlotPay& p : pays)
      h += "<tr><td>" + p.What + "</td><td align=\"right\">" + Times(p.PerCoin) + "</td></tr>\n";
    h += "</table>\n";
    if (slots::InSet(m.ReelClasses, slots::scCard))
      h += "<p>A hand pays on every pay line that holds a coin and runs through its five cells, so a hand "
           "on a row pays twice (one line each way). Jokers are wild; deuces are not.\n";
    else
      h += "<p>A count pays only at exactly the number listed. Every row of the table that the cells "
           "meet pays, and the pays add up.\n";
  }
  if (m.Kind == slots::mk3x3 && slots::InSet(m.Features, slots::sfPools)) {
    const std::string melon = slots::SymbolDef(start.PoolSymbol, false).Name;
    h += "<h3><font color=\"#F2D98A\">Pools</font></h3>\n<p>A " + Escape(melon) +
         " in the centre cell adds 5, 10 and 20 to the three pools (up to " + std::to_string(start.Pool1Cap) +
         ", " + std::to_string(start.Pool2Cap) + " and " + std::to_string(start.Pool3Cap) + "). " +
         Escape(melon) + "s across the middle row win pool 1 (it starts at " + std::to_string(start.Pool1) +
         "), in the four edge cells around the centre pool 2 (from " + std::to_string(start.Pool2) +
         "), in the four corners and the centre pool 3 (from " + std::to_string(start.Pool3) +
         "). A pool goes straight into the credit and starts again at 1.\n";
  }
  if (HasFreeGames(m)) {
    h += "<h3><font color=\"#F2D98A\">Bonuses and free games</font></h3>\n<ul>\n";
    if (slots::InSet(m.Features, slots::sfBarBonus))
      h += "<li>Three Bar 1 on a left-to-right line with a coin: 3 free games.\n";
    if (slots::InSet(m.Features, slots::sfCherry))
      h += "<li>Three Cherries on a left-to-right line with a coin: 1 free game. The cherry counter starts "
           "at " + std::to_string(start.CherryStage) + "; each line with a coin that starts with two Cherries "
           "(but not three) counts it down, and at 0 it gives 1 free game and goes up by " +
           std::to_string(start.CherryStageReset) + ".\n";
    if (slots::InSet(m.Features, slots::sfBell))
      h += "<li>The bell counter starts at " + std::to_string(start.BellStage) + "; each line with a coin "
           "showing three Bells counts it down. At 0 it pays the bell value into the credit and gives 5 free "
           "games; the counter goes up by " + std::to_string(start.BellStageReset) + " and the value starts "
           "again at 10. The value starts at " + std::to_string(start.BellBonusValue) + " and grows by 10 "
           "(up to " + std::to_string(start.BellBonusCap) + ") each time a Bell lands in the centre cell.\n";
    h += "</ul>\n<p>Free games are played once the win of the spin that earned them is collected or "
         "gambled; a spin that wins nothing loses them. Their reels hold bars, sevens and blanks, they "
         "take no bet and pay on the bet of that spin. Counters and pools start afresh on every visit.\n";
  }
  h += "<p>A win can be doubled up with the middle HOLD button (<a href=\"doubleup.html#" +
       std::string(DoubleUpAnchor(dkBigSmall)) + "\">" + DoubleUpName(dkBigSmall) +
       "</a>, up to 10 cards, no sevens) or taken into the credit with CASH.\n";
  h += "<p><a href=\"index.html\">Contents</a>\n</body></html>\n";
  return h;
}

}  // namespace

std::vector<SlotPay> SlotPays(const slots::TSlotMachine& m) {
  std::vector<SlotPay> out;
  const int32_t cells = m.Rows * m.Columns;
  const std::vector<ShownSymbol> shown = ShownSymbols(m);
  // As the round counts: each symbol, then each group, for exactly n cells.
  for (const ShownSymbol& s : shown) {
    if (s.def.CountPay9 <= 0 || 9 > cells) continue;
    out.push_back({SlotPay::Symbol, s.def.Id, 0, "", 9, s.def.CountPay9,
                   Escape(s.def.Name) + " in " + Anywhere(m, 9) + (s.freeGamesOnly ? " (free games only)" : "")});
  }
  for (const slots::TGroupDef& g : slots::GroupDefs()) {
    if (g.Category == 0) continue;
    std::string members;
    for (const ShownSymbol& s : shown)
      if (slots::InSet(s.def.Classes, g.Category)) members += (members.empty() ? "" : ", ") + Escape(s.def.Name);
    if (members.empty()) continue;
    for (int32_t n = 1; n <= 9 && n <= cells; ++n) {
      if (g.CountPay[static_cast<size_t>(n)] <= 0) continue;
      out.push_back({SlotPay::Group, 0, g.Category, "", n, g.CountPay[static_cast<size_t>(n)],
                     "Any of " + members + " in " + Anywhere(m, n)});
    }
  }
  if (slots::InSet(m.ReelClasses, slots::scCard)) {
    for (const slots::TCardLinePay& p : slots::CardLinePays()) {
      const std::string name = TVXGameManager::HandTitle(p.Key);
      if (name.empty() || p.Multiplier <= 0) continue;
      out.push_back({SlotPay::CardLine, 0, 0, p.Key, 5, p.Multiplier, Escape(Capitalised(name)) + " on a pay line"});
    }
  }
  return out;
}

std::string SlotHelpPage(const TGameInfo& game, const slots::TSlotMachine& m) { return SlotPageText(game, m); }

std::string HelpPageName(const std::string& idStr) {
  std::string name = vx::LowerCase(idStr);
  if (name.rfind("vxg_", 0) == 0) name.erase(0, 4);
  return name + ".html";
}

std::vector<HelpFile> BuildHelpFiles(FontLibrary& fonts, const std::string& sourceFolder) {
  std::vector<HelpFile> files;
  TVXGameManager catalogue;
  std::string poker = "<ul>\n", slotList = "<ul>\n";
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TGameInfo& game = *catalogue.Games(i);
    const std::string page = HelpPageName(game.IDStr);
    const std::string item = "<li><a href=\"" + page + "\">" + Escape(Capitalised(game.Title)) + "</a>\n";
    if (const TPokerVariant* v = game.IsVideoPoker() ? FindPokerVariant(game.ID) : nullptr) {
      files.push_back({page, GamePage(game, *v)});
      poker += item;
    } else if (const slots::TSlotMachine* m = game.IsSlotMachine() ? slots::FindSlotMachine(game.ID) : nullptr) {
      files.push_back({page, SlotHelpPage(game, *m)});
      slotList += item;
    }
  }
  const std::string list = "<b>Video poker</b>\n" + poker + "</ul>\n<b>Slot machines</b>\n" + slotList + "</ul>\n";

  const fs::path src = fs::path(sourceFolder) / "help";
  std::error_code ec;
  if (!fs::is_directory(src, ec)) throw ::Exception("No help pages in " + src.string());
  for (const auto& entry : fs::directory_iterator(src, ec)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
    std::string text = ReadSource(entry.path());
    for (size_t at; (at = text.find(kGamesMarker)) != std::string::npos;) text.replace(at, std::string(kGamesMarker).size(), list);
    files.push_back({entry.path().filename().string(), std::move(text)});
  }

  // The pictures: a felt tile, the royal flush of the index, and a machine as its screen is
  // composed from its theme and pictures, in the round and in the double-up.
  files.push_back({"felt.gif", EncodeGif(FeltTile())});
  files.push_back({"royal.gif", EncodeGif(RoyalFlush(fonts))});
  const std::string theme = ReadSource(fs::path(sourceFolder) / "themes" / "VPC01" / "theme.scn");
  files.push_back({"screen.jpg", EncodeJpeg(Scaled(MockPokerScreen(fonts, "VPC01", theme, {}), 320, 240), 88)});
  const std::string dupTheme = ReadSource(fs::path(sourceFolder) / "themes" / "VP01" / "theme.scn");
  PokerMockState dup;
  dup.doubleUp = true;
  files.push_back({"doubleup.png", EncodePng(Scaled(MockPokerScreen(fonts, "VP01", dupTheme, dup), 320, 240))});
  std::sort(files.begin(), files.end(), [](const HelpFile& a, const HelpFile& b) { return a.name < b.name; });
  return files;
}

}  // namespace vx::datagen
