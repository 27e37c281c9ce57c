#pragma once
// A scroll control: a clipped client panel that moves under a vertical scroll bar.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXScrollBar.h"

class TVXScrollControl : public TVXPanel {
public:
  static constexpr int32_t ScrollStepPixels = 2;
  // Scrolling up stops once the client's top is this far below the control's top.
  static constexpr int32_t ScrollUpLimit = 30;
  static constexpr int32_t BarWidth = 10;

  explicit TVXScrollControl(TVXComponent* owner);

  TVXScrollBar* ScrollBar() const { return bar_; }
  // The panel that carries the content; it moves to scroll.
  TVXPanel* Client() const { return client_; }
  // Pixels kept free above the client (a list's column header).
  int32_t HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(int32_t value);

  // Client and bar from the control's rectangle; puts the client back at the top.
  void LayoutClient();
  // Where the client starts when not scrolled.
  int32_t ClientHomeTop() const;
  // The area the client is seen through: inside the left and top border, below the header.
  TGfxRect ClientClip() const;

  // One step of 2 pixels (less when less remains): up until the client is back at its home,
  // down until its bottom meets the control's bottom.
  void ScrollUp();
  void ScrollDown();
  // Every content control one pixel right or left.
  void ShiftChildrenRight();
  void ShiftChildrenLeft();

  // Draws itself, then processes the client under the client clip, then the bar.
  void Draw() override;
  void Moved() override { LayoutClient(); }
  void Resized() override { LayoutClient(); }
  bool ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const override;

protected:
  // Processes the client panel and what it carries (a list box leaves out rows it cannot see).
  virtual void ProcessClient();

private:
  TVXPanel* client_ = nullptr;
  TVXScrollBar* bar_ = nullptr;
  int32_t headerHeight_ = 0;
};

// A scroll control for any content: screens put their controls into its client panel and size
// the panel to them.
class TVXScrollBox : public TVXScrollControl {
public:
  using TVXScrollControl::TVXScrollControl;
  uint8_t ScrollFlags = 0;
};
