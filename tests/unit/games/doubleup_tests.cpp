// The double-up games on a running video-poker game: BIG/SMALL and RED/BLACK card results,
// losses, the limit and the final collect (which ends the round once, whatever is pressed
// during its pause), the bar, BEAT THE DEALER with its forced collect, and taking half.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "poker_rig.h"

namespace {

using pokertest::Rig;

constexpr int32_t C(int32_t rank, int32_t suit) { return (suit - 1) * 13 + rank; }

// The state a winning draw leaves: a pending win, a made hand, the double-up offered.
void OfferWin(Rig& rig, int32_t win, std::array<int32_t, 10> cards, int32_t code = 7, bool bar = false) {
  TPoker& g = *rig.Game;
  TPokerData& d = rig.Data();
  d.Money.Reset(d.Money.Credit(), win);
  d.LastHandKey = vx::HandKeyOfCode(code);
  d.SetStage(vx::psAfterFirstDraw);
  d.SetSubStage(vx::pssOffer);
  d.DealtDoubleUpCards = cards;
  g.Round.Resume(vx::rsDoubleUp);
  g.DoubleUp->Offer(code, bar);
  rig.Screen().ShowDoubleUp(true);
}

TEST(DoubleUp, CardResultsFollowTheKindAndTheChoice) {
  using R = TVXDoubleUp;
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(7, 2), 0).Factor, 1);
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(7, 2), 1).Word, "DRAW");
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(1, 1), 0).Factor, 2) << "the ace counts as 1";
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(6, 1), 1).Factor, 0);
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(6, 1), 1).Word, "SMALL");
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(8, 3), 1).Factor, 2);
  EXPECT_EQ(R::CardResult(vx::dkBigSmall, C(8, 3), 0).Word, "BIG");
  for (int32_t joker : {53, 54})
    for (uint8_t kind : {uint8_t{0}, uint8_t{1}})
      for (int32_t choice : {0, 1}) {
        EXPECT_EQ(R::CardResult(kind, joker, choice).Factor, 4);
        EXPECT_EQ(R::CardResult(kind, joker, choice).Word, "JOKER");
      }
  EXPECT_EQ(R::CardResult(vx::dkRedBlack, C(5, 2), 0).Factor, 2);
  EXPECT_EQ(R::CardResult(vx::dkRedBlack, C(5, 3), 1).Word, "RED");
  EXPECT_EQ(R::CardResult(vx::dkRedBlack, C(5, 3), 1).Factor, 0);
  EXPECT_EQ(R::CardResult(vx::dkRedBlack, C(5, 4), 1).Factor, 2);
  EXPECT_EQ(R::CardResult(vx::dkRedBlack, C(5, 1), 0).Word, "BLACK");

  EXPECT_EQ(R::CompareWithDealer(C(13, 1), C(1, 2)), 1) << "an ace beats the dealer's king";
  EXPECT_EQ(R::CompareWithDealer(C(1, 1), C(13, 2)), -1) << "the dealer's ace beats a king";
  EXPECT_EQ(R::CompareWithDealer(C(1, 1), C(1, 2)), 0);
  EXPECT_EQ(R::CompareWithDealer(C(9, 1), C(9, 4)), 0);
  EXPECT_EQ(R::CompareWithDealer(C(9, 1), C(10, 4)), 1);
  EXPECT_EQ(R::CompareWithDealer(C(9, 1), C(2, 4)), -1);

  const int32_t levels[] = {0, 5, 5, 6, 5, 4, 3, 2, 2, 1, 0, 0, 0};
  for (int32_t code = 0; code <= 12; ++code) EXPECT_EQ(R::StartBarLevel(code), levels[code]) << code;
  EXPECT_EQ(R::StartBarLevel(20), 6);
  EXPECT_EQ(R::StartBarLevel(21), 5);
  EXPECT_EQ(R::StartBarLevel(22), 0);
}

TEST(DoubleUp, BigSmallDoublesDrawsOnSevenQuadruplesOnAJokerAndLosesTheRest) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  int finished = 0;
  g.DoubleUp->OnFinish = [&] { ++finished; };
  OfferWin(rig, 10, {C(3, 1), C(7, 2), 53, C(12, 3), C(9, 1), C(2, 2), C(4, 4), C(5, 1), C(6, 2), C(8, 3)});
  EXPECT_EQ(rig.Screen().LblDupTitle->Caption(), "BIG/SMALL");
  EXPECT_EQ(g.DoubleUp->Position, 1);
  EXPECT_TRUE(rig.Screen().DupCards[0]->Visible());
  EXPECT_TRUE(rig.Screen().DupCards[0]->FaceDown());
  EXPECT_FALSE(rig.Screen().DupCards[1]->Visible());
  EXPECT_TRUE(rig.Screen().ImgDupHitUp->Blinking());

  rig.Hold(2);  // SMALL on a 3
  EXPECT_EQ(d.Money.Win(), 20);
  EXPECT_EQ(rig.Screen().LblDupHit->Caption(), "SMALL");
  EXPECT_FALSE(rig.Screen().DupCards[0]->FaceDown());
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp);
  EXPECT_EQ(g.DoubleUp->Position, 2);
  rig.Hold(4);  // BIG on a 7: a draw
  EXPECT_EQ(d.Money.Win(), 20);
  EXPECT_EQ(rig.Screen().LblDupHit->Caption(), "DRAW");
  rig.Hold(2);  // the joker
  EXPECT_EQ(d.Money.Win(), 80);
  EXPECT_EQ(rig.CountSound("SND_DUPWINSPECIAL"), 1);
  EXPECT_EQ(rig.CountSound("SND_DUPWIN"), 2);
  EXPECT_EQ(rig.Screen().LblWinV->Caption(), "80");
  rig.Hold(2);  // SMALL on a queen: lost
  EXPECT_EQ(d.Money.Win(), 0);
  EXPECT_EQ(rig.Message(), "GAME OVER");
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(rig.Tally("HAND_FLUSH"), 1);
  EXPECT_EQ(rig.Tally("HAND_NOTHING"), 0);
  EXPECT_EQ(rig.CountSound("SND_DUPLOSE"), 1);
  rig.Hold(2);
  EXPECT_EQ(finished, 1) << "no choice after the end";
}

TEST(DoubleUp, TheLastCardOfTheLimitCollectsOnceWhateverIsPressedDuringThePause) {
  for (int32_t limit : {10, 8, 0, 11, -3}) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    Rig rig;
    TPoker& g = rig.Start(10);
    TPokerData& d = rig.Data();
    d.DoubleUpLimit = limit;
    const int32_t expected = (limit >= 1 && limit <= 10) ? limit : 10;
    int finished = 0;
    g.DoubleUp->OnFinish = [&] { ++finished; };
    OfferWin(rig, 5, {C(2, 1), C(3, 2), C(4, 3), C(5, 4), C(6, 1), C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)});
    const uint32_t credit = d.Money.Credit();
    for (int k = 1; k < expected; ++k) {
      rig.Hold(2);
      ASSERT_EQ(g.Round.State(), vx::rsDoubleUp) << k;
    }
    // Every button, every frame of the closing pauses.
    const int64_t calls = rig.Rng->Calls;
    rig.OnFrame = [&] {
      rig.Deal();
      rig.Cash();
      rig.Hold(2);
      rig.Hold(5);
      uint16_t key = 'M';
      g.KeyDown(key);
    };
    rig.Hold(2);
    rig.OnFrame = nullptr;
    const int32_t win = 5 << expected;
    EXPECT_EQ(d.Money.Credit(), credit + static_cast<uint32_t>(win));
    EXPECT_EQ(d.Money.Win(), 0);
    EXPECT_EQ(g.Round.State(), vx::rsIdle);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(rig.Tally("HAND_FLUSH"), 1);
    EXPECT_EQ(rig.Tally("HAND_NOTHING"), 0);
    EXPECT_EQ(rig.Rng->Calls, calls) << "no round was dealt during the pause";
    EXPECT_EQ(rig.Message(), "GAME OVER");
    EXPECT_EQ(rig.CountSound("SND_DUPWINEND"), 1);
    EXPECT_FALSE(rig.Screen().DoubleUpShown()) << "the double-up has ended";
  }
}

TEST(DoubleUp, CashCountsTheWinOnTheRoundsViewAndEndsTheDoubleUp) {
  Rig rig;
  TPoker& g = rig.Start(5);
  OfferWin(rig, 150, {C(2, 1), C(3, 2), C(4, 3), C(5, 4), C(6, 1), C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)});
  const uint32_t credit = rig.Data().Money.Credit();
  int countedOnTheDoubleUp = 0;
  rig.OnFrame = [&] { countedOnTheDoubleUp += rig.Screen().DoubleUpShown(); };
  rig.Cash();
  rig.OnFrame = nullptr;
  EXPECT_EQ(countedOnTheDoubleUp, 0);
  EXPECT_EQ(rig.Data().Money.Credit(), credit + 150u);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_TRUE(rig.Screen().PayoutList->Panel->Visible());
}

TEST(DoubleUp, RedBlackWinsOnTheRightColour) {
  Rig rig;
  TPoker& g = rig.Start(12);
  TPokerData& d = rig.Data();
  OfferWin(rig, 10, {C(5, 2), C(5, 1), C(5, 3), C(5, 4), C(6, 1), C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)});
  EXPECT_EQ(rig.Screen().LblDupTitle->Caption(), "RED/BLACK");
  EXPECT_EQ(g.DoubleUp->WinningChoice(), 0);
  rig.Hold(2);  // RED on hearts
  EXPECT_EQ(d.Money.Win(), 20);
  EXPECT_EQ(g.DoubleUp->WinningChoice(), 1);
  rig.Hold(4);  // BLACK on spades
  EXPECT_EQ(d.Money.Win(), 40);
  rig.Hold(4);  // BLACK on diamonds
  EXPECT_EQ(d.Money.Win(), 0);
  EXPECT_EQ(rig.Screen().LblDupHit->Caption(), "RED");
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
}

TEST(DoubleUp, TheFilledBarPaysItsValueFromLevelFiveOnTheThirdWin) {
  Rig rig;
  TPoker& g = rig.Start(5);
  TPokerData& d = rig.Data();
  OfferWin(rig, 10, {C(5, 2), C(5, 3), C(5, 2), C(5, 3), C(6, 2), C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)}, 4,
           true);
  ASSERT_TRUE(g.DoubleUp->BarMode);
  EXPECT_EQ(g.DoubleUp->BarLevel, 5);
  EXPECT_EQ(g.DoubleUp->BarWin, 10 * 16);
  EXPECT_EQ(rig.Screen().LblDupBarWinV->Caption(), "160");
  EXPECT_TRUE(rig.Screen().PnlDupBarDup->Visible());
  const uint32_t credit = d.Money.Credit();
  rig.Hold(2);
  EXPECT_EQ(g.DoubleUp->BarLevel, 6);
  rig.Hold(2);
  EXPECT_EQ(g.DoubleUp->BarLevel, 7);
  EXPECT_EQ(d.Money.Win(), 40);
  rig.Hold(5);
  EXPECT_EQ(d.Money.Win(), 40) << "no half-take with the jackpot option";
  rig.Hold(2);
  EXPECT_EQ(d.Money.Credit(), credit + 160);
  EXPECT_EQ(d.Money.Win(), 0);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_FALSE(rig.Screen().LblDupBarWinV->Blinking());
  EXPECT_EQ(rig.Tally("HAND_STREETFLUSH"), 1);
}

TEST(DoubleUp, BeatTheDealerDealsPicksAndForcesACollectBeforeAnOverflow) {
  Rig rig;
  TPoker& g = rig.Start(3);
  TPokerData& d = rig.Data();
  int finished = 0;
  g.DoubleUp->OnFinish = [&] { ++finished; };
  OfferWin(rig, 10, {}, 7);
  EXPECT_EQ(rig.Screen().LblDupTitle->Caption(), "BEAT THE DEALER");
  EXPECT_TRUE(g.DoubleUp->WaitingForDeal);
  EXPECT_EQ(rig.Screen().LblDupHit->Caption(), "DOUBLE UP?");
  EXPECT_TRUE(rig.Screen().LblDupHit->Visible());
  rig.Hold(3);
  EXPECT_EQ(d.Money.Win(), 10) << "no pick before the deal";

  // Dealer king; the player's ace at position 3.
  rig.Rng->Queue = {C(13, 1) - 1, C(4, 2) - 1, C(1, 3) - 1, C(9, 4) - 1, C(2, 1) - 1};
  rig.Deal();
  EXPECT_FALSE(g.DoubleUp->WaitingForDeal);
  EXPECT_FALSE(rig.Screen().DupCards[0]->FaceDown());
  EXPECT_TRUE(rig.Screen().DupCards[2]->FaceDown());
  rig.Cash();
  EXPECT_EQ(d.Money.Win(), 10) << "CASH waits while a dealt game wants its pick";
  rig.Hold(3);
  EXPECT_EQ(d.Money.Win(), 20);
  EXPECT_EQ(rig.Message(), "WIN");
  EXPECT_FALSE(rig.Screen().DupCards[4]->FaceDown()) << "every card is shown after a pick";
  EXPECT_TRUE(g.DoubleUp->WaitingForDeal);
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp);

  // A draw keeps the win.
  rig.Rng->Queue = {C(9, 1) - 1, C(9, 2) - 1, C(1, 3) - 1, C(5, 4) - 1, C(2, 1) - 1};
  rig.Deal();
  rig.Hold(2);
  EXPECT_EQ(d.Money.Win(), 20);
  EXPECT_EQ(rig.Message(), "DRAW");
  EXPECT_EQ(rig.CountSound("SND_DRAW"), 1);

  // A win that could not be doubled again is collected at once.
  d.Money.Reset(d.Money.Credit(), INT32_MAX / 2);
  const uint32_t credit = d.Money.Credit();
  rig.Rng->Queue = {C(5, 1) - 1, C(9, 2) - 1, C(1, 3) - 1, C(6, 4) - 1, C(2, 1) - 1};
  rig.Deal();
  rig.Hold(2);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(static_cast<uint64_t>(d.Money.Credit()), static_cast<uint64_t>(credit) + (INT32_MAX / 2) * 2ull);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(rig.Tally("HAND_FLUSH"), 1);

  // A loss ends the round.
  OfferWin(rig, 10, {}, 7);
  rig.Rng->Queue = {C(1, 1) - 1, C(13, 2) - 1, C(12, 3) - 1, C(6, 4) - 1, C(2, 1) - 1};
  rig.Deal();
  rig.Hold(2);
  EXPECT_EQ(d.Money.Win(), 0);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(finished, 2);
  EXPECT_EQ(rig.Tally("HAND_FLUSH"), 2);
}

TEST(DoubleUp, BigSmallRefusesToPlayAWinItCouldNotHoldQuadrupled) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TPokerData& d = rig.Data();
  d.Money.Reset(0, d.Money.Win());
  OfferWin(rig, INT32_MAX / 4 + 1, {C(2, 1), C(3, 2), C(4, 3), C(5, 4), C(6, 1), C(2, 2), C(3, 3), C(4, 4), C(5, 1),
                                    C(6, 2)});
  rig.Hold(2);
  EXPECT_EQ(d.Money.Credit(), static_cast<uint32_t>(INT32_MAX / 4 + 1));
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
}

TEST(DoubleUp, TakingHalfRoundsUpAndEndsWhenNothingIsLeft) {
  struct Case {
    int32_t Win, Credit, Left;
  };
  for (const Case& c : {Case{5, 3, 2}, Case{7, 4, 3}, Case{1, 1, 0}}) {
    Rig rig;
    TPoker& g = rig.Start(10);
    TPokerData& d = rig.Data();
    d.Money.Reset(0, d.Money.Win());
    OfferWin(rig, c.Win, {C(2, 1), C(3, 2), C(4, 3), C(5, 4), C(6, 1), C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)});
    rig.Hold(5);
    EXPECT_EQ(d.Money.Credit(), static_cast<uint32_t>(c.Credit)) << c.Win;
    EXPECT_EQ(d.Money.Win(), c.Left) << c.Win;
    EXPECT_EQ(g.Round.State(), c.Left > 0 ? 7 : 0) << c.Win;
    EXPECT_EQ(rig.Tally("HAND_FLUSH"), c.Left > 0 ? 0 : 1);
    if (c.Left > 0) {
      EXPECT_TRUE(d.DoubleUpOffered);
      EXPECT_TRUE(g.DoubleUp->Active);
      rig.Hold(2);  // the game goes on with what is left
      EXPECT_EQ(d.Money.Win(), c.Left * 2);
    }
  }
}

TEST(DoubleUp, ChoosingInTheFurtherDrawStateStartsTheDoubleUp) {
  Rig rig;
  TPoker& g = rig.Start(1);
  TPokerData& d = rig.Data();
  rig.Rng->Cards({C(13, 1), C(13, 2), C(13, 3), C(4, 4), C(9, 1), C(6, 2), C(8, 3), C(3, 3), C(6, 4), C(8, 1),
                  C(12, 2), C(10, 3), C(3, 1), C(13, 4), C(9, 2), C(2, 1), C(3, 2), C(4, 3), C(5, 4), C(6, 1),
                  C(2, 2), C(3, 3), C(4, 4), C(5, 1), C(6, 2)});
  rig.Deal();
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsFurtherDraw);
  const int32_t win = d.Money.Win();
  rig.Hold(2);  // SMALL on a 2
  EXPECT_EQ(d.Money.Win(), win * 2);
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp);
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsDoubleUp) << "no further draw once the double-up was played";
}

}  // namespace
