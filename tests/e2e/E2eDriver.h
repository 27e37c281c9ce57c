// What the end-to-end tests share: a program folder of their own over the generated data, and
// input pushed into SDL's queue so it comes back out through the program's own event
// translation, as a player's would.
#pragma once

#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "lobby/VXLobby.h"
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

}  // namespace vxe2e
