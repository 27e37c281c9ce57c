// What the end-to-end tests share: a program folder of their own over the generated data, and
// input pushed into SDL's queue so it comes back out through the program's own event
// translation, as a player's would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/MainForm.h"
#include "support/Golden.h"
#include "support/TempDir.h"

class TVXCustomControl;

namespace vxe2e {

// `<dir>/program` with the generated Data, Sounds and Help linked in; the casinos are copied
// (without what earlier play wrote into them) when the run writes to them, otherwise linked.
std::filesystem::path LayOutProgram(const vxtest::TempDir& dir, bool writableCasinos = true);

void PushMove(uint32_t window, int x, int y);
void PushClick(uint32_t window, int x, int y);
// A click in the middle of the control.
void PushClick(uint32_t window, const TVXCustomControl* control);
// Capital letters and digits as key presses.
void PushText(uint32_t window, const std::string& text);
void PushQuit();

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

}  // namespace vxe2e
