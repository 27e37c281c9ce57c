// The slot machines on the real program: the real main window (SDL's offscreen driver, the GPU
// device on Mesa's software GL, the generated data and themes) and the real lobby, driven
// through window events only. A new player signs up, then enters each slot machine from the
// lobby by a click on its logo, spins a few dozen times by clicking SPIN (and clicking it
// again to stop the reels early), collects every win with CASH, tries the double-up now and
// then, lowers the bet with BET1, and leaves through EXIT. The program is closed through the
// menu and its files are read back: each machine's credit in casino.xml, its data file, and a
// bank in players.xml that is exactly 1000 minus every credit taken plus every credit cashed.
//
// VX_SLOTS_MACHINES="31,33" plays only those machines (ctest runs each machine on its own);
// VX_QUICK spins 6 times on each machine instead of 24.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "app/LobbyProgram.h"
#include "app/MainForm.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "games/DoubleUp.h"
#include "games/GameManager.h"
#include "games/Slots.h"
#include "games/SlotsScene.h"
#include "lobby/VXLobby.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"
#include "platform/MessagePump.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Frames;
using vxe2e::Input;
using vxe2e::PushClick;
using vxe2e::PushText;

constexpr int64_t kStartingBank = 1000;
constexpr const char* kExitQuestion = "Are you sure you want to exit this game ?";

int64_t NumberIn(const std::string& text, size_t from, size_t to, const std::string& tag) {
  const size_t open = text.find("<" + tag + ">", from);
  if (open == std::string::npos || open >= to) return -1;
  const size_t start = open + tag.size() + 2;
  const auto v = vx::TryStrToInt64(text.substr(start, text.find('<', start) - start));
  return v ? *v : -1;
}

struct Machine {
  int32_t Id = 0;
  std::string IDStr;
  bool Entered = false, Left = false;
  int Spins = 0, Stops = 0, Wins = 0, Gambles = 0;
  int64_t CreditIn = 0;
  uint32_t CreditAtExit = 0;
};

class SlotsTour {
public:
  enum Phase { SigningUp, Lobby, Entering, Playing, Leaving, Left, Closing, Done };

  SlotsTour(TfrmMain& form, std::vector<int32_t> ids, int spinsEach)
      : f_(form), window_(form.Window()->WindowId()), spinsEach_(spinsEach) {
    for (int32_t id : ids) {
      Machine m;
      m.Id = id;
      machines_.push_back(m);
    }
    progressAt_ = SDL_GetTicks64();
  }

  void Tick();
  Phase phase() const { return phase_; }
  const std::vector<Machine>& Machines() const { return machines_; }
  const std::vector<std::string>& Boxes() const { return boxes_; }
  uint32_t LastBank() const { return lastBank_; }

private:
  TSlots* Game() const { return dynamic_cast<TSlots*>(vxe2e::LobbyOf(f_).CurrentGame); }
  TMainRoom* Room() const { return vxe2e::LobbyOf(f_).MainRoom; }
  TNavigationScene* Nav() const { return vxe2e::LobbyOf(f_).Navigation->Scene(); }
  uint32_t Bank() const {
    const TVXPlayer* p = vx::CurrentPlayer(vxe2e::LobbyOf(f_));
    return p != nullptr ? p->Bank : 0;
  }
  Machine& Current() { return machines_[next_]; }
  void Next(Phase p) {
    phase_ = p;
    progressAt_ = SDL_GetTicks64();
  }
  void Act(const TVXCustomControl* c, uint64_t settle = 8) {
    PushClick(window_, c);
    quietUntil_ = Frames() + settle;
  }
  std::string Where() { return "machine " + std::to_string(Current().Id) + ", spin " + std::to_string(Current().Spins); }
  void Play(TSlots& g);

  TfrmMain& f_;
  uint32_t window_;
  int spinsEach_;
  std::vector<Machine> machines_;
  std::vector<std::string> boxes_;
  size_t next_ = 0;
  Phase phase_ = SigningUp;
  vxe2e::SignUpFlow signUp_{f_, "SPINNER", "REELS7"};
  uint64_t quietUntil_ = 0;
  uint64_t progressAt_ = 0;
  uint32_t lastBank_ = 0, bankAtExit_ = 0;
  // The books at the last spin's click: credit, what was staked and paid so far.
  int64_t credit0_ = 0, bets0_ = 0, paid0_ = 0, spins0_ = 0;
  bool awaiting_ = false, stopPressed_ = false, gambled_ = false;
};

void SlotsTour::Tick() {
  if (phase_ == Done || Frames() < quietUntil_) return;
  if (SDL_GetTicks64() - progressAt_ > 90000) {
    ADD_FAILURE() << "no progress for 90 s in phase " << phase_;
    phase_ = Done;
    vx::MainPump().Terminate();
    return;
  }
  auto* box = Input<TframeMessage>(f_);
  switch (phase_) {
    case SigningUp:
      if (!signUp_.Step()) return;
      boxes_.push_back(signUp_.Confirmation());
      quietUntil_ = signUp_.QuietUntil();
      Next(Lobby);
      return;
    case Lobby: {
      if (Room() == nullptr || Room()->Scene()->Hidden || f_.InputScene() != f_.MainScene() || box != nullptr) return;
      if (next_ >= machines_.size()) {
        Act(Nav()->MenuFile, 20);
        Next(Closing);
        return;
      }
      const TMainRoomScene::TLobbyGame* logo = Room()->Scene()->FindGame(Current().Id);
      if (logo == nullptr || logo->Logo == nullptr || !logo->Logo->Visible()) {
        ADD_FAILURE() << "the lobby shows no logo for " << Current().Id;
        phase_ = Done;
        vx::MainPump().Terminate();
        return;
      }
      Current().IDStr = logo->Info->IDStr;
      lastBank_ = Bank();
      Act(logo->Logo, 60);
      Next(Entering);
      return;
    }
    case Entering: {
      TSlots* g = Game();
      if (g == nullptr || !Room()->Scene()->Hidden || box != nullptr || f_.InputScene() != f_.MainScene() ||
          !g->SlotsScene->Visible())
        return;
      Machine& m = Current();
      m.Entered = true;
      EXPECT_EQ(g->GameInfo->ID, m.Id);
      // Three hundreds from the bank, the opening bet on both sides, the machine's music.
      EXPECT_EQ(g->Data->Money.Credit(), 300u) << Where();
      EXPECT_EQ(Bank(), lastBank_ - 300) << Where();
      EXPECT_EQ(g->Data->GetBet(), m.Id == 32 ? 2 : 16) << Where();
      EXPECT_EQ(g->GetScene()->MusicStyle, m.Id >= 33 ? 5 : 4);
      m.CreditIn = 300;
      Next(Playing);
      quietUntil_ = Frames() + 30;
      return;
    }
    case Playing:
      if (TSlots* g = Game()) Play(*g);
      return;
    case Leaving: {
      if (box == nullptr) return;
      boxes_.push_back(box->MessageLabel->Caption());
      EXPECT_EQ(box->MessageLabel->Caption(), kExitQuestion);
      Act(box->YesButton, 40);
      Next(Left);
      return;
    }
    case Left: {
      if (vxe2e::LobbyOf(f_).CurrentGame != nullptr || Room() == nullptr || Room()->Scene()->Hidden || box != nullptr ||
          f_.InputScene() != f_.MainScene())
        return;
      Machine& m = Current();
      m.Left = true;
      EXPECT_EQ(Bank(), bankAtExit_ + m.CreditAtExit) << "the credit cashed out on leaving - " << Where();
      lastBank_ = Bank();
      ++next_;
      Next(Lobby);
      return;
    }
    case Closing:
      if (!Nav()->MenuExitGame->Visible()) return;
      Act(Nav()->MenuExitGame, 20);
      Next(Done);
      return;
    case Done:
      return;
  }
}

void SlotsTour::Play(TSlots& g) {
  Machine& m = Current();
  TSlotsScene& s = *g.SlotsScene;
  if (g.Round.State() == 4) {
    // Reels running after a SPIN: SPIN again stops them early. Free games run on their own.
    if (awaiting_ && !stopPressed_ && g.Returns.Spins == spins0_ + 1) {
      stopPressed_ = true;
      ++m.Stops;
      Act(s.BtnSpin, 4);
    }
    return;
  }
  if (g.Round.State() == 1) return;
  if (awaiting_) {
    if (g.Returns.Spins != spins0_ + 1) return;  // the click is still on its way
    awaiting_ = false;
    progressAt_ = SDL_GetTicks64();
    // The spin's books: the bet taken, the credit moved only by what the machine paid into
    // it (pools, bell), a win waiting in the win label.
    const int64_t paidNow = g.Returns.Paid() - paid0_;
    const int64_t staked = g.Returns.Bets - bets0_;
    EXPECT_EQ(static_cast<int64_t>(g.Data->Money.Credit()) + g.Data->Money.Win(), credit0_ - staked + paidNow) << Where();
    EXPECT_EQ(vx::LabelValue(s.LblCreditV), g.Data->Money.Credit()) << Where();
    EXPECT_EQ(vx::LabelValue(s.LblWinV), g.Data->Money.Win()) << Where();
    if (g.Data->Money.Win() > 0) ++m.Wins;
  }
  if (g.Round.State() == 7) {
    // A double-up card: SMALL or BIG.
    Act(s.HoldButtons[static_cast<size_t>(m.Gambles % 2 == 0 ? 0 : 2)], 30);
    return;
  }
  if (g.Round.State() == 5) {
    // Now and then the double-up, otherwise CASH.
    if (m.Wins % 4 == 1 && !gambled_) {
      gambled_ = true;
      ++m.Gambles;
      Act(s.HoldButtons[1], 30);
    } else {
      Act(s.BtnCashAll, 20);
    }
    return;
  }
  gambled_ = false;
  if (!g.ReelsStill()) return;
  if (m.Spins >= spinsEach_ || static_cast<int64_t>(g.Data->Money.Credit()) < g.Data->GetBet()) {
    m.CreditAtExit = g.Data->Money.Credit();
    bankAtExit_ = Bank();
    Act(Nav()->BtnExitGame, 20);
    Next(Leaving);
    return;
  }
  if (m.Spins == 3 && g.Data->GetBet() > 1) {
    // BET1 after a spin starts the sides again: one coin on side 1.
    Act(s.BtnBet1, 10);
    return;
  }
  credit0_ = g.Data->Money.Credit();
  bets0_ = g.Returns.Bets;
  paid0_ = g.Returns.Paid();
  spins0_ = g.Returns.Spins;
  ++m.Spins;
  awaiting_ = true;
  stopPressed_ = false;
  Act(s.BtnSpin, 6);
}

TEST(SlotsEndToEnd, EveryLayoutFromTheLobbyKeepsEveryCoinAccounted) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  const int spinsEach = std::getenv("VX_QUICK") != nullptr ? 6 : 24;
  // The generous machines first, so the bank can open the others.
  const std::vector<int32_t> ids = vxe2e::MachinesToPlay("VX_SLOTS_MACHINES", {31, 33, 32, 34});

  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::ClearLog();
  // The program makes its own lobby.
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(vxe2e::ProgramOptions(program, dir));
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  clock.Drive();

  SlotsTour tour(*form, ids, spinsEach);
  const uint64_t started = SDL_GetTicks64();
  const vx::TimerId watcher = vx::MainPump().SetTimer(20, [&tour] { tour.Tick(); });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  EXPECT_EQ(tour.phase(), SlotsTour::Done);
  form->FormDestroy();
  form.reset();
  std::printf("%-4s %5s %5s %5s %7s %8s\n", "id", "spins", "stops", "wins", "gambles", "cashed");
  for (const Machine& m : tour.Machines())
    std::printf("%-4d %5d %5d %5d %7d %8u\n", m.Id, m.Spins, m.Stops, m.Wins, m.Gambles, m.CreditAtExit);
  std::printf("%.1f s\n", (SDL_GetTicks64() - started) / 1000.0);

  const std::string players = vxtest::TempDir::ReadFile((program / "Players" / "players.xml").string());
  const size_t me = players.rfind("<VXPlayer>", players.find("<PlayerName>SPINNER</PlayerName>"));
  ASSERT_NE(me, std::string::npos) << players;
  const int64_t bank = NumberIn(players, me, players.find("</VXPlayer>", me), "Bank");
  const fs::path casinoFolder = program / "Casinos" / "VideoPokerCasino";
  const std::string casino = vxtest::TempDir::ReadFile((casinoFolder / "casino.xml").string());
  int64_t in = 0, out = 0;
  for (const Machine& m : tour.Machines()) {
    SCOPED_TRACE("machine " + std::to_string(m.Id));
    EXPECT_TRUE(m.Entered && m.Left);
    EXPECT_GT(m.Spins, 0);
    const size_t at = casino.find("<GameIDStr>" + m.IDStr + "</GameIDStr>");
    ASSERT_NE(at, std::string::npos) << casino;
    const size_t start = casino.rfind("<GameStatictics>", at), end = casino.find("</GameStatictics>", at);
    EXPECT_EQ(NumberIn(casino, start, end, "CreditIn"), m.CreditIn);
    EXPECT_EQ(NumberIn(casino, start, end, "CreditOut"), m.CreditAtExit);
    in += m.CreditIn;
    out += m.CreditAtExit;
    // The machine's data file is written on leaving and holds nothing of the visit's counters.
    const std::string data = vxtest::TempDir::ReadFile((casinoFolder / (m.IDStr + ".dat")).string());
    EXPECT_NE(data.find("<SlotsData>"), std::string::npos) << data;
    EXPECT_EQ(data.find("Pool"), std::string::npos) << data;
  }
  EXPECT_EQ(bank, kStartingBank - in + out) << players;
  EXPECT_EQ(bank, tour.LastBank());
  EXPECT_EQ(tour.Boxes().size(), 1 + tour.Machines().size()) << "the sign-up box and one exit question per machine";
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}

}  // namespace
