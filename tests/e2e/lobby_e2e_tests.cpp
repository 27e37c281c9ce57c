// The real main window with the real lobby (SDL window on the offscreen driver, the GPU device
// on Mesa's software GL, the generated data), driven as a player drives it: window events go
// into SDL's queue and come back out through the program's own event translation. The run
// skips the intro with a click, creates a player in the login dialog, signs in, looks at the
// lobby and a preview, opens the menus and the dialogs behind them, plays nothing but enters
// and leaves a video-poker game, signs out and in again and leaves through the menu; then the
// files the program wrote are read back. The intro, the login, the lobby and the loading screen
// are compared with golden pictures; screenshots of every step are written to the test folder.
#include <gtest/gtest.h>
#include <SDL.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXProgressBar.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"
#include "lobby/VXStatisticsForm.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Input;
using vxe2e::PushClick;
using vxe2e::PushMove;
using vxe2e::PushText;

std::string ShotFolder() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  return tmp != nullptr ? tmp : "/tmp";
}

using vxe2e::Script;

void Screenshot(TfrmMain& form, const std::string& name, std::vector<uint32_t>* keep = nullptr) {
  const vxtest::Shot shot = vxe2e::Screenshot(form);
  ASSERT_EQ(shot.Width, 800);
  vx::WriteFileAtomic(ShotFolder() + "/" + name, vx::EncodeScreenshotBmp(shot.Width, shot.Height, shot.Pixels));
  if (keep != nullptr) *keep = shot.Pixels;
}

// The screen now against its golden picture "lobby/<name>". Real time runs under these shots,
// so a few antialiased pixels may land a frame apart; what moves by itself is left out.
void ExpectLooksAsBefore(TfrmMain& form, const std::string& name, std::vector<vxtest::Area> moving = {}) {
  vxtest::GoldenRules rules;
  rules.Tolerance = 2;
  rules.AllowedShare = 0.002;
  rules.Skip = std::move(moving);
  EXPECT_EQ(vxtest::CompareWithGolden("lobby/" + name, vxe2e::Screenshot(form), rules), "");
}

vxtest::Area AreaOf(const TVXCustomControl* c) {
  return {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
}

// How many pixels of a rectangle differ from black.
size_t Lit(const std::vector<uint32_t>& frame, int x0, int y0, int x1, int y1) {
  size_t n = 0;
  for (int y = y0; y < y1; y += 2)
    for (int x = x0; x < x1; x += 2) n += (frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu) != 0;
  return n;
}

}  // namespace

TEST(LobbyEndToEnd, APlayerSignsUpVisitsTheLobbyAndAGameSignsOutAndInAndLeaves) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::MainPump().ResetForTests();
  vx::ClearLog();

  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
  // The program's own lobby, as the program makes it.
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  clock.Drive();
  const uint32_t window = form->Window()->WindowId();
  TfrmMain& f = *form;

  std::vector<uint32_t> lobbyFrame, introFrame;
  uint64_t introClickedAt = 0, introEndedAt = 0;
  TMainRoom* room = nullptr;
  TNavigationScene* nav = nullptr;
  std::string title;
  std::vector<std::string> boxes;
  auto answer = [&](int32_t result) {
    auto* box = Input<TframeMessage>(f);
    boxes.push_back(box->MessageLabel->Caption());
    PushClick(window, result == mrYes ? box->YesButton : box->OkButton);
  };
  auto box = [&] { return Input<TframeMessage>(f) != nullptr; };
  auto inLobby = [&] {
    room = vxe2e::LobbyOf(f).MainRoom;
    return room != nullptr && !room->Scene()->Hidden && form->InputScene() == form->MainScene() &&
           vxe2e::LobbyOf(f).CurrentGame == nullptr;
  };
  auto intro = [&]() -> TAnimIntro* { return dynamic_cast<TAnimIntro*>(f.GetAnim(0)); };

  Script s(f);
  s.Add("the intro holds the logo", [&] { return intro() != nullptr && intro()->StepNo == 2; },
        [&] {
          Screenshot(f, "lobby_intro.bmp", &introFrame);
          ExpectLooksAsBefore(f, "intro");
          introClickedAt = Script::Frames();
          PushClick(window, 400, 300);
        });
  s.Add("the login dialog", [&] { return Input<TfrmLogin>(f) != nullptr; },
        [&] {
          introEndedAt = Script::Frames();
          Screenshot(f, "lobby_login.bmp");
          ExpectLooksAsBefore(f, "login");
          PushClick(window, Input<TfrmLogin>(f)->BtnNewPlayer);
        },
        60);
  s.Add("the profile dialog", [&] { return Input<TfrmProfile>(f) != nullptr; },
        [&] { vxe2e::PushNewPlayer(window, Input<TfrmProfile>(f), "TESTER", "SECRET7"); });
  s.Add("the player is created", box, [&] { answer(mrOk); });
  s.Add("the login dialog, filled in", [&] { return Input<TfrmLogin>(f) != nullptr && !box(); },
        [&] { PushClick(window, Input<TfrmLogin>(f)->BtnLogin); });
  s.Add("the lobby", inLobby,
        [&] {
          Screenshot(f, "lobby_lobby.bmp", &lobbyFrame);
          ExpectLooksAsBefore(f, "lobby", {AreaOf(room->Scene()->LblScrollWelcome), AreaOf(room->Scene()->LblScrollNews)});
          EXPECT_EQ(room->Scene()->Games().size(), 16u);
          for (const auto& g : room->Scene()->Games()) {
            EXPECT_TRUE(g.Logo->Visible() && g.Logo->TextureLoaded()) << g.Logo->Name();
            EXPECT_TRUE(g.LogoBack->TextureLoaded());
          }
          EXPECT_TRUE(room->Scene()->ImgGamePreview->TextureLoaded());
          nav = vxe2e::LobbyOf(f).Navigation->Scene();
          const TVXImage* logo = room->Scene()->FindGame(11)->Logo;
          PushMove(window, logo->Left() + logo->Width() / 2, logo->Top() + logo->Height() / 2);
        },
        60);
  s.Add("the preview of the game pointed at",
        [&] {
          auto* sc = room->Scene();
          return sc->PnlGamePreview->Visible() && sc->ImgGamePreview->DrawTop == sc->ImgGamePreview->TargetDrawTop();
        },
        [&] {
          title = room->Scene()->LblGameTitle->Caption();
          Screenshot(f, "lobby_preview.bmp");
          PushClick(window, nav->MenuPlayer);
        });
  s.Add("the player menu is open", [&] { return nav->MenuStatistics->Visible(); },
        [&] {
          Screenshot(f, "lobby_menu.bmp");
          PushClick(window, nav->MenuStatistics);
        });
  s.Add("the statistics dialog", [&] { return Input<TfrmStatistics>(f) != nullptr; },
        [&] { PushClick(window, Input<TfrmStatistics>(f)->BtnClose); });
  s.Add("back in the lobby", [&] { return inLobby() && !box(); }, [&] { PushClick(window, nav->MenuTools); });
  s.Add("the tools menu is open", [&] { return nav->MenuOptions->Visible(); },
        [&] { PushClick(window, nav->MenuOptions); });
  s.Add("the options dialog", [&] { return Input<TfrmOptions>(f) != nullptr; },
        [&] { PushClick(window, Input<TfrmOptions>(f)->BtnClose); });
  // A click on the lobby, in front of which the menu bar lies.
  s.Add("back in the lobby again", [&] { return inLobby() && !box(); },
        [&] { PushClick(window, room->Scene()->BtnHelp); });
  s.Add("the help dialog from the lobby's own button", [&] { return Input<TfrmHelp>(f) != nullptr; },
        [&] { PushClick(window, Input<TfrmHelp>(f)->BtnClose); });
  s.Add("into a game", [&] { return inLobby() && !box(); },
        [&] { PushClick(window, room->Scene()->FindGame(10)->Logo); });
  s.Add("the game is on", [&] { return vxe2e::LobbyOf(f).CurrentGame != nullptr && room->Scene()->Hidden && !box(); },
        [&] {
          Screenshot(f, "lobby_game.bmp");
          EXPECT_TRUE(nav->BtnCredit->Visible());
          // The loading screen as the lobby shows it, drawn by the program on its device.
          TLoader loader(&f.Context());
          loader.Scene()->LoadTheme(f.Context().CasinoName());
          loader.Scene()->Show();
          loader.Begin("JACKS OR BETTER 9/6", 120);
          loader.Step("PNL_PAYOFF", 45);
          f.RenderNow();
          Screenshot(f, "lobby_loader.bmp");
          ExpectLooksAsBefore(f, "loader");
          loader.Scene()->Hide();
        },
        60);
  s.Add("leaving the game", [] { return true; }, [&] { PushClick(window, nav->BtnExitGame); });
  // The answer leaves the pointer resting where a logo of the lobby comes back.
  const TMainRoomScene::TLobbyGame* rested = nullptr;
  int restX = 0, restY = 0;
  s.Add("the question before leaving", box,
        [&] {
          const TVXCustomControl* yes = Input<TframeMessage>(f)->YesButton;
          restX = yes->Left() + yes->Width() / 2;
          restY = yes->Top() + yes->Height() / 2;
          answer(mrYes);
        });
  s.Add("the lobby after the game, the pointer resting on a logo", inLobby,
        [&] {
          for (const auto& g : room->Scene()->Games())
            if (g.Logo->HitTest(restX, restY)) rested = &g;
          ASSERT_NE(rested, nullptr) << "no logo under " << restX << "," << restY;
        });
  s.Add("the preview of that game, the pointer not moved",
        [&] { return room->Scene()->PnlGamePreview->Visible() && room->Scene()->LblGameTitle->Caption() == rested->Info->Title; },
        [&] { vxe2e::PushClickInPlace(window, restX, restY); });
  s.Add("the first click entered that game",
        [&] { return vxe2e::LobbyOf(f).CurrentGame != nullptr && !box(); },
        [&] {
          EXPECT_EQ(vxe2e::LobbyOf(f).CurrentGame->GameInfo, rested->Info);
          PushClick(window, nav->BtnExitGame);
        },
        60);
  s.Add("the question before leaving it", box, [&] { answer(mrYes); });
  s.Add("the lobby after the games", inLobby, [&] { PushClick(window, nav->MenuFile); });
  s.Add("the file menu is open", [&] { return nav->MenuSignOut->Visible(); }, [&] { PushClick(window, nav->MenuSignOut); });
  s.Add("the question before signing out", box, [&] { answer(mrYes); });
  s.Add("the login dialog asks again",
        [&] { return Input<TfrmLogin>(f) != nullptr && !box(); },
        [&] {
          EXPECT_EQ(vxe2e::LobbyOf(f).Players->CurrentPlayer(), nullptr);
          auto* login = Input<TfrmLogin>(f);
          PushClick(window, login->CboPlayerName->Left() + 8, login->CboPlayerName->Top() + login->CboPlayerName->Height() / 2);
          PushText(window, "TESTER");
          PushClick(window, login->EdtPassword);
          PushText(window, "SECRET7");
          PushClick(window, login->BtnLogin);
        });
  s.Add("the lobby once more", inLobby, [&] { PushClick(window, nav->MenuFile); });
  s.Add("the file menu again", [&] { return nav->MenuExitGame->Visible(); },
        [&] { PushClick(window, nav->MenuExitGame); });

  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] { s.Tick(); });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  EXPECT_EQ(s.Done(), s.Count());
  EXPECT_TRUE(vx::MainPump().Terminated());
  form->FormDestroy();
  form.reset();

  // The intro was cut short by the click, well before its 2000 frames of hold ran out.
  EXPECT_LT(introEndedAt - introClickedAt, 400u);
  EXPECT_GT(Lit(introFrame, 250, 130, 550, 470), 10000u);
  // The lobby as it was on screen: lit everywhere the room is, sixteen logos in their places.
  ASSERT_EQ(lobbyFrame.size(), 800u * 600u);
  EXPECT_GT(Lit(lobbyFrame, 0, 0, 800, 600), 110000u);
  EXPECT_EQ(title, "JACKS OR BETTER BONUS POKER");
  EXPECT_EQ(boxes, (std::vector<std::string>{"Player TESTER created successfully!",
                                              "Are you sure you want to exit this game ?",
                                              "Are you sure you want to exit this game ?",
                                              "Are you sure you want to sign-out?"}));

  // The files: the player with the bank back at 1000, the visit in the casino's statistics,
  // the game's own data, and the settings.
  const std::string players = vxtest::TempDir::ReadFile((program / "Players" / "players.xml").string());
  EXPECT_NE(players.find("<PlayerName>TESTER</PlayerName>"), std::string::npos) << players;
  EXPECT_NE(players.find("<Bank>1000</Bank>"), std::string::npos) << players;
  EXPECT_NE(players.find("<Password>SECRET7</Password>"), std::string::npos) << players;
  const fs::path casinoFolder = program / "Casinos" / "VideoPokerCasino";
  const std::string casino = vxtest::TempDir::ReadFile((casinoFolder / "casino.xml").string());
  EXPECT_NE(casino.find("<PlayerName>TESTER</PlayerName>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("<GameIDStr>VXG_VP_JACKSORBETTER</GameIDStr>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("<CreditIn>100</CreditIn>"), std::string::npos) << casino;
  EXPECT_NE(casino.find("<CreditOut>100</CreditOut>"), std::string::npos) << casino;
  EXPECT_TRUE(fs::exists(casinoFolder / "VXG_VP_JACKSORBETTER.dat"));
  const std::string settings = vxtest::TempDir::ReadFile((program / "settings.xml").string());
  EXPECT_NE(settings.find("<VXSetting>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("<optVSync>True</optVSync>"), std::string::npos) << settings;
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}
