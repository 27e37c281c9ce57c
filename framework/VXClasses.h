#pragma once
// The component tree every screen is made of: ownership (who frees whom), the on-screen node
// with its rectangle, flags, blinking and auto-hide, the per-frame walk and the routing of
// mouse and keys. Drawing is done by the descendants (TVXControl and on).
//
// Ownership and parenthood are separate links. The owner frees what it owns, last to first;
// the parent draws and routes input. Destroying either end clears both directions.
//
// Re-entrancy: every handler may run a nested loop or free the scene it was called from. The
// routing and the per-frame walk hold a vx::DispatchScope, so what a handler frees (with
// Free) is deleted only after the event or frame; walks work on a snapshot of the child list
// and skip what died meanwhile.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/VXHost.h"
#include "framework/VXLiveness.h"
#include "platform/Events.h"
#include "render/GfxDef.h"

// Shift state and mouse buttons are the window's own (platform/Events.h): vx::TShiftState
// with vx::ssShift..., buttons vx::mbLeft (0), vx::mbRight (1), vx::mbMiddle (2).
using TShiftState = vx::TShiftState;

class TVXComponent;
class TVXControl;
class TVXContext;

using TVXNotifyEvent = std::function<void(TVXComponent* sender)>;
using TVXMouseEvent =
    std::function<void(TVXComponent* sender, int32_t button, TShiftState shift, int32_t x, int32_t y)>;
using TVXMouseMoveEvent =
    std::function<void(TVXComponent* sender, TShiftState shift, int32_t x, int32_t y)>;
// The key is a 16-bit virtual-key code; a handler consumes it by setting it to 0.
using TVXKeyEvent = std::function<void(TVXComponent* sender, uint16_t& key, TShiftState shift)>;

namespace vx {
// Screen coordinates and sizes are kept within +-kCoordinateLimit so that sums of a position
// and a size never overflow, whatever a theme file says.
constexpr int32_t kCoordinateLimit = 1 << 24;
int32_t ClampCoordinate(int64_t value);
}  // namespace vx

class TVXComponent : public vx::Lifetime {
public:
  explicit TVXComponent(TVXComponent* owner);
  virtual ~TVXComponent();

  TVXComponent* Owner() const { return owner_; }
  // Moves the component to another owner's list (appended). Ignored when unchanged, when the
  // owner is the component itself, and when it would make an ownership cycle.
  void SetOwner(TVXComponent* owner);
  int32_t OwnedCount() const { return static_cast<int32_t>(owned_.size()); }
  TVXComponent* GetOwned(int32_t index) const;

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);

  // Deletes the component. While an event or frame is dispatched it and all it owns are
  // marked dead and leave their owner and parent at once; the deletion follows the dispatch.
  void Free();

  // Free for the application's use (the lobby and the credit dialog keep numbers here).
  int32_t Tag = 0;

  // The program context: the one given to this component, else its owner's (and, for a
  // control, its parent's); null outside every context.
  TVXContext* Context() const;
  void SetContext(TVXContext* context) { context_ = context; }
  // The context's toolkit host; outside every context, a host that draws and plays nothing.
  TVXToolkitHost& Host() const;

protected:
  // Where the context is looked for when the component has no owner.
  virtual const TVXComponent* ContextParent() const { return nullptr; }

private:
  void MarkDead();

  TVXContext* context_ = nullptr;
  TVXComponent* owner_ = nullptr;
  std::vector<TVXComponent*> owned_;
  std::string name_;
};

class TVXCustomControl : public TVXComponent {
public:
  explicit TVXCustomControl(TVXComponent* owner);
  ~TVXCustomControl() override;

  // ---- Flags and state.
  // Neither draws itself nor is a hit target; its children are still processed and hit.
  bool NoRender = false;
  bool DisableRenderTheme() const { return disableRenderTheme_; }
  // True also sets NoRender; false leaves NoRender as it is.
  void SetDisableRenderTheme(bool value);
  bool Enabled = true;
  bool Focused() const { return focused_; }
  bool Blinking() const { return blinking_; }
  void SetBlinking(bool value);
  int32_t BlinkSpeed() const { return blinkSpeed_; }
  // 0..4 give a period of 100, 70, 30, 10, 5 frames; other values keep the period.
  void SetBlinkSpeed(int32_t speed);
  bool Visible() const { return visible_; }
  bool Hovered() const { return hovered_; }
  bool PressedLeft() const { return pressedLeft_; }
  bool PressedRight() const { return pressedRight_; }
  bool ClipToBounds = false;
  int32_t AutoHideFrames = -1;  // -1: off
  bool BlinkHidden = false;
  // A fade or fly transition runs: processed and drawn although Visible may be false.
  bool InTransition = false;
  bool ProcessChildren = true;
  int32_t BlinkCounter = 0;
  int32_t BlinkPeriod = 30;

  // ---- Events (an empty function is "not assigned").
  TVXMouseEvent OnMouseUp;
  TVXMouseEvent OnMouseDown;
  TVXKeyEvent OnKeyDown;
  TVXMouseMoveEvent OnMouseMove;
  TVXNotifyEvent OnClick;
  TVXNotifyEvent OnMouseEnter;
  TVXNotifyEvent OnMouseLeave;

  // ---- Tree. List order is drawing order: the last child is on top and hit first.
  TVXCustomControl* Parent() const { return parent_; }
  // Appends to the new parent's children. Ignored when unchanged, and refused (logged) when
  // the parent is the control itself or one of its descendants.
  void SetParent(TVXCustomControl* parent);
  int32_t ChildCount() const { return static_cast<int32_t>(children_.size()); }
  TVXCustomControl* GetChild(int32_t index) const;
  // -1 without parent.
  int32_t IndexInParent() const;
  void BringToFront() { SetZOrder(true); }
  // true: last index (on top); false: index 0.
  void SetZOrder(bool topMost);
  // Clamped to 0..count-1.
  void SetIndex(int32_t index);
  // True when the control is this one or lies below it, through parents (or, for inner
  // controls that their widget processes itself, through owners).
  bool IsInSubtreeOf(const TVXCustomControl* root) const;

  // ---- Geometry, absolute screen pixels.
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Moving a control moves every descendant by the same difference.
  virtual void SetTop(int32_t value);
  virtual void SetLeft(int32_t value);
  virtual void SetWidth(int32_t value);
  virtual void SetHeight(int32_t value);
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

  virtual void SetVisible(bool value);
  // Shows the control; frames > 0 also hides it again on the frames-th processed frame.
  void ShowFor(int32_t frames);

  // Visible, with a parent, and the parent enabled. The root scene ends the chain.
  virtual bool IsEnabled();

  // The control as a drawn control (with a texture and a theme section), or nullptr.
  virtual TVXControl* AsControl() { return nullptr; }

  // ---- The per-frame walk: counters, then (when shown) Animate, Update and AfterDraw under
  // the control's clip, then the children in list order.
  void Process();

  // Strictly inside: the left and top edge lines are outside.
  bool HitTest(int32_t x, int32_t y) const;
  // The deepest enabled, rendering control under the point, the last child tried first.
  TVXCustomControl* ControlAt(int32_t x, int32_t y);

  // ---- Routing (the main window calls these on the input scene).
  void MouseMove(TVXComponent* sender, TShiftState shift, int32_t x, int32_t y);
  void MouseDown(TVXComponent* sender, int32_t button, TShiftState shift, int32_t x, int32_t y);
  void MouseUp(TVXComponent* sender, int32_t button, TShiftState shift, int32_t x, int32_t y);
  void SetHovered(bool value);
  // A press fires MouseDown and OnMouseDown, a release MouseUp, OnMouseUp and OnClick; the
  // events get the engine's last press position.
  void SetPressedLeft(bool value);
  // The same with the position of the press being routed.
  void SetPressedLeftAt(bool value, int32_t x, int32_t y);
  // Stores the flag only.
  void SetPressedRight(bool value);
  void SetFocused(bool value);
  virtual void KeyDown(uint16_t& key, TShiftState shift);

  // ---- Hooks (empty here unless said).
  virtual void Animate() {}
  virtual void Update() {}
  virtual void AfterDraw() {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseOver() {}
  // Both call the main window's RenderNow, so a press or release shows at once.
  virtual void MouseDown();
  virtual void MouseUp();
  virtual void FocusIn() {}
  virtual void FocusOut() {}
  virtual void Moved() {}
  virtual void Resized() {}

  // A control that shows a child only through a clip (a scroll control's client area) gives
  // that clip here, so that nothing of the child outside it can be hovered, pressed or
  // clicked. False: no clip for this child.
  virtual bool ChildHitClip(const TVXCustomControl* child, TGfxRect& clip) const;

  // The clip rectangle of the control's own drawing: its rectangle cut to the surface.
  TGfxRect ClipRect() const;

protected:
  const TVXComponent* ContextParent() const override;
  bool visible_ = true;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;

private:
  friend class TVXControl;
  using Clip = std::optional<TGfxRect>;
  Clip ChildClip(const TVXCustomControl* child, const Clip& clip) const;
  TVXCustomControl* ControlAtClipped(int32_t x, int32_t y, const Clip& clip);
  void MouseMoveClipped(TVXComponent* sender, TShiftState shift, int32_t x, int32_t y, const Clip& clip);
  void MouseUpClipped(int32_t button, int32_t x, int32_t y, const Clip& clip);
  void FirePressLeft(bool value, int32_t x, int32_t y);
  // Events reach live controls only: one freed by an earlier handler of the same event
  // hears no more of it.
  template <class F, class... A>
  void Fire(const F& handler, A&&... args) {
    if (handler && IsAlive()) handler(std::forward<A>(args)...);
  }

  bool disableRenderTheme_ = false;
  bool focused_ = false;
  bool blinking_ = false;
  int32_t blinkSpeed_ = 2;
  bool hovered_ = false;
  bool pressedLeft_ = false;
  bool pressedRight_ = false;
  TVXCustomControl* parent_ = nullptr;
  std::vector<TVXCustomControl*> children_;
};

namespace vx {
// A clip that encloses the controls processed inside it (a scroll control's client area).
// While one is open, a control's own clip is cut to it, and the control's drawing returns to
// it afterwards instead of to the whole surface. Scopes nest: each sets the device clip to its
// rectangle cut to the one outside it, and puts the outer one back when it closes.
class ScopedEnclosingClip {
public:
  ScopedEnclosingClip(TGfxDevice* device, const TGfxRect& rect);
  ~ScopedEnclosingClip();
  ScopedEnclosingClip(const ScopedEnclosingClip&) = delete;
  ScopedEnclosingClip& operator=(const ScopedEnclosingClip&) = delete;

private:
  TGfxDevice* device_;
  std::optional<TGfxRect> outer_;
};
// The innermost open enclosing clip (already cut to every outer one), if any.
const std::optional<TGfxRect>& EnclosingClip();
}  // namespace vx

// Sends a key to the active control, but only when it lies inside the input scene's subtree
// (a modal dialog keeps keys from a control of the screen below it). True when sent.
bool SendKeyToActiveControl(TVXCustomControl* inputScene, uint16_t& key, TShiftState shift);

class TVXEngineFont;

// A control's font: an engine font chosen by name, a size and a colour.
class TVXFont {
public:
  // The control the font belongs to: its tree gives the engine fonts.
  explicit TVXFont(const TVXComponent* owner = nullptr) : owner_(owner) {}
  int32_t Size() const { return size_; }
  // Fires OnSizeChange.
  void SetSize(int32_t size);
  // Carried for the font's users; nothing reads it.
  int32_t Reserved = 256;
  uint32_t Color() const { return color_; }
  // Fires OnColorChange. Only the low three bytes are used.
  void SetColor(uint32_t colour);
  std::function<void(TVXFont* sender)> OnSizeChange;
  std::function<void(TVXFont* sender)> OnColorChange;
  int32_t Alpha = 255;
  const std::string& Name() const { return name_; }
  // Stores the name and takes the engine font of that name at once (the first engine font
  // when none has it). Fires no event.
  void SetName(const std::string& name);
  TVXEngineFont* EngineFont() const { return engineFont_; }

private:
  const TVXComponent* owner_;
  int32_t size_ = 0;
  uint32_t color_ = 0;
  std::string name_;
  TVXEngineFont* engineFont_ = nullptr;
};
