// The slot rule on its own: grids of each machine's kinds of win judged to pays, line keys,
// count marks, bonuses and counters, and the strip draw's classes.
#include <gtest/gtest.h>

#include <functional>

#include "core/Random.h"
#include "games/SlotRule.h"

namespace {

using namespace vx::slots;

constexpr int32_t Ch = 1, S7 = 2, B1 = 3, B2 = 4, Be = 6, Me = 7, Pl = 8, Or = 9, S77 = 11, S777 = 12, Dice = 14,
                  Dollar = 20;
constexpr int32_t Card(int32_t rank, int32_t suit) { return 100 + (suit - 1) * 13 + rank; }

struct RuleCase {
  const char* Name;
  int32_t Game;
  std::vector<int32_t> Grid;
  TStripMode Mode;
  std::function<void(TSlotCounters&)> Before;
  bool NoCoins;  // else the opening bet: every line of 31, 33, 34 one coin, 32 both lines
  int64_t Win;
  std::vector<uint8_t> Bonuses;
  std::vector<int32_t> Marked;  // cells with a count win
  const char* Info;             // nullptr: not looked at
  std::function<void(const TSlotOutcome&)> Check;
};

TEST(SlotRule, JudgesEachKindOfWinToPaysLinesBonusesAndCounters) {
  const std::vector<int32_t> bells = {Pl, Or, Pl, Be, Be, Be, Or, Pl, Or};
  const RuleCase cases[] = {
      {"nine cherries: 400 x the bet, each left-to-right line queues a cherry bonus", 31,
       {Ch, Ch, Ch, Ch, Ch, Ch, Ch, Ch, Ch}, smNormal, nullptr, false, 400 * 16, std::vector<uint8_t>(8, bkCherry),
       {1, 2, 3, 4, 5, 6, 7, 8, 9}, nullptr,
       [](const TSlotOutcome& o) { EXPECT_EQ(o.Info.substr(o.Info.size() - 21), "Line:Cherry Cherryx9 "); }},
      {"three sevens of any kind anywhere: 5 x the bet through the seven group", 31,
       {S7, Pl, Or, B2, S77, Be, Or, Pl, S777}, smNormal, nullptr, false, 5 * 16, {}, {1, 5, 9}, "Line: Line: x3 ",
       nullptr},
      {"two bell lines run the bell counter out: the grown bell value is paid, counters restart", 31, bells, smNormal,
       nullptr, false, 0, {bkBell}, {}, "Line:Bell Line:Bell ",
       [](const TSlotOutcome& o) {
         EXPECT_TRUE(o.PoolsGrew);
         EXPECT_EQ(o.BellPay, 330);
         EXPECT_EQ(o.Judged.BellStage, 0);
         EXPECT_EQ(o.After.BellStage, 5);
         EXPECT_EQ(o.After.BellBonusValue, 10);
       }},
      {"in a free game the same lines count the bell counter down and nothing more", 31, bells, smFreeGame, nullptr,
       false, 0, {}, {}, "Line:Bell Line:Bell ",
       [](const TSlotOutcome& o) {
         EXPECT_FALSE(o.PoolsGrew);
         EXPECT_FALSE(o.BellBonus);
         EXPECT_EQ(o.After.BellStage, 0);
         EXPECT_EQ(o.After.BellBonusValue, 320);
       }},
      {"a melon row grows the pools and wins the first one, which starts again at 1", 31,
       {Pl, Or, Pl, Me, Me, Me, Or, Pl, Or}, smNormal, nullptr, false, 0, {}, {}, "Line:Melon Line:Melon ",
       [](const TSlotOutcome& o) {
         ASSERT_EQ(o.PoolWins.size(), 1u);
         EXPECT_EQ(o.PoolWins[0].Pool, plRow);
         EXPECT_EQ(o.PoolWins[0].Amount, 1005);
         EXPECT_EQ(o.After.Pools, (std::array<int32_t, 3>{1, 2010, 5020}));
       }},
      {"a melon cross at the caps wins the third pool", 31, {Me, Pl, Me, Or, Me, Or, Me, Pl, Me}, smNormal,
       [](TSlotCounters& c) { c.Pools = c.PoolCaps; }, false, 0, {}, {}, nullptr,
       [](const TSlotOutcome& o) {
         ASSERT_EQ(o.PoolWins.size(), 1u);
         EXPECT_EQ(o.PoolWins[0].Pool, plCross);
         EXPECT_EQ(o.PoolWins[0].Amount, 10000);
       }},
      {"a left-to-right Bar 1 line queues the bar bonus; its reverse does not", 31,
       {B1, B1, B1, Pl, Or, Pl, S7, Pl, S7}, smNormal, nullptr, false, 2 * 16, {bkBar}, {7, 9},
       "Line:Bar 1 Line:Bar 1 x2 ", nullptr},
      {"two cherries leading a line run the cherry counter out", 31, {Ch, Ch, Pl, Or, Pl, Or, S7, Pl, S7}, smNormal,
       [](TSlotCounters& c) { c.CherryStage = 1; }, false, 2 * 16, {bkCherry}, {7, 9},
       "Line (2):Cherry Line (2):Cherry Line (2):Cherry Line (2):Cherry x2 ",
       [](const TSlotOutcome& o) { EXPECT_EQ(o.After.CherryStage, 9); }},
      {"a cell showing nothing leaves its lines unjudged", 31, {0, B1, B1, B1, B1, B1, B1, B1, B1}, smNormal, nullptr,
       false, 0, std::vector<uint8_t>(5, bkBar), {}, nullptr, nullptr},
      {"a royal flush on the middle row pays on both of its lines", 34,
       {Dice, Dollar, Dice, Dollar, Dice, Card(10, 1), Card(11, 1), Card(12, 1), Card(13, 1), Card(1, 1), Dice, Dollar,
        Dice, Dollar, Dice},
       smNormal, nullptr, false, 2 * 100 * 16, {}, {}, "",
       [](const TSlotOutcome& o) {
         for (size_t i = 0; i < o.HandKeys.size(); ++i)
           EXPECT_EQ(o.HandKeys[i], i == 1 || i == 8 ? "HAND_ROYALFLUSH" : "HAND_NOTHING") << "line " << i + 1;
         EXPECT_EQ(o.CardLinePay, 3200);
       }},
      {"three sevens on the one-line machine", 32, {S7, S77, S777}, smNormal, nullptr, false, 5 * 2, {}, {1, 2, 3},
       "Line: Line: x3 ", nullptr},
      {"two sevens among fifteen cells", 33, {S7, Pl, Or, Pl, Or, Pl, Or, Be, Or, Pl, Or, Pl, Or, Pl, S777}, smNormal,
       nullptr, false, 2 * 16, {}, {1, 15}, "x2 ", nullptr},
      {"ten sevens are above the group's table, and lines without coins are not judged", 33,
       {S7, S7, S7, S7, S7, S7, S7, S7, S7, S7, Pl, Pl, Pl, Pl, Pl}, smNormal, nullptr, true, 0, {}, {}, "", nullptr},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TSlotMachine& m = *FindSlotMachine(c.Game);
    const TSlotRule rule(m);
    const int32_t side = m.Kind == mk1x3 ? 1 : 8;
    const std::vector<int32_t> coins = DealLineCoins(m.Kind, c.NoCoins ? 0 : side, c.NoCoins ? 0 : side);
    TSlotCounters counters;
    if (c.Before) c.Before(counters);
    const TSlotOutcome o = rule.Judge(c.Grid, 2 * side, coins, counters, c.Mode);
    EXPECT_EQ(o.Win(), c.Win);
    EXPECT_EQ(o.Bonuses(), c.Bonuses);
    std::vector<int32_t> marked;
    for (size_t n = 0; n < o.CountMarks.size(); ++n)
      if (o.CountMarks[n] != 0) marked.push_back(static_cast<int32_t>(n) + 1);
    EXPECT_EQ(marked, c.Marked);
    if (c.Info != nullptr) {
      EXPECT_EQ(o.Info, c.Info);
    }
    if (c.Check) c.Check(o);
  }
}

TEST(SlotRule, StripsDrawOnlyTheClassesOfTheirMode) {
  vx::DefaultRandom rng(5);
  for (const TSlotMachine& m : SlotMachines()) {
    const TSlotRule rule(m);
    for (int i = 0; i < 2000; ++i) {
      const TSmallSet normal = SymbolDef(rule.DrawSymbolNumber(smNormal, rng), true).Classes;
      const TSmallSet free = SymbolDef(rule.DrawSymbolNumber(smFreeGame, rng), true).Classes;
      ASSERT_NE(normal & m.ReelClasses, 0) << m.GameID;
      ASSERT_FALSE(InSet(normal, scEmpty)) << m.GameID;
      ASSERT_NE(free & kFreeGameClasses, 0) << m.GameID;
    }
  }
}

}  // namespace
