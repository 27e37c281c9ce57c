// Scripted video-poker rounds with a fixed generator: deal, hold, draw and pay in every
// variant; the slot rule; folds, re-deals and costed draws; the further draw; the Orvanta
// bonus; the mini-bonus pool and the jackpot; automatic holds; bets; the decks.
#include <gtest/gtest.h>

#include <set>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXDebug.h"
#include "support/TempDir.h"
#include "poker_rig.h"

namespace {

using pokertest::Rig;

constexpr int32_t C(int32_t rank, int32_t suit) { return (suit - 1) * 13 + rank; }

// Fillers that make no hand with anything used below.
void QueueFillers(Rig& rig, int n) {
  static const int32_t fill[] = {C(2, 3), C(3, 4), C(6, 3), C(8, 4), C(10, 2), C(12, 3), C(2, 4), C(3, 2)};
  for (int i = 0; i < n; ++i) rig.Rng->Queue.push_back(fill[i % 8] - 1);
}

TEST(PokerRound, EveryVariantDealsHoldsDrawsAndPaysItsTable) {
  for (int32_t id : {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15}) {
    SCOPED_TRACE("game " + std::to_string(id));
    Rig rig;
    TPoker& g = rig.Start(id);
    TPokerData& d = rig.Data();
    ASSERT_EQ(d.Money.Credit(), 100u);
    const int32_t bet = d.Bet;
    EXPECT_EQ(bet, d.MinBet);
    EXPECT_EQ(g.Round.State(), vx::rsIdle);
    EXPECT_TRUE(g.Demo->Running);

    // Three kings dealt; the draw replaces positions 4 and 5 from slots 9 and 10.
    rig.Rng->Cards({C(13, 1), C(13, 2), C(13, 3), C(4, 4), C(9, 1), C(6, 2), C(8, 3), C(3, 3), C(6, 4),
                    C(8, 1), C(12, 2), C(10, 3), C(3, 1), C(13, 4), C(9, 2)});
    rig.Deal();
    ASSERT_EQ(g.Round.State(), vx::rsHolding);
    EXPECT_FALSE(g.Demo->Running);
    EXPECT_EQ(rig.Message(), "HOLD AND DRAW CARDS");
    EXPECT_EQ(d.Money.Credit(), 100u - bet);
    EXPECT_EQ(rig.Shown(1), C(13, 1));
    EXPECT_EQ(rig.Shown(5), C(9, 1));
    EXPECT_TRUE(rig.Held(1) && rig.Held(2) && rig.Held(3));
    EXPECT_FALSE(rig.Held(4) || rig.Held(5));
    EXPECT_EQ(rig.CountSound("SND_WINPRE"), 1);
    EXPECT_EQ(rig.CountSound("SND_AUTOHOLD"), 1);
    EXPECT_EQ(d.Money.Win(), 0) << "the dealt hand only previews its win";

    rig.Deal();
    const int32_t pay = rig.Catalogue.FindGameByID(id)->GetPay("HAND_THREEOFAKIND");
    const bool costs = g.Has(vx::poDrawCostsBet);
    EXPECT_EQ(rig.Shown(4), C(6, 4));
    EXPECT_EQ(rig.Shown(5), C(8, 1));
    EXPECT_EQ(d.LastHandKey, "HAND_THREEOFAKIND");
    EXPECT_EQ(d.Money.Win(), bet * pay);
    EXPECT_EQ(d.Money.Credit(), 100u - bet - (costs ? bet : 0));
    EXPECT_EQ(rig.Message(), "WIN");
    const int expectState = g.Has(vx::poFurtherDraw) ? 6 : 7;
    EXPECT_EQ(g.Round.State(), expectState);
    EXPECT_TRUE(d.CanCollect());
    EXPECT_TRUE(rig.Screen().PnlDoubleUp->Visible());
    if (d.DoubleUpKind == vx::dkBeatTheDealer) {
      EXPECT_TRUE(g.DoubleUp->WaitingForDeal);
    }

    rig.Cash();
    EXPECT_EQ(g.Round.State(), vx::rsIdle);
    EXPECT_EQ(d.Money.Win(), 0);
    EXPECT_EQ(d.Money.Credit(), 100u - bet - (costs ? bet : 0) + bet * pay);
    EXPECT_EQ(rig.Screen().LblCreditV->Caption(), std::to_string(d.Money.Credit()));
    EXPECT_EQ(rig.Tally("HAND_THREEOFAKIND"), 1);
    EXPECT_EQ(d.Stage, 0);
    EXPECT_TRUE(g.Demo->Running);
  }
}

TEST(PokerRound, ADiscardIsRefilledFromTheSlotFiveOrTenFurtherOn) {
  Rig rig;
  TPoker& g = rig.Start(10);
  // Nothing dealt that the automatic hold keeps except what the test holds.
  rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1), C(4, 2), C(7, 3), C(12, 4), C(10, 1),
                  C(6, 2), C(3, 3), C(8, 4), C(1, 2), C(4, 4), C(6, 1)});
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsHolding);
  rig.HoldOnly({1, 3, 4, 5});
  rig.Deal();
  EXPECT_EQ(rig.Shown(2), C(7, 3)) << "position 2 takes slot 7";
  EXPECT_EQ(rig.Shown(1), C(2, 1));
  EXPECT_EQ(rig.Shown(3), C(9, 3));
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(rig.Message(), "GAME OVER");
  EXPECT_EQ(rig.Tally("HAND_NOTHING"), 1);

  rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1), C(4, 2), C(7, 3), C(12, 4), C(10, 1),
                  C(6, 2), C(3, 3), C(8, 4), C(1, 2), C(4, 4), C(6, 1)});
  rig.Deal();
  rig.HoldOnly({1, 3, 5});
  rig.Deal();
  EXPECT_EQ(rig.Shown(2), C(7, 3));
  EXPECT_EQ(rig.Shown(4), C(10, 1)) << "position 4 takes slot 9 whatever else is discarded";
}

TEST(PokerRound, AFurtherDrawRefillsFromTheThirdFiveAndEndsInTheDoubleUp) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  const int32_t bet = d.Bet;
  // Kings dealt; the first draw keeps them (trips); the further draw brings the fourth king
  // to position 4 (slot 14) while position 2 is thrown away... no: kings stay held.
  rig.Rng->Cards({C(13, 1), C(13, 2), C(13, 3), C(4, 4), C(9, 1), C(6, 2), C(8, 3), C(3, 3), C(6, 4),
                  C(8, 1), C(12, 2), C(10, 3), C(3, 1), C(13, 4), C(9, 2)});
  QueueFillers(rig, 10);
  rig.Deal();
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsFurtherDraw);
  EXPECT_EQ(d.Stage, 2);
  EXPECT_EQ(d.SubStage, 1);
  EXPECT_FALSE(d.DoubleUpOffered);
  const uint32_t creditAfterDraw = d.Money.Credit();

  rig.Deal();  // declines the double-up: one more draw
  ASSERT_EQ(g.Round.State(), vx::rsHolding);
  EXPECT_EQ(d.SubStage, 2);
  EXPECT_EQ(rig.Message(), "HOLD AND DRAW CARDS");
  EXPECT_FALSE(rig.Screen().PnlDoubleUp->Visible());
  EXPECT_TRUE(d.CanClearHolds());
  rig.Deal();
  EXPECT_EQ(rig.Shown(4), C(13, 4)) << "position 4 takes slot 14 on the further draw";
  EXPECT_EQ(rig.Shown(5), C(9, 2));
  EXPECT_EQ(d.LastHandKey, "HAND_POKER");
  EXPECT_EQ(d.Money.Win(), bet * 40);
  EXPECT_EQ(d.Money.Credit(), creditAfterDraw - bet) << "two cards drawn again cost one more bet";
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp);
  EXPECT_EQ(d.Stage, 3);
  EXPECT_TRUE(d.DoubleUpOffered);
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp) << "DEAL does nothing once the double-up is offered";
  rig.Cash();
  EXPECT_EQ(d.Money.Credit(), creditAfterDraw - bet + bet * 40);
  EXPECT_EQ(rig.Tally("HAND_POKER"), 1);
  EXPECT_EQ(rig.Tally("HAND_THREEOFAKIND"), 0);
}

TEST(PokerRound, CostedDrawsFoldNothingAndKeepAFullHoldFree) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  const int32_t bet = d.Bet;
  // Nothing dealt and nothing held: DRAW folds and deals the next fifteen at once.
  rig.Rng->Cards({C(2, 1), C(6, 2), C(9, 3), C(11, 4), C(13, 1), C(4, 2), C(7, 3), C(12, 4), C(10, 1),
                  C(6, 3), C(3, 3), C(8, 4), C(1, 2), C(4, 4), C(6, 1)});
  rig.Rng->Cards({C(1, 1), C(1, 2), C(12, 1), C(12, 2), C(4, 3), C(7, 1), C(9, 4), C(3, 1), C(6, 4),
                  C(8, 1), C(12, 3), C(10, 3), C(3, 2), C(11, 4), C(9, 2)});
  QueueFillers(rig, 10);
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsHolding);
  for (int p = 1; p <= 5; ++p) ASSERT_FALSE(rig.Held(p)) << p;
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsHolding) << "a fresh hand waits for holds";
  EXPECT_EQ(rig.Shown(1), C(1, 1));
  EXPECT_EQ(d.Money.Credit(), 100u - 2 * bet);
  EXPECT_EQ(rig.Tally("HAND_NOTHING"), 0) << "the folded hand ends unseen";

  // Two pairs pay: with nothing held every card is kept and the draw costs nothing.
  rig.HoldOnly({});
  rig.Deal();
  EXPECT_EQ(d.Money.Credit(), 100u - 2 * bet);
  EXPECT_EQ(rig.Shown(5), C(4, 3));
  EXPECT_EQ(d.LastHandKey, "HAND_TWOPAIRS");
  EXPECT_EQ(d.Money.Win(), 2 * bet);
  EXPECT_EQ(g.Round.State(), vx::rsFurtherDraw);
}

TEST(PokerRound, ABetTheCreditCannotCoverDealsNothing) {
  Rig rig;
  rig.Bank = 0;
  TPoker& g = rig.Start(10);
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(rig.Data().Bet, 1) << "with no credit the bet shows 1";
  EXPECT_TRUE(rig.Screen().LblCreditV->Blinking());
  EXPECT_TRUE(g.Demo->Running);
  EXPECT_EQ(rig.Rng->Calls, 0);
}

TEST(PokerRound, CostedDrawRefusedWithoutCreditWaitsForHolds) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  rig.Rng->Cards({C(13, 1), C(13, 2), C(13, 3), C(4, 4), C(9, 1)});
  QueueFillers(rig, 10);
  rig.Deal();
  d.Money.Reset(0, d.Money.Win());
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsHolding);
  EXPECT_EQ(rig.Shown(4), C(4, 4));
  d.Money.Reset(50, d.Money.Win());
  rig.HoldOnly({1, 2, 3, 4, 5});
  rig.Deal();
  EXPECT_EQ(d.Money.Credit(), 50u) << "holding all five draws without a further bet";
  EXPECT_EQ(g.Round.State(), vx::rsFurtherDraw);
}

TEST(PokerRound, OrvantaFourPaysItsValueAndTheNumberWrapsFromTenToSeven) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  const int32_t bet = d.Bet;
  d.OrvantaNumber = 10;
  g.ChangeBet(true);
  EXPECT_EQ(rig.Screen().LblOrvantaV->Caption(), std::to_string(bet * 10 * 100));
  rig.Rng->Cards({C(10, 1), C(10, 2), C(10, 3), C(10, 4), C(3, 1), C(6, 2), C(8, 3), C(3, 3), C(6, 4),
                  C(8, 1)});
  QueueFillers(rig, 15);
  rig.Deal();
  EXPECT_TRUE(rig.Held(1) && rig.Held(4) && !rig.Held(5));
  rig.Deal();
  EXPECT_EQ(d.LastHandKey, "HAND_POKER");
  EXPECT_TRUE(d.FourOrvanta);
  EXPECT_EQ(d.Money.Win(), bet * 40 + bet * 1000);
  rig.Cash();
  EXPECT_EQ(d.Money.Credit(), 100u - 2 * bet + bet * 40 + bet * 1000);
  EXPECT_EQ(d.OrvantaNumber, 7);
  EXPECT_EQ(d.GetOrvantaStat(bet), 0);
  EXPECT_EQ(rig.Screen().LblOrvantaCard->Caption(), "7");
}

TEST(PokerRound, TheTenthOrvantaTripsPaysAndStartsTheNextNumber) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  const int32_t bet = d.Bet;
  d.OrvantaNumber = 5;
  d.SetOrvantaStat(bet, 9);
  rig.Rng->Cards({C(5, 1), C(5, 2), C(5, 3), C(13, 4), C(2, 1), C(6, 2), C(8, 3), C(3, 3), C(9, 4), C(11, 1)});
  QueueFillers(rig, 15);
  rig.Deal();
  EXPECT_EQ(d.LastHandKey, "HAND_3XORVANTA");
  EXPECT_EQ(d.GetOrvantaStat(bet), 10) << "the dealt trips light the stage";
  rig.Deal();
  ASSERT_EQ(d.LastHandKey, "HAND_3XORVANTA");
  EXPECT_EQ(d.GetOrvantaStat(bet), 10) << "taken back at the draw, counted again for the drawn trips";
  EXPECT_EQ(d.Money.Win(), bet * 13 + bet * 5 * 100);
  ASSERT_EQ(g.Round.State(), vx::rsFurtherDraw);
  rig.Cash();
  EXPECT_EQ(d.GetOrvantaStat(bet), 0);
  EXPECT_EQ(d.OrvantaNumber, 6);

  // Trips below the tenth only count.
  rig.Rng->Cards({C(6, 1), C(6, 2), C(6, 3), C(13, 4), C(2, 1), C(7, 2), C(8, 3), C(3, 3), C(9, 4), C(11, 1)});
  QueueFillers(rig, 15);
  rig.Deal();
  rig.Deal();
  EXPECT_EQ(d.Money.Win(), bet * 13);
  rig.Cash();
  EXPECT_EQ(d.GetOrvantaStat(bet), 1);
  EXPECT_EQ(d.OrvantaNumber, 6);

  // Trips held through both draws: each draw first takes back the count of the hand on
  // screen, so they count once and pay no bonus a trip early.
  d.SetOrvantaStat(bet, 8);
  rig.Rng->Cards({C(6, 1), C(6, 2), C(6, 3), C(13, 4), C(2, 1), C(7, 2), C(8, 3), C(3, 3), C(9, 4), C(11, 1),
                  C(7, 3), C(9, 3), C(3, 4), C(12, 1), C(4, 1)});
  QueueFillers(rig, 10);
  rig.Deal();
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsFurtherDraw);
  EXPECT_EQ(d.GetOrvantaStat(bet), 9);
  rig.Deal();
  rig.HoldOnly({1, 2, 3});
  rig.Deal();
  ASSERT_EQ(d.LastHandKey, "HAND_3XORVANTA");
  EXPECT_EQ(d.GetOrvantaStat(bet), 9);
  EXPECT_EQ(d.Money.Win(), bet * 13);
}

TEST(PokerRound, MiniBonusPoolGrowsOnUnpaidJacksAndPaysAtAHundredBets) {
  Rig rig;
  TPoker& g = rig.Start(5);
  TPokerData& d = rig.Data();
  ASSERT_EQ(d.Bet, 1);
  d.AmericanJackpot = 1;
  d.SetMiniBonus(1, 98);
  auto playJacks = [&] {
    rig.Rng->Queue.clear();
    rig.Rng->Cards({C(11, 1), C(11, 2), C(3, 3), C(7, 4), C(9, 1), C(4, 2), C(6, 3), C(2, 3), C(4, 1), C(8, 2)});
    QueueFillers(rig, 15);
    rig.Deal();
    EXPECT_TRUE(rig.Held(1) && rig.Held(2) && !rig.Held(3));
    rig.Deal();
  };
  playJacks();
  EXPECT_EQ(d.GetMiniBonus(1), 99);
  EXPECT_EQ(g.Round.State(), vx::rsIdle) << "an unpaid pair still ends the round";
  EXPECT_EQ(rig.CountSound("SND_JACKPOTADD"), 1);
  EXPECT_EQ(rig.Screen().LblMiniBonusV->Caption(), "99");

  const uint32_t credit = d.Money.Credit();
  playJacks();
  EXPECT_EQ(d.Money.Win(), 100);
  EXPECT_EQ(d.AmericanJackpot, 51);
  EXPECT_EQ(d.GetMiniBonus(1), 1) << "the pool restarts at the bet";
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp);
  rig.Cash();
  EXPECT_EQ(d.Money.Credit(), credit - 2 + 100) << "deal and costed draw";
}

TEST(PokerRound, ATopThreeRowWinsTheJackpotIntoTheCredit) {
  Rig rig;
  TPoker& g = rig.Start(5);
  TPokerData& d = rig.Data();
  d.AmericanJackpot = 500;
  rig.Rng->Cards({C(10, 1), C(11, 1), C(12, 1), C(13, 1), C(1, 1)});
  QueueFillers(rig, 20);
  rig.Deal();
  for (int p = 1; p <= 5; ++p) EXPECT_TRUE(rig.Held(p)) << p;
  rig.Deal();
  EXPECT_EQ(d.LastHandKey, "HAND_ROYALFLUSH");
  EXPECT_EQ(d.Money.Credit(), 100u - 1 + 500);
  EXPECT_EQ(d.AmericanJackpot, 1);
  EXPECT_EQ(d.Money.Win(), 300);
  EXPECT_EQ(rig.Screen().LblJackpotV->Caption(), "1");
  EXPECT_FALSE(rig.Screen().LblJackpotV->Blinking());
  EXPECT_EQ(g.DoubleUp->BarLevel, 5);
  EXPECT_TRUE(g.DoubleUp->BarMode);

  // A fourth-row hand pays no jackpot.
  rig.Cash();
  d.AmericanJackpot = 500;
  rig.Rng->Cards({C(9, 1), C(9, 2), C(9, 3), C(9, 4), C(1, 1)});
  QueueFillers(rig, 20);
  rig.Deal();
  rig.Deal();
  EXPECT_EQ(d.LastHandKey, "HAND_POKER");
  EXPECT_EQ(d.AmericanJackpot, 500);
}

TEST(PokerRound, AutomaticHoldsKeepTheBestDraw) {
  struct Case {
    int32_t Game;
    std::array<int32_t, 5> Cards;
    std::array<bool, 5> Held;
  };
  const Case cases[] = {
      {10, {C(2, 1), C(6, 1), C(9, 1), C(13, 1), C(4, 2)}, {true, true, true, true, false}},    // four to a flush
      {10, {C(5, 3), C(6, 2), C(7, 1), C(8, 2), C(13, 3)}, {true, true, true, true, false}},    // open straight
      {10, {C(13, 3), C(7, 2), C(5, 1), C(8, 2), C(9, 3)}, {false, true, true, true, true}},    // one gap
      {10, {C(1, 2), C(2, 3), C(10, 1), C(12, 2), C(13, 4)}, {true, false, true, true, true}},  // ace high gap
      {10, {C(3, 1), C(8, 2), C(3, 3), C(11, 4), C(13, 1)}, {true, false, true, false, false}}, // low pair
      {10, {C(11, 1), C(4, 2), C(11, 3), C(11, 4), C(13, 1)}, {true, false, true, true, false}}, // trips
      {10, {C(11, 1), C(4, 2), C(11, 3), C(4, 4), C(13, 1)}, {true, true, true, true, false}},   // two pairs
      {14, {53, C(4, 1), C(8, 2), C(12, 3), C(2, 4)}, {true, false, false, true, false}},       // wild + high card
      {12, {C(2, 1), C(2, 2), C(2, 3), C(2, 4), C(9, 1)}, {true, true, true, true, false}},     // four deuces
  };
  for (const Case& c : cases) {
    Rig rig;
    TPoker& g = rig.Start(c.Game);
    for (int i = 0; i < 5; ++i) {
      rig.Screen().Cards[i]->SetNumber(c.Cards[static_cast<size_t>(i)]);
      rig.Screen().Cards[i]->SetFaceDown(false);
    }
    g.AutoHold(g.EvaluateShown(), false);
    for (int p = 1; p <= 5; ++p) {
      EXPECT_EQ(rig.Held(p), c.Held[static_cast<size_t>(p - 1)]) << "game " << c.Game << " card " << c.Cards[0] << " pos " << p;
      EXPECT_EQ(rig.Screen().HoldLabels[p - 1]->Visible(), rig.Held(p));
    }
  }
}

TEST(PokerRound, HoldButtonsCardsKeysAndCashToggleAndClearHolds) {
  Rig rig;
  TPoker& g = rig.Start(10);
  rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1)});
  QueueFillers(rig, 10);
  rig.Deal();
  ASSERT_FALSE(rig.Held(1));
  rig.Hold(1);
  rig.Click(rig.Screen().Cards[2]);
  uint16_t key = 'V';
  g.KeyDown(key);
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(rig.Held(1) && rig.Held(3) && rig.Held(4));
  EXPECT_TRUE(rig.Screen().HoldLabels[3]->Visible());
  key = 'V';
  g.KeyDown(key);
  EXPECT_FALSE(rig.Held(4));
  EXPECT_EQ(rig.CountSound("SND_HOLD"), 4);
  rig.Cash();
  for (int p = 1; p <= 5; ++p) EXPECT_FALSE(rig.Held(p));
  key = 'Q';
  g.KeyDown(key);
  EXPECT_EQ(key, 'Q') << "other keys pass on";
  key = 'M';
  g.KeyDown(key);
  EXPECT_EQ(g.Round.State(), vx::rsIdle) << "M draws";
}

TEST(PokerRound, BetsStepThroughTheListOrRangeWithinTheCredit) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TPokerData& d = rig.Data();
  ASSERT_EQ(d.Bet, 10);
  std::vector<int32_t> seen;
  for (int i = 0; i < 5; ++i) {
    g.BetClick();
    seen.push_back(d.Bet);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{20, 30, 40, 50, 10}));
  EXPECT_EQ(rig.Screen().LblBetV->Caption(), "10");
  d.Money.Reset(25, d.Money.Win());
  g.BetClick();
  EXPECT_EQ(d.Bet, 20);
  g.BetClick();
  EXPECT_EQ(d.Bet, 10) << "a bet the credit cannot cover falls back to the smallest";
  d.Money.Reset(7, d.Money.Win());
  g.UpdateCredit();
  EXPECT_EQ(d.Bet, 7) << "below the smallest bet the whole credit is bet";
  EXPECT_FALSE(rig.Screen().LblCreditV->Blinking());
  d.Money.Reset(100, d.Money.Win());
  g.BetClick();
  EXPECT_EQ(d.Bet, 10) << "a bet off the list steps to the list's first element";
  d.Money.Reset(0, d.Money.Win());
  g.UpdateCredit();
  EXPECT_EQ(d.Bet, 1);
  EXPECT_TRUE(rig.Screen().LblCreditV->Blinking());

  rig.Screen();
  g.Round.Resume(vx::rsHolding);
  d.Money.Reset(100, d.Money.Win());
  g.BetClick();
  EXPECT_EQ(d.Bet, 1) << "no bet change during a round";
  g.Round.Resume(vx::rsIdle);

  Rig rig3;
  TPoker& g3 = rig3.Start(3);
  TPokerData& d3 = rig3.Data();
  ASSERT_EQ(d3.Bet, 5);
  g3.BetClick();
  EXPECT_EQ(d3.Bet, 6);
  d3.Bet = 100;
  g3.BetClick();
  EXPECT_EQ(d3.Bet, 5) << "past the largest bet the range starts again";
}

TEST(PokerRound, DecksDealOnlyWhatTheVariantAllows) {
  int count = 0;
  const vx::TPokerVariant* variants = vx::PokerVariants(count);
  for (int i = 0; i < count; ++i) {
    const vx::TPokerVariant& v = variants[i];
    SCOPED_TRACE("game " + std::to_string(v.ID));
    Rig rig;
    TPoker& g = rig.Start(v.ID);
    std::set<int32_t> poker, dup;
    for (int round = 0; round < 400; ++round) {
      g.Deal(15, false, 0);
      std::set<int32_t> once(rig.Data().Cards.begin(), rig.Data().Cards.end());
      ASSERT_EQ(once.size(), 15u);
      poker.insert(once.begin(), once.end());
      g.Deal(10, true, 0);
      std::set<int32_t> dupOnce(rig.Data().DealtDoubleUpCards.begin(), rig.Data().DealtDoubleUpCards.end());
      ASSERT_EQ(dupOnce.size(), 10u);
      dup.insert(dupOnce.begin(), dupOnce.end());
    }
    for (int32_t n = 1; n <= 54; ++n) {
      EXPECT_EQ(poker.count(n) == 1, v.DealsCard(n)) << n;
      bool dupAllowed = n <= 52;
      if (n == 53) dupAllowed = vx::HasOption(v.Options, vx::poDoubleUpJoker53);
      if (n == 54) dupAllowed = vx::HasOption(v.Options, vx::poDoubleUpJoker54);
      if (n == 7 || n == 20 || n == 33 || n == 46) dupAllowed = vx::HasOption(v.Options, vx::poDoubleUpSevens);
      EXPECT_EQ(dup.count(n) == 1, dupAllowed) << "double-up " << n;
    }
  }
}

TEST(PokerRound, TestHandsFixTheHandAndNoReplacementRepeatsThem) {
  Rig rig;
  TPoker& g = rig.Start(3);
  for (int round = 0; round < 200; ++round) {
    g.Deal(15, false, 2);
    const auto& c = rig.Data().Cards;
    EXPECT_EQ((std::vector<int32_t>(c.begin(), c.begin() + 5)), (std::vector<int32_t>{2, 15, 28, 41, 53}));
    EXPECT_EQ(std::set<int32_t>(c.begin(), c.end()).size(), 15u);
  }
}

TEST(PokerRound, InDeveloperModeTheLogWindowsHandIsDealt) {
  struct Case {
    int32_t Index, Game, Code;
  };
  const Case cases[] = {{1, 1, vx::hcFiveOfAKind},  {2, 13, vx::hcFiveOfAKindD}, {3, 14, vx::hcRoyalFlush},
                        {4, 14, vx::hcRoyalFlushN}, {5, 10, vx::hcStreetFlush}, {6, 10, vx::hcPoker},
                        {7, 12, vx::hcPokerD},      {8, 11, vx::hcPokerAces},   {9, 11, vx::hcPokerJQK},
                        {10, 11, vx::hcPoker2To10}, {11, 10, vx::hcFullHouse},  {12, 10, vx::hcFlush},
                        {13, 10, vx::hcStreet},     {14, 10, vx::hcThreeOfAKind}, {15, 10, vx::hcTwoPairs},
                        {16, 10, vx::hcHighPair},   {17, 1, vx::hc3XOrvanta},   {18, 1, vx::hcPoker}};
  vxtest::TempDir dir;
  ASSERT_EQ(static_cast<int32_t>(TfrmDebug::CheatHandItems().size()), 19);
  for (const Case& c : cases) {
    SCOPED_TRACE(TfrmDebug::CheatHandItems()[static_cast<size_t>(c.Index)]);
    Rig rig;
    rig.Context.AppInfo = std::make_unique<TVXApplicationInfo>();
    TVXApplicationInfo& info = *rig.Context.AppInfo;
    info.DeveloperMode = true;
    rig.Context.DebugWindow = std::make_unique<TfrmDebug>(true, dir.File("debug.log"));
    rig.Context.DebugWindow->SetCheatHandIndex(c.Index);
    TPoker& g = rig.Start(c.Game);
    g.Deal(15, false, 0);
    for (int i = 0; i < 5; ++i) rig.Screen().Cards[i]->SetNumber(rig.Data().Cards[static_cast<size_t>(i)]);
    const vx::THandEvaluation e = g.EvaluateShown();
    EXPECT_EQ(e.Code, c.Code);
    EXPECT_EQ(e.FourOrvanta, c.Index == 18);
    EXPECT_EQ(std::set<int32_t>(rig.Data().Cards.begin(), rig.Data().Cards.end()).size(), 15u);
    info.DeveloperMode = false;
    g.Deal(15, false, 0);
    EXPECT_NE(rig.Data().Cards[0] * 100 + rig.Data().Cards[1], 1 * 100 + 14) << "outside developer mode: none";
  }
}

TEST(PokerRound, AnUnknownGameIdPlaysAsTheClassicGame) {
  Rig rig;
  TGameInfo info;
  info.ID = 77;
  info.IDStr = "VXG_TEST";
  TPoker g(&info, &rig.Context, &rig);
  EXPECT_EQ(g.Variant->ID, 10);
  EXPECT_TRUE(vx::LogContains("NO VIDEO POKER ROW FOR GAME 77"));
}

}  // namespace
