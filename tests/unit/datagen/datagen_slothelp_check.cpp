// Every slot machine's help page lists what its round pays. Each listed pay, laid on the
// machine's cells, is what the round's evaluation pays; and on random grids the round pays
// exactly the sum of the listed pays the grid meets, so the page leaves nothing out.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tools/datagen/HelpPages.h"
#include "unit/games/slots_rig.h"

namespace vx::datagen {
namespace {

using namespace vx::slots;

constexpr int32_t Card(int32_t rank, int32_t suit) { return 100 + (suit - 1) * 13 + rank; }

// A hand of each card-line key.
const std::map<std::string, std::vector<int32_t>> kHands = {
    {"HAND_FIVEOFAKIND", {Card(1, 1), Card(1, 2), Card(1, 3), Card(1, 4), 153}},
    {"HAND_ROYALFLUSH", {Card(10, 1), Card(11, 1), Card(12, 1), Card(13, 1), Card(1, 1)}},
    {"HAND_STREETFLUSH", {Card(5, 2), Card(6, 2), Card(7, 2), Card(8, 2), Card(9, 2)}},
    {"HAND_POKER", {Card(8, 1), Card(8, 2), Card(8, 3), Card(8, 4), Card(2, 1)}},
    {"HAND_FULLHOUSE", {Card(13, 1), Card(13, 2), Card(13, 3), Card(5, 1), Card(5, 2)}},
    {"HAND_FLUSH", {Card(2, 3), Card(5, 3), Card(8, 3), Card(11, 3), Card(13, 3)}},
    {"HAND_STREET", {Card(4, 1), Card(5, 2), Card(6, 3), Card(7, 4), Card(8, 1)}},
    {"HAND_THREEOFAKIND", {Card(9, 1), Card(9, 2), Card(9, 3), Card(2, 1), Card(13, 4)}},
};

void Show(TSlots& g, const std::vector<int32_t>& ids) {
  for (int32_t n = 1; n <= g.CellCount(); ++n) {
    g.Cell(n)->Strip = {g.SymbolById(ids[static_cast<size_t>(n - 1)])};
    g.Cell(n)->Reset();
  }
}

// What the listed pays that these cells meet add up to, per coin (symbol and group counts).
int64_t Listed(TSlots& g, const std::vector<SlotPay>& pays) {
  int64_t total = 0;
  for (const SlotPay& p : pays) {
    int32_t n = 0;
    for (int32_t c = 1; c <= g.CellCount(); ++c) {
      const TVXReelItemInfo* s = g.Cell(c)->CurrentSymbol();
      n += p.Source == SlotPay::Symbol ? s->Id == p.SymbolId : s->HasCategory(p.Category);
    }
    if (p.Source != SlotPay::CardLine && n == p.Count) total += p.PerCoin;
  }
  return total;
}

TEST(SlotHelpCheck, EachPageListsWhatItsRoundPaysAndNothingElse) {
  for (const TSlotMachine& m : SlotMachines()) {
    SCOPED_TRACE("game " + std::to_string(m.GameID));
    slotstest::SlotsRig rig;
    TSlots& g = rig.StartSlots(m.GameID);
    const int64_t bet = g.Data->GetBet();
    const std::vector<SlotPay> pays = SlotPays(m);
    EXPECT_FALSE(pays.empty());
    const std::string page = SlotHelpPage(*g.GameInfo, m);
    EXPECT_EQ(page.find("pay line</th>"), std::string::npos);
    for (const SlotPay& p : pays) {
      EXPECT_NE(page.find(p.What + "</td><td align=\"right\">" + std::to_string(p.PerCoin) + " &times; bet"),
                std::string::npos)
          << p.What;
      // The pay laid on the cells: a card line's hand across the middle row (a line each
      // way), a count on the first cells with two symbols that pay nothing around it.
      std::vector<int32_t> cells;
      int64_t lines = 1;
      if (p.Source == SlotPay::CardLine) {
        ASSERT_TRUE(kHands.count(p.HandKey)) << p.HandKey;
        for (int32_t c = 0; c < g.CellCount(); ++c) cells.push_back(c % 2 ? 20 : 14);
        for (size_t i = 0; i < 5; ++i) cells[5 + i] = kHands.at(p.HandKey)[i];
        lines = 2;
      } else {
        int32_t id = p.SymbolId;
        for (const auto& s : g.Symbols)
          if (id == 0 && s->HasCategory(p.Category) && (s->Categories & m.ReelClasses) != 0) id = s->Id;
        std::vector<int32_t> fillers;
        for (int32_t f : {8, 9, 6})
          if (f != id) fillers.push_back(f);
        for (int32_t c = 0; c < g.CellCount(); ++c)
          cells.push_back(c < p.Count ? id : fillers[static_cast<size_t>(c) % 2]);
      }
      Show(g, cells);
      EXPECT_EQ(g.EvaluateTotal(bet), lines * p.PerCoin * bet) << p.What;
    }
    // Random grids of a few symbols each, so that long counts come up.
    const bool freeGames = InSet(m.Features, sfBarBonus) || InSet(m.Features, sfBell) || InSet(m.Features, sfCherry);
    const TSmallSet classes = m.ReelClasses | (freeGames ? kFreeGameClasses : 0);
    std::vector<int32_t> symbols;
    for (const auto& s : g.Symbols)
      if (s->Id != 0 && (s->Categories & classes) != 0) symbols.push_back(s->Id);
    std::mt19937 rnd(static_cast<uint32_t>(m.GameID));
    for (int grid = 0; grid < 400; ++grid) {
      std::vector<int32_t> few;
      for (int k = 0; k < 3; ++k) few.push_back(symbols[rnd() % symbols.size()]);
      std::vector<int32_t> cells;
      for (int32_t c = 0; c < g.CellCount(); ++c) cells.push_back(few[rnd() % (grid % 3 + 1)]);
      Show(g, cells);
      int64_t cardLines = 0;
      const int64_t total = g.EvaluateTotal(bet, &cardLines);
      ASSERT_EQ(total - cardLines, Listed(g, pays) * bet) << "grid " << grid;
      // Only listed hands pay on a line.
      for (const TSlotLine& line : g.Lines)
        EXPECT_TRUE(line.HandKey == "HAND_NOTHING" || kHands.count(line.HandKey)) << line.HandKey;
    }
  }
}

}  // namespace
}  // namespace vx::datagen
