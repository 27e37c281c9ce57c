// The slot machines' return, measured by playing the real round: a stand-in window with a
// virtual clock whose every frame processes the whole machine screen on a device that draws
// nothing. Each machine plays its opening bet, collects every win (no gambling) and plays
// every free game; the return is printed split into count pays, card lines, pools, bell and
// free games. VX_SLOTS_SPINS sets the number of spins a machine (a few hundred by default).
//
// The poker slot machine's card-line table is checked apart, on a few million lines judged
// by the evaluator as the round judges them: with every line bet it returns 90% to 98%.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "games/HandEvaluator.h"
#include "slots_rig.h"
#include "support/NullDevice.h"

namespace {

using slotstest::SlotsRig;

class NullDeviceRig : public SlotsRig {
public:
  NullDeviceRig() { Host.Drawing = &device_; }

private:
  vxtest::NullDevice device_;
};

int SpinsPerMachine() {
  if (const char* n = std::getenv("VX_SLOTS_SPINS")) return std::max(1, std::atoi(n));
  return std::getenv("VX_QUICK") != nullptr ? 150 : 300;
}

TEST(SlotsReturn, PlaysEachMachineAndPrintsItsReturnBySource) {
  const int spins = SpinsPerMachine();
  std::printf("slot machine return over %d spins a machine (opening bet, every win collected):\n", spins);
  std::printf("%5s %9s %8s %8s %8s %8s %8s %8s %9s\n", "game", "staked", "counts", "lines", "pools", "bell", "free",
              "games", "return");
  for (int32_t id : {31, 32, 33, 34}) {
    SCOPED_TRACE("game " + std::to_string(id));
    NullDeviceRig rig;
    rig.DrawScene = true;
    rig.Bank = 2000000000u;
    rig.DialogAmount = 100000;
    rig.Rng->Seed(static_cast<uint64_t>(id) * 7919 + 17);
    TSlots& g = rig.StartSlots(id);
    g.SlotsScene->Show();
    const int32_t bet = g.Data->GetBet();
    for (int s = 0; s < spins; ++s) {
      if (g.Data->Money.Credit() < static_cast<uint32_t>(bet)) g.BuyCredit();
      // The same sides every spin: the first press after a spin would start them again.
      g.Data->BetsTouched = 1;
      rig.Press(rig.Screen().BtnSpin);
      for (int guard = 0; g.Round.State() != 0 && guard < 100; ++guard) rig.Press(rig.Screen().BtnCashAll);
      ASSERT_EQ(g.Round.State(), 0);
      ASSERT_EQ(g.Data->GetBet(), bet);
    }
    const TSlotsReturns& r = g.Returns;
    ASSERT_EQ(r.Spins, spins);
    const double staked = static_cast<double>(r.Bets);
    auto share = [&](int64_t v) { return 100.0 * static_cast<double>(v) / staked; };
    std::printf("%5d %9lld %7.1f%% %7.1f%% %7.1f%% %7.1f%% %7.1f%% %8lld %8.1f%%\n", id, static_cast<long long>(r.Bets),
                share(r.CountPays), share(r.CardLinePays), share(r.Pools), share(r.Bell), share(r.FreeGames),
                static_cast<long long>(r.FreeGamesPlayed), share(r.Paid()));
    EXPECT_EQ(r.DoubleUp, 0);
    // Every coin accounted for: what the bank and the credit hold is what went in, less the
    // stakes, plus the pays.
    EXPECT_EQ(static_cast<int64_t>(rig.SlotsMoney()), 2000000000ll - r.Bets + r.Paid());
  }
}

TEST(SlotsReturn, PokerSlotCardLinesReturnBetween90And98Percent) {
  // Each cell shows one of the 13 special symbols or 54 cards, equally likely.
  std::mt19937_64 rng(34);
  const int64_t lines = std::getenv("VX_QUICK") != nullptr ? 1000000 : 4000000;
  int64_t paid = 0;
  for (int64_t i = 0; i < lines; ++i) {
    int32_t ids[5];
    bool allEqual = true;
    for (int k = 0; k < 5; ++k) {
      const int32_t s = static_cast<int32_t>(rng() % 67);
      ids[k] = s < 13 ? 13 + s : 101 + (s - 13);
      allEqual = allEqual && ids[k] == ids[0];
    }
    if (allEqual) continue;
    int32_t cards[5];
    for (int k = 0; k < 5; ++k) cards[k] = ids[k] - 100;
    vx::THandEvaluation e;
    vx::EvaluateCardsCode(vx::slots::CardLineHandCodes(), cards, false, 0, e);
    if (e.Code != vx::hcNothing) paid += vx::slots::CardLinePay(e.Key());
  }
  // Fourteen lines, each paying its multiplier times the whole bet.
  const double ret = 14.0 * static_cast<double>(paid) / static_cast<double>(lines);
  std::printf("poker slot machine, every line bet: %.2f%% over %lld lines\n", 100.0 * ret, static_cast<long long>(lines));
  EXPECT_GT(ret, 0.90);
  EXPECT_LT(ret, 0.98);
}

}  // namespace
