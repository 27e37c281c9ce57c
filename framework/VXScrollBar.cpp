#include "framework/VXScrollBar.h"
#include "framework/VXScrollControl.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

}  // namespace

TVXScrollBar::TVXScrollBar(TVXComponent* owner, TVXScrollControl* control)
    : TVXControl(owner), control_(control) {
  up_ = new TVXButton(this);
  up_->SetParent(this);
  down_ = new TVXButton(this);
  down_->SetParent(this);
  LayoutButtons();
}

void TVXScrollBar::LayoutButtons() {
  if (up_ == nullptr || down_ == nullptr) return;
  for (TVXButton* b : {up_, down_}) {
    b->SetWidth(Width());
    b->SetHeight(Width());
    b->SetLeft(Left());
  }
  up_->SetTop(Top());
  down_->SetTop(Clamp32(int64_t{Top()} + Height() - down_->Height()));
}

void TVXScrollBar::Step() {
  TVXControl::Step();
  if (UpdateHalted() || control_ == nullptr) return;
  if (up_->PressedLeft()) control_->ScrollUp();
  if (down_->PressedLeft()) control_->ScrollDown();
}
