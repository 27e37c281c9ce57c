// Money is conserved over long random play in every variant, with clicks, keys and cash-outs
// injected into every frame of every wait: while an action runs (the round busy) nothing a
// player presses changes anything; each round returns to state 0; bank + credit + pending
// win change only by the bets taken and by what draws and double-up cards pay; the tally's
// credit counters match the bank; no frame shows money the last commit does not hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "poker_rig.h"

namespace {

using pokertest::Rig;

class CountingPoker : public TPoker {
public:
  using TPoker::TPoker;
  int64_t Bets = 0;
  bool TakeBet() override {
    const int32_t bet = Data->Bet;
    const bool taken = TPoker::TakeBet();
    if (taken) Bets += bet;
    return taken;
  }
};

struct Snapshot {
  uint64_t Money;
  int64_t RngCalls;
  uint8_t State;
  int32_t Stage;
  int64_t Bets;
  std::vector<int32_t> Tally;
  int32_t Shown[5];
  bool operator==(const Snapshot&) const = default;
};

class Player {
public:
  Player(Rig& rig, CountingPoker& game, uint32_t seed) : rig_(rig), g_(game), rnd_(seed) {}

  Snapshot Take() {
    Snapshot s{rig_.Money(), rig_.Rng->Calls, g_.Round.State(), g_.Data->Stage, g_.Bets, {}, {}};
    const TGameStatictics& t = g_.Data->Tally();
    for (int i = 0; i < t.GameHands.Count(); ++i) s.Tally.push_back(t.GameHands.Items(i)->Value);
    for (int i = 0; i < 5; ++i) s.Shown[i] = g_.PokerScene->Cards[i]->Number();
    return s;
  }

  // Any button or key a player could press.
  void Press(int what) {
    switch (what % 14) {
      case 0: rig_.Deal(); break;
      case 1: rig_.Cash(); break;
      case 2: g_.BetClick(); break;
      case 3: case 4: case 5: case 6: case 7: rig_.Hold(what % 14 - 2); break;
      case 8: rig_.Click(g_.PokerScene->Cards[what % 5]); break;
      case 9: g_.CashOutClick(); break;
      case 10: g_.TakeHalf(); break;
      case 11: {
        static const uint16_t keys[] = {'Z', 'X', 'C', 'V', 'B', 'M', 'N', 'A'};
        uint16_t key = keys[what % 8];
        g_.KeyDown(key);
        break;
      }
      case 12: g_.BuyCredit(); break;
      default: g_.DealClick(); break;
    }
  }

  // Every frame of an action: the round is busy and an injected press changes nothing.
  void Inject() {
    if (injecting_ || !inAction_) return;
    ++frames_;
    if (g_.Round.State() != vx::rsBusy) {
      ADD_FAILURE() << "a frame of an action found the round in state " << int(g_.Round.State());
      return;
    }
    injecting_ = true;
    const Snapshot before = Take();
    Press(static_cast<int>(rnd_() % 1000));
    const Snapshot after = Take();
    injecting_ = false;
    if (!(before == after)) ADD_FAILURE() << "a press while busy changed the game";
  }

  // A player's press, checked: money moves only when a draw is evaluated (never by more than
  // the pending win it replaces) and when a double-up card is played (by the card's factor,
  // or the bar's value); every other press moves none, bets aside.
  void Act(int what) {
    const int64_t moneyBefore = static_cast<int64_t>(rig_.Money());
    const int64_t betsBefore = g_.Bets;
    const int64_t win = g_.Data->Money.Win();
    const int64_t barWin = g_.DoubleUp->BarMode ? g_.DoubleUp->BarWin : -1;
    const uint8_t state = g_.Round.State();
    const uint32_t bankB = rig_.Bank, creditB = g_.Data->Money.Credit();
    inAction_ = true;
    Press(what);
    inAction_ = false;
    const int64_t moved = static_cast<int64_t>(rig_.Money()) - moneyBefore + (g_.Bets - betsBefore);
    const int kind = what % 14;
    const bool key = kind == 11;
    const bool dealLike = kind == 0 || kind == 13 || (key && what % 8 == 5);
    const bool choiceLike = (kind >= 3 && kind <= 8) || (key && what % 8 < 5);
    if (state == 3 && dealLike) {
      EXPECT_GE(moved, -win) << "a draw gives up at most the pending win";
    } else if ((state == 6 || state == 7) && choiceLike) {
      const bool allowed = moved == -win || moved == 0 || moved == win || moved == 3 * win || moved == barWin - win;
      EXPECT_TRUE(allowed) << "a card moved " << moved << " on a win of " << win;
    } else {
      EXPECT_EQ(moved, 0) << "press " << what << " in state " << int(state) << " bank " << bankB << "->" << rig_.Bank
                          << " credit " << creditB << "->" << g_.Data->Money.Credit() << " win " << win << "->" << g_.Data->Money.Win()
                          << " bets " << (g_.Bets - betsBefore);
    }
    EXPECT_GE(g_.Data->Money.Win(), 0);
  }

  // One round from DEAL until the state is 0 again; false when no round could start.
  bool PlayRound() {
    if (g_.Data->Money.Credit() < static_cast<uint32_t>(std::max(g_.Data->Bet, 1))) {
      rig_.DialogAmount = 1000;
      Act(12);
    }
    const int64_t betsBefore = g_.Bets;
    if (rnd_() % 4 == 0) Act(2);
    Act(0);
    if (g_.Round.State() == vx::rsIdle) return g_.Bets != betsBefore;
    for (int step = 0; g_.Round.State() != vx::rsIdle; ++step) {
      if (step > 400) {
        ADD_FAILURE() << "the round did not end, state " << int(g_.Round.State());
        return false;
      }
      if (step < 40) {
        Act(static_cast<int>(rnd_() % 1000));
      } else {
        // Wind down: draw, pick a card, collect.
        static const int ends[] = {0, 4, 1};
        Act(ends[step % 3]);
      }
    }
    EXPECT_EQ(g_.Data->Money.Win(), 0);
    EXPECT_EQ(g_.Data->Stage, 0);
    return true;
  }

  int64_t Frames() const { return frames_; }

private:
  Rig& rig_;
  CountingPoker& g_;
  std::mt19937 rnd_;
  bool injecting_ = false;
  bool inAction_ = false;
  int64_t frames_ = 0;
};

TEST(PokerMoney, LongRandomPlayConservesMoneyWhateverIsPressedMeanwhile) {
  const int rounds = std::getenv("VX_QUICK") != nullptr ? 60 : 250;
  for (int32_t id : {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15}) {
    SCOPED_TRACE("game " + std::to_string(id));
    Rig rig;
    rig.Bank = 100000;
    rig.Rng->Seed(static_cast<uint64_t>(id) * 7919);
    auto game = std::make_unique<CountingPoker>(rig.Catalogue.FindGameByID(id), &rig.Context, &rig);
    CountingPoker& g = *game;
    rig.Game = std::move(game);
    // Scatter the meters so that their pays and wraps come up.
    g.Data->SetMiniBonus(g.Data->Bet, g.Data->Bet * 90);
    g.Data->SetOrvantaStat(g.Data->Bet, 8);
    Player player(rig, g, static_cast<uint32_t>(id));
    // Every frame shows what the last commit holds: no bet, win or loss is seen before it is
    // committed (a kill at that frame would undo it).
    uint64_t committed = rig.Money();
    int uncommitted = 0;
    g.Round.OnCommit = [&] { committed = rig.Money(); };
    rig.OnFrame = [&] {
      uncommitted += committed != rig.Money() ? 1 : 0;
      player.Inject();
    };
    int played = 0;
    for (int r = 0; r < rounds; ++r) played += player.PlayRound() ? 1 : 0;
    EXPECT_GT(played, rounds / 2);
    EXPECT_EQ(uncommitted, 0);
    EXPECT_GT(player.Frames(), 0);
    EXPECT_EQ(g.Round.State(), vx::rsIdle);
    // Everything back to the bank: the tally's counters account for every move.
    rig.OnFrame = nullptr;
    g.CashOut(true);
    EXPECT_EQ(g.Data->Money.Credit(), 0u);
    EXPECT_EQ(static_cast<int64_t>(rig.Bank),
              100000 - static_cast<int64_t>(g.Data->GetCreditIn()) + g.Data->GetCreditOut());
    EXPECT_EQ(rig.Money(), rig.Bank);
  }
}

TEST(PokerMoney, ClosingAtAnyFrameOfAnyActionLosesNothing) {
  for (int32_t id : {1, 3, 5, 10}) {
    for (int cut = 5; cut < 400; cut += 37) {
      SCOPED_TRACE("game " + std::to_string(id) + " frame " + std::to_string(cut));
      Rig rig;
      rig.Bank = 10000;
      rig.Rng->Seed(static_cast<uint64_t>(cut));
      auto game = std::make_unique<CountingPoker>(rig.Catalogue.FindGameByID(id), &rig.Context, &rig);
      CountingPoker& g = *game;
      rig.Game = std::move(game);
      Player player(rig, g, static_cast<uint32_t>(cut));
      int frames = 0;
      rig.OnFrame = [&] {
        if (++frames == cut) rig.IsClosing = true;
      };
      const uint64_t start = rig.Money();
      for (int a = 0; a < 200 && !rig.IsClosing; ++a) player.Act(a % 3 == 0 ? 0 : static_cast<int>(a * 7919 % 1000));
      const uint64_t beforeSettle = rig.Money();
      g.SettleOnClose();
      EXPECT_EQ(rig.Bank, beforeSettle) << "the credit and a pending win are all in the bank";
      EXPECT_EQ(g.Data->Money.Credit(), 0u);
      EXPECT_EQ(g.Round.State(), vx::rsIdle);
      EXPECT_LE(static_cast<int64_t>(rig.Bank), static_cast<int64_t>(start) + 100000000);
    }
  }
}

}  // namespace
