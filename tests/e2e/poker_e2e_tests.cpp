// A hundred hands of video poker on the real program: the real main window (SDL's offscreen
// driver, the GPU device on Mesa's software GL, the generated data and themes) and the real
// lobby, driven through window events only. A new player signs up, enters JACKS OR BETTER 9/6,
// deals and draws (the automatic holds stand), collects every win, buys credit through the
// credit dialog when the credit runs short, leaves the game and closes the program. Then the
// files are read back: the hands and the credit moved in the casino's statistics, and a bank
// that is exactly what the statistics say went in and came out.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/LobbyProgram.h"
#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Frames;
using vxe2e::Input;
using vxe2e::PushClick;
using vxe2e::PushText;

// The integer in the first <tag>…</tag> after `from`, or -1.
int64_t NumberAfter(const std::string& text, size_t from, const std::string& tag) {
  const size_t open = text.find("<" + tag + ">", from);
  if (open == std::string::npos) return -1;
  const size_t start = open + tag.size() + 2;
  return std::stoll(text.substr(start, text.find('<', start) - start));
}

TEST(PokerEndToEnd, AHundredHandsOnTheRealProgramKeepEveryCoinAccounted) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::MainPump().ResetForTests();
  vx::ClearLog();

  TfrmMain* formPtr = nullptr;
  TfrmMainOptions options;
  options.ProgramFolder = program.string() + "/";
  options.DeveloperMode = false;
  options.DebugLogFile = dir.File("debug.log");
  options.MakeLobby = [&formPtr]() -> std::unique_ptr<TVXLobbyLayer> {
    return std::make_unique<TVXLobbyProgram>(*formPtr);
  };
  auto form = std::make_unique<TfrmMain>(std::move(options));
  formPtr = form.get();
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  const uint32_t window = form->Window()->WindowId();
  TfrmMain& f = *form;

  enum Phase { Intro, Login, Profile, Created, SignIn, Lobby, Entering, Playing, Leaving, Left, Closing, Done };
  Phase phase = Intro;
  uint64_t quietUntil = 0;
  uint64_t phaseSince = SDL_GetTicks64();
  // A hundred hands take a few minutes of real waits; the quick run plays a quarter.
  const int target = std::getenv("VX_QUICK") != nullptr ? 25 : 100;
  int hands = 0, credits = 0, deals = 0, wins = 0;
  bool shot = false;
  std::vector<std::string> boxes;
  std::vector<uint32_t> frame;
  auto poker = [] { return dynamic_cast<TPoker*>(vx::Lobby().CurrentGame); };
  auto room = [] { return vx::Lobby().MainRoom; };
  auto nav = [] { return vx::Lobby().Navigation->Scene(); };
  auto next = [&](Phase p) {
    phase = p;
    phaseSince = SDL_GetTicks64();
  };
  auto act = [&](const TVXCustomControl* c, uint64_t settle = 8) {
    PushClick(window, c);
    quietUntil = Frames() + settle;
  };

  auto tick = [&] {
    if (Frames() < quietUntil || phase == Done) return;
    if (SDL_GetTicks64() - phaseSince > 60000) {
      ADD_FAILURE() << "stuck in phase " << phase << " after " << hands << " hands";
      phase = Done;
      f.Close();
      return;
    }
    auto* box = Input<TframeMessage>(f);
    switch (phase) {
      case Intro:
        if (f.GetAnim(0) != nullptr) {
          PushClick(window, 400, 300);
          quietUntil = Frames() + 20;
        }
        if (Input<TfrmLogin>(f) != nullptr) next(Login);
        return;
      case Login:
        act(Input<TfrmLogin>(f)->BtnNewPlayer, 30);
        next(Profile);
        return;
      case Profile: {
        auto* p = Input<TfrmProfile>(f);
        if (p == nullptr) return;
        PushClick(window, p->EdtUserName);
        PushText(window, "DEALER");
        PushClick(window, p->EdtPassword);
        PushText(window, "CARDS5");
        PushClick(window, p->EdtPassword2);
        PushText(window, "CARDS5");
        act(p->BtnClose, 20);
        next(Created);
        return;
      }
      case Created:
        if (box == nullptr) return;
        boxes.push_back(box->MessageLabel->Caption());
        act(box->OkButton, 20);
        next(SignIn);
        return;
      case SignIn:
        if (Input<TfrmLogin>(f) == nullptr || box != nullptr) return;
        act(Input<TfrmLogin>(f)->BtnLogin, 40);
        next(Lobby);
        return;
      case Lobby:
        if (room() == nullptr || room()->Scene()->Hidden || f.InputScene() != f.MainScene()) return;
        act(room()->Scene()->FindGame(10)->Logo, 60);
        next(Entering);
        return;
      case Entering:
        if (poker() == nullptr || !room()->Scene()->Hidden || box != nullptr) return;
        next(Playing);
        quietUntil = Frames() + 30;
        return;
      case Playing: {
        TPoker* g = poker();
        if (g == nullptr) return;
        if (box != nullptr) {
          boxes.push_back(box->MessageLabel->Caption());
          act(box->OkButton);
          return;
        }
        if (auto* credit = Input<TfrmCredit>(f)) {
          if (g->Data->Credit < 100) {
            ++credits;
            act(credit->BtnAdd100);
          } else {
            act(credit->BtnClose, 20);
          }
          return;
        }
        if (f.InputScene() != f.MainScene()) return;
        const TGameStatictics& tally = g->Data->Tally();
        int counted = 0;
        for (int i = 0; i < tally.GameHands.Count(); ++i) counted += tally.GameHands.Items(i)->Value;
        if (counted != hands) phaseSince = SDL_GetTicks64();  // progress: not stuck
        hands = counted;
        TPokerScene* s = g->PokerScene;
        switch (g->RoundState) {
          case 0:
            if (hands >= target) {
              act(nav()->BtnExitGame, 20);
              next(Leaving);
            } else if (g->Data->Credit < static_cast<uint32_t>(g->Data->Bet)) {
              act(nav()->BtnCredit, 20);
            } else {
              ++deals;
              act(s->BtnDeal);
            }
            return;
          case 3:
            if (!shot) {
              shot = true;
              int32_t w = 0, h = 0;
              ASSERT_EQ(f.Engine->Device()->ReadFrame(frame, w, h), 0);
              const char* shots = std::getenv("VX_TEST_TMP");
              vx::WriteFileAtomic(std::string(shots != nullptr ? shots : "/tmp") + "/poker_hand.bmp",
                                  vx::EncodeScreenshotBmp(w, h, frame));
            }
            act(s->BtnDeal);
            return;
          case 5: case 6: case 7:
            if (wins++ == 0) {
              int32_t w = 0, h = 0;
              std::vector<uint32_t> shotFrame;
              f.RenderNow();
              ASSERT_EQ(f.Engine->Device()->ReadFrame(shotFrame, w, h), 0);
              const char* shots = std::getenv("VX_TEST_TMP");
              vx::WriteFileAtomic(std::string(shots != nullptr ? shots : "/tmp") + "/poker_doubleup.bmp",
                                  vx::EncodeScreenshotBmp(w, h, shotFrame));
              EXPECT_TRUE(s->PnlDoubleUp->Visible());
              EXPECT_FALSE(s->Cards[0]->Visible()) << "this game hides the hand while the double-up shows";
            }
            act(s->BtnCashAll);
            return;
          default:
            return;
        }
      }
      case Leaving:
        if (box == nullptr) return;
        boxes.push_back(box->MessageLabel->Caption());
        act(box->YesButton, 40);
        next(Left);
        return;
      case Left:
        if (vx::Lobby().CurrentGame != nullptr || room()->Scene()->Hidden || box != nullptr) return;
        act(nav()->MenuFile, 20);
        next(Closing);
        return;
      case Closing:
        if (!nav()->MenuExitGame->Visible()) return;
        act(nav()->MenuExitGame, 20);
        next(Done);
        return;
      case Done:
        return;
    }
  };
  const vx::TimerId watcher = vx::MainPump().SetTimer(20, tick);
  form->Run();
  vx::MainPump().KillTimer(watcher);
  EXPECT_EQ(phase, Done);
  EXPECT_TRUE(vx::MainPump().Terminated());
  form->FormDestroy();
  form.reset();

  EXPECT_GE(hands, target);
  EXPECT_GE(deals, target);
  EXPECT_GT(wins, 0);
  ASSERT_EQ(frame.size(), 800u * 600u);
  // The five cards are drawn where the theme puts them: the middle band is far from black.
  size_t lit = 0;
  for (int y = 300; y < 450; y += 3)
    for (int x = 100; x < 700; x += 3) lit += (frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu) != 0;
  EXPECT_GT(lit, 3000u);

  const std::string players = vxtest::TempDir::ReadFile((program / "Players" / "players.xml").string());
  // Elements are written in name order: each record starts before its name.
  const size_t me = players.rfind("<VXPlayer>", players.find("<PlayerName>DEALER</PlayerName>"));
  ASSERT_NE(me, std::string::npos) << players;
  const int64_t bank = NumberAfter(players, me, "Bank");
  const std::string casino =
      vxtest::TempDir::ReadFile((program / "Casinos" / "VideoPokerCasino" / "casino.xml").string());
  const size_t record = casino.rfind("<GameStatictics>", casino.find("<GameIDStr>VXG_VP_JACKSORBETTER</GameIDStr>"));
  ASSERT_NE(record, std::string::npos) << casino;
  const int64_t creditIn = NumberAfter(casino, record, "CreditIn");
  const int64_t creditOut = NumberAfter(casino, record, "CreditOut");
  EXPECT_EQ(creditIn, 100 + 100 * credits) << casino;
  EXPECT_GT(creditOut, 0);
  EXPECT_EQ(bank, 1000 - creditIn + creditOut) << "every coin that left the bank is accounted for\n" << players;
  EXPECT_GE(bank, 0);
  int64_t counted = 0;
  const size_t end = casino.find("</GameHands>", record);
  for (size_t at = casino.find("<Value>", record); at != std::string::npos && at < end; at = casino.find("<Value>", at + 1))
    counted += NumberAfter(casino, at, "Value");
  EXPECT_EQ(counted, hands);
  EXPECT_EQ(boxes.front(), "Player DEALER created successfully!");
  EXPECT_EQ(boxes.back(), "Are you sure you want to exit this game ?");
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}

}  // namespace
