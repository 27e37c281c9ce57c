// The slot machines' return, judged by the slot rule on grids drawn as the reels draw them.
// Each machine plays its opening bet, collects every win (no gambling) and plays every free
// game, its counters, pools and bonus queue kept as the round keeps them; the return is
// printed split into count pays, card lines, pools, bell and free games. A strip's entries
// are independent draws and a cell comes to rest on one of them, so a grid is one draw a
// cell. VX_SLOTS_SPINS sets the spins a machine (1 M in the quick run, 10 M otherwise).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/Random.h"
#include "games/GameData.h"
#include "games/SlotRule.h"
#include "games/Slots.h"

namespace {

using namespace vx::slots;

int64_t SpinsPerMachine() {
  if (const char* n = std::getenv("VX_SLOTS_SPINS")) return std::max<int64_t>(1, std::atoll(n));
  return std::getenv("VX_QUICK") != nullptr ? 1000000 : 10000000;
}

TSlotsReturns Play(const TSlotRule& rule, int64_t spins, uint64_t seed) {
  vx::DefaultRandom rng(seed);
  const uint8_t kind = rule.Machine().Kind;
  // The opening bet: eight coins a side, one on the one-line machine.
  const int32_t side = kind == mk1x3 ? 1 : 8;
  const std::vector<int32_t> coins = DealLineCoins(kind, side, side);
  const int64_t bet = 2 * side;
  std::vector<int32_t> grid(static_cast<size_t>(rule.CellCount()));
  auto spin = [&](TStripMode mode) {
    for (int32_t& id : grid) id = rule.SymbolIdOf(rule.DrawSymbolNumber(mode, rng));
  };
  TSlotsReturns r;
  TSlotCounters counters = SlotCountersOf(TSlotsData());
  std::vector<uint8_t> queue;
  TSlotOutcome o, f;
  for (int64_t s = 0; s < spins; ++s) {
    ++r.Spins;
    r.Bets += bet;
    spin(smNormal);
    rule.Judge(grid, bet, coins, counters, smNormal, o);
    counters = o.After;
    r.CountPays += o.CountPay;
    r.CardLinePays += o.CardLinePay;
    for (const TPoolWin& w : o.PoolWins) r.Pools += w.Amount;
    r.Bell += o.BellPay;
    // A spin without a win ends there: its bonuses are dropped by the next spin.
    if (o.Win() == 0) continue;
    // Collected: the bonuses on the stack play out, each counted off before its game.
    queue.clear();
    o.AppendBonuses(queue);
    int32_t freeLeft = 0;
    while (!queue.empty()) {
      if (freeLeft < 1) {
        freeLeft = BonusGamesOf(queue.back()).Games;
        if (freeLeft == 0) {
          queue.pop_back();
          continue;
        }
      }
      if (--freeLeft == 0) queue.pop_back();
      spin(smFreeGame);
      rule.Judge(grid, bet, coins, counters, smFreeGame, f);
      counters = f.After;
      f.AppendBonuses(queue);
      r.FreeGames += f.Win();
      ++r.FreeGamesPlayed;
    }
  }
  return r;
}

TEST(SlotsReturn, EachMachineReturnsBySourceOverMillionsOfSpins) {
  const int64_t spins = SpinsPerMachine();
  std::printf("slot machine return over %lld spins a machine (opening bet, every win collected):\n",
              static_cast<long long>(spins));
  std::printf("%5s %12s %8s %8s %8s %8s %8s %9s %9s\n", "game", "staked", "counts", "lines", "pools", "bell", "free",
              "games", "return");
  for (int32_t id : {31, 32, 33, 34}) {
    SCOPED_TRACE("game " + std::to_string(id));
    const TSlotRule rule(*FindSlotMachine(id));
    const TSlotsReturns r = Play(rule, spins, static_cast<uint64_t>(id) * 7919 + 17);
    ASSERT_EQ(r.Spins, spins);
    const double staked = static_cast<double>(r.Bets);
    auto share = [&](int64_t v) { return 100.0 * static_cast<double>(v) / staked; };
    std::printf("%5d %12lld %7.1f%% %7.1f%% %7.1f%% %7.1f%% %7.1f%% %9lld %8.1f%%\n", id, static_cast<long long>(r.Bets),
                share(r.CountPays), share(r.CardLinePays), share(r.Pools), share(r.Bell), share(r.FreeGames),
                static_cast<long long>(r.FreeGamesPlayed), share(r.Paid()));
    // Only the poker machine has card lines, and only they pay there: with every line bet
    // its card-line table returns 90% to 98%.
    if (id == 34) {
      EXPECT_EQ(r.CountPays, 0);
      EXPECT_GT(share(r.CardLinePays), 90.0);
      EXPECT_LT(share(r.CardLinePays), 98.0);
    } else {
      EXPECT_EQ(r.CardLinePays, 0);
    }
  }
}

}  // namespace
