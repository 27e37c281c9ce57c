// The video-poker screen, its pay list, the card animation and the attract mode's script,
// frame by frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXSettings.h"
#include "poker_rig.h"
#include "support/TempDir.h"

namespace {

using pokertest::Rig;

constexpr int32_t C(int32_t rank, int32_t suit) { return (suit - 1) * 13 + rank; }

TEST(PokerScreen, ControlsFollowTheOptionBits) {
  struct Case {
    int32_t Game;
    std::vector<std::string> Present, Absent;
  };
  const Case cases[] = {
      {1,
       {"PNL_ORVANTA", "IMG_ORVANTASTAGE_10", "LBL_ORVANTACARD", "IMG_DEALSTAGEL3", "IMG_DEALSTAGER1",
        "LBL_PAYOFFV_11", "PNL_NORMALDUP"},
       {"PNL_LOGO", "PNL_AMERICANJACKPOT", "PNL_DUPBARDUP", "LBL_PAYOFFV1_1", "LBL_PAYOFF_12"}},
      {5,
       {"PNL_AMERICANJACKPOT", "LBL_AMERICANJACKPOTV", "PNL_DUPBARDUP", "IMG_DUPBAR_8", "LBL_DUPBARWINV"},
       {"PNL_LOGO", "PNL_ORVANTA", "IMG_DEALSTAGEL1"}},
      {11, {"PNL_LOGO", "LBL_PAYOFFV1_1", "LBL_PAYOFFV5_11", "LBL_PAYOFF_11"}, {"LBL_PAYOFFV_1", "PNL_ORVANTA"}},
  };
  const char* common[] = {"IMG_CUSTOM1", "IMG_CUSTOM3", "LBL_MESSAGE", "PNL_DOUBLEUP", "LBL_DUPTITLE",
                          "CARD_DUP_1", "CARD_DUP_10", "LBL_DUPHIT", "IMG_DUPHITDOWN", "IMG_DUPHITUP",
                          "IMG_SERIES", "PNL_CREDIT", "LBL_CREDITV", "LBL_BETV", "LBL_WINV", "CARD_MAIN_1",
                          "CARD_MAIN_5", "LBL_HOLD_5", "IMG_GAMELOGO", "PNL_BUTTONS", "BTN_HOLD_1",
                          "BTN_HOLD_5", "BTN_DEAL", "BTN_BET", "BTN_CASHALL", "IMG_ADV", "PNL_PAYOFF",
                          "LBL_PAYOFF_1"};
  for (const Case& c : cases) {
    SCOPED_TRACE("game " + std::to_string(c.Game));
    Rig rig;
    TPoker& g = rig.Start(c.Game);
    TPokerScene& s = rig.Screen();
    for (const char* name : common) EXPECT_NE(s.FindControl(name), nullptr) << name;
    for (const auto& name : c.Present) EXPECT_NE(s.FindControl(name), nullptr) << name;
    for (const auto& name : c.Absent) EXPECT_EQ(s.FindControl(name), nullptr) << name;
    EXPECT_EQ(s.MusicStyle, 3);
    EXPECT_EQ(s.SceneName(), g.Variant->Theme);
    EXPECT_EQ(s.Cards[0]->TextureInfo.Folder(), g.Variant->CardSet);
    EXPECT_EQ(s.DupCards[9]->TextureInfo.Folder(), g.Variant->CardSet);
    EXPECT_EQ(s.ImgSeries->TextureInfo.Key(), "SERIES\\S_3\\IMG.bmp");
    EXPECT_EQ(s.ImgGameLogo->TextureInfo.Key(), "MAINROOM\\IMG_GAME_" + g.GameInfo->IDStr + ".bmp");
    EXPECT_EQ(s.LblMessage->TextureInfo.Folder(), g.Variant->Theme);
    EXPECT_EQ(s.PayoutList->RowCount, g.GameInfo->Hands().Count());
    for (int32_t r = 1; r <= s.PayoutList->RowCount; ++r)
      EXPECT_EQ(s.PayoutList->Titles[static_cast<size_t>(r - 1)]->Caption(),
                TVXGameManager::HandTitle(g.GameInfo->Hands().Items(r - 1)->HandIDStr));
    EXPECT_FALSE(s.PnlDoubleUp->Visible());
    EXPECT_EQ(s.HoldButtons[0]->Caption(), "HOLD");
    EXPECT_FALSE(s.HoldLabels[0]->Visible());
  }
  Rig rig;
  rig.Start(12);
  EXPECT_EQ(rig.Screen().Cards[0]->WildRank(), 2);
}

TEST(PokerScreen, PayListFillsByBetOrByColumnAndLaysOutFromRowOne) {
  {
    Rig rig;
    rig.Start(11);
    TPayoutList& p = *rig.Screen().PayoutList;
    const int32_t fh = p.RowOf("HAND_FULLHOUSE");
    ASSERT_GT(fh, 0);
    std::vector<std::string> row;
    for (int32_t c = 1; c <= 5; ++c) row.push_back(p.Cell(c, fh)->Caption());
    EXPECT_EQ(row, (std::vector<std::string>{"80", "160", "240", "320", "400"}));
    EXPECT_EQ(p.Cell(6, 1), nullptr);
    EXPECT_EQ(p.Cell(1, p.RowCount + 1), nullptr);
  }
  Rig rig;
  TPoker& g = rig.Start(1);
  TPayoutList& p = *rig.Screen().PayoutList;
  EXPECT_FALSE(p.IsCompact());
  g.BetClick();
  ASSERT_EQ(rig.Data().Bet, 7);
  EXPECT_EQ(p.Cell(1, 1)->Caption(), std::to_string(7 * g.GameInfo->Hands().Items(0)->Value));
  EXPECT_EQ(p.Cell(1, p.RowCount)->Caption(), std::to_string(7 * g.GameInfo->Hands().Items(p.RowCount - 1)->Value));

  p.Titles[0]->SetBounds(40, 100, 200, 18);
  p.Cell(1, 1)->SetBounds(260, 100, 60, 18);
  p.Layout();
  for (int32_t r = 2; r <= p.RowCount; ++r) {
    EXPECT_EQ(p.Titles[static_cast<size_t>(r - 1)]->Top(), 100 + (r - 1) * 18);
    EXPECT_EQ(p.Titles[static_cast<size_t>(r - 1)]->Left(), 40);
    EXPECT_EQ(p.Titles[static_cast<size_t>(r - 1)]->Width(), 200);
    EXPECT_EQ(p.Cell(1, r)->Top(), 100 + (r - 1) * 18);
    EXPECT_EQ(p.Cell(1, r)->Left(), 260);
  }
}

TEST(PokerScreen, HighlightMarksTheRowWithTheSoundOfItsPlace) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TPayoutList& p = *rig.Screen().PayoutList;
  const std::vector<int32_t>& bets = rig.Data().BetList;
  EXPECT_TRUE(p.Highlight(false, "HAND_THREEOFAKIND", 20, bets, false));
  EXPECT_EQ(rig.Sounds.back(), "SND_WINPRE");
  const int32_t row = p.RowOf("HAND_THREEOFAKIND");
  EXPECT_TRUE(p.Marked(2, row));
  EXPECT_FALSE(p.Marked(1, row));
  EXPECT_TRUE(p.Highlight(true, "HAND_THREEOFAKIND", 20, bets, false));
  EXPECT_EQ(rig.Sounds.back(), "SND_WIN");
  EXPECT_TRUE(p.Highlight(true, "HAND_POKER", 20, bets, false));
  EXPECT_EQ(rig.Sounds.back(), "SND_WINBIG") << "row 3";
  EXPECT_FALSE(p.Marked(2, row)) << "one highlight at a time";
  const size_t sounds = rig.Sounds.size();
  EXPECT_FALSE(p.Highlight(true, "HAND_NOTHING", 20, bets, false));
  EXPECT_FALSE(p.Highlight(true, "HAND_FIVEOFAKIND", 20, bets, false)) << "not in this table";
  EXPECT_EQ(rig.Sounds.size(), sounds);
  EXPECT_EQ(g.WinOf(vx::THandEvaluation{vx::hcFiveOfAKind}), 0);

  Rig normal;
  normal.Start(1);
  TPayoutList& n = *normal.Screen().PayoutList;
  EXPECT_TRUE(n.Highlight(true, "HAND_FLUSH", 5, normal.Data().BetList, false));
  EXPECT_TRUE(n.Marked(1, n.RowOf("HAND_FLUSH")));
  EXPECT_FALSE(n.Titles[static_cast<size_t>(n.RowOf("HAND_FLUSH") - 1)]->Blinking()) << "the blink lasts 100 ms";
  EXPECT_EQ(normal.Sounds.back(), "SND_WIN");
}

TEST(PokerScreen, DoubleUpViewHidesTheHandOrThePayList) {
  Rig rig;
  rig.Start(10);
  TPokerScene& s = rig.Screen();
  s.Cards[1]->SetHeld(true);
  s.ShowDoubleUp(true);
  EXPECT_TRUE(s.PnlDoubleUp->Visible());
  EXPECT_FALSE(s.Cards[0]->Visible());
  EXPECT_FALSE(s.HoldLabels[1]->Visible());
  EXPECT_TRUE(s.PayoutList->Panel->Visible());
  s.ShowDoubleUp(false);
  EXPECT_FALSE(s.PnlDoubleUp->Visible());
  EXPECT_TRUE(s.Cards[0]->Visible());
  EXPECT_TRUE(s.HoldLabels[1]->Visible());

  Rig other;
  other.Start(5);
  TPokerScene& t = other.Screen();
  t.ShowDoubleUp(true);
  EXPECT_TRUE(t.Cards[0]->Visible());
  EXPECT_FALSE(t.PayoutList->Panel->Visible());
  EXPECT_FALSE(t.PnlNormalDup->Visible());
  EXPECT_TRUE(t.PnlDupBarDup->Visible());
  EXPECT_TRUE(t.PnlDoubleUp->Visible());
}

TEST(PokerScreen, DeveloperKeysSwitchTheViewAndLogTheHand) {
  Rig rig;
  TPoker& g = rig.Start(10);
  rig.Context.AppInfo = std::make_unique<TVXApplicationInfo>();
  TVXApplicationInfo& info = *rig.Context.AppInfo;
  info.DeveloperMode = false;
  uint16_t key = 'H';
  g.KeyDown(key);
  EXPECT_FALSE(rig.Screen().DoubleUpShown()) << "not outside developer mode";
  info.DeveloperMode = true;
  key = 'H';
  g.KeyDown(key);
  EXPECT_TRUE(rig.Screen().DoubleUpShown());
  rig.Screen().Cards[2]->SetNumber(41);
  key = 'J';
  g.KeyDown(key);
  EXPECT_TRUE(vx::LogContains("CardIndex 3 41"));
}

TEST(PokerAnimation, CardsSlideInAndTheRunEndsWithHeldCards) {
  Rig rig;
  rig.Start(10);
  TPokerScene& s = rig.Screen();
  for (int i = 0; i < 5; ++i) {
    s.Cards[i]->SetLeft(100 * (i + 1));
    s.Cards[i]->SetFaceDown(true);
  }
  s.Cards[1]->SetHeld(true);
  TAnimCards anim(&s);
  anim.Run();
  EXPECT_FALSE(anim.Running);
  EXPECT_EQ(rig.Frames, (500 + 29) / 30);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(s.Cards[i]->Left(), 100 * (i + 1)) << i;
    EXPECT_FALSE(s.Cards[i]->FaceDown()) << i;
  }
  for (TVXCard* c : s.Cards) c->SetHeld(true);
  const int64_t frames = rig.Frames;
  anim.Run();
  EXPECT_FALSE(anim.Running);
  EXPECT_EQ(rig.Frames - frames, 1) << "nothing moves: the first frame ends it";
}

TEST(PokerAnimation, WithCardEffectsTheDealSlidesAndWaitsLonger) {
  vxtest::TempDir dir;
  Rig rig;
  rig.Context.Setting = std::make_unique<TVXSetting>(dir.Str() + "/", dir.Str() + "/tmp");
  rig.Context.Setting->optCardEffects = true;
  TPoker& g = rig.Start(10);
  rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1)});
  const uint64_t before = rig.Now;
  rig.Deal();
  EXPECT_EQ(g.Anims->CardRuns, 1);
  EXPECT_EQ(g.Round.State(), vx::rsHolding);
  EXPECT_GE(rig.Now - before, 500u) << "100 ms a card";
  EXPECT_EQ(rig.Shown(4), C(11, 4));
  rig.Game.reset();
}

// Runs frames until the attract mode reaches `step`; returns the frames it took.
int64_t UntilStep(Rig& rig, int32_t step) {
  const int64_t start = rig.Frames;
  EXPECT_TRUE(rig.RunFramesUntil([&] { return rig.Game->Demo->StepNo == step; }, 5000)) << step;
  return rig.Frames - start;
}

TEST(PokerDemo, WithCreditTheScriptLoopsThroughJokersAndAdvertisements) {
  Rig rig;
  TPoker& g = rig.Start(10);
  TPokerData& d = rig.Data();
  d.Money.Reset(10, d.Money.Win());
  g.UpdateCredit();
  ASSERT_EQ(d.Bet, 10);
  TPokerScene& s = rig.Screen();
  EXPECT_EQ(g.Demo->StepNo, 1);
  EXPECT_EQ(UntilStep(rig, 2), 100);
  EXPECT_EQ(UntilStep(rig, 3), 1);
  EXPECT_EQ(UntilStep(rig, 4), 50);
  EXPECT_EQ(UntilStep(rig, 5), 1);
  EXPECT_EQ(rig.Message(), "PRESS DEAL TO START");
  EXPECT_FALSE(s.ImgAdv->Visible());
  EXPECT_EQ(UntilStep(rig, 7), 101);
  EXPECT_EQ(rig.Shown(1), 53);
  EXPECT_FALSE(s.Cards[0]->FaceDown());
  EXPECT_EQ(UntilStep(rig, 15), 404);
  EXPECT_EQ(rig.Shown(5), 53);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(s.Cards[i]->FaceDown()) << i;
  UntilStep(rig, 23);
  EXPECT_FALSE(s.Cards[0]->FaceDown());
  EXPECT_TRUE(s.Cards[1]->FaceDown());
  EXPECT_EQ(UntilStep(rig, 25), 101);
  EXPECT_TRUE(s.ImgAdv->Visible());
  EXPECT_FALSE(s.Cards[0]->Visible());
  EXPECT_EQ(s.ImgAdv->TextureInfo.Key(), std::string(g.Variant->Theme) + "\\img_adv_2.bmp");
  EXPECT_EQ(UntilStep(rig, 27), 401);
  EXPECT_EQ(s.ImgAdv->TextureInfo.Name(), "img_adv_3");
  EXPECT_EQ(UntilStep(rig, 1), 400) << "with credit the script starts again";
  EXPECT_EQ(rig.Rng->Calls, 0) << "no show hand was dealt";

  d.Money.Reset(5, d.Money.Win());
  UntilStep(rig, 5);
  EXPECT_EQ(rig.Message(), "PRESS DEAL TO START") << "the bet comes down to the credit";
  EXPECT_EQ(d.Bet, 5);
  UntilStep(rig, 6);
  d.Money.Reset(0, d.Money.Win());
  UntilStep(rig, 5);
  EXPECT_EQ(rig.Message(), "INSERT COIN");
}

TEST(PokerDemo, WithoutCreditShowHandsDealButTouchNothingThatCounts) {
  for (int32_t id : {1, 5, 10, 13}) {
    SCOPED_TRACE("game " + std::to_string(id));
    Rig rig;
    rig.Bank = 0;
    TPoker& g = rig.Start(id);
    TPokerData& d = rig.Data();
    ASSERT_EQ(d.Money.Credit(), 0u);
    d.OrvantaNumber = 5;
    d.SetOrvantaStat(d.Bet, 3);
    d.SetMiniBonus(d.Bet, 7);
    d.AmericanJackpot = 42;
    TPokerScene& s = rig.Screen();
    UntilStep(rig, 30);
    EXPECT_TRUE(s.Cards[0]->FaceDown());
    const size_t deals = static_cast<size_t>(rig.CountSound("SND_DEAL"));
    UntilStep(rig, 31);
    EXPECT_EQ(static_cast<size_t>(rig.CountSound("SND_DEAL")), deals + 5) << "the step ran once, not nested";
    EXPECT_EQ((std::vector<int32_t>{rig.Shown(1), rig.Shown(2), rig.Shown(3), rig.Shown(4), rig.Shown(5)}),
              (std::vector<int32_t>{1, 14, 27, 40, 53}));
    const vx::THandEvaluation e = g.EvaluateShown();
    const int32_t row = s.PayoutList->RowOf(e.Key());
    EXPECT_EQ(s.LblWinV->Caption(), std::to_string(row > 0 ? d.Bet * g.GameInfo->GetPay(e.Key()) : 0));
    // Only the show hand's own row may be marked; a table without its key marks nothing.
    for (int32_t r = 1; r <= s.PayoutList->RowCount; ++r) {
      for (int32_t c = 1; c <= s.PayoutList->ColumnCount; ++c) {
        if (r != row) {
          EXPECT_FALSE(s.PayoutList->Marked(c, r)) << r;
        }
      }
    }
    if (!s.PayoutList->IsCompact() && row > 0) {
      EXPECT_TRUE(s.PayoutList->Marked(1, row));
    }
    UntilStep(rig, 35);
    EXPECT_EQ(rig.Shown(1), 2);
    UntilStep(rig, 1);
    EXPECT_EQ(d.Money.Win(), 0);
    EXPECT_EQ(d.GetOrvantaStat(d.Bet), 3);
    EXPECT_EQ(d.OrvantaNumber, 5);
    EXPECT_EQ(d.GetMiniBonus(d.Bet), 7);
    EXPECT_EQ(d.AmericanJackpot, 42);
    for (int i = 0; i < d.Tally().GameHands.Count(); ++i) EXPECT_EQ(d.Tally().GameHands.Items(i)->Value, 0);
    EXPECT_EQ(d.Money.Credit(), 0u);
    EXPECT_EQ(g.Round.State(), vx::rsIdle);
  }
}

TEST(PokerDemo, ADealDuringAShowHandTakesOverTheScreen) {
  Rig rig;
  rig.Bank = 0;
  TPoker& g = rig.Start(10);
  UntilStep(rig, 30);
  bool dealt = false;
  rig.OnFrame = [&] {
    if (dealt || g.Demo->StepNo != 30) return;
    dealt = true;
    rig.Data().Money.Reset(100, rig.Data().Money.Win());
    rig.Data().Bet = 10;
    rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1)});
    rig.Deal();
  };
  rig.Frame();  // step 30 starts; the deal arrives during its first wait
  rig.OnFrame = nullptr;
  ASSERT_TRUE(dealt);
  EXPECT_EQ(g.Round.State(), vx::rsHolding);
  EXPECT_FALSE(g.Demo->Running);
  EXPECT_EQ((std::vector<int32_t>{rig.Shown(1), rig.Shown(2), rig.Shown(3), rig.Shown(4), rig.Shown(5)}),
            (std::vector<int32_t>{C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1)}));
  EXPECT_EQ(rig.Message(), "HOLD AND DRAW CARDS");
  rig.RunFramesUntil([] { return false; }, 200);
  EXPECT_EQ(rig.Shown(1), C(2, 1)) << "the stopped script stays stopped";
}

// The pay list's labels with the theme's kind of effects (the bet mark and the highlight
// fade the alpha, the highlight colours the text), stepped every frame: a light shows as a
// look that differs from the label's own.
struct Lights {
  explicit Lights(Rig& rig) : p(*rig.Screen().PayoutList), labels(p.Titles) {
    for (int32_t c = 1; c <= p.ColumnCount; ++c)
      for (int32_t r = 1; r <= p.RowCount; ++r) labels.push_back(p.Cell(c, r));
    for (TVXLabel* l : labels) {
      for (size_t i : {2u, 3u}) l->Effects[i].AlphaEnabled = true, l->Effects[i].AlphaBlendValue = i == 2 ? 215 : 245;
      l->Effects[3].TextColorEnabled = true;
      l->Effects[3].TextColor = 397850;
      l->Effects[3].TextColorChangeSpeed = 4;
    }
    p.KeepLooks();
    rig.OnFrame = [this] { for (TVXLabel* l : labels) l->Animate(); };
  }
  static bool Lit(const TVXLabel* l) { return l->Alpha() != 255 || l->Font.Color() != 0; }
  int LitTitles() const { return static_cast<int>(std::count_if(p.Titles.begin(), p.Titles.end(), Lit)); }
  // The columns with a lit cell, as a string of column numbers.
  std::string LitColumns() const {
    std::string s;
    for (int32_t c = 1; c <= p.ColumnCount; ++c)
      for (int32_t r = 1; r <= p.RowCount; ++r)
        if (Lit(p.Cell(c, r))) {
          s += std::to_string(c);
          break;
        }
    return s;
  }
  TPayoutList& p;
  std::vector<TVXLabel*> labels;
};

// After a lost double-up: its card and result word stay until the attract mode brings the
// round's view back without the HELD plates; then the pay list shows only what is lit now.
TEST(PokerScreen, AfterALostDoubleUpTheRoundViewComesBackClean) {
  for (int32_t id : {10, 5}) {
    SCOPED_TRACE("game " + std::to_string(id));
    Rig rig;
    TPoker& g = rig.Start(id);
    TPokerScene& s = rig.Screen();
    Lights lights(rig);
    g.UpdateCredit();  // the bet column's mark, now with its effect
    rig.RunFramesUntil([] { return false; }, 10);
    // A full house, held whole by the automatic hold; the double-up opens on a black king.
    rig.Rng->Cards({C(10, 1), C(10, 2), C(10, 3), C(4, 1), C(4, 2), C(2, 1), C(3, 1), C(5, 1), C(6, 1), C(8, 1),
                    C(2, 2), C(3, 2), C(5, 2), C(6, 2), C(8, 2)});
    rig.Deal();
    rig.Rng->Cards({C(13, 1), C(2, 3), C(3, 3), C(4, 3), C(5, 3), C(6, 3), C(8, 3), C(9, 3), C(11, 3), C(12, 3)});
    rig.Deal();
    ASSERT_EQ(g.Round.State(), vx::rsDoubleUp) << rig.Message();
    ASSERT_TRUE(s.DoubleUpShown());
    g.CardClick(2);  // SMALL, or RED: lost
    ASSERT_EQ(g.Round.State(), vx::rsIdle);
    EXPECT_TRUE(s.LblDupHit->Visible()) << "the result word shows";
    EXPECT_EQ(s.LblDupHit->Caption(), id == 10 ? "BIG" : "BLACK");
    EXPECT_TRUE(s.PnlDoubleUp->Visible()) << "the lost card stays a while";

    UntilStep(rig, 5);
    EXPECT_FALSE(s.PnlDoubleUp->Visible());
    EXPECT_TRUE(s.PayoutList->Panel->Visible());
    for (int i = 0; i < 5; ++i) {
      EXPECT_TRUE(s.Cards[i]->Visible()) << i;
      EXPECT_FALSE(s.HoldLabels[i]->Visible()) << "plate " << i;
    }
    EXPECT_EQ(lights.LitTitles(), 0);
    const std::string marked = lights.LitColumns();
    EXPECT_EQ(marked, s.PayoutList->IsCompact() ? "1" : "");
    // Bets move the mark: one column at a time.
    for (int press = 0; press < 2 && s.PayoutList->IsCompact(); ++press) {
      g.BetClick();
      rig.RunFramesUntil([] { return false; }, 10);
      EXPECT_EQ(lights.LitColumns(), std::to_string(press + 2));
    }
  }
}

// A show hand's highlight that a deal interrupts lights nothing once the round has begun.
TEST(PokerScreen, AHighlightCutShortByADealLeavesNoRowLit) {
  Rig rig;
  rig.Bank = 0;
  TPoker& g = rig.Start(3);
  Lights lights(rig);
  UntilStep(rig, 30);
  bool dealt = false;
  auto animate = rig.OnFrame;
  rig.OnFrame = [&] {
    animate();
    const bool blinking = std::any_of(lights.p.Titles.begin(), lights.p.Titles.end(),
                                      [](TVXLabel* t) { return t->Blinking(); });
    if (dealt || !blinking) return;
    dealt = true;
    rig.Data().Money.Reset(100, 0);
    rig.Rng->Cards({C(2, 1), C(5, 2), C(9, 3), C(11, 4), C(13, 1)});
    rig.Deal();
  };
  ASSERT_TRUE(rig.RunFramesUntil([&] { return dealt; }, 5000));
  EXPECT_EQ(g.Round.State(), vx::rsHolding);
  rig.RunFramesUntil([] { return false; }, 50);
  EXPECT_EQ(lights.LitTitles(), 0);
  EXPECT_EQ(lights.LitColumns(), "");
}

}  // namespace
