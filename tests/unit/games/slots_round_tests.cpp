// The slot machines' tables against the written ones, the reel cell's motion, and scripted
// spins through the injected generator: what each shows, pays, queues and plays for free.
#include <gtest/gtest.h>

#include <sstream>

#include "core/Log.h"
#include "slots_rig.h"

namespace {

using slotstest::SlotsRig;
using namespace vx::slots;

// Symbol ids.
constexpr int32_t Ch = 1, S7 = 2, B1 = 3, B2 = 4, Be = 6, Me = 7, Pl = 8, Or = 9, Em = 10, S77 = 11, S777 = 12,
                  Dice = 14, Dollar = 20;
constexpr int32_t Card(int32_t rank, int32_t suit) { return 100 + (suit - 1) * 13 + rank; }

// The lines as written down for the machines: "cells | markers" per line, lines of
// direction 1 first, then their reverses; the two side lists.
struct WrittenShape {
  uint8_t Kind;
  const char* Lines;
  const char* Side1;
  const char* Side2;
};
const WrittenShape kWritten[] = {
    {mk3x3,
     "1-2-3|1 4-5-6|2 7-8-9|3 1-4-7|4 2-5-8|5 3-6-9|6 1-5-9|7 7-5-3|8 "
     "3-2-1|1 6-5-4|2 9-8-7|3 7-4-1|4 8-5-2|5 9-6-3|6 3-5-7|8 9-5-1|7",
     "2 1 3 7 8 4 5 6", "10 9 11 15 16 12 13 14"},
    {mk1x3, "1-2-3|1 3-2-1|1", "1", "2"},
    {mk3x5,
     "1-2-3-4-5|1 6-7-8-9-10|2 11-12-13-14-15|3 1-2-8-14-15|4-5-6 11-12-8-4-5|7-8-9 1-2-8-4-5|4-10-11-9 "
     "11-12-8-14-15|7-12-13-6 5-4-3-2-1|1 10-9-8-7-6|2 15-14-13-12-11|3 15-14-8-2-1|6-5-4 5-4-8-12-11|9-8-7 "
     "5-4-8-2-1|9-11-10-4 15-14-8-12-11|6-13-12-7",
     "2 1 3 4 5 6 7", "9 8 10 12 11 13 14"},
};

std::vector<int32_t> Numbers(std::string text, char sep) {
  std::vector<int32_t> out;
  std::stringstream in(text);
  std::string piece;
  while (std::getline(in, piece, sep))
    if (!piece.empty()) out.push_back(std::stoi(piece));
  return out;
}

TEST(SlotsTables, LinesSidesAndShapesMatchTheWrittenTables) {
  for (const WrittenShape& w : kWritten) {
    SCOPED_TRACE("kind " + std::to_string(w.Kind));
    std::stringstream in(w.Lines);
    std::string entry;
    std::vector<std::string> entries;
    while (in >> entry) entries.push_back(entry);
    const auto& lines = LinesOf(w.Kind);
    ASSERT_EQ(lines.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string& e = entries[i];
      const auto bar = e.find('|');
      EXPECT_EQ(lines[i].Cells, Numbers(e.substr(0, bar), '-')) << "line " << i + 1;
      EXPECT_EQ(lines[i].Markers, Numbers(e.substr(bar + 1), '-')) << "line " << i + 1;
      EXPECT_EQ(lines[i].Direction, i < entries.size() / 2 ? 1 : 2) << "line " << i + 1;
      for (int32_t m : lines[i].Markers) EXPECT_LE(m, ShapeOf(w.Kind).Markers);
    }
    EXPECT_EQ(SideOf(w.Kind, 1), Numbers(w.Side1, ' '));
    EXPECT_EQ(SideOf(w.Kind, 2), Numbers(w.Side2, ' '));
    EXPECT_EQ(static_cast<size_t>(ShapeOf(w.Kind).LineLabels), lines.size());
    EXPECT_EQ(MarkersOf(w.Kind).size(), static_cast<size_t>(ShapeOf(w.Kind).Markers));
  }
  // Symbols: the 25 shared ones, the cards only on the card machine, placeholders elsewhere.
  EXPECT_EQ(SymbolDef(12, false).Name, "Triple Seven");
  EXPECT_EQ(SymbolDef(1, false).CountPay9, 400);
  EXPECT_EQ(SymbolDef(154, true).Texture, "Card_54");
  EXPECT_EQ(SymbolDef(154, false).Id, 0);
  EXPECT_EQ(SymbolDef(100, true).Id, 0);
  EXPECT_EQ(SymbolDef(26, true).Classes, 0);
}

TEST(SlotsReel, MotionRestsOnTheFirstEntryAndQuickStopAndBlinkBehave) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  TVXReel* r = g.Cell(1);
  r->Strip.clear();
  for (int32_t id = 1; id <= 10; ++id) r->Strip.push_back(g.SymbolById(id));
  r->Start();
  int frames = 0;
  while (!r->Still() && frames < 1000) {
    r->StepMotion();
    ++frames;
  }
  EXPECT_EQ(r->Index, 0);
  EXPECT_EQ(r->Offset, r->RestOffset);
  EXPECT_EQ(r->RestOffset, 30);
  EXPECT_EQ(r->HalfHeight, 70);
  // A quick stop lowers a fast cell to 30 and leaves a slow one.
  r->Start();
  r->QuickStop();
  EXPECT_EQ(r->Speed, 30);
  r->Speed = 20;
  r->QuickStop();
  EXPECT_EQ(r->Speed, 20);
  // Centred when stopping begins: stops in that frame without moving.
  r->Reset();
  r->Speed = 1;
  r->Moving = 1;
  r->StepMotion();
  EXPECT_TRUE(r->Still());
  EXPECT_EQ(r->Offset, r->RestOffset);
  // A cell too low for its symbols is clamped, and says so.
  r->SetSymbolHeight(-20);
  EXPECT_EQ(r->SymbolHeight, TVXReel::MinSymbolHeight);
  EXPECT_TRUE(vx::LogContains("too low for its symbols"));
  r->SetBlinking(true);
  EXPECT_EQ(r->SymbolVisible, 0);
  r->SetBlinking(false);
  EXPECT_EQ(r->SymbolVisible, 1);
}

// A cell draws its picture, then the symbols above, in and below its middle (the middle one
// not while it blinks out); in the frame a fade-out ends, only the symbols still show.
TEST(SlotsReel, ACellDrawsItselfThenItsSymbolsAndKeepsThemInTheFrameItsFadeOutEnds) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  TVXReel* r = g.Cell(1);
  r->Strip = {g.SymbolById(1), g.SymbolById(2), g.SymbolById(3)};
  auto frame = [&] {
    rig.Host.Recorder.ClearCalls();
    r->Process();
    std::vector<int32_t> tops;
    for (const auto& c : rig.Host.Recorder.Calls)
      if (c.Op == "FillQuad" || c.Op == "TextureMap") tops.push_back(c.Bounds().Top);
    return tops;
  };
  const int32_t mid = r->Top() + r->Offset;
  const std::vector<int32_t> whole{r->Top(), mid - 80, mid, mid + 80};
  EXPECT_EQ(frame(), whole);
  r->SetBlinking(true);
  EXPECT_EQ(frame(), (std::vector<int32_t>{r->Top(), mid - 80, mid + 80}));
  r->SetBlinking(false);
  r->SetFadeOut(true);
  r->SetVisible(false);
  std::vector<int32_t> last;
  for (int frames = 0; r->InTransition && frames < 100; ++frames) last = frame();
  EXPECT_TRUE(r->UpdateHalted());
  EXPECT_EQ(last, (std::vector<int32_t>{mid - 80, mid, mid + 80}));
}

// One scripted spin and what follows it.
struct Case {
  const char* Name;
  int32_t Game;
  std::vector<int32_t> Cells;
  std::vector<std::vector<int32_t>> FreeGames;  // the cells of each free game, in order
  std::function<void(TSlots&)> Before;
  int64_t Win;            // the spin's pending win
  int64_t CreditChange;   // besides the bet, before collecting (pools, bell)
  uint8_t State;          // after the spin
  int32_t Queued;         // bonus kinds waiting after the spin
  int32_t FreePlayed;     // free games played once the win is collected
  int64_t FreeWins;
  std::function<void(SlotsRig&, TSlots&)> Check;
};

TEST(SlotsRound, ScriptedSpinsPayQueueAndPlayTheirBonuses) {
  const std::vector<int32_t> losingFree = {B2, Em, B2, Em, B2, Em, B2, Em, B2};
  const Case cases[] = {
      {"nine cherries pay 400 x the bet and every left-to-right line queues the cherry bonus", 31,
       {Ch, Ch, Ch, Ch, Ch, Ch, Ch, Ch, Ch}, {}, nullptr, 400 * 16, 0, 5, 8, -1, 0, nullptr},
      {"three sevens of any kind anywhere pay 5 x the bet", 31, {S7, Pl, Or, B2, S77, Be, Or, Pl, S777}, {},
       nullptr, 5 * 16, 0, 5, 0, 0, 0, nullptr},
      {"the bell counter reaching 0 pays the bell value into the credit and ends the spin", 31,
       {Pl, Or, Pl, Be, Be, Be, Or, Pl, Or}, {}, nullptr, 0, 330, 0, 1, -1, 0,
       [](SlotsRig& rig, TSlots& g) {
         EXPECT_EQ(g.Data->BellBonusValue, 10);
         EXPECT_EQ(g.Data->BellStage, 5);
         EXPECT_EQ(rig.Screen().LblMessage->Caption(), "GAME OVER");
       }},
      {"a melon row in the middle pays the first pool", 31, {Pl, Or, Pl, Me, Me, Me, Or, Pl, Or}, {}, nullptr, 0, 1005, 0,
       0, -1, 0,
       [](SlotsRig&, TSlots& g) {
         EXPECT_EQ(g.Data->Pool1, 1);
         EXPECT_EQ(g.Data->Pool2, 2010);
         EXPECT_EQ(g.Data->Pool3, 5020);
         for (int32_t c : {4, 5, 6}) EXPECT_EQ(g.Cell(c)->LineWinMark, 1);
       }},
      {"a left-to-right line of Bar 1 queues three free games with effect 2 on the cells", 31,
       {B1, B1, B1, Pl, Or, Pl, S7, Pl, S7}, {losingFree, losingFree, losingFree}, nullptr, 2 * 16, 0, 5, 1, 3, 0,
       nullptr},
      {"two cherries leading a line run the cherry counter out: one free game", 31,
       {Ch, Ch, Pl, Or, Pl, Or, S7, Pl, S7}, {{S7, S77, Em, Em, B2, Em, B2, Em, B2}},
       [](TSlots& g) { g.Data->CherryStage = 1; }, 2 * 16, 0, 5, 1, 1, 2 * 16,
       [](SlotsRig&, TSlots& g) { EXPECT_EQ(g.Data->CherryStage, 9); }},
      {"a royal flush on the middle row pays on both of its lines", 34,
       {Dice, Dollar, Dice, Dollar, Dice, Card(10, 1), Card(11, 1), Card(12, 1), Card(13, 1), Card(1, 1), Dice,
        Dollar, Dice, Dollar, Dice},
       {}, nullptr, 2 * 100 * 16, 0, 5, 0, 0, 0,
       [](SlotsRig&, TSlots& g) {
         EXPECT_EQ(g.Lines[1].HandKey, "HAND_ROYALFLUSH");
         EXPECT_EQ(g.Lines[8].HandKey, "HAND_ROYALFLUSH");
         EXPECT_EQ(g.Lines[0].HandKey, "HAND_NOTHING");
       }},
      {"three sevens on the one-line machine", 32, {S7, S77, S777}, {}, nullptr, 5 * 2, 0, 5, 0, 0, 0, nullptr},
      {"two sevens among fifteen cells", 33, {S7, Pl, Or, Pl, Or, Pl, Or, Be, Or, Pl, Or, Pl, Or, Pl, S777}, {}, nullptr,
       2 * 16, 0, 5, 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SlotsRig rig;
    TSlots& g = rig.StartSlots(c.Game);
    if (c.Before) c.Before(g);
    rig.ScriptSpin(c.Cells);
    for (const auto& free : c.FreeGames) rig.ScriptSpin(free, false);
    const uint32_t credit = g.Data->Money.Credit();
    const int64_t bet = g.Data->GetBet();
    // At every frame, counts of the pools and the bell included, the books hold.
    const int64_t start = static_cast<int64_t>(rig.SlotsMoney());
    int unbalanced = 0;
    rig.OnFrame = [&] { unbalanced += static_cast<int64_t>(rig.SlotsMoney()) != start - g.Returns.Bets + g.Returns.Paid(); };
    rig.Press(rig.Screen().BtnSpin);
    for (size_t n = 1; n <= c.Cells.size(); ++n) ASSERT_EQ(g.CellId(static_cast<int32_t>(n)), c.Cells[n - 1]) << n;
    EXPECT_EQ(g.Data->Money.Win(), c.Win);
    EXPECT_EQ(static_cast<int64_t>(g.Data->Money.Credit()), credit - bet + c.CreditChange);
    EXPECT_EQ(g.Round.State(), c.State);
    EXPECT_EQ(g.Data->BonusCount(), c.Queued);
    if (c.Check) c.Check(rig, g);
    EXPECT_EQ(unbalanced, 0);
    if (c.FreePlayed < 0 || c.State != 5) continue;
    rig.Press(rig.Screen().BtnCashAll);
    EXPECT_EQ(g.Returns.FreeGamesPlayed, c.FreePlayed);
    EXPECT_EQ(g.Returns.FreeGames, c.FreeWins);
    EXPECT_EQ(g.Data->FreeGamesLeft, 0);
    if (c.FreeWins == 0) {
      EXPECT_EQ(g.Round.State(), 0);
      EXPECT_EQ(static_cast<int64_t>(g.Data->Money.Credit()), credit - bet + c.Win);
      EXPECT_FALSE(rig.Screen().LblBonusSpinCount->Visible());
    } else {
      EXPECT_EQ(g.Round.State(), 5);
      rig.Press(rig.Screen().BtnCashAll);
      EXPECT_EQ(g.Round.State(), 0);
      EXPECT_EQ(static_cast<int64_t>(g.Data->Money.Credit()), credit - bet + c.Win + c.FreeWins);
    }
  }
}

TEST(SlotsRound, BetsBuildTheSidesOnlyBetweenRoundsAndTheFullBetSpins) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  EXPECT_EQ(g.Data->Bet1Coins, 8);
  EXPECT_EQ(g.Data->Bet2Coins, 8);
  EXPECT_EQ(g.Data->Money.Credit(), 300u);
  EXPECT_EQ(rig.Bank, 700u);
  // Side 1's eight coins: lines 2 1 3 7 8 4 5 6, one each.
  for (int32_t line : {1, 2, 3, 4, 5, 6, 7, 8}) EXPECT_EQ(g.Lines[static_cast<size_t>(line - 1)].Coins, 1);
  EXPECT_EQ(rig.Screen().LineBets[0]->Caption(), "1");
  // The first press after a spin starts the sides again.
  rig.ScriptSpin({Pl, Or, Pl, Or, Pl, Or, Pl, Or, Pl});
  rig.Press(rig.Screen().BtnSpin);
  EXPECT_EQ(g.Round.State(), 0);
  uint16_t z = 'Z';
  g.KeyDown(z);
  EXPECT_EQ(g.Data->Bet1Coins, 1);
  EXPECT_EQ(g.Data->Bet2Coins, 0);
  // 98 and 97, one more coin on side 2: 196 spins at once. A bet key in a round does nothing.
  g.Data->Bet1Coins = 98;
  g.Data->Bet2Coins = 97;
  g.Data->Money.Reset(1000);
  rig.ScriptSpin(std::vector<int32_t>(9, Pl));
  rig.OnFrame = [&] {
    if (g.Round.State() != 4) return;
    uint16_t x = 'X';
    g.KeyDown(x);
  };
  rig.Press(rig.Screen().BtnBet2);
  rig.OnFrame = nullptr;
  EXPECT_EQ(g.Returns.Bets, 16 + 196);
  EXPECT_EQ(g.Data->Bet2Coins, 98);
  EXPECT_EQ(g.Data->Money.Credit(), 1000u - 196u);
  // Nine plums pay 100 x the bet taken for the round.
  EXPECT_EQ(g.Data->Money.Win(), 100 * 196);
}

TEST(SlotsRound, DoubleUpWinsOnlyByChoiceOutsideDeveloperModeAndEndsTheRoundOnce) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  rig.ScriptSpin({S7, Pl, Or, B2, Or, Be, Or, Pl, S7});
  rig.Press(rig.Screen().BtnSpin);
  ASSERT_EQ(g.Round.State(), 5);
  const uint32_t credit = g.Data->Money.Credit();
  rig.Press(rig.Screen().HoldButtons[1]);
  ASSERT_EQ(g.Round.State(), 7);
  EXPECT_TRUE(rig.Screen().DoubleUpShown());
  for (int32_t card : g.Data->DealtDoubleUpCards) {
    EXPECT_GE(card, 1);
    EXPECT_LE(card, 52);
    EXPECT_NE((card - 1) % 13 + 1, 7);
  }
  // Hold 2 picks nothing for a player.
  rig.Press(rig.Screen().HoldButtons[1]);
  EXPECT_EQ(g.Round.State(), 7);
  EXPECT_EQ(g.DoubleUp->Position, 1);
  // Play the winning side of every card: ten won cards end in the final collect.
  for (int i = 0; i < 10 && g.Round.State() == 7; ++i)
    rig.Press(rig.Screen().HoldButtons[g.DoubleUp->WinningChoice() == 0 ? 0 : 2]);
  EXPECT_EQ(g.Round.State(), 0);
  EXPECT_EQ(g.Data->Money.Win(), 0);
  EXPECT_EQ(g.Data->Money.Credit(), credit + 32u * 1024u);
  EXPECT_EQ(g.Returns.DoubleUp, 32 * 1024 - 32);
  EXPECT_EQ(rig.SlotsMoney(), 1000u - 16u + 32u * 1024u);
  EXPECT_TRUE(rig.Screen().PnlReels->Visible()) << "the reels come back with the round's end";
  EXPECT_FALSE(rig.Screen().DoubleUpShown());
}

TEST(SlotsRound, ALostDoubleUpCardStaysUpForTheDoubleUpPauseThenTheReelsReturn) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  rig.ScriptSpin({S7, Pl, Or, B2, Or, Be, Or, Pl, S7});
  rig.Press(rig.Screen().BtnSpin);
  rig.Press(rig.Screen().HoldButtons[1]);
  ASSERT_EQ(g.Round.State(), 7);
  // Frames of the lost card, every button pressed meanwhile to no effect.
  int lostCardFrames = 0;
  rig.OnFrame = [&] {
    if (!rig.Screen().DoubleUpShown()) return;
    lostCardFrames += g.Round.Is(vx::rsBusy) && rig.Screen().LblDupHit->Visible();
    rig.Press(rig.Screen().BtnSpin);
    rig.Press(rig.Screen().HoldButtons[0]);
  };
  rig.Press(rig.Screen().HoldButtons[g.DoubleUp->WinningChoice() == 0 ? 2 : 0]);
  rig.OnFrame = nullptr;
  EXPECT_EQ(lostCardFrames, 2000 / 16);
  EXPECT_EQ(g.Returns.Spins, 1);
  EXPECT_EQ(g.Round.State(), 0);
  EXPECT_TRUE(rig.Screen().PnlReels->Visible());
  EXPECT_FALSE(rig.Screen().DoubleUpShown());
  EXPECT_EQ(rig.Screen().LblMessage->Caption(), "GAME OVER");
}

TEST(SlotsRound, ClosingMidSpinDecidesTheSpinOnTheCellsAsTheyStandAndKeepsTheWin) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  // Every strip all cherries: wherever the cells stand, they show nine.
  rig.ScriptSpin(std::vector<int32_t>(9, Ch));
  int frames = 0;
  rig.OnFrame = [&] {
    if (++frames == 20) rig.IsClosing = true;
  };
  rig.Press(rig.Screen().BtnSpin);
  EXPECT_EQ(frames, 20) << "nothing waits once the program closes";
  EXPECT_TRUE(g.ReelsStill());
  EXPECT_EQ(g.Data->Money.Win(), 400 * 16);
  g.SettleOnClose();
  EXPECT_EQ(rig.Bank, 1000u - 16u + 400u * 16u);
  EXPECT_EQ(g.Data->Money.Credit(), 0u);
}

}  // namespace

namespace {

// The loading screen counts what theming reports: every control, then every symbol picture,
// in order, up to the steps the scene announces (the symbols once loaded unseen).
TEST(SlotsScene, ThemingReportsEveryLoadStepControlsThenSymbols) {
  SlotsRig rig;
  rig.StartSlots(34);
  TSlotsScene& screen = rig.Screen();
  std::vector<int32_t> steps;
  screen.LoadThemeWithProgress("x", [&](TVXScene*, int32_t, const std::string&, int32_t index) { steps.push_back(index); });
  ASSERT_FALSE(steps.empty());
  EXPECT_GT(screen.LoadSteps(), screen.ControlCount());
  EXPECT_EQ(steps.back(), screen.LoadSteps() - 1);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()) && std::adjacent_find(steps.begin(), steps.end()) == steps.end());
}

TEST(SlotsRound, TransferWinCountsBothLabelsIntoTheCredit) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  g.Data->Money.Reset(g.Data->Money.Credit(), 50);
  g.ShowWin();
  rig.Screen().LblBellBonusValue->SetText("20");
  g.Round.Begin();
  g.Round.Wait(vx::rsWon);
  g.TransferWin(rig.Screen().LblWinV, rig.Screen().LblBellBonusValue);
  EXPECT_EQ(g.Data->Money.Credit(), 370u);
  EXPECT_EQ(rig.Screen().LblCreditV->Caption(), "370");
  EXPECT_EQ(rig.Screen().LblBellBonusValue->Caption(), "0");
  EXPECT_EQ(g.Data->Money.Win(), 0);
  EXPECT_EQ(g.Round.State(), 0);
}

}  // namespace

namespace {

TEST(SlotsAttract, SpinsTheForcedSymbolsWithoutWaitingAndTheGameMayGoMidSpin) {
  SlotsRig rig;
  TSlots& g = rig.StartSlots(31);
  ASSERT_TRUE(g.Demo->Running);
  rig.Screen().SetMessage("GAME OVER");
  // A 2000-frame pause with credit, then "D E M O" and a spin that lands every cell on "Cherry".
  ASSERT_TRUE(rig.RunFramesUntil([&] { return g.Demo->StepNo == 3 && !g.ReelsStill(); }, 2500));
  EXPECT_EQ(rig.Screen().LblInfo->Caption(), "D E M O");
  EXPECT_EQ(rig.Screen().LblMessage->Caption(), "PRESS DEAL TO START");
  // A HOLD button stops its column, here of the attract mode's spin.
  rig.Press(rig.Screen().HoldButtons[0]);
  for (int32_t n = 1; n <= g.CellCount(); ++n) EXPECT_EQ(g.Cell(n)->Speed <= TVXReel::QuickStopSpeed, n % 3 == 1) << n;
  ASSERT_TRUE(rig.RunFramesUntil([&] { return g.ReelsStill(); }, 500));
  // The columns left to run their course rest on it.
  for (int32_t n = 1; n <= g.CellCount(); ++n) EXPECT_TRUE(n % 3 == 1 || g.CellId(n) == 1) << n;
  // The next script spin lands on "Triple Seven"; leaving in the middle of it is safe.
  ASSERT_TRUE(rig.RunFramesUntil([&] { return g.Demo->StepNo == 5 && !g.ReelsStill(); }, 500));
  EXPECT_EQ(g.Returns.Spins, 0) << "the attract mode takes no bet";
  EXPECT_TRUE(g.FinishVisit());
  rig.Slots.reset();
  rig.Frame();
  EXPECT_EQ(rig.Bank, 1000u);
}

}  // namespace
