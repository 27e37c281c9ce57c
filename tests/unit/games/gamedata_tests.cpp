// Game data: what the file keeps and what it does not, the repairs made on loading, the bet
// list reader, the per-bet counters, the tally and its merge into a player's record.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "core/Exception.h"
#include "core/Log.h"
#include "games/GameData.h"
#include "support/TempDir.h"

namespace {

std::vector<int32_t> Bets(const TPokerData& d) { return {d.BetList.begin() + 1, d.BetList.end()}; }

TEST(GameData, PokerDataRoundTripsItsPublishedValuesOnly) {
  vxtest::TempDir dir;
  TPokerData a;
  a.FileName = dir.File("VXG_VP_ORVANTABONUS.dat");
  a.OrvantaNumber = 8;
  a.SetOrvantaStat(20, 9);  // the first item's count is 9 after every load
  a.SetOrvantaStat(10, 4);
  a.AddMiniBonus(5, 5);
  a.AmericanJackpot = 1234;
  a.DupWinJackpot = 7;
  a.Bet = 20;
  a.Money.Reset(3000000000u, a.Money.Win());
  a.Money.Reset(a.Money.Credit(), 55);
  a.CountHand("HAND_FLUSH");
  a.Save();

  const std::string text = vxtest::TempDir::ReadFile(a.FileName);
  EXPECT_EQ(text.rfind("<PokerData>", 0), 0u) << text;
  EXPECT_NE(text.find("<AmericanJackpot>1234</AmericanJackpot>"), std::string::npos);
  EXPECT_NE(text.find("<VXStoreItem>"), std::string::npos);
  EXPECT_LT(text.find("AmericanMiniBonusStats"), text.find("OrvantaStats"));
  for (const char* unsaved : {"<Credit", "<Bet", "<Win>", "HAND_FLUSH", "GameStatistics", "<Stage"})
    EXPECT_EQ(text.find(unsaved), std::string::npos) << unsaved;

  TPokerData b;
  b.FileName = a.FileName;
  b.Load();
  EXPECT_EQ(b.OrvantaNumber, 8);
  EXPECT_EQ(b.GetOrvantaStat(10), 4);
  EXPECT_EQ(b.GetOrvantaStat(20), 9);
  EXPECT_EQ(b.GetMiniBonus(5), 10);
  EXPECT_EQ(b.AmericanJackpot, 1234);
  EXPECT_EQ(b.DupWinJackpot, 7);
  EXPECT_EQ(b.Bet, 0);
  EXPECT_EQ(b.Money.Credit(), 0u);
  EXPECT_EQ(b.Tally().FindHand("HAND_FLUSH", false)->Value, 0);
  b.Save();
  EXPECT_EQ(vxtest::TempDir::ReadFile(b.FileName), text);

  // Without a file name nothing is written or read.
  TPokerData c;
  c.Save();
  c.Load();
  EXPECT_EQ(c.OrvantaNumber, 5);
}

TEST(GameData, LoadingRepairsWhatPlayCannotReach) {
  vxtest::TempDir dir;
  const std::string file = dir.File("game.dat");
  auto loaded = [&](const std::string& body) {
    vxtest::TempDir::WriteFile(file, "<PokerData>" + body + "</PokerData>");
    auto d = std::make_unique<TPokerData>();
    d->FileName = file;
    d->Load();
    return d;
  };
  EXPECT_EQ(loaded("<OrvantaNumber>4</OrvantaNumber>")->OrvantaNumber, 5);
  EXPECT_EQ(loaded("<OrvantaNumber>11</OrvantaNumber>")->OrvantaNumber, 5);
  EXPECT_EQ(loaded("<OrvantaNumber>7</OrvantaNumber>")->OrvantaNumber, 7);
  EXPECT_EQ(loaded("<OrvantaNumber>10</OrvantaNumber>")->OrvantaNumber, 10);

  // Orvanta counts stay below the count that pays; the first bet's is one trip short of it.
  auto d = loaded(
      "<OrvantaStats><VXStoreItem><DataInt>10</DataInt><DataInt2>3</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>20</DataInt><DataInt2>10</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>30</DataInt><DataInt2>-4</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>40</DataInt><DataInt2>2147483647</DataInt2></VXStoreItem></OrvantaStats>");
  EXPECT_EQ(d->GetOrvantaStat(10), 9);
  EXPECT_EQ(d->GetOrvantaStat(20), 9);
  EXPECT_EQ(d->GetOrvantaStat(30), 0);
  EXPECT_EQ(d->GetOrvantaStat(40), 9);

  // Pools run from the bet to just below the winning 100 x bet; a fresh pool reads as its bet.
  d = loaded(
      "<AmericanMiniBonusStats><VXStoreItem><DataInt>10</DataInt><DataInt2>5000</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>5</DataInt><DataInt2>2</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>20</DataInt><DataInt2>400</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>30</DataInt><DataInt2>0</DataInt2></VXStoreItem>"
      "<VXStoreItem><DataInt>2000000000</DataInt><DataInt2>5</DataInt2></VXStoreItem></AmericanMiniBonusStats>"
      "<AmericanJackpot>2147483647</AmericanJackpot><DupWinJackpot>-3</DupWinJackpot>");
  EXPECT_EQ(d->GetMiniBonus(10), 990);
  EXPECT_EQ(d->GetMiniBonus(5), 5);
  EXPECT_EQ(d->GetMiniBonus(20), 400);
  EXPECT_EQ(d->GetMiniBonus(30), 30);
  EXPECT_EQ(d->GetMiniBonus(2000000000), 2000000000);
  EXPECT_EQ(d->AmericanJackpot, TPokerData::MaxJackpot);
  EXPECT_EQ(d->DupWinJackpot, 1);

  // Counters left at 0 start at 1.
  d = loaded("");
  EXPECT_EQ(d->AmericanJackpot, 1);
  EXPECT_EQ(d->DupWinJackpot, 1);
  EXPECT_EQ(d->OrvantaNumber, 5);
}

TEST(GameData, DamagedFileKeepsWhatWasReadAndIsSetAside) {
  vxtest::TempDir dir;
  const std::string file = dir.File("game.dat");
  vxtest::TempDir::WriteFile(file, "<PokerData><AmericanJackpot>77</AmericanJackpot><OrvantaNumber>x9</OrvantaNumber>");
  vx::ClearLog();
  TPokerData d;
  d.FileName = file;
  d.Load();
  EXPECT_TRUE(vx::LogContains("ERROR: Could not load"));
  EXPECT_EQ(d.OrvantaNumber, 5);
  EXPECT_EQ(d.AmericanJackpot, 1);
  EXPECT_TRUE(std::filesystem::exists(file + ".bad"));
  // Nothing replaces what could not be read in this run.
  d.Save();
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::exists(file + ".bad"));

  vxtest::TempDir::WriteFile(file, "<PokerData><OrvantaNumber>8</OrvantaNumber><DupWinJackpot>abc</DupWinJackpot></PokerData>");
  TPokerData e;
  e.FileName = file;
  e.Load();
  EXPECT_EQ(e.OrvantaNumber, 8);
  EXPECT_EQ(e.DupWinJackpot, 1);

  // A missing file leaves the defaults, repaired.
  TPokerData f;
  f.FileName = dir.File("none.dat");
  f.Load();
  EXPECT_EQ(f.OrvantaNumber, 5);
  EXPECT_FALSE(std::filesystem::exists(f.FileName));
}

TEST(GameData, BetListReader) {
  TPokerData d;
  EXPECT_EQ(d.BetList, std::vector<int32_t>{0});
  d.SetBetList("1;2;3;");
  EXPECT_EQ(Bets(d), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(d.MinBet, 1);
  EXPECT_EQ(d.MaxBet, 3);
  d.SetBetList("1;x;3;");
  EXPECT_EQ(Bets(d), (std::vector<int32_t>{1, 3}));
  d.SetBetList("10;20;30");  // after the last ";" nothing is used
  EXPECT_EQ(Bets(d), (std::vector<int32_t>{10, 20}));
  EXPECT_EQ(d.MaxBet, 20);
  d.SetBetList("50;10;;$10;");  // list order decides, not size
  EXPECT_EQ(Bets(d), (std::vector<int32_t>{50, 10, 16}));
  EXPECT_EQ(d.MinBet, 50);
  EXPECT_EQ(d.MaxBet, 16);
  d.SetBetList("5;7;10;20;30;40;50;60;70;80;90;100;");
  EXPECT_EQ(d.BetList.size(), 13u);

  // No usable bet: the default list, logged. Zero and negative bets are never taken.
  for (const char* none : {"", "5", ";", "x;y;", "0;-5;", "99999999999;"}) {
    vx::ClearLog();
    d.SetBetList(none);
    EXPECT_TRUE(vx::LogContains("BET LIST WITHOUT BETS")) << none;
    EXPECT_EQ(d.MinBet, 5) << none;
    EXPECT_EQ(d.MaxBet, 100) << none;
  }
  d.SetBetList("-5;0;20;");
  EXPECT_EQ(Bets(d), (std::vector<int32_t>{20}));
}

TEST(GameData, PerBetCountersAndPools) {
  TPokerData d;
  EXPECT_EQ(d.GetMiniBonus(25), 25);
  d.AddMiniBonus(25, 25);
  EXPECT_EQ(d.GetMiniBonus(25), 50);
  d.AddMiniBonus(25, 25);
  EXPECT_EQ(d.GetMiniBonus(25), 75);
  d.SetMiniBonus(25, 0);  // an emptied pool restarts at the bet
  EXPECT_EQ(d.GetMiniBonus(25), 25);
  d.AddMiniBonus(25, 5);
  EXPECT_EQ(d.GetMiniBonus(25), 30);
  EXPECT_EQ(d.AmericanMiniBonusStats.Count(), 1);

  EXPECT_EQ(d.GetOrvantaStat(10), 0);
  d.AddOrvantaStat(10, 1);
  d.AddOrvantaStat(10, 1);
  d.AddOrvantaStat(20, -1);
  EXPECT_EQ(d.GetOrvantaStat(10), 2);
  EXPECT_EQ(d.GetOrvantaStat(20), -1);
  d.SetOrvantaStat(10, 0);
  EXPECT_EQ(d.GetOrvantaStat(10), 0);
  EXPECT_EQ(d.OrvantaStats.Count(), 2);

  d.SetOrvantaStat(30, INT_MAX);
  EXPECT_THROW(d.AddOrvantaStat(30, 1), EOverflow);
  EXPECT_EQ(d.GetOrvantaStat(30), INT_MAX);
  d.SetMiniBonus(40, INT_MAX);
  EXPECT_THROW(d.AddMiniBonus(40, 1), EOverflow);
  EXPECT_THROW(d.AddMiniBonus(INT_MAX, 1), EOverflow);
}

// A decided round whose Orvanta bonus paid is saved as its end would leave it: a full count
// kept on disk would pay the bonus again after a restart.
TEST(GameData, SettledTextEndsAPaidOrvantaBonus) {
  TPokerData d;
  d.Bet = 10;
  d.OrvantaNumber = 10;
  d.SetOrvantaStat(10, 10);
  EXPECT_EQ(d.SettledFileText(), d.FileText());  // no trips in play
  d.ThreeOrvanta = true;
  TPokerData settled;
  ASSERT_EQ(settled.SetXML(d.SettledFileText()), XMLReadResult::Complete);
  EXPECT_EQ(settled.GetOrvantaStat(10), 0);
  EXPECT_EQ(settled.OrvantaNumber, 7);
  EXPECT_EQ(d.GetOrvantaStat(10), 10);  // the round in play is untouched
}

TEST(GameData, StageFlags) {
  TPokerData d;
  d.SetStage(vx::psAfterDeal);
  EXPECT_TRUE(d.CanClearHolds());
  EXPECT_FALSE(d.CanCollect());
  d.SetStage(vx::psAfterLastDraw);
  EXPECT_TRUE(d.CanCollect());
  EXPECT_TRUE(d.CanTakeHalf());
  EXPECT_FALSE(d.CanClearHolds());
  d.SetStage(vx::psAfterFirstDraw);  // keeps the flags
  EXPECT_EQ(d.Stage, 2);
  EXPECT_TRUE(d.CanCollect());
  d.SetSubStage(vx::pssFurtherDraw);
  EXPECT_TRUE(d.CanClearHolds());
  EXPECT_FALSE(d.CanCollect());
  d.SetSubStage(vx::pssOffer);
  EXPECT_TRUE(d.CanCollect());
  d.SetStage(vx::psNewRound);
  EXPECT_EQ(d.StageFlags, (std::array<bool, 7>{true, false, true, true, false, false, false}));
}

TEST(GameData, TallyCountsHandsAndMergesIntoTheRecord) {
  TPokerData d;
  ASSERT_EQ(d.Tally().GameHands.Count(), 12);
  EXPECT_EQ(d.Tally().GameHands.Items(0)->HandIDStr, "HAND_FIVEOFAKIND");
  EXPECT_EQ(d.Tally().GameHands.Items(11)->HandIDStr, "HAND_3XORVANTA");
  d.CountHand("HAND_FLUSH");
  d.CountHand("hand_flush");
  d.CountHand("HAND_NOTHING");
  EXPECT_EQ(d.Tally().FindHand("HAND_FLUSH", false)->Value, 2);
  EXPECT_EQ(d.Tally().FindHand("HAND_NOTHING", false)->Value, 1);
  EXPECT_EQ(d.Tally().GameHands.Count(), 13);
  d.SetCreditIn(300);
  d.SetCreditOut(120);

  TGamesStatictics records;
  TGameStatictics* rec = records.Add();
  rec->GameIDStr = "VXG_VP_JACKSORBETTER";
  rec->CreditIn = 1000;
  rec->CreditOut = 4000000000u;
  rec->FindHand("HAND_FLUSH", true)->Value = 5;
  rec->FindHand("HAND_CHERRYLINE", true)->Value = 3;
  d.MergeInto(rec);
  EXPECT_EQ(rec->CreditIn, 1300u);
  EXPECT_EQ(rec->CreditOut, 4000000120u);
  EXPECT_EQ(rec->FindHand("HAND_FLUSH", false)->Value, 7);
  EXPECT_EQ(rec->FindHand("HAND_CHERRYLINE", false)->Value, 3);
  EXPECT_EQ(rec->FindHand("HAND_NOTHING", false)->Value, 1);
  EXPECT_EQ(rec->FindHand("HAND_POKER", false)->Value, 0);  // rows at 0 appear at the first merge
  EXPECT_EQ(rec->GameHands.Count(), 2 + 12);
  d.MergeInto(nullptr);

  // An overflow anywhere leaves the record exactly as it was.
  const std::string before = records.GetXML();
  rec->FindHand("HAND_FLUSH", false)->Value = INT_MAX;
  const std::string full = records.GetXML();
  EXPECT_THROW(d.MergeInto(rec), EOverflow);
  EXPECT_EQ(records.GetXML(), full);
  rec->FindHand("HAND_FLUSH", false)->Value = 0;
  d.SetCreditOut(300000000u);
  EXPECT_THROW(d.MergeInto(rec), EOverflow);
  EXPECT_EQ(rec->CreditIn, 1300u);
  EXPECT_NE(before, full);
}

TEST(GameData, SlotsDataKeepsNothingInItsFile) {
  vxtest::TempDir dir;
  TSlotsData s;
  EXPECT_EQ(s.Tally().GameHands.Count(), 3);
  EXPECT_EQ(s.Tally().GameHands.Items(1)->HandIDStr, "HAND_777LINE");
  s.FileName = dir.File("VXG_SLOT_3X3FRUITS.dat");
  s.Pool1 = 1999;
  s.BellBonusValue = 9000;
  s.Save();
  EXPECT_EQ(vxtest::TempDir::ReadFile(s.FileName), "<SlotsData></SlotsData>");
  TSlotsData t;
  t.FileName = s.FileName;
  t.Load();
  EXPECT_EQ(t.Pool1, 1000);
  EXPECT_EQ(t.BellBonusValue, 320);
  EXPECT_EQ(t.CherryStage, 7);
  EXPECT_EQ(t.BellStage, 2);

  t.Bet1Coins = 8;
  t.Bet2Coins = 8;
  EXPECT_EQ(t.GetBet(), 16);
  t.Bet2Coins = INT_MAX;
  EXPECT_THROW(t.GetBet(), EOverflow);

  EXPECT_EQ(t.PopBonus(), -1);
  t.PushBonus(0);
  t.PushBonus(2);
  EXPECT_EQ(t.BonusCount(), 2);
  EXPECT_EQ(t.TopBonus(), 2);
  EXPECT_EQ(t.PopBonus(), 2);
  EXPECT_EQ(t.PopBonus(), 0);
  EXPECT_EQ(t.TopBonus(), -1);
}

}  // namespace
