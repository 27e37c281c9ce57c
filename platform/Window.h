#pragma once
// The program's one real window: an SDL window prepared for an OpenGL 3.3 core,
// double-buffered context (the GPU layer creates the context on NativeHandle()). The
// program draws an 800x600 logical frame. Windowed, the client area is the frame; full screen
// (SDL's desktop full screen) the frame is letterboxed in the desktop-sized client area, and
// every presenter shows it where FrameRect() says, so mouse positions map back to 800x600.
#include <cstdint>
#include <string>

#include "platform/MessagePump.h"

struct SDL_Window;
union SDL_Event;

namespace vx {

constexpr int kLogicalWidth = 800;
constexpr int kLogicalHeight = 600;

// Where a frame lands in an area: the largest fit that keeps its aspect ratio, centred,
// top-left origin. Empty when either size is not positive.
struct FrameRect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};
FrameRect LetterboxFrame(int areaWidth, int areaHeight, int frameWidth = kLogicalWidth,
                         int frameHeight = kLogicalHeight);

enum class WindowMode {
  Windowed,             // a normal window of the client size
  DesktopFullScreen,    // borderless, covering the desktop at its own resolution
  ExclusiveFullScreen,  // the display switched to a given mode
};

class PlatformWindow {
public:
  PlatformWindow() = default;
  ~PlatformWindow();
  PlatformWindow(const PlatformWindow&) = delete;
  PlatformWindow& operator=(const PlatformWindow&) = delete;

  // Creates the window hidden and centred on the screen. False (and a reason) when the
  // video system or the window cannot be created.
  bool Create(const std::string& caption, int clientWidth = kLogicalWidth, int clientHeight = kLogicalHeight,
              std::string* error = nullptr);
  void Destroy();
  bool IsCreated() const { return window_ != nullptr; }

  SDL_Window* NativeHandle() const { return window_; }
  uint32_t WindowId() const { return windowId_; }

  void Show();
  void Hide();
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void Centre();
  void SetClientSize(int width, int height);
  // Size of the client area in window coordinates (the unit of mouse positions).
  void GetClientSize(int& width, int& height) const;
  // Position on the screen and border: what a device that takes the window full screen
  // keeps and puts back.
  void GetPosition(int& x, int& y) const;
  void SetPosition(int x, int y);
  bool Bordered() const;
  void SetBordered(bool bordered);

  // The program's full-screen switch: SDL's desktop full screen, or back to a centred window
  // of the 800x600 client size. When the switch fails the window goes back to the mode it was
  // in and the answer is false (with the reason).
  bool SetFullScreen(bool fullScreen, std::string* error = nullptr);
  bool IsFullScreen() const { return mode_ != WindowMode::Windowed; }
  // The 800x600 frame's place in the client area now (window coordinates).
  FrameRect FrameInClient() const;

  // Switches between windowed and the two full-screen forms. `width`/`height` choose the
  // display mode of ExclusiveFullScreen (the closest one the display offers).
  bool SetMode(WindowMode mode, int width = kLogicalWidth, int height = kLogicalHeight, std::string* error = nullptr);
  WindowMode Mode() const { return mode_; }
  // True when the window's display offers exactly this resolution.
  bool HasDisplayMode(int width, int height) const;
  // Size of the window's display in its current mode (0 when unknown).
  void GetDisplaySize(int& width, int& height) const;

  // Where the 800x600 frame is shown inside the window, in window coordinates, when a
  // presenter places it otherwise than FrameInClient(). Until set (or after
  // ClearLogicalViewport) the frame is taken to be letterboxed in the client area.
  void SetLogicalViewport(int x, int y, int width, int height);
  void ClearLogicalViewport() { hasViewport_ = false; }
  // Maps a position in the window to the 800x600 frame. Positions outside the frame map
  // outside 0..799 / 0..599 (as a captured mouse does).
  void MapToLogical(int windowX, int windowY, int& x, int& y) const;

private:
  SDL_Window* window_ = nullptr;
  uint32_t windowId_ = 0;
  bool videoInit_ = false;
  WindowMode mode_ = WindowMode::Windowed;
  bool hasViewport_ = false;
  int vpX_ = 0, vpY_ = 0, vpW_ = kLogicalWidth, vpH_ = kLogicalHeight;
};

// The pump's event source for a real window: SDL's queue, translated into the handlers'
// terms (virtual keys, shift states, logical mouse positions).
class SdlEventSource : public IEventSource {
public:
  explicit SdlEventSource(const PlatformWindow& window) : window_(window) {}
  bool Poll(PlatformEvent& event) override;
  bool Wait(PlatformEvent& event, uint32_t timeoutMs) override;

  // Translates one SDL event; false for events the program does not use.
  bool Translate(const SDL_Event& sdl, PlatformEvent& event);

private:
  const PlatformWindow& window_;
  TShiftState buttons_ = 0;  // mouse buttons held, as tracked from press and release events
};

}  // namespace vx
