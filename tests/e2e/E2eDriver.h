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
class TfrmProfile;

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
// A new player's name and password typed into the profile dialog, which is then closed.
void PushNewPlayer(uint32_t window, const TfrmProfile* profile, const std::string& name, const std::string& password);

// Idle passes of the program's pump: one a frame.
uint64_t Frames();

template <class T>
T* Input(TfrmMain& form) {
  return dynamic_cast<T*>(form.InputScene());
}

// The frame on screen now, read back from the device.
vxtest::Shot Screenshot(TfrmMain& form);

}  // namespace vxe2e
