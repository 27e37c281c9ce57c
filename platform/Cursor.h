#pragma once
// The mouse cursor's shape: the normal arrow, or the hourglass while the program is busy.
namespace vx {

enum class CursorShape { Arrow, Wait };

// Sets the shape (remembered even when there is no display to show it on).
void SetCursorShape(CursorShape shape);
CursorShape GetCursorShape();

// Restores the previous shape when it goes out of scope.
class ScopedCursor {
public:
  explicit ScopedCursor(CursorShape shape) : previous_(GetCursorShape()) { SetCursorShape(shape); }
  ~ScopedCursor() { SetCursorShape(previous_); }
  ScopedCursor(const ScopedCursor&) = delete;
  ScopedCursor& operator=(const ScopedCursor&) = delete;

private:
  CursorShape previous_;
};

}  // namespace vx
