#pragma once
// What the window delivers to the program: mouse, keys (as 16-bit Windows virtual-key
// codes), activation and the close request, in the form the main window's handlers expect.
#include <cstdint>

namespace vx {

// Shift state: keyboard modifiers and the mouse buttons held during an event.
using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;  // the press is the second click of a double click

// Mouse buttons as the handlers number them.
enum TMouseButton : int { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

struct PlatformEvent {
  enum class Kind : uint8_t { MouseDown, MouseUp, MouseMove, KeyDown, Activate, Deactivate, Close };
  Kind kind = Kind::MouseMove;
  TMouseButton button = mbLeft;  // mouse down/up
  TShiftState shift = 0;         // mouse and key events
  int x = 0, y = 0;              // mouse events, in the 800x600 logical client area
  uint16_t key = 0;              // key down: the virtual-key code
  bool repeat = false;           // key down: produced by auto-repeat
};

// Receives the window's events. Every member has an empty default.
class IWindowHandler {
public:
  virtual ~IWindowHandler() = default;
  virtual void OnMouseDown(TMouseButton /*button*/, TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  virtual void OnMouseUp(TMouseButton /*button*/, TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  virtual void OnMouseMove(TShiftState /*shift*/, int /*x*/, int /*y*/) {}
  // The key is passed by reference: a handler consumes it by setting it to 0.
  virtual void OnKeyDown(uint16_t& /*key*/, TShiftState /*shift*/) {}
  virtual void OnActivate() {}
  virtual void OnDeactivate() {}
  // The window's close button (or the system) asks to close. The quit flag is already set.
  virtual void OnCloseRequest() {}
};

}  // namespace vx
