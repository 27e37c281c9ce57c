// Video poker on the real program, every machine of the casino: the real main window (SDL's
// offscreen driver, the GPU device on Mesa's software GL, the generated data and themes) and
// the real lobby, driven through window events only. A new player signs up once, then enters
// each video-poker machine from the lobby by a click on its logo, plays its hands by clicking
// the real buttons and cards (deal, holds, draw, the fold and re-deal of the costed machines,
// the further draw, BIG/SMALL, RED/BLACK, BEAT THE DEALER, half-takes, collects), buys credit
// through the credit dialog when short and leaves through EXIT, answering the question. At
// the end the program is closed through the menu and the files are read back: each machine's
// hands and credit in casino.xml, and a bank in players.xml that is exactly 1000 minus every
// credit bought plus every credit cashed back.
//
// Every click is followed by a check of what it did to the money and the round (the bet
// taken, the draw's further bet, the win counted into the credit, a double-up's outcome...),
// so a fault shows at the click that caused it, named with the machine.
//
// VX_POKER_MACHINES="15,1,10" plays only those machines (ctest runs each machine on its own);
// VX_QUICK plays 9 hands on each machine instead of 100.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "games/DoubleUp.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/PokerVariants.h"
#include "games/VXCard.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXLobby.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Input;
using vxe2e::kExitQuestion;

constexpr uint32_t kStartingBank = 1000;

// The machines in the order played: those that pay back the most come first, so that a bank
// that starts at 1000 can still buy credit for the meaner ones after a hundred hands on each.
const std::vector<int32_t> kAllMachines = {15, 4, 2, 5, 13, 12, 10, 3, 11, 14, 6, 1};

// What happened on one machine, counted by the test as it clicked.
struct Machine : vxe2e::Visit {
  const vx::TPokerVariant* Variant = nullptr;
  int Hands = 0;
  int Bought = 0;  // hundreds bought through the credit dialog
  int Deals = 0, Toggles = 0, Folds = 0, Redeals = 0, FurtherDraws = 0, Choices = 0, Halves = 0,
      DealerDeals = 0, Picks = 0, Collects = 0, Wins = 0, BetClicks = 0;
  bool BetChecked = false;
  bool HandShot = false;
  bool DoubleUpShot = false;

  bool HalfOffered() const {
    return Variant->DoubleUpKind != vx::dkBeatTheDealer && !vx::HasOption(Variant->Options, vx::poJackpot);
  }
};

// A click whose effect is checked once the round has settled again.
enum class Expect { None, Deal, Toggle, Fold, Draw, Switch, Collect, Half, Choose, DealDealer, Pick };

const char* ExpectName(Expect e) {
  switch (e) {
    case Expect::None: return "nothing";
    case Expect::Deal: return "DEAL";
    case Expect::Toggle: return "a hold";
    case Expect::Fold: return "CASH clearing the holds";
    case Expect::Draw: return "DRAW";
    case Expect::Switch: return "DEAL taking the further draw";
    case Expect::Collect: return "CASH collecting";
    case Expect::Half: return "taking half";
    case Expect::Choose: return "a double-up choice";
    case Expect::DealDealer: return "DEAL of the dealer's card";
    case Expect::Pick: return "a BEAT THE DEALER pick";
  }
  return "?";
}

class PokerTour : public vxe2e::MachineTour<TPoker, Machine> {
public:
  PokerTour(TfrmMain& form, const std::vector<int32_t>& ids, int handsEach)
      : MachineTour(form, ids, "DEALER", "CARDS5"), handsEach_(handsEach) {
    for (Machine& m : machines_) m.Variant = vx::FindPokerVariant(m.Id);
    lastBank_ = kStartingBank;
  }

  // The bank ran dry on the last machine played: the tour ended there.
  bool Broke() const { return broke_; }

private:
  bool CanEnter(Machine& m) override {
    if (m.Variant == nullptr) Fail("game " + std::to_string(m.Id) + " is no video-poker machine");
    return m.Variant != nullptr;
  }
  std::string Waiting() const override {
    return expect_ != Expect::None ? std::string(" waiting for the effect of ") + ExpectName(expect_) : "";
  }
  std::string Where() const override;
  void Arrived(TPoker& g) override;
  void Play(TPoker& g) override;
  void AtRest(TPoker& g);
  void Holds(TPoker& g);
  void Won(TPoker& g);
  void CheckExpected(TPoker& g);
  void Expecting(Expect e, TPoker& g);
  void ShootHand(TPoker& g);
  void ShootDoubleUp(TPoker& g);
  int CountedHands(TPoker& g) const;

  int handsEach_;
  bool broke_ = false;
  bool buying_ = false;
  uint32_t buyCredit0_ = 0;
  uint32_t buyBank0_ = 0;

  // The click waiting for its check, and the money and round as they were before it.
  Expect expect_ = Expect::None;
  uint32_t credit0_ = 0;
  int32_t win0_ = 0;
  int32_t bet0_ = 0;
  int hands0_ = 0;
  int held0_ = 0;
  int32_t preview0_ = 0;
  int position0_ = 0;
  int32_t shown0_[5] = {};
  bool held0At_[5] = {};
  bool heldBefore0_ = false;

  // The plan of the hand being played: holds to toggle, a fold, and what to do with a win.
  int dealSerial_ = 0;
  int plannedHand_ = -1;
  std::vector<int> holdSteps_;  // +p: click card p, -p: click HOLD button p, 0: fold
  int plannedWin_ = -1;
  bool planFurther_ = false;
  bool planHalf_ = false;
  int planPlays_ = 0;
  int betClicks_ = 0;
  int32_t betStart_ = 0;
  int stage0_ = 0;
};

std::string PokerTour::Where() const {
  std::string s = MachineTour::Where();
  if (next_ < machines_.size()) s += ", " + std::to_string(machines_[next_].Hands) + " hands played";
  if (TPoker* g = CurrentGame()) {
    s += ", round state " + std::to_string(g->Round.State()) + ", stage " + std::to_string(g->Data->Stage) +
         ", credit " + std::to_string(g->Data->Money.Credit()) + ", win " + std::to_string(g->Data->Money.Win()) + ", bet " +
         std::to_string(g->Data->Bet) + ", message \"" + g->PokerScene->LblMessage->Caption() + "\"";
  }
  if (auto* box = Input<TframeMessage>(f_)) s += ", message box \"" + box->MessageLabel->Caption() + "\"";
  return s;
}

int PokerTour::CountedHands(TPoker& g) const {
  const TGameStatictics& tally = g.Data->Tally();
  int counted = 0;
  for (int i = 0; i < tally.GameHands.Count(); ++i) counted += static_cast<int>(tally.GameHands.Items(i)->Value);
  return counted;
}

void PokerTour::Arrived(TPoker& g) {
  Machine& m = Current();
  // The opening credit came from the bank without the dialog.
  if (lastBank_ >= 100) {
    EXPECT_EQ(Bank(), lastBank_ - 100) << Where();
    EXPECT_EQ(g.Data->Money.Credit(), 100u) << Where();
    EXPECT_EQ(g.Data->GetCreditIn(), 100u) << Where();
  }
  EXPECT_EQ(g.PokerScene->LblCreditV->Caption(), std::to_string(g.Data->Money.Credit())) << Where();
  EXPECT_EQ(CountedHands(g), 0) << Where();
  m.BetChecked = false;
  betClicks_ = 0;
  plannedHand_ = plannedWin_ = -1;
  expect_ = Expect::None;
}

void PokerTour::Play(TPoker& game) {
  TPoker* g = &game;
  Machine& m = Current();
  if (auto* box = Input<TframeMessage>(f_)) {
    // No message is expected while playing: it is answered as a player would, and reported.
    const std::string text = box->MessageLabel->Caption();
    boxes_.push_back(text);
    ADD_FAILURE() << "unexpected message \"" << text << "\" - " << Where();
    Act(box->OkButton->Visible() ? box->OkButton : box->NoButton);
    return;
  }
  if (auto* credit = Input<TfrmCredit>(f_)) {
    const uint32_t now = g->Data->Money.Credit();
    if (buying_) {
      // The 100 moved from the bank into the credit, and the dialog shows both.
      buying_ = false;
      EXPECT_EQ(now, buyCredit0_ + 100) << Where();
      EXPECT_EQ(Bank(), buyBank0_ - 100) << Where();
      EXPECT_EQ(credit->LblCreditValue->Caption(), std::to_string(now)) << Where();
      EXPECT_EQ(credit->LblBankValue->Caption(), std::to_string(Bank())) << Where();
      EXPECT_EQ(credit->LblGameTitle->Caption(), m.Title) << Where();
    }
    if (now < 100 && Bank() >= 100) {
      ++m.Bought;
      buying_ = true;
      buyCredit0_ = now;
      buyBank0_ = Bank();
      Act(credit->BtnAdd100);
    } else {
      Act(credit->BtnClose, 20);
    }
    return;
  }
  if (f_.InputScene() != f_.MainScene() || g->Round.State() == vx::rsBusy) return;
  const int counted = CountedHands(*g);
  if (counted != m.Hands) Progressed();
  m.Hands = counted;
  if (expect_ != Expect::None) {
    CheckExpected(*g);
    if (Aborted()) return;
  }
  switch (g->Round.State()) {
    case 0: AtRest(*g); return;
    case 3: Holds(*g); return;
    case 5: case 6: case 7: Won(*g); return;
    default: return;
  }
}

void PokerTour::Expecting(Expect e, TPoker& g) {
  expect_ = e;
  credit0_ = g.Data->Money.Credit();
  win0_ = g.Data->Money.Win();
  bet0_ = g.Data->Bet;
  hands0_ = CountedHands(g);
  held0_ = g.AnyHeldCount();
  stage0_ = g.Data->Stage;
  for (int i = 0; i < 5; ++i) {
    shown0_[i] = g.PokerScene->Cards[i]->Number();
    held0At_[i] = g.PokerScene->Cards[i]->Held();
  }
  preview0_ = static_cast<int32_t>(vx::LabelValue(g.PokerScene->LblWinV));
}

void PokerTour::AtRest(TPoker& g) {
  Machine& m = Current();
  TPokerScene& s = *g.PokerScene;
  const bool broke = static_cast<int64_t>(g.Data->Money.Credit()) < g.Data->Bet && Bank() < 100;
  if (broke) broke_ = true;
  if (m.Hands >= handsEach_ || broke) {
    Leave(g.Data->Money.Credit(), broke);
    return;
  }
  if (static_cast<int64_t>(g.Data->Money.Credit()) < g.Data->Bet) {
    EXPECT_TRUE(s.LblCreditV->Blinking()) << "a credit short of the bet blinks - " << Where();
    Act(Nav()->BtnCredit, 20);
    return;
  }
  if (!m.BetChecked) {
    // BET steps through the machine's bets and wraps round; the machine is played at the bet
    // it started with, so the bank lasts.
    if (betClicks_ == 0) {
      betStart_ = g.Data->Bet;
    } else {
      EXPECT_EQ(s.LblBetV->Caption(), std::to_string(g.Data->Bet)) << Where();
      if (betClicks_ == 1 && g.Data->Bet == betStart_) {
        ADD_FAILURE() << "BET did not change the bet - " << Where();
        m.BetChecked = true;
      } else if (g.Data->Bet == betStart_) {
        m.BetChecked = true;
      } else if (betClicks_ > 150) {
        Fail("BET never came back to " + std::to_string(betStart_));
        return;
      }
    }
    if (!m.BetChecked) {
      ++betClicks_;
      ++m.BetClicks;
      Act(s.BtnBet, 2);
      return;
    }
  }
  ++m.Deals;
  Expecting(Expect::Deal, g);
  Act(s.BtnDeal);
}

void PokerTour::Holds(TPoker& g) {
  Machine& m = Current();
  TPokerScene& s = *g.PokerScene;
  ShootHand(g);
  if (plannedHand_ != dealSerial_) {
    // The automatic holds are good play and the player mostly keeps them: a card is held and
    // let go again (by the card, then its HOLD button, or the other way round), a hand with
    // nothing held keeps its best high card, and on the costed machines a weak hand is folded
    // (CASH clears the holds, and the draw deals anew) or a paying one kept whole for free.
    plannedHand_ = dealSerial_;
    holdSteps_.clear();
    const bool costed = g.Has(vx::poDrawCostsBet);
    const int held = g.AnyHeldCount();
    const int32_t preview = static_cast<int32_t>(vx::LabelValue(s.LblWinV));
    const int p = dealSerial_ % 5 + 1;
    if (dealSerial_ % 3 == 1) holdSteps_.insert(holdSteps_.end(), {p, -p});
    if (dealSerial_ % 4 == 2) holdSteps_.insert(holdSteps_.end(), {-(6 - p), 6 - p});
    if (g.Data->Stage == 1) {
      // The first hand of a costed machine is folded whatever it is, so even a short run folds.
      if (costed && (m.Folds == 0 || (preview == 0 && held <= 1) || (preview > 0 && dealSerial_ % 5 == 3))) {
        holdSteps_.push_back(0);
      } else if (!costed && preview == 0 && held == 0) {
        int best = 0, bestRank = 0;
        for (int i = 0; i < 5; ++i) {
          const int r = s.Cards[i]->Rank() == 1 ? 14 : s.Cards[i]->Rank();
          if (r >= 11 && r <= 14 && r > bestRank) best = i + 1, bestRank = r;
        }
        if (best > 0) holdSteps_.push_back(best);
      }
    }
  }
  if (!holdSteps_.empty()) {
    const int step = holdSteps_.front();
    holdSteps_.erase(holdSteps_.begin());
    if (step == 0) {
      ++m.Folds;
      Expecting(Expect::Fold, g);
      Act(s.BtnCashAll);
      return;
    }
    const int p = step > 0 ? step : -step;
    ++m.Toggles;
    Expecting(Expect::Toggle, g);
    position0_ = p;
    heldBefore0_ = s.Cards[p - 1]->Held();
    Act(step > 0 ? static_cast<const TVXCustomControl*>(s.Cards[p - 1]) : s.HoldButtons[p - 1]);
    return;
  }
  // A draw that costs a further bet needs the credit for it first.
  const int held = g.AnyHeldCount();
  const int32_t preview = static_cast<int32_t>(vx::LabelValue(s.LblWinV));
  if (g.Has(vx::poDrawCostsBet) && (held < 5 && !(held == 0 && preview > 0)) &&
      static_cast<int64_t>(g.Data->Money.Credit()) < g.Data->Bet) {
    if (Bank() >= 100) {
      Act(Nav()->BtnCredit, 20);
      return;
    }
    // Nothing left to buy with: the holds go, and the draw keeps a paying hand whole for
    // free or folds the round, which then cannot deal again.
    if (held > 0 && g.Data->CanClearHolds()) {
      ++m.Folds;
      Expecting(Expect::Fold, g);
      Act(s.BtnCashAll);
      return;
    }
  }
  Expecting(Expect::Draw, g);
  Act(s.BtnDeal);
}

void PokerTour::Won(TPoker& g) {
  Machine& m = Current();
  TPokerScene& s = *g.PokerScene;
  TVXDoubleUp& dup = *g.DoubleUp;
  const int winKey = dealSerial_ * 4 + g.Data->Stage;
  if (plannedWin_ != winKey) {
    // What to do with this win. The first wins on a machine try everything it offers (the
    // first always gambles, so every kind of double-up is played even in the short run);
    // after that the player mostly collects, so that a bank of 1000 lasts a hundred hands on
    // each machine: gambling keeps the expected money but spreads it, and a further draw
    // gives up the win for another bet.
    plannedWin_ = winKey;
    const int n = m.Wins++;
    const bool trying = n < 4 || n % 6 == 0;
    planFurther_ = g.Round.State() == vx::rsFurtherDraw && (n == 0 || n == 3 || n % 12 == 0);
    planHalf_ = m.HalfOffered() && g.Round.State() != vx::rsWon && n % 4 == 1;
    planPlays_ = g.Round.State() == vx::rsWon || !trying ? 0 : (n == 2 ? 0 : 1 + n % 3);
    ShootDoubleUp(g);
  }
  if (planFurther_ && g.Round.State() == vx::rsFurtherDraw) {
    planFurther_ = false;
    ++m.FurtherDraws;
    Expecting(Expect::Switch, g);
    Act(s.BtnDeal);
    return;
  }
  if (planHalf_ && dup.Active && g.Data->CanTakeHalf() && g.Data->Money.Win() > 0) {
    planHalf_ = false;
    ++m.Halves;
    Expecting(Expect::Half, g);
    Act(s.HoldButtons[4]);
    return;
  }
  if (g.Round.State() != vx::rsWon && planPlays_ > 0) {
    if (g.Data->DoubleUpKind == vx::dkBeatTheDealer) {
      if (dup.WaitingForDeal) {
        ++m.DealerDeals;
        Expecting(Expect::DealDealer, g);
        Act(s.BtnDeal);
        return;
      }
      if (dup.Active) {
        --planPlays_;
        ++m.Picks;
        const int p = 2 + m.Picks % 4;
        Expecting(Expect::Pick, g);
        Act(s.HoldButtons[p - 1]);
        return;
      }
    } else if (dup.Active) {
      --planPlays_;
      ++m.Choices;
      // Position 2 is SMALL or RED, position 4 BIG or BLACK.
      Expecting(Expect::Choose, g);
      Act(s.HoldButtons[m.Choices % 2 == 0 ? 1 : 3]);
      return;
    }
  }
  ++m.Collects;
  Expecting(Expect::Collect, g);
  Act(s.BtnCashAll);
}

void PokerTour::CheckExpected(TPoker& g) {
  const Expect e = expect_;
  expect_ = Expect::None;
  const TPokerData& d = *g.Data;
  const uint32_t credit = d.Money.Credit();
  const int32_t win = d.Money.Win();
  const int hands = CountedHands(g);
  const int state = g.Round.State();
  const std::string where = std::string("after ") + ExpectName(e) + " - " + Where();
  const std::string before = " (before: credit " + std::to_string(credit0_) + ", win " + std::to_string(win0_) +
                             ", bet " + std::to_string(bet0_) + ")";
  const bool jackpot = g.Has(vx::poJackpot);
  const bool costed = g.Has(vx::poDrawCostsBet);
  switch (e) {
    case Expect::None:
      return;
    case Expect::Deal:
      ++dealSerial_;
      EXPECT_EQ(state, 3) << where;
      EXPECT_EQ(d.Stage, 1) << where;
      EXPECT_EQ(credit, credit0_ - static_cast<uint32_t>(bet0_)) << "the deal takes the bet" << before << where;
      EXPECT_EQ(hands, hands0_) << where;
      for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(g.PokerScene->Cards[i]->FaceDown()) << "card " << i + 1 << " " << where;
        EXPECT_EQ(g.PokerScene->HoldLabels[i]->Visible(), g.PokerScene->Cards[i]->Held()) << "card " << i + 1 << " " << where;
      }
      return;
    case Expect::Toggle: {
      const TVXCard* card = g.PokerScene->Cards[position0_ - 1];
      EXPECT_EQ(state, 3) << where;
      EXPECT_NE(card->Held(), heldBefore0_) << "the click on card " << position0_ << " did not toggle its hold " << where;
      EXPECT_EQ(g.PokerScene->HoldLabels[position0_ - 1]->Visible(), card->Held()) << where;
      EXPECT_EQ(credit, credit0_) << where;
      return;
    }
    case Expect::Fold:
      EXPECT_EQ(state, 3) << where;
      EXPECT_EQ(g.AnyHeldCount(), 0) << where;
      for (int i = 0; i < 5; ++i) EXPECT_FALSE(g.PokerScene->HoldLabels[i]->Visible()) << where;
      return;
    case Expect::Draw: {
      Machine& m = Current();
      if (costed && held0_ == 0 && preview0_ == 0 && stage0_ == 1) {
        // Nothing kept of a hand that pays nothing: that round ends unseen and a new hand is
        // dealt for a new bet (none when the credit cannot cover it).
        ++m.Redeals;
        EXPECT_EQ(hands, hands0_) << "the folded round counts no hand" << where;
        if (static_cast<int64_t>(credit0_) < bet0_) {
          EXPECT_EQ(state, 0) << where;
          EXPECT_EQ(credit, credit0_) << before << where;
          return;
        }
        ++dealSerial_;
        EXPECT_EQ(state, 3) << "a costed fold deals again" << where;
        EXPECT_EQ(credit, credit0_ - static_cast<uint32_t>(bet0_)) << before << where;
        return;
      }
      // Held cards stay; each other position p is refilled from the dealt slot p + 5 (p + 10
      // on a further draw).
      const bool allKept = costed && held0_ == 0 && preview0_ > 0;
      for (int i = 0; i < 5; ++i) {
        const int32_t shown = g.PokerScene->Cards[i]->Number();
        if (held0At_[i] || allKept) {
          EXPECT_EQ(shown, shown0_[i]) << "held card " << i + 1 << " " << where;
        } else {
          EXPECT_EQ(shown, d.Cards[static_cast<size_t>(i + (stage0_ == 2 ? 10 : 5))]) << "card " << i + 1 << " " << where;
        }
      }
      // A costed machine charges the bet again for a draw that replaces a card.
      const uint32_t charged = costed && held0_ < 5 && !(held0_ == 0 && preview0_ > 0) ? bet0_ : 0;
      const uint32_t expected = credit0_ - charged;
      if (state == 0) {
        EXPECT_EQ(credit, expected) << "a losing draw" << before << where;
        EXPECT_EQ(win, 0) << where;
        EXPECT_EQ(hands, hands0_ + 1) << "the lost hand is counted once" << where;
      } else {
        EXPECT_TRUE(state == 5 || state == 6 || state == 7) << where;
        if (jackpot) {
          EXPECT_GE(credit, expected) << before << where;
        } else {
          EXPECT_EQ(credit, expected) << "a winning draw leaves the win pending" << before << where;
        }
        EXPECT_GT(win, 0) << where;
        EXPECT_EQ(hands, hands0_) << where;
      }
      return;
    }
    case Expect::Switch:
      EXPECT_EQ(state, 3) << where;
      EXPECT_EQ(d.Stage, 2) << where;
      EXPECT_EQ(credit, credit0_) << where;
      // The further draw is played at once: the hand's plan covers it.
      plannedHand_ = -1;
      return;
    case Expect::Collect:
      EXPECT_EQ(state, 0) << where;
      EXPECT_EQ(win, 0) << where;
      EXPECT_EQ(credit, credit0_ + static_cast<uint32_t>(win0_)) << "the collected win is in the credit" << before << where;
      EXPECT_EQ(hands, hands0_ + 1) << "the collected hand is counted once" << where;
      EXPECT_EQ(g.PokerScene->LblCreditV->Caption(), std::to_string(credit)) << where;
      return;
    case Expect::Half: {
      // Halves round upward during play: 5 takes 3 and leaves 2.
      const int32_t half = (win0_ + 1) / 2;
      EXPECT_EQ(credit, credit0_ + static_cast<uint32_t>(half)) << before << where;
      EXPECT_EQ(win, win0_ - half) << before << where;
      EXPECT_EQ(state, win > 0 ? 7 : 0) << where;
      EXPECT_EQ(hands, hands0_ + (win > 0 ? 0 : 1)) << where;
      EXPECT_EQ(g.PokerScene->LblWinV->Caption(), std::to_string(win)) << where;
      return;
    }
    case Expect::Choose: {
      const bool lost = state == 0 && win == 0 && credit == credit0_;
      const bool goesOn = state == 7 && credit == credit0_ && (win == win0_ || win == 2 * win0_ || win == 4 * win0_);
      const bool collected =
          state == 0 && win == 0 &&
          (credit == credit0_ + static_cast<uint32_t>(win0_) || credit == credit0_ + 2u * static_cast<uint32_t>(win0_) ||
           credit == credit0_ + 4u * static_cast<uint32_t>(win0_) ||
           (jackpot && credit == credit0_ + static_cast<uint32_t>(g.DoubleUp->BarWin)));
      EXPECT_TRUE(lost || goesOn || collected) << "credit " << credit << ", win " << win << before << where;
      EXPECT_EQ(hands, hands0_ + (state == 0 ? 1 : 0)) << "the double-up's hand is counted once" << where;
      return;
    }
    case Expect::DealDealer:
      EXPECT_EQ(state, 7) << where;
      EXPECT_TRUE(g.DoubleUp->Active) << where;
      EXPECT_FALSE(g.DoubleUp->WaitingForDeal) << where;
      EXPECT_FALSE(g.PokerScene->DupCards[0]->FaceDown()) << "the dealer's card shows" << where;
      EXPECT_EQ(credit, credit0_) << where;
      EXPECT_EQ(win, win0_) << where;
      return;
    case Expect::Pick: {
      const bool lost = state == 0 && win == 0 && credit == credit0_;
      const bool goesOn = state == 7 && g.DoubleUp->WaitingForDeal && credit == credit0_ &&
                          (win == win0_ || win == 2 * win0_);
      const bool collected = state == 0 && win == 0 && credit == credit0_ + 2u * static_cast<uint32_t>(win0_);
      EXPECT_TRUE(lost || goesOn || collected) << "credit " << credit << ", win " << win << before << where;
      EXPECT_EQ(hands, hands0_ + (state == 0 ? 1 : 0)) << where;
      return;
    }
  }
}

void PokerTour::ShootHand(TPoker& g) {
  Machine& m = Current();
  if (m.HandShot || g.Data->Stage != 1) return;
  m.HandShot = true;
  f_.RenderNow();
  const vxtest::Shot shot = vxe2e::Screenshot(f_);
  ASSERT_EQ(shot.Pixels.size(), 800u * 600u) << Where();
  const char* dir = std::getenv("VX_TEST_TMP");
  int32_t w = shot.Width, h = shot.Height;
  vx::WriteFileAtomic(std::string(dir != nullptr ? dir : "/tmp") + "/poker_hand_" + std::to_string(m.Id) + ".bmp",
                      vx::EncodeScreenshotBmp(w, h, shot.Pixels));
  // Each of the five cards is drawn where the theme puts it: its face is not black.
  for (int i = 0; i < 5; ++i) {
    const TVXCard* c = g.PokerScene->Cards[i];
    size_t lit = 0, seen = 0;
    for (int y = std::max(0, c->Top()); y < std::min(600, c->Top() + c->Height()); y += 2)
      for (int x = std::max(0, c->Left()); x < std::min(800, c->Left() + c->Width()); x += 2, ++seen)
        lit += shot.Pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] != 0;
    EXPECT_GT(seen, 100u) << "card " << i + 1 << " is off the screen - " << Where();
    EXPECT_GT(lit * 2, seen) << "card " << i + 1 << " is not drawn - " << Where();
  }
}

void PokerTour::ShootDoubleUp(TPoker& g) {
  Machine& m = Current();
  if (m.DoubleUpShot || g.Round.State() == vx::rsWon) return;
  m.DoubleUpShot = true;
  TPokerScene& s = *g.PokerScene;
  f_.RenderNow();
  const vxtest::Shot shot = vxe2e::Screenshot(f_);
  const char* dir = std::getenv("VX_TEST_TMP");
  vx::WriteFileAtomic(std::string(dir != nullptr ? dir : "/tmp") + "/poker_doubleup_" + std::to_string(m.Id) + ".bmp",
                      vx::EncodeScreenshotBmp(shot.Width, shot.Height, shot.Pixels));
  EXPECT_TRUE(s.PnlDoubleUp->Visible()) << Where();
  if (g.Has(vx::poHideHandInDoubleUp)) {
    EXPECT_FALSE(s.Cards[0]->Visible()) << "this machine hides the hand while the double-up shows - " << Where();
  } else {
    EXPECT_FALSE(s.PayoutList->Panel->Visible()) << "this machine hides the pay list while the double-up shows - "
                                                 << Where();
  }
}

TEST(PokerEndToEnd, EveryMachineFromTheLobbyKeepsEveryCoinAccounted) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  const std::vector<int32_t> ids = vxe2e::MachinesToPlay("VX_POKER_MACHINES", kAllMachines);
  ASSERT_FALSE(ids.empty());
  // A hundred hands a machine take many minutes; the quick run plays nine.
  const int handsEach = std::getenv("VX_QUICK") != nullptr ? 9 : 100;

  vxe2e::TourRun run;
  const auto tour = run.Run<PokerTour>(ids, handsEach);
  ASSERT_TRUE(tour);

  std::printf("%-4s %-28s %5s %6s %6s %5s %6s %5s %7s %7s %7s %5s %6s %5s %8s %4s\n", "id", "machine", "hands",
              "bought", "cashed", "deals", "toggle", "folds", "redeals", "further", "choices", "halves", "dealer",
              "picks", "collects", "wins");
  for (const Machine& m : tour->Machines())
    std::printf("%-4d %-28s %5d %6d %6u %5d %6d %5d %7d %7d %7d %5d %6d %5d %8d %4d\n", m.Id, m.Title.c_str(), m.Hands,
                m.Bought * 100, m.CreditAtExit, m.Deals, m.Toggles, m.Folds, m.Redeals, m.FurtherDraws, m.Choices,
                m.Halves, m.DealerDeals, m.Picks, m.Collects, m.Wins);
  std::printf("%zu machines, %d hands each, %.1f s\n", tour->Machines().size(), handsEach, run.Seconds);
  if (tour->Aborted()) return;

  // Read back: every machine's record in the casino statistics, and the bank.
  const int64_t bank = vxe2e::PlayerBank(run.Program, "DEALER");
  const std::string casino =
      vxtest::TempDir::ReadFile((run.Program / "Casinos" / "VideoPokerCasino" / "casino.xml").string());
  int64_t creditIn = 0, creditOut = 0;
  int counters[4] = {};
  bool costedPlayed = false;
  for (const Machine& m : tour->Machines()) {
    SCOPED_TRACE("machine " + std::to_string(m.Id) + " (" + m.Title + ")");
    EXPECT_TRUE(m.Entered && m.Left);
    const bool last = &m == &tour->Machines().back();
    EXPECT_TRUE(m.Hands == handsEach || (tour->Broke() && last && m.Hands < handsEach));
    const vxe2e::CasinoRecord r = vxe2e::ReadCasinoRecord(casino, m.IDStr);
    ASSERT_TRUE(r.Found) << casino;
    EXPECT_EQ(r.Hands, m.Hands) << "every hand played is in the statistics, once";
    EXPECT_EQ(r.CreditIn, 100 + 100 * m.Bought) << "the opening credit and every credit bought";
    EXPECT_EQ(r.CreditOut, m.CreditAtExit) << "the credit cashed out on leaving";
    creditIn += r.CreditIn;
    creditOut += r.CreditOut;
    counters[0] += m.Toggles;
    counters[1] += m.Choices + m.Picks;
    counters[2] += m.Wins;
    counters[3] += m.Folds;
    costedPlayed = costedPlayed || vx::HasOption(m.Variant->Options, vx::poDrawCostsBet);
    if (handsEach >= 100 && m.Hands == handsEach) {
      // A hundred hands give every machine the chance to play all it offers.
      const bool beatTheDealer = m.Variant->DoubleUpKind == vx::dkBeatTheDealer;
      EXPECT_GT(m.Toggles, 0);
      EXPECT_GT(m.Wins, 0);
      EXPECT_GT(beatTheDealer ? m.Picks : m.Choices, 0) << "double-ups played";
      EXPECT_TRUE(!m.HalfOffered() || m.Halves > 0) << "halves taken";
      EXPECT_TRUE(!vx::HasOption(m.Variant->Options, vx::poFurtherDraw) || m.FurtherDraws > 0) << "further draws";
      EXPECT_TRUE(!vx::HasOption(m.Variant->Options, vx::poDrawCostsBet) || m.Folds > 0) << "folds";
    }
  }
  EXPECT_GT(counters[0], 0) << "holds were toggled by clicks";
  // The cards are dealt at random: nine hands of one machine (a ctest process of the quick
  // run) can all lose, a hundred hands practically cannot.
  int hands = 0;
  for (const Machine& m : tour->Machines()) hands += m.Hands;
  if (hands >= 100) {
    EXPECT_GT(counters[1], 0) << "double-ups were played";
    EXPECT_GT(counters[2], 0) << "hands were won";
  }
  EXPECT_TRUE(!costedPlayed || counters[3] > 0) << "a costed machine saw a fold";
  EXPECT_EQ(bank, kStartingBank - creditIn + creditOut) << "every coin that left the bank is accounted for";
  EXPECT_EQ(bank, tour->LastBank());
  EXPECT_GE(bank, 0);

  ASSERT_FALSE(tour->Boxes().empty());
  EXPECT_EQ(tour->Boxes().front(), "Player DEALER created successfully!");
  EXPECT_EQ(tour->Boxes().size(), 1 + tour->Machines().size()) << "one exit question per machine, nothing else";
  for (size_t i = 1; i < tour->Boxes().size(); ++i) EXPECT_EQ(tour->Boxes()[i], kExitQuestion);
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}

}  // namespace
