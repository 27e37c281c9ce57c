// Money is conserved over long random play on every slot machine, with any button or key
// pressed at random frames of every spin, pause and count: bank + credit + pending win differ
// from the start only by the bets taken and by what the machine says it paid (counts, card
// lines, pools, bell, free games, double-up); every round comes back to state 0; the tally's
// credit counters account for the bank; no frame shows money the last commit does not hold;
// closing at any frame loses nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "slots_rig.h"

namespace {

using slotstest::SlotsRig;

class Player {
public:
  Player(SlotsRig& rig, TSlots& g, uint32_t seed, uint64_t start) : rig_(rig), g_(g), rnd_(seed), start_(start) {}

  int64_t Expected() const { return static_cast<int64_t>(start_) - g_.Returns.Bets + g_.Returns.Paid() + g_.PendingDoubleUp(); }
  void CheckBooks(const char* when) {
    EXPECT_EQ(static_cast<int64_t>(rig_.SlotsMoney()), Expected()) << when << ", state " << int(g_.Round.State());
    EXPECT_GE(g_.Data->Money.Win(), 0);
  }

  void Press(int what) {
    TSlotsScene& s = rig_.Screen();
    switch (what % 12) {
      case 0: rig_.Press(s.BtnSpin); break;
      case 1: rig_.Press(s.BtnCashAll); break;
      case 2: rig_.Press(s.BtnBet1); break;
      case 3: rig_.Press(s.BtnBet2); break;
      case 4: rig_.Press(s.HoldButtons[static_cast<size_t>(what) % s.HoldButtons.size()]); break;
      case 5: {
        static const uint16_t keys[] = {'M', 'Z', 'X', 'C', 'V', 'B', '1', 'E'};
        uint16_t key = keys[what % 8];
        g_.KeyDown(key);
        break;
      }
      case 6: g_.CashOutClick(); break;
      case 7: g_.BuyCredit(); break;
      case 8: {
        TVXLabel* label = s.LineBets[static_cast<size_t>(what) % s.LineBets.size()];
        if (label->OnMouseEnter) label->OnMouseEnter(label);
        break;
      }
      default: rig_.Press(what % 2 == 0 ? s.BtnSpin : s.HoldButtons[1]); break;
    }
  }

  // A press at a random frame of whatever runs; the books hold after it.
  void Inject() {
    if (injecting_ || rnd_() % 7 != 0) return;
    injecting_ = true;
    Press(static_cast<int>(rnd_() % 1000));
    CheckBooks("after a press during a frame");
    injecting_ = false;
  }

  // One round: spin, then anything until the machine is idle again.
  bool PlayRound() {
    if (g_.Data->Money.Credit() < static_cast<uint32_t>(std::max(g_.Data->GetBet(), 1))) {
      rig_.DialogAmount = 1000;
      g_.BuyCredit();
    }
    const int64_t bets = g_.Returns.Bets;
    if (rnd_() % 5 == 0)
      for (int n = static_cast<int>(rnd_() % 24); n >= 0; --n) Press(2 + static_cast<int>(rnd_() % 2));
    rig_.Press(rig_.Screen().BtnSpin);
    CheckBooks("after a spin");
    for (int step = 0; g_.Round.State() != 0; ++step) {
      if (step > 300) {
        ADD_FAILURE() << "the round did not end, state " << int(g_.Round.State());
        return false;
      }
      // Mostly collect; sometimes gamble a few cards.
      const int r = static_cast<int>(rnd_() % 10);
      if (step < 20 && r < 4)
        Press(static_cast<int>(rnd_() % 1000));
      else if (g_.Round.State() == 7)
        rig_.Press(rig_.Screen().HoldButtons[r % 2 == 0 ? 0 : 2]);
      else
        rig_.Press(rig_.Screen().BtnCashAll);
      CheckBooks("after a press");
    }
    return g_.Returns.Bets != bets;
  }

private:
  SlotsRig& rig_;
  TSlots& g_;
  std::mt19937 rnd_;
  uint64_t start_;
  bool injecting_ = false;
};

TEST(SlotsMoney, LongRandomPlayKeepsTheBooksWhateverIsPressedMeanwhile) {
  const int rounds = std::getenv("VX_QUICK") != nullptr ? 60 : 250;
  for (int32_t id : {31, 32, 33, 34}) {
    SCOPED_TRACE("game " + std::to_string(id));
    SlotsRig rig;
    rig.Bank = 100000;
    rig.Rng->Seed(static_cast<uint64_t>(id) * 104729);
    TSlots& g = rig.StartSlots(id);
    // The counters near their ends, so the bonuses come up.
    g.Data->BellStage = 1;
    g.Data->CherryStage = 1;
    Player player(rig, g, static_cast<uint32_t>(id), rig.SlotsMoney() + g.Returns.Bets - g.Returns.Paid());
    // Every frame shows what the last commit holds (see the poker machines' test).
    uint64_t committed = rig.SlotsMoney();
    int uncommitted = 0;
    g.Round.OnCommit = [&] { committed = rig.SlotsMoney(); };
    rig.OnFrame = [&] {
      uncommitted += committed != rig.SlotsMoney() ? 1 : 0;
      player.Inject();
    };
    int played = 0;
    for (int r = 0; r < rounds; ++r) played += player.PlayRound() ? 1 : 0;
    EXPECT_GT(played, rounds / 2);
    EXPECT_EQ(uncommitted, 0);
    EXPECT_EQ(g.Round.State(), 0);
    rig.OnFrame = nullptr;
    g.CashOut(true);
    EXPECT_EQ(g.Data->Money.Credit(), 0u);
    EXPECT_EQ(static_cast<int64_t>(rig.Bank),
              100000 - static_cast<int64_t>(g.Data->GetCreditIn()) + g.Data->GetCreditOut());
  }
}

TEST(SlotsMoney, ClosingAtAnyFrameLosesNothing) {
  for (int32_t id : {31, 34}) {
    for (int cut = 3; cut < 900; cut += 97) {
      SCOPED_TRACE("game " + std::to_string(id) + " frame " + std::to_string(cut));
      SlotsRig rig;
      rig.Rng->Seed(static_cast<uint64_t>(cut));
      TSlots& g = rig.StartSlots(id);
      g.Data->BellStage = 1;
      int frames = 0;
      rig.OnFrame = [&] {
        if (++frames == cut) rig.IsClosing = true;
      };
      for (int a = 0; a < 60 && !rig.IsClosing; ++a)
        rig.Press(a % 2 == 0 ? rig.Screen().BtnSpin : rig.Screen().BtnCashAll);
      const uint64_t before = rig.SlotsMoney();
      g.SettleOnClose();
      EXPECT_EQ(rig.Bank, before);
      EXPECT_EQ(g.Data->Money.Credit(), 0u);
      EXPECT_EQ(g.Round.State(), 0);
    }
  }
}

}  // namespace
