#pragma once
// The developer's log window: a small second window beside the game that shows the newest
// log lines (wrapped to its width, the mouse wheel scrolls back) and, in a panel at its
// bottom, selection lists the developer clicks to pick an item. It paints with a built-in
// fixed-width font into a frame of pixels that its tool window shows. Closing it only hides it.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessagePump.h"
#include "platform/ToolWindow.h"

namespace vx {

class DebugLogWindow {
public:
  static constexpr int GlyphWidth = 7;
  static constexpr int GlyphHeight = 13;
  static constexpr int RowHeight = 14;
  static constexpr size_t MaxLines = 5000;  // wrapped rows kept for scrolling back
  static constexpr uint32_t RepaintMs = 100;

  DebugLogWindow() = default;
  ~DebugLogWindow();
  DebugLogWindow(const DebugLogWindow&) = delete;
  DebugLogWindow& operator=(const DebugLogWindow&) = delete;

  // Creates the window hidden at the right edge of the screen (at most `height` tall) and
  // starts its repaint timer on `pump`. False, with a reason, when there is no second window.
  bool Create(const std::string& caption, int width, int height, MessagePump& pump, std::string* error = nullptr);
  void Destroy();
  bool IsCreated() const { return window_.IsCreated(); }
  // The window it paints into (its events arrive there).
  ToolWindow& Window() { return window_; }

  void Show();
  void Hide();
  bool Visible() const { return window_.Visible(); }

  void AddLine(const std::string& line);
  // The bottom panel's lists, drawn one under the other, each under its title.
  void SetLists(std::vector<std::string> titles, std::vector<std::vector<std::string>> items);
  int Selected(size_t list) const;
  void SetSelected(size_t list, int index);
  // A click on an item selected it.
  std::function<void(size_t list, int index)> OnSelect;

  // Paints into the window when something changed (the repaint timer calls it).
  void Paint();
  // What a press at (x, y) of the window does.
  void ClickAt(int x, int y);
  // Wheel steps: positive scrolls back towards older lines.
  void Scroll(int steps);

  // The painted frame (0xAARRGGBB, Width() x Height()), for tests.
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  int Width() const { return window_.Width(); }
  int Height() const { return window_.Height(); }
  // Where the panel starts, and the rectangle of an item (y of its row).
  int PanelTop() const;
  int ItemTop(size_t list, int index) const;

private:
  void Render();
  void DrawText(int x, int y, const std::string& text, uint32_t colour, int maxChars);
  void FillRect(int x, int y, int w, int h, uint32_t colour);
  int CharsPerRow() const;

  ToolWindow window_;
  bool dirty_ = true;
  bool hideRequested_ = false;
  MessagePump* pump_ = nullptr;
  TimerId timer_ = 0;
  std::deque<std::string> rows_;
  int scroll_ = 0;
  std::vector<std::string> titles_;
  std::vector<std::vector<std::string>> items_;
  std::vector<int> selected_;
  std::vector<uint32_t> pixels_;
};

}  // namespace vx
