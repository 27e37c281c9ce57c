// The game base's money operations on a running video-poker game: taking the bet, the
// count-up, cashing out, the opening credit, leaving, closing the program mid-round and the
// ceiling that keeps every round able to end.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Log.h"
#include "games/GameData.h"
#include "poker_rig.h"
#include "support/TempDir.h"

namespace {

using pokertest::Rig;

TEST(GameBase, TakeBetNeedsAPositiveBetTheCreditCovers) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TPokerData& d = rig.Data();
  d.Money.Reset(5, d.Money.Win());
  d.Bet = 5;
  EXPECT_TRUE(g.TakeBet());
  EXPECT_EQ(d.Money.Credit(), 0u);
  EXPECT_TRUE(rig.Screen().LblCreditV->Blinking()) << "an empty credit cannot cover the next bet";

  d.Money.Reset(50, d.Money.Win());
  for (int32_t bet : {0, -5, 51}) {
    d.Bet = bet;
    EXPECT_FALSE(g.TakeBet()) << bet;
    EXPECT_EQ(d.Money.Credit(), 50u) << bet;
  }
  d.Bet = 50;
  EXPECT_TRUE(g.TakeBet());
  EXPECT_EQ(rig.Screen().LblCreditV->Caption(), "0");
}

TEST(GameBase, OpeningCreditComesFromTheBankOnlyWhenItHoldsAHundred) {
  {
    Rig rig;
    rig.Bank = 100;
    rig.Start(10);
    EXPECT_EQ(rig.Bank, 0u);
    EXPECT_EQ(rig.Data().Money.Credit(), 100u);
    EXPECT_EQ(rig.Data().GetCreditIn(), 100u);
    EXPECT_EQ(rig.Screen().LblCreditV->Caption(), "100");
  }
  {
    Rig rig;
    rig.Bank = 99;
    rig.Start(10);
    EXPECT_EQ(rig.Bank, 99u);
    EXPECT_EQ(rig.Data().Money.Credit(), 0u);
    EXPECT_TRUE(rig.Messages.empty()) << "a video-poker game asks nothing when the bank is short";
  }
}

TEST(GameBase, BuyingCreditShowsTheDialogAndRefreshesTheBet) {
  Rig rig;
  rig.Bank = 1000;
  TPoker& g = rig.Start(10);
  rig.DialogAmount = 900;
  g.BuyCredit();
  EXPECT_EQ(rig.CreditFormsShown, 1);
  EXPECT_EQ(rig.Data().Money.Credit(), 1000u);
  EXPECT_EQ(rig.Bank, 0u);
  EXPECT_EQ(rig.Screen().LblCreditV->Caption(), "1000");
}

TEST(GameBase, CountTransferMovesTenAFrameAboveAHundredThenOne) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TVXLabel* from = rig.Screen().LblWinV;
  TVXLabel* to = rig.Screen().LblCreditV;
  from->SetText("250");
  to->SetText("7");
  const int before = rig.RenderNows;
  g.CountTransfer(from, to, -1);
  EXPECT_EQ(rig.RenderNows - before, 15 + 100);
  EXPECT_EQ(from->Caption(), "0");
  EXPECT_EQ(to->Caption(), "257");

  // Nothing counts from a label that shows no number, nor into one, nor a non-positive amount.
  from->SetText("abc");
  g.CountTransfer(from, to, -1);
  from->SetText("40");
  to->SetText("x");
  g.CountTransfer(from, to, 10);
  to->SetText("1");
  g.CountTransfer(from, to, -3);
  EXPECT_EQ(rig.RenderNows - before, 115);
  EXPECT_EQ(from->Caption(), "40");

  // 5,000 takes 490 + 100 frames; an amount no play reaches still ends within 2,100.
  for (const auto& [amount, frames] : {std::pair{"5000", 590}, std::pair{"2000000000", 2100}}) {
    from->SetText(amount);
    to->SetText("0");
    const int start = rig.RenderNows;
    g.CountTransfer(from, to, -1);
    EXPECT_LE(rig.RenderNows - start, frames) << amount;
    EXPECT_GE(rig.RenderNows - start, std::min(frames, 590)) << amount;
    EXPECT_EQ(to->Caption(), amount);
  }
}

TEST(GameBase, CashOutAsksThenMovesTheCreditToTheBank) {
  Rig rig;
  rig.Bank = 1000;
  TPoker& g = rig.Start(10);
  TPokerData& d = rig.Data();
  ASSERT_EQ(d.Money.Credit(), 100u);

  rig.Answers = {mrNo};
  g.CashOutClick();
  EXPECT_EQ(rig.Messages.back().Text, "Cash out 100?");
  EXPECT_EQ(d.Money.Credit(), 100u);

  g.Round.Resume(vx::rsHolding);
  g.CashOut(true);
  EXPECT_EQ(rig.Messages.back().Text, "You have a game in progress. You cannot cash out now.");
  EXPECT_EQ(d.Money.Credit(), 100u);
  g.Round.Resume(vx::rsIdle);

  rig.Answers = {mrYes};
  // A click during the count must not start a second cash-out.
  int nested = 0;
  rig.OnFrame = [&] {
    if (nested++ == 0) g.CashOut(true);
  };
  g.CashOutClick();
  rig.OnFrame = nullptr;
  EXPECT_EQ(d.Money.Credit(), 0u);
  EXPECT_EQ(rig.Bank, 1000u);
  EXPECT_EQ(d.GetCreditOut(), 100u);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(rig.Screen().LblCreditV->Caption(), "0");

  const size_t asked = rig.Messages.size();
  g.CashOut(false);
  EXPECT_EQ(rig.Messages.size(), asked) << "nothing to cash out: not even the question";
}

TEST(GameBase, CashOutNeverLosesCreditTheBankCannotTake) {
  Rig rig;
  rig.Bank = 100;
  TPoker& g = rig.Start(10);
  rig.Bank = 4294967295u - 50;
  g.CashOut(true);
  EXPECT_EQ(rig.Data().Money.Credit(), 100u);
  EXPECT_EQ(rig.Bank, 4294967295u - 50);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);

  rig.SignedIn = false;
  rig.Bank = 0;
  g.CashOut(true);
  EXPECT_EQ(rig.Data().Money.Credit(), 100u) << "with nobody signed in the credit stays";
}

TEST(GameBase, ARoundIsRefusedWhenItsWinCouldNotBeCashedOut) {
  Rig rig;
  rig.Bank = 1000;
  TPoker& g = rig.Start(10);
  rig.Bank = static_cast<uint32_t>(TVXGame::MoneyCeiling) - 100;  // with the credit: exactly the ceiling
  EXPECT_TRUE(g.CanStartRound());
  rig.Bank += 1;
  const uint32_t credit = rig.Data().Money.Credit();
  EXPECT_FALSE(g.CanStartRound());
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_EQ(rig.Data().Money.Credit(), credit) << "no bet taken";
  EXPECT_TRUE(vx::LogContains("LIMIT"));
  // A round already running may still draw: a further bet only lowers the money.
  rig.Bank -= 1;
  rig.Rng->Cards({2, 18, 35, 51, 13});
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsHolding);
  rig.Bank += 1000;
  rig.Deal();
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  // Whatever a round pays on top of the ceiling still fits in the bank.
  EXPECT_LE(TVXGame::MoneyCeiling + 2147483647ull + TPokerData::MaxJackpot, 4294967295ull);
}

TEST(GameBase, FinishVisitCashesOutSavesAndMergesOnce) {
  Rig rig;
  vxtest::TempDir dir;
  rig.Bank = 500;
  TPoker& g = rig.Start(10);
  rig.Data().FileName = dir.File("VXG_VP_JACKSORBETTER.dat");
  TGameStatictics record;
  g.Statistics = &record;
  rig.Data().CountHand("HAND_FLUSH");

  g.Round.Resume(vx::rsHolding);
  EXPECT_FALSE(g.FinishVisit());
  EXPECT_FALSE(std::filesystem::exists(rig.Data().FileName));
  g.Round.Resume(vx::rsIdle);

  EXPECT_TRUE(g.FinishVisit());
  EXPECT_EQ(rig.Bank, 500u);
  EXPECT_EQ(rig.Data().Money.Credit(), 0u);
  EXPECT_TRUE(std::filesystem::exists(rig.Data().FileName));
  EXPECT_EQ(record.CreditIn, 100u);
  EXPECT_EQ(record.CreditOut, 100u);
  ASSERT_NE(record.FindHand("HAND_FLUSH", false), nullptr);
  EXPECT_EQ(record.FindHand("HAND_FLUSH", false)->Value, 1);

  g.SettleOnClose();  // the program closes afterwards: nothing is counted twice
  EXPECT_EQ(record.CreditIn, 100u);
  EXPECT_EQ(record.FindHand("HAND_FLUSH", false)->Value, 1);
}

TEST(GameBase, CreditBoughtDuringACountUpIsKept) {
  Rig rig;
  rig.Bank = 2000;
  TPoker& g = rig.Start(10);
  rig.Rng->Cards({11, 24, 3, 33, 48, 1, 2, 37, 4, 5, 6, 8, 9, 10, 12});
  rig.Deal();
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsDoubleUp);
  bool bought = false;
  rig.OnFrame = [&] {
    if (bought) return;
    bought = true;
    g.BuyCredit();
  };
  rig.Cash();
  rig.OnFrame = nullptr;
  ASSERT_TRUE(bought);
  EXPECT_EQ(rig.Data().Money.Credit(), 100u - 10 + 30 + 1000);
  EXPECT_EQ(rig.Money(), 2000u - 10 + 30);
}

TEST(GameBase, ClosingMidDoubleUpPaysThePendingWinIntoTheBank) {
  Rig rig;
  vxtest::TempDir dir;
  rig.Bank = 1000;
  TPoker& g = rig.Start(10);
  rig.Data().FileName = dir.File("game.dat");
  TGameStatictics record;
  g.Statistics = &record;
  // Pair of jacks dealt, jacks held; the draw brings a third jack.
  rig.Rng->Cards({11, 24, 3, 33, 48, 1, 2, 37, 4, 5, 6, 8, 9, 10, 12});
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsHolding);
  rig.Deal();
  ASSERT_EQ(g.Round.State(), vx::rsDoubleUp);
  ASSERT_EQ(rig.Data().Money.Win(), 30);
  const uint64_t before = rig.Money();
  rig.IsClosing = true;
  g.SettleOnClose();
  EXPECT_EQ(rig.Bank, before);
  EXPECT_EQ(rig.Data().Money.Credit(), 0u);
  EXPECT_EQ(rig.Data().Money.Win(), 0);
  EXPECT_EQ(g.Round.State(), vx::rsIdle);
  EXPECT_TRUE(std::filesystem::exists(rig.Data().FileName));
  ASSERT_NE(record.FindHand("HAND_THREEOFAKIND", false), nullptr);
  EXPECT_EQ(record.FindHand("HAND_THREEOFAKIND", false)->Value, 1);
  EXPECT_EQ(record.CreditOut, 120u);
  EXPECT_FALSE(g.Demo->Running);
}

}  // namespace
