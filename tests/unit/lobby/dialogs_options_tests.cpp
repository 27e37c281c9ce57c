// The options dialog (the full-screen question, volumes, the music), and the statistics
// dialog's rows (one table of games, money and hands), its current-game mode and its edge
// cases. Every option's click and its saving are the end-to-end run's.
#include <gtest/gtest.h>

#include "dialogs_rig.h"
#include "framework/VXSounds.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXCasino.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXStatisticsForm.h"
#include "unit/sound/RecordingBackend.h"

using lobbytest::DialogRig;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const TVXListBox* list) {
  Rows rows;
  for (int32_t i = 0; i < list->Items.Count(); ++i) {
    const TVXListBoxItem* item = list->Items.GetItem(i);
    rows.push_back({item->Text});
    rows.back().insert(rows.back().end(), item->SubItems.begin(), item->SubItems.end());
  }
  return rows;
}

// Shows the dialog and, while it waits for input, plays the step; then closes it.
void WhileShown(DialogRig& rig, TVXFrame& frame, const std::function<void()>& step) {
  rig.Then([&] {
    step();
    frame.Close();
  });
  frame.Closed = false;  // shown again after an earlier step
  frame.ShowModal();
}

// ---- Options.

struct FakeDisplay {
  bool FullScreen = false;
  bool Works = true;
  int Switches = 0;
  TVXDisplayModeSwitch Switch() {
    return {[this] { return FullScreen; },
            [this](bool on) {
              ++Switches;
              if (Works) FullScreen = on;
              return FullScreen == on;
            }};
  }
};

TEST(OptionsDialog, TheFullScreenBoxAsksFirstAndKeepsModeOptionAndTickUnlessTheSwitchHappens) {
  struct Case {
    bool startFull;
    int32_t answer;
    bool switchWorks;
    bool endFull;
  } cases[] = {{false, mrNo, true, false}, {true, mrNo, true, true}, {false, mrYes, false, false},
               {true, mrYes, false, true}, {false, mrYes, true, true}, {true, mrYes, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "full " << c.startFull << " answer " << c.answer << " works " << c.switchWorks);
    DialogRig rig;
    FakeDisplay display{c.startFull, c.switchWorks};
    rig.Settings().optFullScreen = c.startFull;
    TfrmOptions options(rig.MainScene(), rig.Settings(), nullptr, display.Switch());
    EXPECT_EQ(options.CbFullScreen->Checked(), c.startFull);
    rig.Answers.push_back(c.answer);
    WhileShown(rig, options, [&] { rig.Click(options.CbFullScreen); });
    EXPECT_EQ(rig.MessageTexts(),
              std::vector<std::string>{c.startFull ? "Go to windowed mode ?" : "Go to fullscreen mode ?"});
    EXPECT_EQ(rig.Messages[0].Kind, mkConfirmation);
    EXPECT_EQ(display.Switches, c.answer == mrYes ? 1 : 0);
    EXPECT_EQ(display.FullScreen, c.endFull);
    EXPECT_EQ(rig.Settings().optFullScreen, c.endFull);
    EXPECT_EQ(options.CbFullScreen->Checked(), c.endFull);
  }
}

TEST(OptionsDialog, VolumesStayWithinTheScale) {
  const int32_t steps[][3] = {{95, 10, 100}, {5, -10, 0}, {100, 10, 100}, {40, -10, 30}, {250, -10, 90}, {-40, 10, 10}};
  for (const auto& [from, delta, to] : steps) EXPECT_EQ(TfrmOptions::SteppedVolume(from, delta), to) << from << delta;
  DialogRig rig;
  rig.Settings().optSoundVolume = 180;  // set behind the dialog's back
  TfrmOptions options(rig.MainScene(), rig.Settings(), nullptr, {});
  EXPECT_EQ(options.PbSoundVolume->Position(), 100);
  EXPECT_LE(options.PbSoundVolume->BarWidth(), options.PbSoundVolume->Width() - 2);
}

// The settings as the program's sound manager reads them, and one tune on disk.
struct SettingSounds : TVXSoundOptions, TVXSoundFiles {
  SettingSounds(TVXSetting& s, std::string tune) : s(s), tune(std::move(tune)) {}
  bool optSoundEnabled() const override { return s.optSoundEnabled; }
  int optSoundVolume() const override { return s.optSoundVolume; }
  bool optMusicEnabled() const override { return s.optMusicEnabled; }
  int optMusicVolume() const override { return s.optMusicVolume; }
  std::string SoundFileName(const std::string& name) override { return name == "Sounds\\music_MAIN_1.mid" ? tune : ""; }
  TVXSetting& s;
  std::string tune;
};

TEST(OptionsDialog, MusicRestartsAtItsNewVolumeOnlyWhileItIsOn) {
  DialogRig rig;
  TVXSetting& s = rig.Settings();
  s.optMusicEnabled = true;
  s.optMusicVolume = 50;
  vxtest::TempDir::WriteFile(rig.dir.File("tune.mid"), "x");
  SettingSounds sound(s, rig.dir.File("tune.mid"));
  RecordingBackend::State backend;
  TVXSounds sounds(sound, sound, std::make_unique<RecordingBackend>(backend));
  sounds.PlayMusic(1);
  ASSERT_TRUE(sounds.HasMusic());
  TfrmOptions options(rig.MainScene(), s, &sounds, {});
  auto calls = [&](const char* what) {
    return std::count_if(backend.calls.begin(), backend.calls.end(), [&](auto& c) { return c.rfind(what, 0) == 0; });
  };
  backend.calls.clear();
  WhileShown(rig, options, [&] { rig.Click(options.BtnMusicUp); });
  EXPECT_EQ(s.optMusicVolume, 60);
  EXPECT_EQ(calls("Stop"), 1);
  EXPECT_EQ(calls("Play"), 1);
  // Switched off, the music stops and the volume buttons leave it stopped.
  backend.calls.clear();
  WhileShown(rig, options, [&] {
    rig.Click(options.CbMusicEnabled);
    rig.Click(options.BtnMusicDown);
    rig.Click(options.BtnMusicDown);
  });
  EXPECT_FALSE(s.optMusicEnabled);
  EXPECT_EQ(s.optMusicVolume, 40);
  EXPECT_EQ(calls("Play"), 0);
  EXPECT_EQ(calls("Stop"), 1) << "only the box stops it";
  WhileShown(rig, options, [&] { rig.Click(options.CbMusicEnabled); });
  EXPECT_EQ(calls("Play"), 1) << "switched on again, it plays";
}

// ---- Statistics.

// A running game with nothing but its data.
class SessionGame : public TVXGame {
public:
  using TVXGame::TVXGame;
  TVXGameData Data;
  TVXGameData* GetGameData() override { return &Data; }
  void EndRound() override {}
  void CollectWin() override {}
};

class StatisticsDialog : public ::testing::Test {
protected:
  StatisticsDialog() {
    for (const char* name : {"Ann", "Bob"}) players.AddPlayer(name, "pw", "", "", 1);
    players.Login("Bob", "pw");
  }
  TGameStatictics* Record(const char* player, const char* id) {
    return casino.FindPlayerStatistics(player, true)->FindGameStatistics(id, true);
  }
  void Offer(std::initializer_list<const char*> ids) {
    for (const char* id : ids) casino.Games.push_back(catalogue.FindGameByIDStr(id));
  }
  DialogRig rig;
  TVXPlayers players;
  TVXGameManager catalogue;
  TVXCasino casino;
};

TEST_F(StatisticsDialog, GameAndHandRowsFromTheRecords) {
  const std::string sep = "------------------";
  struct Case {
    const char* what;
    const char* id;
    uint32_t in, out;
    std::vector<std::pair<const char*, int32_t>> counts;
    std::vector<std::string> gameRow;  // without the title
    Rows handsTail;                    // the last rows of the hands list
    bool wholeList;                    // the tail is the whole list
  } cases[] = {
      {"a poker game", "VXG_VP_JACKSORBETTER", 1500, 1210, {{"HAND_HIGHPAIR", 30}, {"HAND_TWOPAIRS", 10}, {"HAND_NOTHING", 60}},
       {"1500", "1210", "80"}, {{"2 PAIRS", "10", "10"}, {"JACKS OR BETTER", "30", "30"}, {"NOTHING", "60", "60"},
       {sep, "", ""}, {"ALL HANDS", "100", "100"}}, false},
      {"a slot machine has no pay table", "VXG_SLOT_3X3FRUITS", 300, 0, {{"HAND_NOTHING", 7}}, {"300", "0", "0"},
       {{"NOTHING", "7", "100"}, {sep, "", ""}, {"ALL HANDS", "7", "100"}}, true},
      {"no money in, no hands", "VXG_VP_DEUCESWILD", 0, 50, {}, {"0", "50", "-"},
       {{"NOTHING", "0", "0"}, {sep, "", ""}, {"ALL HANDS", "0", "100"}}, false},
      {"2^31 and more", "VXG_VP_JOKERWILD", 3000000000u, 4294967295u, {{"HAND_FLUSH", 2147483647}, {"HAND_NOTHING", 2147483647}},
       {"3000000000", "4294967295", "143"}, {{"NOTHING", "2147483647", "50"}, {sep, "", ""}, {"ALL HANDS", "4294967294", "100"}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    casino.Games.clear();
    Offer({c.id});
    TGameStatictics* record = Record("Bob", c.id);
    record->CreditIn = c.in;
    record->CreditOut = c.out;
    for (auto [key, count] : c.counts) record->FindHand(key, true)->Value = count;
    TfrmStatistics dialog(rig.MainScene(), players, &casino, nullptr);
    const std::string title = catalogue.FindGameByIDStr(c.id)->Title;
    std::vector<std::string> row{title};
    row.insert(row.end(), c.gameRow.begin(), c.gameRow.end());
    EXPECT_EQ(RowsOf(dialog.LbGames), Rows{row});
    EXPECT_EQ(dialog.LblGameTitle->Caption(), title);
    EXPECT_EQ(dialog.LblCreditInV->Caption(), c.gameRow[0]);
    EXPECT_EQ(dialog.LblCreditOutV->Caption(), c.gameRow[1]);
    const Rows hands = RowsOf(dialog.LbHands);
    ASSERT_GE(hands.size(), c.handsTail.size());
    if (c.wholeList) {
      EXPECT_EQ(hands.size(), c.handsTail.size());
    }
    EXPECT_EQ(Rows(hands.end() - static_cast<std::ptrdiff_t>(c.handsTail.size()), hands.end()), c.handsTail);
    // One row per pay-table key, then the three closing rows; viewing created the missing ones.
    EXPECT_EQ(hands.size(), static_cast<size_t>(catalogue.FindGameByIDStr(c.id)->Hands().Count()) + 3);
    EXPECT_EQ(record->GameHands.Count(), static_cast<int>(hands.size()) - 2);
  }
}

TEST_F(StatisticsDialog, ChoosingAPlayerOrNoGame) {
  Offer({"VXG_VP_JACKSORBETTER", "VXG_VP_DEUCESWILD"});
  Record("Ann", "VXG_VP_DEUCESWILD")->CreditIn = 70;
  TfrmStatistics dialog(rig.MainScene(), players, &casino, nullptr);
  EXPECT_FALSE(dialog.CbCurrentSession->Visible());
  EXPECT_EQ(RowsOf(dialog.LbPlayers), (Rows{{"* Bob"}, {"Ann"}}));
  // Bob never played here: his empty records now exist, to be saved with the casino.
  EXPECT_EQ(casino.FindPlayerStatistics("Bob", false)->GamesStatistics.Count(), 2);
  dialog.LbPlayers->SetItemIndex(1);
  EXPECT_EQ(RowsOf(dialog.LbGames)[1], (std::vector<std::string>{"DEUCES WILD", "70", "0", "0"}));
  dialog.LbGames->SetItemIndex(-1);
  EXPECT_EQ(dialog.LbHands->Items.Count(), 0);
  EXPECT_EQ(dialog.LblCreditInV->Caption(), "-");
}

TEST_F(StatisticsDialog, TheCurrentGameModeShowsTheRunningGamesOwnTally) {
  Offer({"VXG_VP_JACKSORBETTER", "VXG_VP_DEUCESWILD"});
  Record("Bob", "VXG_VP_DEUCESWILD")->CreditIn = 999;
  SessionGame game(catalogue.FindGameByIDStr("VXG_VP_DEUCESWILD"), nullptr, nullptr);
  game.Data.SetCreditIn(200);
  game.Data.SetCreditOut(150);
  TfrmStatistics dialog(rig.MainScene(), players, &casino, &game);
  EXPECT_TRUE(dialog.CbCurrentSession->Visible());
  EXPECT_TRUE(dialog.CbCurrentSession->Checked());
  EXPECT_EQ(RowsOf(dialog.LbPlayers), Rows{{"* Bob"}});
  EXPECT_EQ(RowsOf(dialog.LbGames), (Rows{{"DEUCES WILD", "200", "150", "75"}}));
  WhileShown(rig, dialog, [&] { rig.Click(dialog.CbCurrentSession); });
  EXPECT_EQ(RowsOf(dialog.LbPlayers).size(), 2u);
  EXPECT_EQ(RowsOf(dialog.LbGames)[1][1], "999");
}

TEST_F(StatisticsDialog, NoCasinoOrNobodyListsNothing) {
  TfrmStatistics noCasino(rig.MainScene(), players, nullptr, nullptr);
  EXPECT_EQ(noCasino.LbGames->Items.Count(), 0);
  EXPECT_EQ(noCasino.LbHands->Items.Count(), 0);
  EXPECT_EQ(noCasino.LblCreditOutV->Caption(), "-");
  TVXPlayers nobody;
  Offer({"VXG_VP_JACKSORBETTER"});
  TfrmStatistics empty(rig.MainScene(), nobody, &casino, nullptr);
  EXPECT_EQ(empty.LbPlayers->Items.Count(), 0);
  EXPECT_EQ(empty.SelectedPlayer(), nullptr);
  EXPECT_EQ(empty.LbGames->Items.Count(), 0);
  EXPECT_EQ(casino.PlayersStatistics.Count(), 0);
}

}  // namespace
