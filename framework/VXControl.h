#pragma once
// The control that draws: a texture named by its texture info (cut into 256x256 tiles when
// large) or a rectangle in four corner colours, an optional border, a font for the text of
// its descendants, a hover effect and three user effects, fade and fly transitions when
// shown or hidden, and frame animation through numbered textures. Every widget builds on it.
// Everything counts processed frames.
#include <array>
#include <cstdint>

#include "framework/VXClasses.h"
#include "framework/VXEffects.h"
#include "framework/VXTextureInfo.h"
#include "framework/VXThemeKeys.h"
#include "render/GfxDef.h"

class TVXTextureList;
class TVXGfxTexture;

using TAlpha4 = std::array<int32_t, 4>;

// Alignment and layout of a texture drawn smaller than the control (and of a label's text).
constexpr int32_t taLeft = 0, taRight = 1, taCenter = 2;
constexpr int32_t tlTop = 0, tlCenter = 1, tlBottom = 2;
// Texture scale modes.
constexpr int32_t tsNatural = 0, tsStretch = 1, tsFit = 2;
// Fly directions; 0 is no fly for either. Where a control flies in from:
constexpr int32_t flyNone = 0;
constexpr int32_t flyInFromLeft = 1, flyInFromRight = 2, flyInFromTop = 3, flyInFromBottom = 4;
// and where it flies out to.
constexpr int32_t flyOutRight = 1, flyOutLeft = 2, flyOutDown = 3, flyOutUp = 4;

// LoadTexture results.
constexpr int32_t texLoaded = 0;
constexpr int32_t texNotFound = 11;

class TVXControl : public TVXCustomControl {
public:
  explicit TVXControl(TVXComponent* owner);
  ~TVXControl() override;

  // The font for the text of descendants (labels, buttons, edits).
  TVXFont Font{this};

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value) { autoSize_ = value; }
  // The last single alpha set.
  int32_t Alpha() const { return alpha_; }
  // Lets a press focus an edit and a release toggle a check box.
  bool Interactive = true;
  int32_t FadeSpeed() const { return fadeSpeed_; }
  void SetFadeSpeed(int32_t speed);
  int32_t FadeStep() const { return fadeStep_; }
  bool Border = false;
  const TColor4& BorderColor4() const { return borderColor4_; }
  // Stored with opaque alpha.
  void SetBorderColor4(const TColor4& colours);

  // Corner colours: top-left, top-right, bottom-right, bottom-left ($AABBGGRR). Their alpha
  // bytes always come from Alpha4 (or from a running fade).
  const TColor4& Color4() const { return color4_; }
  virtual void SetColor4(const TColor4& colours);
  void SetColor(uint32_t colour);
  virtual void SetAlpha(int32_t alpha);
  const TAlpha4& Alpha4() const { return alpha4_; }
  void SetAlpha4(const TAlpha4& alphas);

  int32_t Alignment() const { return alignment_; }
  virtual void SetAlignment(int32_t alignment);
  int32_t Layout() const { return layout_; }
  void SetLayout(int32_t layout) { layout_ = layout; }
  int32_t TextureScaleMode() const { return textureScaleMode_; }
  void SetTextureScaleMode(int32_t mode) { textureScaleMode_ = mode; }

  // A menu opened when the control is hovered with AutoPopup on. Held weakly.
  TVXControl* PopupMenu() const { return popupMenu_.Get(); }
  void SetPopupMenu(TVXControl* menu);
  bool AutoPopup = false;
  // Opens the control's drop-down; menus override it.
  virtual void Popup() {}

  // ---- Frame animation: every AnimationPeriod frames the next numbered texture.
  bool Animated() const { return animated_; }
  void SetAnimated(bool value);
  int32_t AnimationCounter = 0;
  int32_t AnimationPeriod = 60;
  void SetFrame(int32_t frame);
  // Next frame; past the last one the animation starts again at frame 1.
  void NextFrame();

  // ---- Transitions when shown or hidden.
  bool FadeIn() const { return fadeIn_; }
  void SetFadeIn(bool value) { fadeIn_ = value; }
  bool FadeOut() const { return fadeOut_; }
  void SetFadeOut(bool value) { fadeOut_ = value; }
  bool FadingIn() const { return fadingIn_; }
  bool FadingOut() const { return fadingOut_; }
  const TAlpha4& FadeAlpha4() const { return fadeAlpha4_; }
  int32_t FlyIn() const { return flyIn_; }
  void SetFlyIn(int32_t direction) { flyIn_ = direction; }
  int32_t FlyOut() const { return flyOut_; }
  void SetFlyOut(int32_t direction) { flyOut_ = direction; }
  int32_t FlySpeed() const { return flySpeed_; }
  void SetFlySpeed(int32_t speed);
  int32_t FlyStep() const { return flyStep_; }
  bool FlyingIn() const { return flyingIn_; }
  bool FlyingOut() const { return flyingOut_; }
  // Where a fly ends (in) or where the control returns after flying out.
  int32_t HomeTop = 0;
  int32_t HomeLeft = 0;

  // Position and size saved when a scroll or grow effect starts.
  int32_t EffectHomeTop = 0;
  int32_t EffectHomeLeft = 0;
  int32_t EffectHomeWidth = 0;
  int32_t EffectHomeHeight = 0;

  // Where the texture is drawn: follows Top and Left (a scrolling image offsets it).
  int32_t DrawTop = 0;
  int32_t DrawLeft = 0;
  // 256x256 tiles of the loaded texture.
  int32_t TilesX = 0;
  int32_t TilesY = 0;
  bool TextureLoaded() const { return textureLoaded_; }
  std::string Hint;

  // ---- Effects.
  TColor4 SavedColor4{};
  uint32_t SavedFontColor = 0;
  int32_t SavedAlpha = 0;
  TVXEffects RunningEffect;
  // 0 normal, 1 roll-over (hover), 2..4 user effects 1..3.
  std::array<TVXEffects, efCount> Effects;
  // Starts (or restarts) the parts that record i enables; i outside 0..4 does nothing.
  void ApplyEffect(int32_t index);
  // Ends the parts running from record i: colours and alpha at once with restore, else they
  // step back; scroll and grow always step back.
  void RemoveEffect(int32_t index, bool restore);
  // User effects 1..3 (records 2..4); other numbers do nothing.
  void StartEffect(int32_t n);
  void StopEffect(int32_t n, bool restore);

  // ---- Texture.
  TVXTextureInfo TextureInfo;
  TVXTextureList* Textures = nullptr;
  // Finds or loads the texture of TextureInfo: texLoaded, or texNotFound (the control then
  // draws its colour rectangle).
  virtual int32_t LoadTexture();
  // Sizes the control to the texture with AutoSize, switches rounding upward (the first
  // texture ever does so for the whole run) and counts the tiles.
  void TextureChanged();

  // ---- The frame: Update steps the control's state, then draws it unless halted.
  // Transitions and frame animation; ends with UpdateHalted set when a fade-out or fly-out
  // finished in it.
  virtual void Step();
  // Draws only: the texture when loaded, else the colour rectangle.
  virtual void Draw();
  // Drawn instead of Draw in a halted frame: nothing here. A composite whose inner
  // controls do not share its halt draws them.
  virtual void DrawHalted() {}
  void DrawTexture();
  virtual void DrawColorRect();
  // True when the last Step ended a fade-out or fly-out: nothing may be drawn in that
  // frame, so descendants drawing text after TVXControl::Update check this first.
  bool UpdateHalted() const { return updateHalted_; }

  // ---- Theme: the keys, pictures and inner controls the class's section styles.
  static const TVXThemeClass& StaticThemeClass();
  virtual const TVXThemeClass& ThemeClass() const { return StaticThemeClass(); }
  // The font, alignment, layout and scale keys of the classes that show text.
  static const std::vector<TVXThemeKey>& TextThemeKeys();

  // ---- Overrides.
  TVXControl* AsControl() override { return this; }
  void Animate() override;
  void Update() override;
  void AfterDraw() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetTop(int32_t value) override;
  void SetLeft(int32_t value) override;
  void SetVisible(bool value) override;

  // The routing operations share their names with the press hooks.
  using TVXCustomControl::MouseDown;
  using TVXCustomControl::MouseUp;

protected:
  void ApplyAlphaBytes();

private:
  void StepScroll();
  void StepColorPart();
  void StepTextColorPart();
  void StepAlphaPart();
  void StepGrowPart();
  void StopFadeIn();
  void StopFadeOut();
  void StopFlyIn();
  void StopFlyOut();

  bool autoSize_ = false;
  int32_t alpha_ = 255;
  int32_t fadeSpeed_ = 2;
  int32_t fadeStep_ = 10;
  TColor4 borderColor4_{0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
  TColor4 color4_{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  int32_t alignment_ = taLeft;
  int32_t layout_ = tlCenter;
  vx::WeakRef<TVXControl> popupMenu_;
  int32_t textureScaleMode_ = tsStretch;
  TAlpha4 alpha4_{255, 255, 255, 255};
  bool animated_ = false;
  bool fadeIn_ = false;
  bool fadeOut_ = false;
  TAlpha4 fadeAlpha4_{0, 0, 0, 0};
  bool fadingIn_ = false;
  bool fadingOut_ = false;
  int32_t flyIn_ = flyNone;
  int32_t flyOut_ = flyNone;
  int32_t flySpeed_ = 2;
  int32_t flyStep_ = 10;
  bool flyingIn_ = false;
  bool flyingOut_ = false;
  bool textureLoaded_ = false;
  bool updateHalted_ = false;
};

namespace vx {
// Fade and fly steps of a speed 0..4: 1, 5, 10, 20, 35 per frame; other speeds 10.
int32_t TransitionStep(int32_t speed);
// Scroll effect steps of a speed 0..4: 1, 2, 3, 10, 15 pixels; other speeds 3.
int32_t ScrollStep(int32_t speed);
}  // namespace vx
