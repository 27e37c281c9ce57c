#include "framework/VXScrollControl.h"

#include <algorithm>

#include "core/Checked.h"
#include "framework/VXEngine.h"
#include "render/GfxDevice.h"
#include "render/GfxFonts.h"

namespace {

int32_t Clamp32(int64_t v) { return vx::ClampCoordinate(v); }

}  // namespace

TVXScrollControl::TVXScrollControl(TVXComponent* owner) : TVXPanel(owner) {
  ProcessChildren = false;  // the client and the bar are processed by Draw
  Border = true;
  SetBorderColor4(::Color4(0x000000FFu));
  client_ = new TVXPanel(this);
  client_->SetParent(this);
  client_->Enabled = false;
  client_->SetAlpha(0);
  bar_ = new TVXScrollBar(this, this);
  bar_->SetParent(this);
  bar_->SetWidth(BarWidth);
  LayoutClient();
}

void TVXScrollControl::SetHeaderHeight(int32_t value) {
  headerHeight_ = vx::ClampCoordinate(value);
  LayoutClient();
}

int32_t TVXScrollControl::ClientHomeTop() const { return Clamp32(int64_t{Top()} + 1 + headerHeight_); }

void TVXScrollControl::LayoutClient() {
  if (client_ == nullptr || bar_ == nullptr) return;
  client_->SetLeft(Clamp32(int64_t{Left()} + 1));
  client_->SetTop(ClientHomeTop());
  client_->SetWidth(Clamp32(int64_t{Width()} - (int64_t{bar_->Width()} + 3)));
  bar_->SetLeft(Clamp32(int64_t{Left()} + client_->Width() + 2));
  bar_->SetTop(Clamp32(int64_t{Top()} + 2 + headerHeight_));
  bar_->SetHeight(Clamp32(int64_t{Height()} - (int64_t{headerHeight_} + 2)));
  bar_->SetWidth(BarWidth);
}

TGfxRect TVXScrollControl::ClientClip() const {
  // From inside the left and top border, below the header, Width - 2 wide and
  // Height - HeaderHeight high.
  TGfxRect r;
  r.Left = Clamp32(int64_t{Left()} + 1);
  r.Top = ClientHomeTop();
  r.Right = std::max(r.Left, Clamp32(int64_t{r.Left} + Width() - 2));
  r.Bottom = std::max(r.Top, Clamp32(int64_t{r.Top} + Height() - headerHeight_));
  return r;
}

// Whole steps: the client may come down to 30 pixels below the control's top, and goes up
// while its bottom lies below the control's.
void TVXScrollControl::ScrollUp() {
  if (client_->Top() < int64_t{Top()} + ScrollUpLimit) client_->SetTop(Clamp32(int64_t{client_->Top()} + ScrollStepPixels));
}

void TVXScrollControl::ScrollDown() {
  if (int64_t{client_->Top()} + client_->Height() > int64_t{Top()} + Height())
    client_->SetTop(Clamp32(int64_t{client_->Top()} - ScrollStepPixels));
}

void TVXScrollControl::ShiftChildrenRight() {
  for (int32_t i = 0; i < client_->ChildCount(); ++i) {
    if (TVXCustomControl* c = client_->GetChild(i)) c->SetLeft(Clamp32(int64_t{c->Left()} + 1));
  }
}

void TVXScrollControl::ShiftChildrenLeft() {
  for (int32_t i = 0; i < client_->ChildCount(); ++i) {
    if (TVXCustomControl* c = client_->GetChild(i)) c->SetLeft(Clamp32(int64_t{c->Left()} - 1));
  }
}

bool TVXScrollControl::ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const {
  if (child != client_) return false;
  clip = ClientClip();
  return true;
}

void TVXScrollControl::ProcessClient() { client_->Process(); }

void TVXScrollControl::Draw() {
  TVXPanel::Draw();
  {
    // Every control inside draws within the client area, and returns to it when its own clip
    // ends.
    vx::ScopedEnclosingClip clip(Host().Device(), ClientClip());
    ProcessClient();
  }
  bar_->Process();
}
