// What the end-to-end tests share: a program folder of their own over the generated data, and
// input pushed into SDL's queue so it comes back out through the program's own event
// translation, as a player's would.
#pragma once

#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "platform/MessagePump.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "support/VirtualClock.h"

class TVXCustomControl;
class TfrmProfile;

namespace vxe2e {

// `<dir>/program` with the generated Data, Sounds and Help linked in; the casinos are copied
// (without what earlier play wrote into them) when the run writes to them, otherwise linked.
std::filesystem::path LayOutProgram(const vxtest::TempDir& dir, bool writableCasinos = true);
// The main window's options for a run over that folder: the log in the test's folder, and
// developer mode only when asked. The pump starts from a clean state.
TfrmMainOptions ProgramOptions(const std::filesystem::path& program, const vxtest::TempDir& dir,
                               bool developerMode = false);

// The program's time in a window run: a virtual clock that moves on at every idle pass of the
// pump, that is with every frame the engine draws, by one frame (1/60 s) or by the wall time
// the pass took when that was longer, and never waits. Fades, animations, waits and timers
// take the frames they take at 60 frames a second on a machine that draws faster than that
// (in the wall time those frames take to draw), and no longer than in real time on a slower
// one. Made before the main window and kept past it; Drive() once the window is created
// (before Run) hooks the frame timer's idle pass.
class FrameClock {
public:
  static constexpr uint64_t kFrameUs = 16667;
  void Drive();

private:
  vxtest::VirtualClock clock_;
  vx::SystemClock wall_;
  uint64_t wallUs_ = 0;
};

// The game ids listed in the environment variable (such as "15,1,10"), or all of them.
std::vector<int32_t> MachinesToPlay(const char* variable, const std::vector<int32_t>& all);

void PushMove(uint32_t window, int x, int y);
void PushClick(uint32_t window, int x, int y);
// A press and a release at a point, with no move before them (the pointer rests there).
void PushClickInPlace(uint32_t window, int x, int y);
// A click in the middle of the control.
void PushClick(uint32_t window, const TVXCustomControl* control);
// The two halves of a click in the middle of the control, for a press held a while.
void PushPress(uint32_t window, const TVXCustomControl* control);
void PushRelease(uint32_t window, const TVXCustomControl* control);
// Capital letters and digits as key presses.
void PushText(uint32_t window, const std::string& text);
void PushQuit();
// A new player's name and password typed into the profile dialog, which is then closed.
void PushNewPlayer(uint32_t window, const TfrmProfile* profile, const std::string& name, const std::string& password);

// Idle passes of the program's pump: one a frame.
uint64_t Frames();

template <class T>
T* Input(TfrmMain& form) {
  return dynamic_cast<T*>(form.InputScene());
}

// A new player signs up from the start of the program: past the intro, NEW PLAYER in the
// login dialog, the profile filled in (the name, the password twice), the confirmation box
// answered, LOGIN. A test steps it from its timer until Step returns true (LOGIN clicked);
// nothing is clicked before QuietUntil (a frame count).
class SignUpFlow {
public:
  SignUpFlow(TfrmMain& form, std::string name, std::string password);
  bool Step();
  uint64_t QuietUntil() const { return quietUntil_; }
  // The text of the box that confirmed the new player.
  const std::string& Confirmation() const { return confirmation_; }

private:
  enum Stage { Intro, Login, Profile, Created, SignIn, Finished };
  void Act(const TVXCustomControl* c, uint64_t settle);
  TfrmMain& form_;
  uint32_t window_;
  std::string name_, password_, confirmation_;
  Stage stage_ = Intro;
  uint64_t quietUntil_ = 0;
};

// The frame on screen now, read back from the device.
vxtest::Shot Screenshot(TfrmMain& form);

// The lobby state of the window's program lobby layer (the test fails without one).
TVXLobbyState& LobbyOf(TfrmMain& form);

// A script of steps on the program's own pump: each waits until it is ready (and then a few
// frames more, so fades and flights settle), then acts. A step stuck for a minute fails the
// test and closes the program.
class Script {
public:
  struct Step {
    std::string What;
    std::function<bool()> Ready;
    std::function<void()> Act;
    uint64_t Settle = 0;
  };
  explicit Script(TfrmMain& form) : form_(form) {}
  void Add(std::string what, std::function<bool()> ready, std::function<void()> act, uint64_t settle = 20) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act), settle});
  }
  static uint64_t Frames() { return vxe2e::Frames(); }
  void Tick() {
    if (at_ >= steps_.size()) return;
    Step& s = steps_[at_];
    const uint64_t now = SDL_GetTicks64();
    if (started_ == 0) started_ = now;
    if (readySince_ == 0 && s.Ready()) readySince_ = Frames() + 1;
    if (readySince_ != 0 && Frames() >= readySince_ + s.Settle) {
      s.Act();
      ++at_;
      readySince_ = 0;
      started_ = now;
      return;
    }
    if (now - started_ > 60000) {
      ADD_FAILURE() << "stuck at: " << s.What;
      at_ = steps_.size();
      form_.Close();
    }
  }
  size_t Done() const { return at_; }
  size_t Count() const { return steps_.size(); }

private:
  TfrmMain& form_;
  std::vector<Step> steps_;
  size_t at_ = 0;
  uint64_t readySince_ = 0;
  uint64_t started_ = 0;
};

// The integer in the first <tag>...</tag> of text[from, to), or -1.
int64_t NumberIn(const std::string& text, size_t from, size_t to, const std::string& tag);

// One machine's record of the casino's statistics file: credit in and out and the hands
// counted.
struct CasinoRecord {
  bool Found = false;
  int64_t CreditIn = -1;
  int64_t CreditOut = -1;
  int64_t Hands = 0;
};
CasinoRecord ReadCasinoRecord(const std::string& casinoXml, const std::string& idStr);
// The bank of the named player in the program's players.xml (-1 when not there; the file
// is added to the failure).
int64_t PlayerBank(const std::filesystem::path& program, const std::string& name);

// What a tour keeps of each machine; a game's tour adds its own counters.
struct Visit {
  int32_t Id = 0;
  std::string Title;
  std::string IDStr;
  bool Entered = false;
  bool Left = false;
  uint32_t CreditAtExit = 0;
};

inline constexpr const char* kExitQuestion = "Are you sure you want to exit this game ?";

// A tour of the casino's machines on the real program: a new player signs up, then enters
// each machine from the lobby by a click on its logo, plays it (the game's part: Arrived and
// Play), leaves through EXIT answering the question (Leave), and at the end closes the
// program through the menu. Every box shown is kept; the credit cashed on leaving must reach
// the bank and the lobby's bank label. A phase stuck for a minute (two while playing) fails
// the test and closes the program.
template <class Game, class Machine>
class MachineTour {
public:
  enum Phase { SigningUp, Lobby, Entering, Playing, Leaving, Left, Closing, Done };

  MachineTour(TfrmMain& form, const std::vector<int32_t>& ids, std::string player, std::string password)
      : f_(form), window_(form.Window()->WindowId()), signUp_(form, std::move(player), std::move(password)) {
    for (int32_t id : ids) {
      Machine m;
      m.Id = id;
      machines_.push_back(m);
    }
    progressAt_ = SDL_GetTicks64();
  }
  virtual ~MachineTour() = default;

  void Tick() {
    if (phase_ == Done || Frames() < quietUntil_) return;
    const uint64_t bound = phase_ == Playing ? 120000 : 60000;
    if (SDL_GetTicks64() - progressAt_ > bound) {
      Fail("no progress for " + std::to_string(bound / 1000) + " s" + Waiting());
      return;
    }
    auto* box = Input<TframeMessage>(f_);
    const auto inLobby = [&] {
      return Room() != nullptr && !Room()->Scene()->Hidden && f_.InputScene() == f_.MainScene() && box == nullptr;
    };
    switch (phase_) {
      case SigningUp:
        if (!signUp_.Step()) return;
        boxes_.push_back(signUp_.Confirmation());
        quietUntil_ = signUp_.QuietUntil();
        Next(Lobby);
        return;
      case Lobby:
        if (inLobby()) ChooseMachine();
        return;
      case Entering: {
        Game* g = CurrentGame();
        if (g == nullptr || !Room()->Scene()->Hidden || box != nullptr || f_.InputScene() != f_.MainScene() ||
            !g->GetScene()->Visible())
          return;
        Machine& m = Current();
        m.Entered = true;
        EXPECT_EQ(g->GameInfo->ID, m.Id) << "the logo entered another machine - " << Where();
        Arrived(*g);
        Next(Playing);
        quietUntil_ = Frames() + 30;
        return;
      }
      case Playing:
        if (Game* g = CurrentGame()) Play(*g);
        return;
      case Leaving: {
        if (box == nullptr) return;
        const std::string text = box->MessageLabel->Caption();
        boxes_.push_back(text);
        if (text != kExitQuestion) {
          Fail("leaving showed \"" + text + "\" instead of the exit question");
          return;
        }
        Act(box->YesButton, 40);
        Next(Left);
        return;
      }
      case Left: {
        if (LobbyOf(f_).CurrentGame != nullptr || !inLobby()) return;
        Machine& m = Current();
        m.Left = true;
        // The credit went back to the bank, and the lobby shows the bank as it now stands.
        EXPECT_EQ(Bank(), bankAtExit_ + m.CreditAtExit) << "the credit cashed out on leaving - " << Where();
        EXPECT_EQ(Room()->Scene()->LblBankV->Caption(), std::to_string(Bank())) << Where();
        lastBank_ = Bank();
        ++next_;
        // The machines not reached after the last one are not played.
        if (last_) machines_.resize(next_);
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

  Phase phase() const { return phase_; }
  bool Aborted() const { return aborted_; }
  const std::vector<Machine>& Machines() const { return machines_; }
  const std::vector<std::string>& Boxes() const { return boxes_; }
  uint32_t LastBank() const { return lastBank_; }

protected:
  // The game's part: checks on arriving at a machine (after the base's own), a step of
  // play (calls Leave when done), whether a machine may be entered at all, and what is
  // being waited for when a phase is stuck.
  virtual void Arrived(Game& g) = 0;
  virtual void Play(Game& g) = 0;
  virtual bool CanEnter(Machine&) { return true; }
  virtual std::string Waiting() const { return ""; }

  // Where the tour is, for failures.
  virtual std::string Where() const {
    static const char* const names[] = {"SigningUp", "Lobby", "Entering", "Playing", "Leaving", "Left", "Closing", "Done"};
    std::string s = next_ < machines_.size() ? "machine " + std::to_string(machines_[next_].Id) + " (" +
                                                   (machines_[next_].Title.empty() ? "?" : machines_[next_].Title) + ")"
                                             : "after the last machine";
    return s + ", phase " + names[phase_];
  }

  void Fail(const std::string& what) {
    ADD_FAILURE() << what << " - " << Where();
    aborted_ = true;
    phase_ = Done;
    f_.Close();
  }
  void Act(const TVXCustomControl* c, uint64_t settle = 8) {
    PushClick(window_, c);
    quietUntil_ = Frames() + settle;
  }
  void Next(Phase p) {
    phase_ = p;
    progressAt_ = SDL_GetTicks64();
  }
  // Play moved on: the stuck-phase bound starts again.
  void Progressed() { progressAt_ = SDL_GetTicks64(); }
  // Cashes the credit out through EXIT; with `last`, the tour ends after this machine.
  void Leave(uint32_t credit, bool last = false) {
    Current().CreditAtExit = credit;
    bankAtExit_ = Bank();
    last_ = last;
    Act(Nav()->BtnExitGame, 20);
    Next(Leaving);
  }

  Game* CurrentGame() const { return dynamic_cast<Game*>(LobbyOf(f_).CurrentGame); }
  TMainRoom* Room() const { return LobbyOf(f_).MainRoom; }
  TNavigationScene* Nav() const { return LobbyOf(f_).Navigation->Scene(); }
  uint32_t Bank() const {
    const TVXPlayer* p = vx::CurrentPlayer(LobbyOf(f_));
    return p != nullptr ? p->Bank : 0;
  }
  Machine& Current() { return machines_[next_]; }
  const Machine& Current() const { return machines_[next_]; }

  TfrmMain& f_;
  uint32_t window_;
  std::vector<Machine> machines_;
  std::vector<std::string> boxes_;
  size_t next_ = 0;
  uint64_t quietUntil_ = 0;
  // The bank before the current machine was entered.
  uint32_t lastBank_ = 0;

private:
  void ChooseMachine() {
    if (next_ >= machines_.size()) {
      Act(Nav()->MenuFile, 20);
      Next(Closing);
      return;
    }
    Machine& m = Current();
    if (!CanEnter(m)) return;
    const TMainRoomScene::TLobbyGame* logo = Room()->Scene()->FindGame(m.Id);
    if (logo == nullptr || logo->Logo == nullptr || !logo->Logo->Visible()) {
      Fail("the lobby shows no logo for the machine");
      return;
    }
    m.Title = logo->Info->Title;
    m.IDStr = logo->Info->IDStr;
    lastBank_ = Bank();
    Act(logo->Logo, 60);
    Next(Entering);
  }

  SignUpFlow signUp_;
  Phase phase_ = SigningUp;
  bool aborted_ = false;
  bool last_ = false;
  uint64_t progressAt_ = 0;
  uint32_t bankAtExit_ = 0;
};

// A tour on the real program over a fresh folder (kept for the files read back): the window
// opens, the tour is ticked every 20 ms of the pump until the program closes, the window
// goes. Null, with a failure, when the window cannot open.
struct TourRun {
  vxtest::TempDir Dir;
  std::filesystem::path Program = LayOutProgram(Dir);
  double Seconds = 0;

  template <class Tour, class... Args>
  std::unique_ptr<Tour> Run(Args&&... args) {
    vx::ClearLog();
    FrameClock clock;
    auto form = std::make_unique<TfrmMain>(ProgramOptions(Program, Dir));
    if (!form->FormCreate() || !form->FormShow()) {
      ADD_FAILURE() << "no GL 3.3 through SDL's offscreen driver";
      return nullptr;
    }
    clock.Drive();
    auto tour = std::make_unique<Tour>(*form, std::forward<Args>(args)...);
    const uint64_t started = SDL_GetTicks64();
    const vx::TimerId watcher = vx::MainPump().SetTimer(20, [&tour] { tour->Tick(); });
    form->Run();
    vx::MainPump().KillTimer(watcher);
    Seconds = (SDL_GetTicks64() - started) / 1000.0;
    EXPECT_EQ(tour->phase(), Tour::Done);
    EXPECT_TRUE(vx::MainPump().Terminated());
    form->FormDestroy();
    return tour;
  }
};

}  // namespace vxe2e
