#pragma once
// A small second window beside the game for the developer's tools. It shows the frame of
// pixels it is given, in software through its own window surface, so it needs nothing of the
// game's drawing device, and reports what the developer does on it through callbacks. Its
// events never reach the game: a close request is only reported, and its focus changes count
// as the application's (the game keeps running while the developer uses it).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace vx {

class ToolWindow {
public:
  ToolWindow() = default;
  ~ToolWindow();
  ToolWindow(const ToolWindow&) = delete;
  ToolWindow& operator=(const ToolWindow&) = delete;

  // Creates the window hidden at the right edge of the screen, `width` wide and `height` tall
  // (cut to the screen's usable height, but never below `minHeight`). False, with a reason,
  // when there is no second window.
  bool Create(const std::string& caption, int width, int height, int minHeight, std::string* error = nullptr);
  void Destroy();
  bool IsCreated() const { return window_ != nullptr; }
  uint32_t WindowId() const { return windowId_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Show();
  void Hide();
  bool Visible() const { return visible_; }

  // Copies a frame (0xAARRGGBB, Width() x Height()) to the window when it is shown.
  void Present(const std::vector<uint32_t>& pixels);

  // A left press at (x, y) of the window.
  std::function<void(int x, int y)> OnClick;
  // Wheel steps: positive away from the user.
  std::function<void(int steps)> OnWheel;
  // The developer asked to close it (nothing is closed: the owner decides).
  std::function<void()> OnClose;
  // Its pixels were uncovered and must be presented again.
  std::function<void()> OnExpose;

  // The event filter's work: true when the event belongs to this window (it is then
  // consumed here and never reaches the game).
  bool HandleEvent(const SDL_Event& event);

private:
  SDL_Window* window_ = nullptr;
  uint32_t windowId_ = 0;
  bool videoInit_ = false;
  bool visible_ = false;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace vx
