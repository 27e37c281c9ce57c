// Casinos: the statistics file byte for byte, the records found or made on demand, the scan
// of the casinos folder and the reading of "casino.dat", and what a damaged statistics file
// does to its casino and to the others.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Log.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class CasinoFolder : public ::testing::Test {
protected:
  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = dir.Path() / relative;
    fs::create_directories(path.parent_path());
    vxtest::TempDir::WriteFile(path.string(), text);
  }
  std::string Folder() const { return dir.Str() + "/"; }
  std::string Read(const std::string& relative) const { return vxtest::TempDir::ReadFile((dir.Path() / relative).string()); }

  vxtest::TempDir dir;
  TVXGameManager catalogue;
};

std::vector<std::string> GameIDs(const TVXCasino& casino) {
  std::vector<std::string> ids;
  for (const TGameInfo* g : casino.Games) ids.push_back(g->IDStr);
  return ids;
}

TEST_F(CasinoFolder, GoldenStatisticsFileWithCountersAboveTwoToTheThirtyOne) {
  TVXCasino casino("Main", Folder(), catalogue);
  EXPECT_EQ(casino.StatisticsFile, Folder() + "Main\\casino.xml");
  TPlayerStatistics* ann = casino.FindPlayerStatistics("Ann", true);
  TGameStatictics* game = ann->FindGameStatistics("VXG_VP_JACKSORBETTER", true);
  game->CreditIn = 2147483648u;
  game->CreditOut = 4294967295u;
  game->FindHand("HAND_FLUSH", true)->Value = 3;
  game->FindHand("HAND_NOTHING", true)->Value = 12;
  casino.FindPlayerStatistics("Bob", true);
  fs::create_directories(dir.Path() / "Main");
  ASSERT_TRUE(casino.SaveStatistics());

  const std::string expected =
      "<VXCasino><PlayersStatistics>"
      "<PlayerStatistics><GamesStatistics>"
      "<GameStatictics><CreditIn>-2147483648</CreditIn>\r\n<CreditOut>-1</CreditOut>\r\n"
      "<GameHands><GameHand><HandIDStr>HAND_FLUSH</HandIDStr>\r\n<Value>3</Value>\r\n</GameHand>\r\n"
      "<GameHand><HandIDStr>HAND_NOTHING</HandIDStr>\r\n<Value>12</Value>\r\n</GameHand>\r\n</GameHands>\r\n"
      "<GameIDStr>VXG_VP_JACKSORBETTER</GameIDStr>\r\n</GameStatictics>\r\n"
      "</GamesStatistics>\r\n<PlayerName>Ann</PlayerName>\r\n</PlayerStatistics>\r\n"
      "<PlayerStatistics><GamesStatistics></GamesStatistics>\r\n<PlayerName>Bob</PlayerName>\r\n</PlayerStatistics>\r\n"
      "</PlayersStatistics>\r\n</VXCasino>";
  EXPECT_EQ(Read("Main/casino.xml"), expected);

  TVXCasino back("Main", Folder(), catalogue);
  ASSERT_TRUE(back.LoadStatistics());
  TGameStatictics* again = back.FindPlayerStatistics("ann", false)->FindGameStatistics("vxg_vp_jacksorbetter", false);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->CreditIn, 2147483648u);
  EXPECT_EQ(again->CreditOut, 4294967295u);
  EXPECT_EQ(again->FindHand("hand_flush", false)->Value, 3);
  ASSERT_TRUE(back.SaveStatistics());
  EXPECT_EQ(Read("Main/casino.xml"), expected);
}

TEST_F(CasinoFolder, RecordsAreFoundIgnoringCaseAndMadeOnlyWhenAsked) {
  TVXCasino casino;
  EXPECT_EQ(casino.FindPlayerStatistics("Ann", false), nullptr);
  EXPECT_EQ(casino.PlayersStatistics.Count(), 0);
  TPlayerStatistics* ann = casino.FindPlayerStatistics("Ann", true);
  EXPECT_EQ(casino.FindPlayerStatistics("ANN", true), ann);
  EXPECT_EQ(casino.PlayersStatistics.Count(), 1);
  EXPECT_EQ(ann->FindGameStatistics("VXG_X", false), nullptr);
  TGameStatictics* g = ann->FindGameStatistics("VXG_X", true);
  EXPECT_EQ(g->CreditIn, 0u);
  EXPECT_EQ(g->GameHands.Count(), 0);
  EXPECT_EQ(ann->FindGameStatistics("vxg_x", true), g);
  EXPECT_EQ(ann->GamesStatistics.Count(), 1);
}

TEST_F(CasinoFolder, DescriptionFileGivesRankDescriptionAndGamesInSectionOrder) {
  Write("Vegas/casino.dat",
        "[GENERAL]\nRank=3\nDescription=The big one\nTitle=Vegas Grand\n"
        "[GAME_1]\nIDStr=VXG_SLOT_3X5POKER\n"
        "[XGAME_2]\nIDStr=VXG_VP_DEUCESWILD\n"      // prefix not at the start: ignored
        "[GAME_3]\nName=no id\n"                     // no IDStr: "_ERROR", nothing added
        "[GAME_4]\nIDStr=vxg_vp_jokerwild\n"         // ids are exact: not in the catalogue
        "[GAME_5]\nIDStr=VXG_VP_JOKERWILD\n"
        "[GAME_6]\nIDStr=VXG_SLOT_3X5POKER\n");      // the same game twice is listed twice
  TVXCasino casino("Vegas", Folder(), catalogue);
  EXPECT_EQ(casino.Rank, 3);
  EXPECT_EQ(casino.Description, "The big one");
  EXPECT_EQ(casino.Title, "Vegas Grand");
  EXPECT_EQ(GameIDs(casino), (std::vector<std::string>{"VXG_SLOT_3X5POKER", "VXG_VP_JOKERWILD", "VXG_SLOT_3X5POKER"}));

  Write("Plain/casino.dat", "");
  TVXCasino plain("Plain", Folder(), catalogue);
  EXPECT_EQ(plain.Rank, 1);
  EXPECT_EQ(plain.Description, "no info");
  EXPECT_EQ(plain.Title, "Plain") << "the folder's name stands in";
  EXPECT_TRUE(plain.Games.empty());
}

TEST_F(CasinoFolder, GameListStopsAtItsCap) {
  std::string text;
  for (int i = 0; i < TVXCasino::MaxGames + 10; ++i)
    text += "[GAME_" + std::to_string(i) + "]\nIDStr=VXG_VP_DEUCESWILD\n";
  Write("Big/casino.dat", text);
  vx::ClearLog();
  TVXCasino casino("Big", Folder(), catalogue);
  EXPECT_EQ(casino.GameCount(), TVXCasino::MaxGames);
  EXPECT_TRUE(vx::LogContains("Big"));
}

TEST_F(CasinoFolder, ScanFindsOnlyFoldersWithADescriptionAndKeepsTheirNamesAsOnDisk) {
  Write("Alpha/casino.dat", "[GENERAL]\nRank=1\n");
  Write("Beta/casino.xml", "<VXCasino></VXCasino>");  // statistics without a description
  Write("MixedCase/CASINO.DAT", "[GENERAL]\nRank=2\n");
  Write("Gamma/Common/casino.dat", "");                // only deeper down
  Write("casino.dat", "");                             // a file, not a folder
  TVXCasinoManager manager(Folder(), catalogue);
  ASSERT_EQ(manager.Count(), 2);
  EXPECT_EQ(manager.Items(0)->Name, "Alpha");
  EXPECT_EQ(manager.Items(1)->Name, "MixedCase");
  EXPECT_EQ(manager.Items(1)->Rank, 2);
  EXPECT_EQ(manager.Items(1)->StatisticsFile, Folder() + "MixedCase\\casino.xml");
  EXPECT_EQ(manager.Items(2), nullptr);
  EXPECT_EQ(manager.FindCasino("mixedcase"), manager.Items(1));
  EXPECT_EQ(manager.FindCasino("Beta"), nullptr);
  EXPECT_EQ(manager.FindCasino("Gamma"), nullptr);

  TVXCasinoManager none(Folder() + "NoSuchFolder", catalogue);
  EXPECT_EQ(none.Count(), 0);
}

TEST_F(CasinoFolder, NameClashFindsTheLastCasinoInTheList) {
  Write("ROYAL/casino.dat", "[GENERAL]\nRank=1\n");
  Write("Royal/casino.dat", "[GENERAL]\nRank=2\n");
  TVXCasinoManager manager(Folder(), catalogue);
  ASSERT_EQ(manager.Count(), 2);
  EXPECT_EQ(manager.FindCasino("royal"), manager.Items(1));
}

TEST_F(CasinoFolder, StatisticsSurviveTheManagerAndARecordMadeOnDemandIsSaved) {
  Write("Main/casino.dat", "");
  {
    TVXCasinoManager manager(Folder(), catalogue);
    TVXCasino* casino = manager.FindCasino("Main");
    ASSERT_NE(casino, nullptr);
    EXPECT_EQ(casino->FindPlayerStatistics("Ann", false), nullptr);
    EXPECT_FALSE(fs::exists(dir.Path() / "Main/casino.xml"));
    casino->FindPlayerStatistics("Ann", true)->FindGameStatistics("VXG_VP_DEUCESWILD", true)->CreditIn = 300;
  }
  EXPECT_NE(Read("Main/casino.xml").find("<PlayerName>Ann</PlayerName>"), std::string::npos);
  TVXCasinoManager manager(Folder(), catalogue);
  EXPECT_EQ(manager.FindCasino("main")->FindPlayerStatistics("ANN", false)->FindGameStatistics("VXG_VP_DEUCESWILD", false)->CreditIn,
            300u);
}

TEST_F(CasinoFolder, BadStatisticsFileIsKeptAsideWithoutStoppingTheOtherCasinos) {
  Write("A/casino.dat", "");
  Write("B/casino.dat", "");
  Write("C/casino.dat", "");
  const std::string bad = "<VXCasino><PlayersStatistics><PlayerStatistics><PlayerName>Ann";
  Write("A/casino.xml", "<VXCasino><PlayersStatistics><PlayerStatistics><PlayerName>Zoe</PlayerName>\r\n"
                        "</PlayerStatistics>\r\n</PlayersStatistics>\r\n</VXCasino>");
  Write("B/casino.xml", bad);
  // A counter beyond 2^32-1 cannot be read either.
  Write("C/casino.xml", "<VXCasino><PlayersStatistics><PlayerStatistics><GamesStatistics><GameStatictics>"
                        "<CreditIn>4294967296</CreditIn></GameStatictics></GamesStatistics>"
                        "</PlayerStatistics></PlayersStatistics></VXCasino>");
  vx::ClearLog();
  {
    TVXCasinoManager manager(Folder(), catalogue);
    ASSERT_EQ(manager.Count(), 3);
    EXPECT_NE(manager.FindCasino("A")->FindPlayerStatistics("Zoe", false), nullptr);
    EXPECT_TRUE(vx::LogContains("casino.xml"));
    EXPECT_TRUE(fs::exists(dir.Path() / "B/casino.xml.bad"));
    EXPECT_TRUE(fs::exists(dir.Path() / "C/casino.xml.bad"));
    manager.FindCasino("B")->FindPlayerStatistics("Bea", true);
  }
  // The kept copies are untouched, and what was read in part is not saved in their place.
  EXPECT_EQ(Read("B/casino.xml.bad"), bad);
  EXPECT_FALSE(fs::exists(dir.Path() / "B/casino.xml"));
  EXPECT_NE(Read("A/casino.xml").find("Zoe"), std::string::npos);
}

// A renamed player keeps their statistics: every casino's record moves to the new name in the
// same save as the players (a failed save moves nothing), and a record a deleted player left
// under the new name does not come along.
TEST_F(CasinoFolder, RenamingAPlayerCarriesTheirStatisticsInEveryCasino) {
  for (const char* c : {"A", "B", "C"}) Write(std::string(c) + "/casino.dat", "");
  TVXCasinoManager manager(Folder(), catalogue);
  manager.FindCasino("A")->FindPlayerStatistics("Ann", true)->FindGameStatistics("G", true)->CreditIn = 300;
  manager.FindCasino("B")->FindPlayerStatistics("ann", true)->FindGameStatistics("G", true)->CreditOut = 70;
  manager.FindCasino("B")->FindPlayerStatistics("Zed", true)->FindGameStatistics("G", true)->CreditIn = 5;
  ASSERT_TRUE(manager.SaveAll());
  TVXPlayers players;
  players.FileName = dir.File("Players/players.xml");
  ASSERT_TRUE(players.AddPlayer("Ann", "pw", "", "", 1));
  TVXPlayer* ann = players.FindPlayer("Ann");
  TPlayerStatistics* bound = manager.FindCasino("A")->FindPlayerStatistics("Ann", false);

  vx::InjectFileFaultForTests(vx::FileFault::Rename);
  EXPECT_EQ(players.ChangePlayer(ann, {"Zed", "pw", "", "", 1}, &manager), TChangePlayerResult::SaveFailed);
  EXPECT_NE(manager.FindCasino("A")->FindPlayerStatistics("Ann", false), nullptr);
  EXPECT_EQ(players.ChangePlayer(ann, {"Annabelle12", "pw", "", "", 1}, &manager), TChangePlayerResult::NameTooLong);

  ASSERT_EQ(players.ChangePlayer(ann, {"Zed", "pw", "", "", 1}, &manager), TChangePlayerResult::Changed);
  EXPECT_EQ(manager.FindCasino("A")->FindPlayerStatistics("Zed", false), bound) << "the record the game holds moves";
  TVXCasinoManager back(Folder(), catalogue);
  EXPECT_EQ(back.FindCasino("A")->FindPlayerStatistics("Zed", false)->FindGameStatistics("G", false)->CreditIn, 300u);
  EXPECT_EQ(back.FindCasino("B")->FindPlayerStatistics("Zed", false)->FindGameStatistics("G", false)->CreditOut, 70u);
  EXPECT_EQ(back.FindCasino("B")->FindPlayerStatistics("Zed", false)->FindGameStatistics("G", false)->CreditIn, 0u);
  EXPECT_EQ(back.FindCasino("B")->PlayersStatistics.Count(), 1);
  EXPECT_EQ(back.FindCasino("C")->PlayersStatistics.Count(), 0);
  EXPECT_EQ(back.FindCasino("A")->FindPlayerStatistics("Ann", false), nullptr);
}

}  // namespace
