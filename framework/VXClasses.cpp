#include "framework/VXClasses.h"

#include <algorithm>

#include "core/Checked.h"
#include "core/Log.h"
#include "framework/VXContext.h"
#include "render/GfxDevice.h"

namespace vx {

int32_t ClampCoordinate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, -kCoordinateLimit, kCoordinateLimit));
}

}  // namespace vx

namespace {

// Snapshots of child lists live on one shared stack so that the per-frame walk allocates
// nothing once the stack has grown. Each walk pushes its children above the entries of the
// walks that called it and reads them by index, so growing the stack never invalidates them.
std::vector<vx::WeakRef<TVXCustomControl>>& SnapshotStack() {
  static std::vector<vx::WeakRef<TVXCustomControl>> stack;
  return stack;
}

class ChildSnapshot {
public:
  explicit ChildSnapshot(const TVXCustomControl* control) : base_(SnapshotStack().size()) {
    auto& stack = SnapshotStack();
    const int32_t n = control->ChildCount();
    for (int32_t i = 0; i < n; ++i) stack.emplace_back(control->GetChild(i));
    count_ = static_cast<size_t>(n);
  }
  ~ChildSnapshot() {
    auto& stack = SnapshotStack();
    stack.erase(stack.begin() + static_cast<std::ptrdiff_t>(base_), stack.end());
  }
  ChildSnapshot(const ChildSnapshot&) = delete;
  ChildSnapshot& operator=(const ChildSnapshot&) = delete;

  size_t Count() const { return count_; }
  // The child at i when it and `parent` are still alive and it is still a child of `parent`.
  TVXCustomControl* Get(size_t i, const TVXCustomControl* parent) const {
    TVXCustomControl* c = SnapshotStack()[base_ + i].Get();
    return (c != nullptr && c->Parent() == parent && parent->IsAlive()) ? c : nullptr;
  }

private:
  size_t base_;
  size_t count_ = 0;
};

bool Inside(const std::optional<TGfxRect>& clip, int32_t x, int32_t y) {
  if (!clip) return true;
  return x >= clip->Left && x < clip->Right && y >= clip->Top && y < clip->Bottom;
}

TGfxRect Intersect(const TGfxRect& a, const TGfxRect& b) {
  return TGfxRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                  std::min(a.Bottom, b.Bottom)};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TVXComponent

TVXComponent::TVXComponent(TVXComponent* owner) { SetOwner(owner); }

TVXContext* TVXComponent::Context() const {
  // Up through the owner, or the parent where there is no owner. Either chain alone is
  // acyclic; a mix of the two could loop, so the walk is bounded.
  const TVXComponent* c = this;
  for (int32_t steps = 0; c != nullptr && steps < 4096; ++steps) {
    if (c->context_ != nullptr) return c->context_;
    c = c->owner_ != nullptr ? c->owner_ : c->ContextParent();
  }
  return nullptr;
}

const TVXComponent* TVXCustomControl::ContextParent() const { return parent_; }

TVXToolkitHost& TVXComponent::Host() const {
  const TVXContext* context = Context();
  return context != nullptr ? context->ToolkitHost() : vx::NullHost();
}

TVXComponent::~TVXComponent() {
  EndLife();
  // Last to first; each leaves the list before it is freed, so nothing it does while dying
  // can see a stale entry.
  while (!owned_.empty()) {
    TVXComponent* c = owned_.back();
    owned_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
  if (owner_ != nullptr) {
    auto& list = owner_->owned_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) list.erase(it);
    owner_ = nullptr;
  }
}

void TVXComponent::SetOwner(TVXComponent* owner) {
  if (owner == owner_ || owner == this) return;
  // An ownership cycle would free its members twice.
  for (TVXComponent* o = owner; o != nullptr; o = o->owner_) {
    if (o == this) {
      Log("ERROR: Cannot make a component its own owner: " + name_);
      return;
    }
  }
  if (owner_ != nullptr) {
    auto& list = owner_->owned_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) list.erase(it);
  }
  owner_ = owner;
  if (owner_ != nullptr) owner_->owned_.push_back(this);
}

TVXComponent* TVXComponent::GetOwned(int32_t index) const {
  if (index < 0 || index >= OwnedCount()) return nullptr;
  return owned_[static_cast<size_t>(index)];
}

void TVXComponent::SetName(const std::string& name) { name_ = name; }

void TVXComponent::Free() {
  if (!vx::DispatchScope::Open()) {
    delete this;
    return;
  }
  if (!IsAlive()) return;  // already waiting
  if (auto* control = dynamic_cast<TVXCustomControl*>(this)) control->SetParent(nullptr);
  SetOwner(nullptr);
  MarkDead();
  vx::DispatchScope::Defer([this] { delete this; });
}

void TVXComponent::MarkDead() {
  EndLife();
  for (TVXComponent* c : owned_) c->MarkDead();
}

// ---------------------------------------------------------------------------------------
// TVXCustomControl: tree and flags

TVXCustomControl::TVXCustomControl(TVXComponent* owner) : TVXComponent(owner) {}

TVXCustomControl::~TVXCustomControl() {
  EndLife();  // the focus and open-control references read as none from here on
  SetParent(nullptr);
  for (TVXCustomControl* c : children_) c->parent_ = nullptr;
  children_.clear();
}

void TVXCustomControl::SetDisableRenderTheme(bool value) {
  disableRenderTheme_ = value;
  if (value) NoRender = true;
}

void TVXCustomControl::SetBlinking(bool value) {
  blinking_ = value;
  BlinkCounter = 0;
  if (!value) BlinkHidden = false;
}

void TVXCustomControl::SetBlinkSpeed(int32_t speed) {
  static constexpr std::array<int32_t, 5> kPeriods{100, 70, 30, 10, 5};
  if (speed < 0 || speed > 4) return;
  blinkSpeed_ = speed;
  BlinkPeriod = kPeriods[static_cast<size_t>(speed)];
}

void TVXCustomControl::SetParent(TVXCustomControl* parent) {
  if (parent == parent_ || parent == this) return;
  for (TVXCustomControl* p = parent; p != nullptr; p = p->parent_) {
    if (p == this) {
      Log("ERROR: Cannot make a control the parent of its own ancestor: " + Name());
      return;
    }
  }
  if (parent_ != nullptr) {
    auto& list = parent_->children_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) list.erase(it);
  }
  parent_ = parent;
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

TVXCustomControl* TVXCustomControl::GetChild(int32_t index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)];
}

int32_t TVXCustomControl::IndexInParent() const {
  if (parent_ == nullptr) return -1;
  const auto& list = parent_->children_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int32_t>(it - list.begin());
}

void TVXCustomControl::SetZOrder(bool topMost) {
  if (parent_ == nullptr) return;
  SetIndex(topMost ? parent_->ChildCount() - 1 : 0);
}

void TVXCustomControl::SetIndex(int32_t index) {
  if (parent_ == nullptr) return;
  auto& list = parent_->children_;
  const int32_t count = static_cast<int32_t>(list.size());
  index = std::clamp(index, 0, count - 1);
  const int32_t current = IndexInParent();
  if (current < 0 || current == index) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
}

bool TVXCustomControl::IsInSubtreeOf(const TVXCustomControl* root) const {
  if (root == nullptr) return false;
  const TVXComponent* c = this;
  // Neither chain cycles on its own, but a mix of the two can (a control parented to a
  // control it owns), hence the bound.
  for (int steps = 0; c != nullptr && steps < 100000; ++steps) {
    if (c == root) return true;
    auto* control = dynamic_cast<const TVXCustomControl*>(c);
    if (control != nullptr && control->parent_ != nullptr) {
      c = control->parent_;
    } else {
      c = c->Owner();
    }
  }
  return false;
}

// ---------------------------------------------------------------------------------------
// Geometry and visibility

void TVXCustomControl::SetTop(int32_t value) {
  value = vx::ClampCoordinate(value);
  if (value == top_) return;
  const int32_t diff = vx::CheckedSub(value, top_);
  const std::vector<TVXCustomControl*> children = children_;
  for (TVXCustomControl* c : children) {
    vx::WeakRef<TVXCustomControl> child(c);
    if (!child || c->parent_ != this) continue;
    c->SetTop(vx::ClampCoordinate(int64_t{c->top_} + diff));
  }
  top_ = value;
  Moved();
}

void TVXCustomControl::SetLeft(int32_t value) {
  value = vx::ClampCoordinate(value);
  if (value == left_) return;
  const int32_t diff = vx::CheckedSub(value, left_);
  const std::vector<TVXCustomControl*> children = children_;
  for (TVXCustomControl* c : children) {
    vx::WeakRef<TVXCustomControl> child(c);
    if (!child || c->parent_ != this) continue;
    c->SetLeft(vx::ClampCoordinate(int64_t{c->left_} + diff));
  }
  left_ = value;
  Moved();
}

void TVXCustomControl::SetWidth(int32_t value) {
  width_ = vx::ClampCoordinate(value);
  Resized();
}

void TVXCustomControl::SetHeight(int32_t value) {
  height_ = vx::ClampCoordinate(value);
  Resized();
}

void TVXCustomControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  SetLeft(left);
  SetTop(top);
  SetWidth(width);
  SetHeight(height);
}

void TVXCustomControl::SetVisible(bool value) { visible_ = value; }

void TVXCustomControl::ShowFor(int32_t frames) {
  if (frames > 0) AutoHideFrames = frames;
  SetVisible(true);
}

bool TVXCustomControl::IsEnabled() {
  return visible_ && parent_ != nullptr && parent_->IsEnabled();
}

// ---------------------------------------------------------------------------------------
// The per-frame walk

TGfxRect TVXCustomControl::ClipRect() const {
  TVXToolkitHost& host = Host();
  const int64_t right = std::min<int64_t>(int64_t{left_} + width_, host.SurfaceWidth());
  const int64_t bottom = std::min<int64_t>(int64_t{top_} + height_, host.SurfaceHeight());
  TGfxRect r;
  r.Left = std::max(left_, 0);
  r.Top = std::max(top_, 0);
  r.Right = static_cast<int32_t>(std::max<int64_t>(right, r.Left));
  r.Bottom = static_cast<int32_t>(std::max<int64_t>(bottom, r.Top));
  return r;
}

namespace {
std::optional<TGfxRect> g_enclosingClip;

// The common part of two rectangles; empty (never inverted) when they do not meet.
TGfxRect CutTo(const TGfxRect& a, const TGfxRect& b) {
  TGfxRect r = Intersect(a, b);
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

// Puts the device clip back to the enclosing clip, or to the whole surface without one.
void RestoreClip(TGfxDevice* d) {
  if (d == nullptr) return;
  if (g_enclosingClip) {
    d->SetClipRect(*g_enclosingClip);
  } else {
    d->ResetClipRect();
  }
}
}  // namespace

namespace vx {
ScopedEnclosingClip::ScopedEnclosingClip(TGfxDevice* device, const TGfxRect& rect)
    : device_(device), outer_(g_enclosingClip) {
  g_enclosingClip = outer_ ? CutTo(rect, *outer_) : rect;
  if (device_ != nullptr) device_->SetClipRect(*g_enclosingClip);
}

ScopedEnclosingClip::~ScopedEnclosingClip() {
  g_enclosingClip = outer_;
  RestoreClip(device_);
}

const std::optional<TGfxRect>& EnclosingClip() { return g_enclosingClip; }
}  // namespace vx

namespace {
// Resets the device clip when the control's drawing ends, also when a hook throws. Inside an
// enclosing clip the control's clip is cut to it and the enclosing clip comes back.
class ClipScope {
public:
  ClipScope(TGfxDevice* device, bool active, const TGfxRect& rect) : device_(device), active_(active) {
    if (!active_ || device_ == nullptr) return;
    device_->SetClipRect(g_enclosingClip ? CutTo(rect, *g_enclosingClip) : rect);
  }
  ~ClipScope() {
    if (active_) RestoreClip(device_);
  }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

private:
  TGfxDevice* device_;
  bool active_;
};
}  // namespace

void TVXCustomControl::Process() {
  vx::DispatchScope dispatch;

  if (AutoHideFrames > -1) {
    --AutoHideFrames;
    if (AutoHideFrames == 0) {
      SetVisible(false);
      AutoHideFrames = -1;
    }
  }
  if (blinking_) {
    BlinkCounter = vx::CheckedAdd(BlinkCounter, 1);
    if (BlinkCounter >= BlinkPeriod) {
      BlinkCounter = 0;
      BlinkHidden = !BlinkHidden;
    }
  }
  if ((!visible_ || BlinkHidden) && !InTransition) return;

  if (!NoRender) {
    ClipScope clip(Host().Device(), ClipToBounds, ClipToBounds ? ClipRect() : TGfxRect{});
    Animate();
    Update();
    AfterDraw();
  }

  if (InTransition || !ProcessChildren) return;

  ChildSnapshot snapshot(this);
  for (size_t i = 0; i < snapshot.Count(); ++i) {
    if (TVXCustomControl* c = snapshot.Get(i, this)) c->Process();
  }
}

// ---------------------------------------------------------------------------------------
// Hit testing and mouse routing

bool TVXCustomControl::HitTest(int32_t x, int32_t y) const {
  return left_ < x && int64_t{x} < int64_t{left_} + width_ && top_ < y &&
         int64_t{y} < int64_t{top_} + height_;
}

bool TVXCustomControl::ChildHitClip(const TVXCustomControl*, TGfxRect&) const { return false; }

TVXCustomControl::Clip TVXCustomControl::ChildClip(const TVXCustomControl* child,
                                                   const Clip& clip) const {
  TGfxRect own;
  if (!ChildHitClip(child, own)) return clip;
  return clip ? Intersect(*clip, own) : own;
}

TVXCustomControl* TVXCustomControl::ControlAt(int32_t x, int32_t y) {
  return ControlAtClipped(x, y, std::nullopt);
}

TVXCustomControl* TVXCustomControl::ControlAtClipped(int32_t x, int32_t y, const Clip& clip) {
  TVXCustomControl* result = nullptr;
  if (!IsAlive()) return result;  // freed during this dispatch: out of the routing
  // The cheap tests first; IsEnabled walks up the tree.
  if (!NoRender && Enabled && HitTest(x, y) && Inside(clip, x, y) && IsEnabled()) result = this;
  // Children may lie outside their parent, so they are searched whatever the parent's hit.
  for (size_t i = children_.size(); i-- > 0;) {
    TVXCustomControl* c = children_[i];
    if (TVXCustomControl* r = c->ControlAtClipped(x, y, ChildClip(c, clip))) return r;
  }
  return result;
}

void TVXCustomControl::SetHovered(bool value) {
  vx::DispatchScope dispatch;
  if (value) MouseOver();
  if (hovered_ == value || !IsAlive()) return;
  hovered_ = value;
  if (value) {
    MouseEnter();
    Fire(OnMouseEnter, this);
  } else {
    MouseLeave();
    Fire(OnMouseLeave, this);
  }
}

void TVXCustomControl::MouseMove(TVXComponent* sender, TShiftState shift, int32_t x, int32_t y) {
  vx::DispatchScope dispatch;
  MouseMoveClipped(sender, shift, x, y, std::nullopt);
}

void TVXCustomControl::MouseMoveClipped(TVXComponent*, TShiftState shift, int32_t x, int32_t y,
                                        const Clip& clip) {
  {
    ChildSnapshot snapshot(this);
    for (size_t i = snapshot.Count(); i-- > 0;) {
      TVXCustomControl* c = snapshot.Get(i, this);
      if (c == nullptr) continue;
      const Clip childClip = ChildClip(c, clip);
      if (!c->HitTest(x, y) || !Inside(childClip, x, y)) {
        c->SetHovered(false);
        c = snapshot.Get(i, this);
        if (c == nullptr) continue;
      }
      c->MouseMoveClipped(this, shift, x, y, childClip);
    }
  }
  TVXCustomControl* target = ControlAtClipped(x, y, clip);
  if (target == nullptr) return;
  target->SetHovered(true);
  target->Fire(target->OnMouseMove, this, shift, x, y);
}

void TVXCustomControl::MouseDown(TVXComponent*, int32_t button, TShiftState, int32_t x, int32_t y) {
  vx::DispatchScope dispatch;
  TVXCustomControl* target = ControlAt(x, y);
  if (target == nullptr) return;
  if (button == vx::mbLeft) {
    target->SetPressedLeftAt(true, x, y);
  } else if (button == vx::mbRight) {
    target->SetPressedRight(true);
  }
}

void TVXCustomControl::MouseUp(TVXComponent*, int32_t button, TShiftState, int32_t x, int32_t y) {
  vx::DispatchScope dispatch;
  MouseUpClipped(button, x, y, std::nullopt);
}

void TVXCustomControl::MouseUpClipped(int32_t button, int32_t x, int32_t y, const Clip& clip) {
  ChildSnapshot snapshot(this);
  for (size_t i = snapshot.Count(); i-- > 0;) {
    TVXCustomControl* c = snapshot.Get(i, this);
    if (c == nullptr) continue;
    const Clip childClip = ChildClip(c, clip);
    const bool hit = c->HitTest(x, y) && Inside(childClip, x, y);
    if (button == vx::mbLeft) {
      if (hit) {
        c->SetPressedLeft(false);
      } else {
        c->pressedLeft_ = false;
      }
    } else if (button == vx::mbRight) {
      if (hit) {
        c->SetPressedRight(false);
      } else {
        c->pressedRight_ = false;
      }
    }
    c = snapshot.Get(i, this);
    if (c == nullptr) continue;
    c->MouseUpClipped(button, x, y, childClip);
  }
}

void TVXCustomControl::SetPressedLeft(bool value) {
  TVXToolkitHost& host = Host();
  FirePressLeft(value, host.CursorX(), host.CursorY());
}

void TVXCustomControl::SetPressedLeftAt(bool value, int32_t x, int32_t y) {
  if (value) {
    FirePressLeft(value, x, y);
  } else {
    SetPressedLeft(value);
  }
}

void TVXCustomControl::FirePressLeft(bool value, int32_t x, int32_t y) {
  if (pressedLeft_ == value) return;
  pressedLeft_ = value;
  vx::DispatchScope dispatch;
  if (value) {
    MouseDown();
    Fire(OnMouseDown, this, vx::mbLeft, 0, x, y);
  } else {
    MouseUp();
    Fire(OnMouseUp, this, vx::mbLeft, 0, x, y);
    Fire(OnClick, this);
  }
}

void TVXCustomControl::SetPressedRight(bool value) { pressedRight_ = value; }

void TVXCustomControl::MouseDown() { Host().RenderNow(); }

void TVXCustomControl::MouseUp() { Host().RenderNow(); }

// ---------------------------------------------------------------------------------------
// Focus and keys

void TVXCustomControl::SetFocused(bool value) {
  vx::DispatchScope dispatch;
  TVXToolkitHost& host = Host();
  if (value) {
    if (TVXCustomControl* active = host.ActiveControl()) active->SetFocused(false);
    if (!IsAlive()) return;  // freed by the other control's FocusOut: nothing to focus
    Host().SetActiveControl(this);
    FocusIn();
  } else {
    FocusOut();
  }
  focused_ = value;
}

void TVXCustomControl::KeyDown(uint16_t& key, TShiftState shift) {
  vx::DispatchScope dispatch;
  Fire(OnKeyDown, this, key, shift);
}

bool SendKeyToActiveControl(TVXCustomControl* inputScene, uint16_t& key, TShiftState shift) {
  if (inputScene == nullptr) return false;
  TVXCustomControl* active = inputScene->Host().ActiveControl();
  if (active == nullptr || !active->IsInSubtreeOf(inputScene)) return false;
  vx::DispatchScope dispatch;
  active->KeyDown(key, shift);
  return true;
}

// ---------------------------------------------------------------------------------------
// TVXFont

void TVXFont::SetSize(int32_t size) {
  size_ = size;
  if (OnSizeChange) OnSizeChange(this);
}

void TVXFont::SetColor(uint32_t colour) {
  color_ = colour;
  if (OnColorChange) OnColorChange(this);
}

void TVXFont::SetName(const std::string& name) {
  name_ = name;
  engineFont_ = (owner_ != nullptr ? owner_->Host() : vx::NullHost()).FindFont(name);
}
