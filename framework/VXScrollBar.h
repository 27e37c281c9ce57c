#pragma once
// A vertical scroll bar serving a scroll control.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXWidgets.h"

class TVXScrollControl;

// A vertical bar with an up and a down button; holding one scrolls the served control 2
// pixels per frame.
class TVXScrollBar : public TVXControl {
public:
  TVXScrollBar(TVXComponent* owner, TVXScrollControl* control);

  TVXScrollControl* Control() const { return control_; }
  TVXButton* UpButton() const { return up_; }
  TVXButton* DownButton() const { return down_; }

  // Both buttons square (the bar's width), the up one at the bar's top, the down one at its
  // bottom.
  void LayoutButtons();
  // A held button scrolls the served control (not in a halted frame).
  void Step() override;
  void Moved() override { LayoutButtons(); }
  void Resized() override { LayoutButtons(); }

private:
  TVXScrollControl* control_;
  TVXButton* up_ = nullptr;
  TVXButton* down_ = nullptr;
};
