// The lobby: its logos and their backs, the preview strip and the preview, entering games
// (also games that cannot be made), leaving them with every file saved, and the city that
// opens it.
#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <thread>

#include "framework/VXListBox.h"
#include "core/Random.h"
#include "games/DoubleUp.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/Slots.h"
#include "games/SlotsScene.h"
#include "lobby/VXCity.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXRoundSave.h"
#include "lobby_rig.h"
#include "platform/Files.h"

using lobbytest::FakeGame;
using lobbytest::LobbyRig;
namespace fs = std::filesystem;

namespace {

// A lobby as the city makes it, with the menu bar and a game factory of the test's.
struct Lobby {
  explicit Lobby(LobbyRig& rig) : rig(rig) {
    rig.SignIn("Ann", 1000);
    rig.State.Navigation = &nav;
    room = std::make_unique<TMainRoom>(rig.State);
    rig.State.MainRoom = room.get();
    room->MakeGame = [this, &rig](TGameInfo* info) -> std::unique_ptr<TVXGame> {
      ++made;
      if (failWith) throw std::runtime_error(failWith);
      if (makeNothing) return nullptr;
      auto game = std::make_unique<FakeGame>(info, &rig.Context, rig.State.GameHost,
                                             rig.Settings().CasinoFolder + info->IDStr + ".dat");
      last = game.get();
      game->FailToStart = failAfterCredit;
      return game;
    };
  }
  ~Lobby() {
    room.reset();
    rig.State.MainRoom = nullptr;
    rig.State.Navigation = nullptr;
  }
  TMainRoomScene* Scene() { return room->Scene(); }
  TVXImage* Logo(int32_t id) {
    const auto* g = Scene()->FindGame(id);
    return g != nullptr ? g->Logo : nullptr;
  }

  LobbyRig& rig;
  TNavigation nav{rig.State};
  std::unique_ptr<TMainRoom> room;
  int made = 0;
  const char* failWith = nullptr;
  bool makeNothing = false;
  bool failAfterCredit = false;
  FakeGame* last = nullptr;
};

uint32_t StripPixel(const TBitmapEx& strip, int32_t x, int32_t y) { return strip.Pixel(x, y) & 0xFFFFFFu; }

}  // namespace

TEST(LobbyScene, OneLogoPerGameInListOrderEachBackBehindItsOwnLogo) {
  // A casino listing a game twice and one the catalogue lacks.
  const std::string dat =
      "[GENERAL]\nRank=1\nDescription=x\n[GAME_1]\nIDStr=VXG_VP_JOKERWILD\n[GAME_2]\nIDStr=VXG_VP_DEUCESWILD\n"
      "[GAME_3]\nIDStr=VXG_VP_JOKERWILD\n[GAME_4]\nIDStr=NO_SUCH_GAME\n[GAME_5]\nIDStr=VXG_SLOT_3X3FRUITS\n";
  LobbyRig rig(dat);
  Lobby lobby(rig);
  lobby.room->Show();
  TMainRoomScene* scene = lobby.Scene();
  ASSERT_EQ(scene->Games().size(), 3u);
  EXPECT_EQ(scene->Games()[0].Info->IDStr, "VXG_VP_JOKERWILD");
  EXPECT_EQ(scene->Games()[1].Info->IDStr, "VXG_VP_DEUCESWILD");
  EXPECT_EQ(scene->Games()[2].Info->IDStr, "VXG_SLOT_3X3FRUITS");
  for (const auto& g : scene->Games()) {
    EXPECT_EQ(g.Logo->Tag, g.Info->ID);
    EXPECT_EQ(g.LogoBack->Tag, g.Info->ID);
    EXPECT_EQ(g.Logo->Name(), "IMG_GAME_" + g.Info->IDStr);
    // Drawn first, and round its own logo although all backs share one theme section.
    EXPECT_LT(g.LogoBack->IndexInParent(), g.Logo->IndexInParent());
    EXPECT_EQ(g.LogoBack->Left() + g.LogoBack->Width() / 2, g.Logo->Left() + g.Logo->Width() / 2);
    EXPECT_EQ(g.LogoBack->Top() + g.LogoBack->Height() / 2, g.Logo->Top() + g.Logo->Height() / 2);
    EXPECT_GT(g.LogoBack->Width(), g.Logo->Width());
  }
  EXPECT_NE(scene->Games()[0].LogoBack->Left(), scene->Games()[1].LogoBack->Left());
}

TEST(LobbyScene, ShowThemesBehindTheLoaderFillsThePlayerPanelAndUpdatesTheMenuBar) {
  LobbyRig rig;
  Lobby lobby(rig);
  TMainRoomScene* scene = lobby.Scene();
  ASSERT_EQ(scene->Games().size(), 16u);
  EXPECT_FALSE(scene->Visible());
  std::vector<int32_t> loaderShown;
  std::string loaderTitle;
  rig.ToolkitHost().OnRenderNow = [&] {
    ++rig.RenderNowCount;
    loaderShown.push_back(static_cast<int32_t>(rig.ScenesOf<TLoaderScene>().size()));
    if (loaderShown.back() == 1) loaderTitle = rig.ScenesOf<TLoaderScene>()[0]->LblGameName->Caption();
  };
  lobby.room->Show();
  EXPECT_FALSE(loaderShown.empty());
  for (int32_t n : loaderShown) EXPECT_EQ(n, 1);
  // The casino by the name its description gives it, never its folder's.
  EXPECT_EQ(loaderTitle, "ORVANTA VIDEO POKER CASINO");
  EXPECT_TRUE(rig.ScenesOf<TLoaderScene>().empty());
  EXPECT_TRUE(scene->Visible());
  EXPECT_FALSE(scene->Hidden);
  EXPECT_EQ(scene->MusicStyle, 1);
  EXPECT_EQ(scene->LblFullName->Caption(), "Ann");
  EXPECT_EQ(scene->LblBankV->Caption(), "1000");
  EXPECT_FALSE(scene->PnlGamePreview->Visible());
  EXPECT_EQ(scene->LblScrollNews->ScrollMode, smMarquee);
  // Themed: every logo has its place, and the menu bar is in front.
  for (const auto& g : scene->Games()) EXPECT_GT(g.Logo->Width(), 0) << g.Logo->Name();
  EXPECT_EQ(rig.MainScene()->GetChild(rig.MainScene()->ChildCount() - 1), lobby.nav.Scene());
  // The lobby's own buttons reach the dialogs.
  std::string shown;
  rig.Then([&] {
    if (auto* frame = dynamic_cast<TVXFrame*>(rig.InputScene())) {
      shown = frame->SceneName();
      frame->Close();
    }
  });
  rig.Click(scene->BtnStatistics);
  EXPECT_EQ(shown, "STATISTICS");
  EXPECT_EQ(scene->BtnExitGame->Hint, "LEAVES THE LOBBY OF ORVANTA VIDEO POKER CASINO");
  // Signed out, the lobby behind the login box shows nobody.
  rig.Answers.push_back(mrYes);
  lobby.nav.SignOutClick();
  EXPECT_EQ(rig.Logins.size(), 1u);
  EXPECT_EQ(scene->LblFullName->Caption(), "");
  EXPECT_EQ(scene->LblBankV->Caption(), "");
}

TEST(LobbyScene, ThePreviewStripHoldsEveryGameAndIsMadeOnceForEveryReturn) {
  LobbyRig rig;
  rig.WritePicture("MAINROOM\\IMG_GAMEPREVIEW.bmp", 200, 150, 0xFF010203u);
  Lobby lobby(rig);
  TMainRoomScene* scene = lobby.Scene();
  const auto& games = scene->Games();
  for (size_t i = 0; i < games.size(); ++i)
    if (i != 3) rig.WritePicture("MAINROOM\\IMG_SH_" + games[i].Info->IDStr + ".bmp", 200, 150, 0xFF000000u | (0x10u * (i + 1)));
  lobby.room->Show();

  const TBitmapEx& strip = rig.Source.LastBitmap;
  ASSERT_EQ(strip.Width(), 200);
  ASSERT_EQ(strip.Height(), 150 * 17);
  EXPECT_EQ(StripPixel(strip, 0, 0), 0x010203u);
  EXPECT_EQ(StripPixel(strip, 199, 149), 0x010203u);
  for (size_t i = 0; i < games.size(); ++i) {
    EXPECT_EQ(games[i].PreviewIndex, static_cast<int32_t>(i) + 2);
    // A game without its picture keeps an opaque black row; the others show theirs.
    const uint32_t expected = i == 3 ? 0u : 0x10u * (i + 1);
    EXPECT_EQ(StripPixel(strip, 100, 150 * (static_cast<int32_t>(i) + 1) + 75), expected) << i;
    EXPECT_EQ(strip.Pixel(5, 150 * (static_cast<int32_t>(i) + 1)) >> 24, 0xFFu);
  }
  TVXGfxTexture* texture = scene->ImgGamePreview->TextureInfo.Texture();
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(scene->ImgGamePreview->Position(), 1);
  EXPECT_EQ(scene->ImgGamePreview->TextureScaleMode(), tsNatural);
  const int32_t count = rig.Textures().Count();

  // Back from a game: the same texture object, and no picture read or made again.
  const TGfxImage* image = texture->Image();
  lobby.room->Show();
  lobby.room->Show();
  EXPECT_EQ(scene->ImgGamePreview->TextureInfo.Texture(), texture);
  EXPECT_EQ(texture->Image(), image);
  EXPECT_EQ(rig.Textures().Count(), count);
  EXPECT_EQ(rig.Source.FromBitmap.size(), 1u);
  EXPECT_EQ(scene->ImgGamePreview->Position(), 1);
}

TEST(LobbyScene, PointingAtALogoPreviewsTheGameOnlyWhileTheLobbyIsShown) {
  LobbyRig rig;
  Lobby lobby(rig);
  TMainRoomScene* scene = lobby.Scene();
  lobby.room->Show();
  TVXImage* logo = lobby.Logo(11);
  ASSERT_NE(logo, nullptr);
  rig.MoveTo(logo->Left() + 10, logo->Top() + 10);
  EXPECT_TRUE(scene->PnlGamePreview->Visible() || scene->PnlGamePreview->FadingIn());
  EXPECT_GT(scene->PnlGamePreview->AutoHideFrames, 990);
  EXPECT_EQ(scene->LblGameTitle->Caption(), "JACKS OR BETTER BONUS POKER");
  EXPECT_EQ(scene->ImgGamePreview->Position(), scene->FindGame(11)->PreviewIndex);
  EXPECT_NE(scene->ImgGamePreview->TargetDrawTop(), scene->ImgGamePreview->Top());

  // Back from a game the preview is closed; pointing at a game opens it on that game's
  // picture at once, and only an open preview rolls on to the next one.
  lobby.room->Show();
  EXPECT_FALSE(scene->PnlGamePreview->Visible());
  lobby.room->PreviewGame(lobby.Logo(15));
  EXPECT_EQ(scene->ImgGamePreview->DrawTop, scene->ImgGamePreview->TargetDrawTop());
  EXPECT_EQ(scene->LblGameTitle->Caption(), "JOKER WILD II");
  lobby.room->PreviewGame(lobby.Logo(1));
  EXPECT_NE(scene->ImgGamePreview->DrawTop, scene->ImgGamePreview->TargetDrawTop());

  scene->PnlGamePreview->SetVisible(false);
  scene->Hidden = true;
  lobby.room->PreviewGame(lobby.Logo(12));
  EXPECT_FALSE(scene->PnlGamePreview->Visible());
  EXPECT_EQ(scene->LblGameTitle->Caption(), "ORVANTA BONUS POKER");
  // Nor does a click enter anything.
  lobby.room->EnterGame(12);
  EXPECT_EQ(lobby.made, 0);
}

TEST(EnterGame, TheGameComesUpBehindTheLoadingScreenBoundToThePlayersRecord) {
  LobbyRig rig;
  Lobby lobby(rig);
  lobby.room->Show();
  rig.Click(lobby.Logo(10));
  ASSERT_EQ(lobby.made, 1);
  TVXGame* game = lobby.room->CurrentGame();
  ASSERT_EQ(game, lobby.last);
  EXPECT_EQ(rig.State.CurrentGame, game);
  EXPECT_EQ(rig.FadeOuts, 1);
  EXPECT_TRUE(lobby.Scene()->Hidden);
  EXPECT_FALSE(lobby.Scene()->Visible());
  EXPECT_TRUE(game->GetScene()->Visible());
  EXPECT_FALSE(game->GetScene()->Hidden);
  EXPECT_TRUE(rig.ScenesOf<TLoaderScene>().empty());
  // The opening credit came out of the bank, and the game counts into the player's record.
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 900u);
  ASSERT_NE(game->Statistics, nullptr);
  EXPECT_EQ(game->Statistics, rig.Players().CurrentPlayer()->Statistics->FindGameStatistics("VXG_VP_JACKSORBETTER", false));
  EXPECT_TRUE(lobby.nav.Scene()->BtnCredit->Visible());
  EXPECT_EQ(rig.MainScene()->GetChild(rig.MainScene()->ChildCount() - 1), lobby.nav.Scene());
}

TEST(EnterGame, AGameThatCannotBeMadeBringsTheLobbyBackWithTheMoneyWhereItWas) {
  LobbyRig rig;
  Lobby lobby(rig);
  lobby.room->Show();
  // Not in the catalogue: nothing at all happens.
  lobby.room->EnterGame(999);
  EXPECT_EQ(lobby.made, 0);
  EXPECT_EQ(rig.FadeOuts, 0);

  for (int kind = 0; kind < 3; ++kind) {
    lobby.failWith = kind == 0 ? "no screen" : nullptr;
    lobby.makeNothing = kind == 1;
    lobby.failAfterCredit = kind == 2;
    lobby.room->EnterGame(10);
    EXPECT_EQ(lobby.made, kind + 1);
    EXPECT_EQ(lobby.room->CurrentGame(), nullptr) << kind;
    EXPECT_EQ(rig.State.CurrentGame, nullptr);
    EXPECT_TRUE(lobby.Scene()->Visible()) << kind;
    EXPECT_FALSE(lobby.Scene()->Hidden);
    EXPECT_TRUE(rig.ScenesOf<TLoaderScene>().empty());
    EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 1000u) << kind;
    EXPECT_FALSE(lobby.nav.Scene()->BtnCredit->Visible());
  }
  EXPECT_TRUE(vx::LogContains("could not be started: no screen"));
}

TEST(EnterGame, SlotMachinesOpenWithThreeCreditsAndTheirMusic) {
  LobbyRig rig;
  rig.SignIn("Ann");
  rig.State.CurrentCasino = rig.DefaultCasino();
  TMainRoom room{rig.State};
  room.Show();
  room.EnterGame(33);
  auto* slots = dynamic_cast<TSlots*>(room.CurrentGame());
  ASSERT_NE(slots, nullptr);
  EXPECT_TRUE(rig.MessageTexts().empty());
  EXPECT_EQ(slots->GetGameData()->Money.Credit(), 300u);
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 700u);
  EXPECT_EQ(slots->GetScene()->MusicStyle, 5);
  EXPECT_EQ(slots->GetScene()->SceneName(), "SLOTS3X5");
}

TEST(ExitGame, RefusedDuringARoundAskedOutsideDeveloperModeAndEveryFileSavedOnLeaving) {
  LobbyRig rig;
  Lobby lobby(rig);
  lobby.room->Show();
  lobby.room->EnterGame(10);
  auto* game = lobby.last;
  ASSERT_NE(game, nullptr);

  game->Round.Resume(vx::rsBusy);  // busy: ignored without a word
  lobby.room->ExitGame();
  EXPECT_TRUE(rig.Messages.empty());
  game->Round.Resume(vx::rsHolding);  // a round in progress
  rig.Answers.push_back(mrOk);
  lobby.room->ExitGame();
  EXPECT_EQ(rig.MessageTexts().back(), "You have a game in progress. You cannot exit now.");
  EXPECT_EQ(rig.Messages.back().Kind, mkWarning);
  game->Round.Resume(vx::rsIdle);
  rig.Answers.push_back(mrNo);
  lobby.room->ExitGame();
  EXPECT_EQ(lobby.room->CurrentGame(), game);

  game->Data.CountHand("HAND_FULLHOUSE");
  const std::string dataFile = game->Data.FileName;
  rig.Answers.push_back(mrYes);
  lobby.room->ExitGame();
  EXPECT_EQ(lobby.room->CurrentGame(), nullptr);
  EXPECT_EQ(rig.State.CurrentGame, nullptr);
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 1000u);
  EXPECT_TRUE(fs::exists(vx::ToNativePath(dataFile)));
  const std::string players = vxtest::TempDir::ReadFile(vx::ToNativePath(rig.Settings().PlayersFile));
  EXPECT_NE(players.find("<Bank>1000</Bank>"), std::string::npos) << players;
  const std::string casino = vxtest::TempDir::ReadFile(vx::ToNativePath(rig.DefaultCasino()->StatisticsFile));
  EXPECT_NE(casino.find("<GameIDStr>VXG_VP_JACKSORBETTER</GameIDStr>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("<CreditIn>100</CreditIn>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("<CreditOut>100</CreditOut>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("HAND_FULLHOUSE"), std::string::npos) << casino;
  EXPECT_TRUE(lobby.Scene()->Visible());
  EXPECT_FALSE(lobby.nav.Scene()->BtnCredit->Visible());

  // In developer mode nothing is asked.
  rig.AppInfo().DeveloperMode = true;
  lobby.room->EnterGame(11);
  const size_t asked = rig.Messages.size();
  lobby.room->ExitGame();
  EXPECT_EQ(rig.Messages.size(), asked);
  EXPECT_EQ(lobby.room->CurrentGame(), nullptr);
}

TEST(ExitGame, EveryStepRunsWhenAnEarlierOneFailsSoThePlayerCanAlwaysLeave) {
  LobbyRig rig;
  Lobby lobby(rig);
  rig.AppInfo().DeveloperMode = true;
  lobby.room->Show();
  lobby.room->EnterGame(10);
  // The casino statistics cannot be written: a file stands where their folder should be.
  vxtest::TempDir::WriteFile(rig.dir.File("blocker"), "x");
  rig.DefaultCasino()->StatisticsFile = rig.dir.File("blocker") + "/casino.xml";
  rig.Players().CurrentPlayer()->Bank += 5;
  const std::string before = vxtest::TempDir::ReadFile(vx::ToNativePath(rig.Settings().PlayersFile));
  lobby.room->ExitGame();
  EXPECT_EQ(lobby.room->CurrentGame(), nullptr);
  EXPECT_TRUE(vx::LogContains("ERROR: Leaving the game: saving the casino statistics and the players failed"));
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 1005u);
  // The bank is not saved without the statistics that go with it.
  EXPECT_EQ(vxtest::TempDir::ReadFile(vx::ToNativePath(rig.Settings().PlayersFile)), before);
  EXPECT_TRUE(lobby.Scene()->Visible());
}

TEST(ExitGame, LeavingFromAButtonOfTheGamesOwnScreenFreesItSafely) {
  LobbyRig rig;
  Lobby lobby(rig);
  rig.AppInfo().DeveloperMode = true;
  lobby.room->Show();
  lobby.room->EnterGame(10);
  TVXGameScene* screen = lobby.last->GetScene();
  auto* leave = new TVXButton(screen);
  leave->SetName("BTN_LEAVE");
  screen->AddControl(leave);
  leave->SetBounds(100, 100, 100, 50);
  leave->OnClick = [&](TVXComponent*) { lobby.room->ExitGame(); };
  vx::WeakRef<TVXGameScene> alive(screen);
  lobby.nav.Update();
  rig.ClickAt(150, 125);
  EXPECT_FALSE(alive);
  EXPECT_EQ(lobby.room->CurrentGame(), nullptr);
  EXPECT_TRUE(lobby.Scene()->Visible());
}

TEST(ExitGame, ClosingTheProgramWithAGameRunningSettlesItFirst) {
  LobbyRig rig;
  Lobby lobby(rig);
  lobby.room->Show();
  lobby.room->EnterGame(10);
  // A win still pending goes into the credit, and the credit into the bank.
  lobby.last->Data.Money.Reset(lobby.last->Data.Money.Credit(), 50);
  lobby.room->CloseGame();
  EXPECT_EQ(lobby.room->CurrentGame(), nullptr);
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 1050u);
}

TEST(LobbyExit, TheLobbysExitSavesTheCasinoAndOpensItAgain) {
  LobbyRig rig;
  TVXCity city{rig.State};
  rig.State.City = &city;
  rig.SignIn("Ann");
  TNavigation nav{rig.State};
  rig.State.Navigation = &nav;
  city.EnterMainRoom();
  TMainRoom* room = rig.State.MainRoom;
  ASSERT_NE(room, nullptr);
  ASSERT_FALSE(fs::exists(vx::ToNativePath(rig.DefaultCasino()->StatisticsFile)));
  rig.Click(room->Scene()->BtnExitGame);
  EXPECT_TRUE(fs::exists(vx::ToNativePath(rig.DefaultCasino()->StatisticsFile)));
  EXPECT_EQ(rig.State.MainRoom, room);
  EXPECT_TRUE(room->Scene()->Visible());
  EXPECT_FALSE(room->Scene()->Hidden);
  rig.State.Navigation = nullptr;
  rig.State.City = nullptr;
}

TEST(City, OpensTheDefaultCasinosLobbyOnlyWhenItExistsAndBindsThePlayersRecord) {
  {
    // No "VideoPokerCasino": the lobby never opens.
    LobbyRig rig("[GENERAL]\nRank=1\n");
    fs::rename(fs::path(rig.ProgramFolder) / "Casinos" / "VideoPokerCasino", fs::path(rig.ProgramFolder) / "Casinos" / "Other");
    TVXCasinoManager casinos(rig.Settings().CasinosFolder, rig.Catalogue());
    rig.State.CasinoManager = &casinos;
    TVXCity city{rig.State};
    city.EnterMainRoom();
    EXPECT_EQ(rig.State.MainRoom, nullptr);
    city.SelectCasino("Other");
    EXPECT_NE(rig.State.MainRoom, nullptr);  // any casino with its casino.dat opens
  }
  LobbyRig rig;
  TVXPlayer* player = rig.SignIn("Ann");
  player->Statistics = nullptr;
  rig.Settings().SetCasino("MakeDefault");
  TVXCity city{rig.State};
  // A casino the manager knows whose description went missing meanwhile: nothing happens.
  const fs::path dat = fs::path(rig.ProgramFolder) / "Casinos" / "VideoPokerCasino" / "casino.dat";
  fs::rename(dat, dat.string() + ".away");
  city.SelectCasino("VideoPokerCasino");
  EXPECT_EQ(rig.State.MainRoom, nullptr);
  fs::rename(dat.string() + ".away", dat);

  city.SelectCasino("videopokercasino");
  TMainRoom* room = rig.State.MainRoom;
  ASSERT_NE(room, nullptr);
  EXPECT_EQ(rig.Settings().CasinoName, "VideoPokerCasino");
  EXPECT_EQ(rig.State.CurrentCasino, rig.DefaultCasino());
  ASSERT_NE(player->Statistics, nullptr);
  EXPECT_EQ(player->Statistics, rig.DefaultCasino()->FindPlayerStatistics("ann", false));
  EXPECT_TRUE(room->Scene()->Visible());
  // The lobby is made once and shown again.
  city.EnterMainRoom();
  EXPECT_EQ(rig.State.MainRoom, room);
}

namespace {

// The next start, as the main window makes it: an interrupted save finished, the last
// round's record replayed.
bool NextStart(LobbyRig& rig) {
  return vx::RecoverFileJournal(rig.Players().JournalFile()) &&
         vx::ReplayRoundRecord(rig.Players().FileName, rig.Settings().CasinosFolder);
}

// A round on the machine: won 40, one flush.
void PlayRound(FakeGame* game) {
  ASSERT_TRUE(game->Round.Begin());
  game->Data.Money.PayCredit(40);
  game->Data.CountHand("HAND_FLUSH");
  game->Round.End();
}

}  // namespace

// A kill at every flush and rename of a round's save (on the writer thread), of both ways out
// of a game (leaving it, and closing the program with it running) and of the replay at the
// next start: after the next start the bank and the statistics on disk always agree, holding
// the visit as it stood after its last whole round (from the credit taken on).
TEST(SaveFaults, AKillAtAnyFlushOrRenameLeavesTheBankAndTheStatisticsInStep) {
  enum class Way { Round, Leave, Close, Replay };
  // The visit: 100 in, a round won 40, everything out again.
  auto run = [](Way way, int killAt, int* steps) {
    LobbyRig rig;
    Lobby lobby(rig);
    rig.AppInfo().DeveloperMode = true;
    lobby.room->Show();
    lobby.room->EnterGame(10);
    if (way == Way::Round) {
      vx::WaitForRoundSaves();
      vx::StopFilesAfterStepsForTests(killAt);
    }
    PlayRound(lobby.last);
    vx::WaitForRoundSaves();
    if (way != Way::Round) vx::StopFilesAfterStepsForTests(killAt);
    if (way == Way::Leave) {
      lobby.room->ExitGame();
    } else if (way == Way::Close) {
      // What the program's shutdown does: the game settles, the players and every casino are
      // saved together, then each casino as it is freed.
      lobby.room->CloseGame();
      vx::SaveProgress(&rig.Players(), &rig.Casinos(), {});
      rig.DefaultCasino()->SaveStatistics();
    } else if (way == Way::Replay) {
      NextStart(rig);
    }
    *steps = vx::FileStepsForTests();
    vx::StopFilesAfterStepsForTests(-1);
    ASSERT_TRUE(NextStart(rig));
    TVXPlayers players;
    players.FileName = rig.Players().FileName;
    ASSERT_TRUE(players.LoadFromFile());
    TVXCasino casino;
    casino.StatisticsFile = rig.DefaultCasino()->StatisticsFile;
    ASSERT_TRUE(casino.LoadStatistics());
    TPlayerStatistics* record = casino.FindPlayerStatistics("Ann", false);
    TGameStatictics* game = record ? record->FindGameStatistics("VXG_VP_JACKSORBETTER", false) : nullptr;
    const int64_t in = game ? game->CreditIn : 0, out = game ? game->CreditOut : 0;
    const int64_t bank = players.FindPlayer("Ann")->Bank;
    EXPECT_EQ(bank - 1000, out - in) << "kill at step " << killAt;
    const bool visit = bank == 1040 && in == 100 && out == 140 && game->FindHand("HAND_FLUSH", false) != nullptr;
    // Killed in the round: the visit as it stood when the credit was taken.
    EXPECT_TRUE(visit || (way == Way::Round && bank == 1000 && in == 100)) << "kill at step " << killAt;
    // Starting once more changes nothing.
    auto files = [&] {
      return vxtest::TempDir::ReadFile(vx::ToNativePath(players.FileName)) +
             vxtest::TempDir::ReadFile(vx::ToNativePath(casino.StatisticsFile));
    };
    const std::string started = files();
    ASSERT_TRUE(NextStart(rig));
    EXPECT_EQ(files(), started);
  };
  for (Way way : {Way::Round, Way::Leave, Way::Close, Way::Replay}) {
    int total = 0;
    run(way, 1 << 20, &total);
    ASSERT_GE(total, 2);
    for (int k = 0; k < total; ++k) {
      int steps = 0;
      run(way, k, &steps);
      EXPECT_EQ(steps, k);
    }
  }
}

namespace {

// Random(n) from a queue first (values modulo n), then seeded.
struct QueueRandom : vx::DefaultRandom {
  std::deque<int32_t> Queue;
  int32_t Random(int32_t n) override {
    if (Queue.empty() || n <= 0) return DefaultRandom::Random(n);
    const int32_t v = Queue.front();
    Queue.pop_front();
    return v % n;
  }
};

// The lobby's window where every wait and every frame of a count or a spin is a moment the
// player sees; AtMoment runs once, at the next one.
class PlayRig : public LobbyRig {
public:
  std::function<void()> AtMoment;
  bool Wait(uint64_t) override {
    Moment();
    return !IsClosing;
  }
  bool ProcessMessage() override {
    if (dynamic_cast<TframeMessage*>(InputScene()) != nullptr) return LobbyRig::ProcessMessage();
    Frame();
    Moment();
    return !IsClosing;
  }

private:
  void Moment() {
    if (auto at = std::exchange(AtMoment, nullptr)) at();
  }
};

// The program killed now and started again: the bank and the player's record of the game on
// disk, against what the player owns now (`bank`; `start` as the machine was entered) and
// `count` of the round's hand.
void KillAndRestart(PlayRig& rig, const std::string& point, int64_t start, int64_t bank, const std::string& hand,
                    int32_t count) {
  SCOPED_TRACE("killed " + point);
  // Before the writer has finished anything in the background: money is on disk already.
  const std::string recordFile = vx::ToNativePath(vx::RoundRecordFile(rig.Players().FileName));
  TVXRoundRecord record;
  if (vx::FileSize(recordFile) > 0) {
    ASSERT_EQ(record.SetXML(vxtest::TempDir::ReadFile(recordFile)), XMLReadResult::Complete);
    EXPECT_EQ(static_cast<int64_t>(record.Bank), bank);
  }
  vx::WaitForRoundSaves();
  ASSERT_TRUE(NextStart(rig));
  TVXPlayers players;
  players.FileName = rig.Players().FileName;
  ASSERT_TRUE(players.LoadFromFile());
  EXPECT_EQ(static_cast<int64_t>(players.FindPlayer("Ann")->Bank), bank);
  TVXCasino casino;
  casino.StatisticsFile = rig.DefaultCasino()->StatisticsFile;
  ASSERT_TRUE(casino.LoadStatistics());
  TGameStatictics* game =
      casino.FindPlayerStatistics("Ann", false)->FindGameStatistics(rig.State.CurrentGame->GameInfo->IDStr, false);
  ASSERT_NE(game, nullptr);
  EXPECT_EQ(static_cast<int64_t>(game->CreditOut) - game->CreditIn, bank - start);
  if (!hand.empty()) {
    EXPECT_EQ(game->FindHand(hand, true)->Value, count);
  }
}

}  // namespace

// A kill at each moment of play, then the next start: the bank and the statistics hold what
// the player owned at that moment, as leaving then would give them: the bet gone once it is
// taken, a decided win (shown, counting, offered for the double-up) kept, the round's hand
// counted once from its draw on.
TEST(SaveFaults, AKillDuringPlayGivesWhatThePlayerOwnedThen) {
  auto owned = std::make_unique<QueueRandom>();
  QueueRandom& rng = *owned;
  vx::SetRng(std::move(owned));
  PlayRig rig;
  rig.SignIn("Ann", 1000);
  rig.AppInfo().DeveloperMode = true;
  TMainRoom room{rig.State};
  room.Show();
  struct Point {
    const char* name;
    std::function<void()> act;  // reaches the point; the kill comes at its first moment
    std::function<int64_t()> bank;
    std::string hand;
    int32_t count;
  };
  int64_t start = 1000;
  auto killAt = [&](const Point& p) {
    bool killed = false;
    auto kill = [&] {
      killed = true;
      KillAndRestart(rig, p.name, start, p.bank(), p.hand, p.count);
    };
    rig.AtMoment = kill;
    p.act();
    rig.AtMoment = nullptr;
    if (!killed) kill();  // no moment inside: killed as the action ends
  };

  // Video poker (game 10, bet 10): three aces dealt, the fourth drawn; a king on the
  // double-up's first card.
  room.EnterGame(10);
  auto* poker = dynamic_cast<TPoker*>(room.CurrentGame());
  ASSERT_NE(poker, nullptr);
  TPokerScene& ps = *poker->PokerScene;
  const int64_t win = 10 * poker->GameInfo->GetPay("HAND_POKER");
  auto dealAces = [&] {
    for (int32_t n : {1, 14, 27, 2, 3, 5, 6, 8, 40, 4, 9, 10, 11, 12, 16}) rng.Queue.push_back(n - 1);
  };
  auto kingsFirst = [&] {
    for (int32_t n : {13, 26, 39, 52, 12, 25, 38, 51, 11, 24}) rng.Queue.push_back(n - 1);
  };
  auto click = [&](TVXCustomControl* c) { return [c] { c->OnClick(c); }; };
  const std::vector<Point> pokerPoints = {
      {"during the deal", [&] { dealAces(); ps.BtnDeal->OnClick(ps.BtnDeal); }, [] { return 990; }, "HAND_POKER", 0},
      {"holding", [] {}, [] { return 990; }, "HAND_POKER", 0},
      {"during the draw", [&] { kingsFirst(); ps.BtnDeal->OnClick(ps.BtnDeal); }, [&] { return 990 + win; }, "HAND_POKER", 1},
      {"double-up offered", [] {}, [&] { return 990 + win; }, "HAND_POKER", 1},
      {"a double-up card won", click(ps.HoldButtons[3]), [&] { return 990 + 2 * win; }, "HAND_POKER", 1},
      {"counting the win up", click(ps.BtnCashAll), [&] { return 990 + 2 * win; }, "HAND_POKER", 1},
      {"the next deal", [&] { dealAces(); ps.BtnDeal->OnClick(ps.BtnDeal); }, [&] { return 980 + 2 * win; }, "HAND_POKER", 1},
      {"the next draw", [&] { kingsFirst(); ps.BtnDeal->OnClick(ps.BtnDeal); }, [&] { return 980 + 3 * win; }, "HAND_POKER", 2},
      {"a double-up card lost (no moment: as it ends)", click(ps.HoldButtons[1]), [&] { return 980 + 2 * win; }, "HAND_POKER", 2},
  };
  for (const Point& p : pokerPoints) killAt(p);
  ASSERT_EQ(poker->Round.State(), vx::rsIdle);
  room.ExitGame();

  // A slot machine (game 32): three sevens, a double-up card won, the win counted up.
  start = rig.Players().CurrentPlayer()->Bank;
  room.EnterGame(32);
  auto* slots = dynamic_cast<TSlots*>(room.CurrentGame());
  ASSERT_NE(slots, nullptr);
  TSlotsScene& ss = *slots->SlotsScene;
  const int64_t before = start;
  const int64_t bet = slots->Data->GetBet();
  int64_t shown = 0;
  const std::vector<Point> slotPoints = {
      {"during the spin",
       [&] {
         for (int i = 0; i < 60; ++i) rng.Queue.push_back(1);
         ss.BtnSpin->OnClick(ss.BtnSpin);
         shown = vx::LabelValue(ss.LblWinV);
       },
       [&] { return before - bet; }, "", 0},
      {"the win shown", [] {}, [&] { return before - bet + shown; }, "", 0},
      {"a double-up card won",
       [&] {
         ss.HoldButtons[1]->OnClick(ss.HoldButtons[1]);
         ss.HoldButtons[1]->OnClick(ss.HoldButtons[1]);
       },
       [&] { return before - bet + 2 * shown; }, "", 0},
      {"counting the win up", click(ss.BtnCashAll), [&] { return before - bet + 2 * shown; }, "", 0},
  };
  for (const Point& p : slotPoints) killAt(p);
  EXPECT_GT(shown, 0);
  EXPECT_EQ(slots->Round.State(), vx::rsIdle);
  vx::SetRng(nullptr);
}

// Every round's end records what leaving the machine then would: the credit in the bank and
// the visit in the statistics, without changing anything in play and without writing the
// players or the statistics themselves.
TEST(SaveFaults, ARoundsRecordHoldsTheVisitAsIfTheMachineWereLeft) {
  LobbyRig rig;
  Lobby lobby(rig);
  rig.AppInfo().DeveloperMode = true;
  lobby.room->Show();
  lobby.room->EnterGame(10);
  FakeGame* game = lobby.last;
  const std::string playersFile = vx::ToNativePath(rig.Players().FileName);
  const std::string before = vxtest::TempDir::ReadFile(playersFile);
  // Two rounds in a row; the second's record may replace the first's before it is written.
  PlayRound(game);
  PlayRound(game);
  TVXPlayer* ann = rig.Players().CurrentPlayer();
  EXPECT_EQ(ann->Bank, 900u);
  EXPECT_EQ(game->Data.Money.Credit(), 180u);
  EXPECT_EQ(game->Statistics->CreditIn, 0u);
  vx::WaitForRoundSaves();
  EXPECT_EQ(vxtest::TempDir::ReadFile(playersFile), before);
  EXPECT_FALSE(fs::exists(vx::ToNativePath(rig.DefaultCasino()->StatisticsFile)));
  EXPECT_EQ(fs::status(vx::ToNativePath(vx::RoundRecordFile(rig.Players().FileName))).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  // A crash now: the next start finds the visit settled.
  ASSERT_TRUE(NextStart(rig));
  TVXPlayers players;
  players.FileName = rig.Players().FileName;
  ASSERT_TRUE(players.LoadFromFile());
  EXPECT_EQ(players.FindPlayer("Ann")->Bank, 1080u);
  TVXCasino casino;
  casino.StatisticsFile = rig.DefaultCasino()->StatisticsFile;
  ASSERT_TRUE(casino.LoadStatistics());
  TGameStatictics* record = casino.FindPlayerStatistics("Ann", false)->FindGameStatistics("VXG_VP_JACKSORBETTER", false);
  EXPECT_EQ(record->CreditIn, 100u);
  EXPECT_EQ(record->CreditOut, 180u);
  EXPECT_EQ(record->FindHand("HAND_FLUSH", false)->Value, 2);
  // Leaving after it saves the same, once, and the record goes with that save.
  lobby.room->ExitGame();
  EXPECT_EQ(vxtest::TempDir::ReadFile(vx::ToNativePath(casino.StatisticsFile)), casino.GetXML());
  EXPECT_EQ(vx::FileSize(vx::RoundRecordFile(rig.Players().FileName)), 0);
}

// A record the writer cannot put in place is told once, on the main thread, through the
// ordinary save's failure; the game goes on.
TEST(SaveFaults, ARoundThatCannotBeSavedIsToldOnceOnTheMainThread) {
  LobbyRig rig;
  Lobby lobby(rig);
  rig.AppInfo().DeveloperMode = true;
  lobby.room->Show();
  lobby.room->EnterGame(10);
  vx::ResetXMLFileSafetyForTests();
  std::vector<std::thread::id> told;
  vx::SetXMLFileProblemHandler([&](const vx::XMLFileProblem& p) {
    EXPECT_FALSE(p.Damaged);
    told.push_back(std::this_thread::get_id());
  });
  vx::StopFilesAfterStepsForTests(0);
  PlayRound(lobby.last);
  vx::WaitForRoundSaves();
  PlayRound(lobby.last);
  vx::WaitForRoundSaves();
  vx::StopFilesAfterStepsForTests(-1);
  EXPECT_EQ(told, std::vector<std::thread::id>{std::this_thread::get_id()});
  EXPECT_TRUE(vx::LogContains("ERROR: The round could not be saved"));
  EXPECT_EQ(lobby.last->Data.Money.Credit(), 180u);
  vx::SetXMLFileProblemHandler(nullptr);
  vx::ResetXMLFileSafetyForTests();
}

// A record that cannot be trusted is left as it is and changes nothing: damaged, naming a
// file outside the casinos or other than a casino's statistics and a game's data, a player no
// longer in the list, or over a damaged players file.
TEST(SaveFaults, ARecordThatCannotBeReplayedChangesNothing) {
  LobbyRig rig0;  // for the casinos folder the records name
  const std::string good = "<VXRoundRecord><PlayerName>Ann</PlayerName><Bank>1040</Bank></VXRoundRecord>";
  struct Case {
    const char* what;
    std::string record;
    std::string players;
  };
  const Case cases[] = {
      {"damaged", good.substr(0, good.size() - 3), {}},
      {"outside", "<VXRoundRecord><PlayerName>Ann</PlayerName><Bank>1</Bank><DataFile>/tmp/x.dat</DataFile></VXRoundRecord>", {}},
      {"nobody", "<VXRoundRecord><PlayerName>Bob</PlayerName><Bank>1</Bank></VXRoundRecord>", {}},
      {"casino's own", "<VXRoundRecord><PlayerName>Ann</PlayerName><Bank>1</Bank><DataFile>" + rig0.Settings().CasinosFolder +
                           "Main\\casino.dat</DataFile></VXRoundRecord>", {}},
      {"made-up name", "<VXRoundRecord><PlayerName>Ann</PlayerName><Bank>1</Bank><StatisticsFile>" + rig0.Settings().CasinosFolder +
                           "Main\\cisino.xml</StatisticsFile><GameStatistics><GameStatictics><GameIDStr>G</GameIDStr>"
                           "</GameStatictics></GameStatistics></VXRoundRecord>", {}},
      {"players", good, "<VXPlayers><VXPlayer><PlayerName>Ann</PlayerName><Bank>x</Bank></VXPlayer></VXPlayers>"},
  };
  for (const Case& c : cases) {
    LobbyRig rig;
    rig.SignIn("Ann", 1000);
    const std::string playersFile = vx::ToNativePath(rig.Players().FileName);
    if (!c.players.empty()) vxtest::TempDir::WriteFile(playersFile, c.players);
    const std::string players = vxtest::TempDir::ReadFile(playersFile);
    const std::string recordFile = vx::ToNativePath(vx::RoundRecordFile(rig.Players().FileName));
    vxtest::TempDir::WriteFile(recordFile, c.record);
    EXPECT_FALSE(vx::ReplayRoundRecord(rig.Players().FileName, rig.Settings().CasinosFolder)) << c.what;
    EXPECT_EQ(vxtest::TempDir::ReadFile(playersFile), players) << c.what;
    EXPECT_EQ(vxtest::TempDir::ReadFile(recordFile), c.record) << c.what;
  }
}
