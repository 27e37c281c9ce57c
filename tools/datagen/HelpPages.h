#pragma once
// The files of the program folder's "Help" folder: pages and the pictures they show.
#include <string>
#include <vector>

#include "games/SlotsDefs.h"
#include "tools/datagen/Canvas.h"

class TGameInfo;

namespace vx::datagen {

struct HelpFile {
  std::string name;  // in the Help folder
  std::string bytes;
};

// The page of a machine by its id string ("VXG_VP_JACKSORBETTER" gives "vp_jacksorbetter.html").
std::string HelpPageName(const std::string& idStr);
// What a slot machine's round pays, as its help page lists it, from the tables the round
// counts with: symbol counts and symbol-group counts anywhere on the grid, and the poker
// machine's hands on a pay line. Each pays PerCoin times the whole bet.
struct SlotPay {
  enum TSource { Symbol, Group, CardLine } Source;
  int32_t SymbolId;     // Symbol
  uint8_t Category;     // Group: the symbol class
  std::string HandKey;  // CardLine
  int32_t Count;        // cells (five for a card line)
  int32_t PerCoin;
  std::string What;     // the page's words (HTML)
};
std::vector<SlotPay> SlotPays(const vx::slots::TSlotMachine& m);
// The help page of a slot machine: its shape, the pays above, its pools and bonuses.
std::string SlotHelpPage(const TGameInfo& game, const vx::slots::TSlotMachine& m);

// The hand-written pages of sourceFolder/help with the list of machines filled in, a page per
// video-poker machine from the catalogue, and the pictures (GIF, JPEG, PNG); sorted by name.
std::vector<HelpFile> BuildHelpFiles(FontLibrary& fonts, const std::string& sourceFolder);

}  // namespace vx::datagen
