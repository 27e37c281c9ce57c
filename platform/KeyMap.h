#pragma once
// Translation of SDL keys into 16-bit Windows virtual-key codes, the codes every key handler
// of the system compares against.
#include <cstdint>

#include "platform/Events.h"

namespace vx {

// Virtual-key codes the system names.
enum : uint16_t {
  VK_BACK = 8, VK_TAB = 9, VK_CLEAR = 12, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
  VK_MENU = 18, VK_PAUSE = 19, VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33,
  VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
  VK_SNAPSHOT = 44, VK_INSERT = 45, VK_DELETE = 46, VK_LWIN = 91, VK_RWIN = 92, VK_APPS = 93,
  VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107, VK_SEPARATOR = 108, VK_SUBTRACT = 109,
  VK_DECIMAL = 110, VK_DIVIDE = 111, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115,
  VK_F5 = 116, VK_F6 = 117, VK_F7 = 118, VK_F8 = 119, VK_F9 = 120, VK_F10 = 121, VK_F11 = 122,
  VK_F12 = 123, VK_F24 = 135, VK_NUMLOCK = 144, VK_SCROLL = 145,
  VK_OEM_1 = 186, VK_OEM_PLUS = 187, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189, VK_OEM_PERIOD = 190,
  VK_OEM_2 = 191, VK_OEM_3 = 192, VK_OEM_4 = 219, VK_OEM_5 = 220, VK_OEM_6 = 221, VK_OEM_7 = 222,
  VK_OEM_102 = 226,
};

// The virtual-key code of a key press: `keycode` and `scancode` are SDL's values for the
// key, `numLock` the state of Num Lock. Letters give 65-90 whatever Shift or Caps Lock,
// digits 48-57; punctuation keys give the codes of a US keyboard; keypad digits give
// 96-105 with Num Lock on and the navigation codes with it off. Keys the system has no code
// for give 0.
uint16_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode, bool numLock);

// A key pressed with Alt held and Ctrl not (Ctrl+Alt is how some layouts type their third
// letters) is a system key, as the window system sends such chords: it is a command to the
// window, never a letter for a screen.
constexpr bool IsSystemKeyChord(TShiftState shift) { return (shift & ssAlt) != 0 && (shift & ssCtrl) == 0; }

}  // namespace vx
