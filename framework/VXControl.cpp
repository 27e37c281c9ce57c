#include "framework/VXControl.h"

#include <algorithm>

#include "core/Checked.h"
#include "core/Rounding.h"
#include "framework/VXStepping.h"
#include "framework/VXTextures.h"
#include "render/GfxDevice.h"

namespace vx {

int32_t TransitionStep(int32_t speed) {
  static constexpr std::array<int32_t, 5> kSteps{1, 5, 10, 20, 35};
  return (speed >= 0 && speed <= 4) ? kSteps[static_cast<size_t>(speed)] : 10;
}

int32_t ScrollStep(int32_t speed) {
  static constexpr std::array<int32_t, 5> kSteps{1, 2, 3, 10, 15};
  return (speed >= 0 && speed <= 4) ? kSteps[static_cast<size_t>(speed)] : 3;
}

}  // namespace vx

namespace {
constexpr int32_t kTile = 256;
constexpr int32_t kEffectDrawTexture = 5;
constexpr int32_t kEffectColorRect = 4;
constexpr int32_t kEffectBorder = 0;
constexpr int32_t kColorStep = 10;
constexpr int32_t kAlphaStep = 10;

int32_t ClampByte(int32_t v) { return std::clamp(v, 0, 255); }

// Distances from a theme are kept sane so that no effect walks for ever.
int32_t ClampDistance(int32_t v) { return std::clamp(v, 0, vx::kCoordinateLimit / 2); }

uint32_t WithAlpha(uint32_t colour, int32_t alpha) {
  return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(ClampByte(alpha)) << 24);
}
}  // namespace

TVXControl::TVXControl(TVXComponent* owner) : TVXCustomControl(owner) {
  Textures = Host().Textures();
  TextureInfo.OnChange = [this] { LoadTexture(); };
}

TVXControl::~TVXControl() {
  EndLife();
  TextureInfo.OnChange = nullptr;
}

// ---------------------------------------------------------------------------------------
// Plain setters

void TVXControl::SetFadeSpeed(int32_t speed) {
  fadeSpeed_ = speed;
  fadeStep_ = vx::TransitionStep(speed);
}

void TVXControl::SetFlySpeed(int32_t speed) {
  flySpeed_ = speed;
  flyStep_ = vx::TransitionStep(speed);
}

void TVXControl::SetBorderColor4(const TColor4& colours) {
  for (size_t i = 0; i < 4; ++i) borderColor4_[i] = WithAlpha(colours[i], 255);
}

void TVXControl::ApplyAlphaBytes() {
  for (size_t i = 0; i < 4; ++i) color4_[i] = WithAlpha(color4_[i], alpha4_[i]);
}

void TVXControl::SetColor4(const TColor4& colours) {
  color4_ = colours;
  ApplyAlphaBytes();
}

void TVXControl::SetColor(uint32_t colour) { SetColor4(::Color4(colour)); }

void TVXControl::SetAlpha(int32_t alpha) {
  alpha_ = ClampByte(alpha);
  alpha4_.fill(alpha_);
  ApplyAlphaBytes();
}

void TVXControl::SetAlpha4(const TAlpha4& alphas) {
  for (size_t i = 0; i < 4; ++i) alpha4_[i] = ClampByte(alphas[i]);
  ApplyAlphaBytes();
}

void TVXControl::SetAlignment(int32_t alignment) { alignment_ = alignment; }

void TVXControl::SetPopupMenu(TVXControl* menu) { popupMenu_ = menu; }

void TVXControl::SetAnimated(bool value) {
  animated_ = value;
  AnimationCounter = 0;
}

void TVXControl::SetFrame(int32_t frame) { TextureInfo.SetFrame(frame); }

void TVXControl::NextFrame() {
  TextureInfo.SetFrame(vx::CheckedAdd(TextureInfo.Frame(), 1));
  // Past the last picture the animation starts again from the first, loaded again so that
  // the control keeps showing a texture.
  if (!textureLoaded_) TextureInfo.SetFrame(1);
}

// ---------------------------------------------------------------------------------------
// Texture

int32_t TVXControl::LoadTexture() {
  if (Textures == nullptr) Textures = Host().Textures();
  TVXGfxTexture* texture = Textures != nullptr ? Textures->FindOrLoad(TextureInfo) : nullptr;
  if (texture == nullptr) {
    textureLoaded_ = false;
    TextureInfo.SetTexture(nullptr);
    return texNotFound;
  }
  TextureInfo.SetTexture(texture);
  textureLoaded_ = true;
  TextureChanged();
  return texLoaded;
}

void TVXControl::TextureChanged() {
  TVXGfxTexture* texture = TextureInfo.Texture();
  if (texture == nullptr) return;
  if (autoSize_) {
    SetWidth(texture->PictureWidth);
    SetHeight(texture->PictureHeight);
  }
  vx::SwitchRoundingUpward();
  TilesX = vx::Round32(texture->PictureWidth / static_cast<double>(kTile));
  TilesY = vx::Round32(texture->PictureHeight / static_cast<double>(kTile));
}

// ---------------------------------------------------------------------------------------
// Drawing

void TVXControl::Draw() {
  if (textureLoaded_) {
    DrawTexture();
  } else {
    DrawColorRect();
  }
}

void TVXControl::DrawTexture() {
  TVXGfxTexture* texture = TextureInfo.Texture();
  TGfxDevice* device = Host().Device();
  if (texture == nullptr || device == nullptr) return;
  // Marks it in use; a picture that gave its image back to the cache's budget loads again.
  if (Textures != nullptr ? !Textures->Use(texture) : texture->Image() == nullptr) return;
  const TGfxSize pattern = texture->PatternSize();
  int32_t w = pattern.Width;
  int32_t h = pattern.Height;
  int32_t offX = 0;
  int32_t offY = 0;
  if (!autoSize_ && TilesX <= 1 && TilesY <= 1) {
    if (textureScaleMode_ == tsStretch) {
      w = width_;
      h = height_;
    } else if (textureScaleMode_ == tsFit && pattern.Width > 0 && pattern.Height > 0) {
      // Exact rational comparison and ceiling: Width/pw < Height/ph.
      const int64_t pw = pattern.Width;
      const int64_t ph = pattern.Height;
      const auto ceilDiv = [](int64_t a, int64_t b) {
        return a >= 0 ? (a + b - 1) / b : -((-a) / b);
      };
      if (int64_t{width_} * ph < int64_t{height_} * pw) {
        w = width_;
        h = vx::ClampCoordinate(ceilDiv(ph * width_, pw));
      } else {
        w = vx::ClampCoordinate(ceilDiv(pw * height_, ph));
        h = height_;
      }
    }
    if (alignment_ == taRight) offX = width_ - w;
    if (alignment_ == taCenter) offX = (width_ - w) / 2;
    if (layout_ == tlCenter) offY = (height_ - h) / 2;
    if (layout_ == tlBottom) offY = height_ - h;
  }
  for (int32_t j = 0; j < TilesY; ++j) {
    for (int32_t i = 0; i < TilesX; ++i) {
      const int32_t x = vx::CheckedAdd(vx::CheckedAdd(DrawLeft, offX), kTile * i);
      const int32_t y = vx::CheckedAdd(vx::CheckedAdd(DrawTop, offY), kTile * j);
      device->TextureMap(texture->Image(), QuadFromBounds(x, y, w, h), color4_, kEffectDrawTexture,
                         TGfxPattern(j * TilesX + i));
    }
  }
}

void TVXControl::DrawColorRect() {
  if (TGfxDevice* device = Host().Device()) {
    device->FillRect(GfxBounds(left_, top_, width_, height_), color4_, kEffectColorRect);
  }
}

void TVXControl::AfterDraw() {
  if (!Border) return;
  if (TGfxDevice* device = Host().Device()) {
    device->FrameRect(GfxBounds(left_, top_, width_, height_), borderColor4_, kEffectBorder);
  }
}

// ---------------------------------------------------------------------------------------
// Transitions and the per-frame update

void TVXControl::Update() {
  Step();
  if (!updateHalted_) {
    Draw();
  } else {
    DrawHalted();
  }
}

void TVXControl::Step() {
  updateHalted_ = false;
  TVXCustomControl::Update();

  if (fadingIn_) {
    bool done = true;
    for (size_t k = 0; k < 4; ++k) {
      // Each corner stops at its own alpha.
      fadeAlpha4_[k] = std::min(vx::CheckedAdd(fadeAlpha4_[k], fadeStep_), alpha4_[k]);
      if (fadeAlpha4_[k] < alpha4_[k]) done = false;
    }
    if (done) {
      fadeAlpha4_ = alpha4_;
      fadingIn_ = false;
      InTransition = false;
      visible_ = true;
    }
    for (size_t k = 0; k < 4; ++k) color4_[k] = WithAlpha(color4_[k], fadeAlpha4_[k]);
  }

  if (fadingOut_) {
    bool done = true;
    for (size_t k = 0; k < 4; ++k) {
      fadeAlpha4_[k] = std::max(vx::CheckedSub(fadeAlpha4_[k], fadeStep_), 0);
      if (fadeAlpha4_[k] >= 1) done = false;
    }
    if (done) {
      fadingOut_ = false;
      InTransition = false;
      ApplyAlphaBytes();
      updateHalted_ = true;
      return;
    }
    for (size_t k = 0; k < 4; ++k) color4_[k] = WithAlpha(color4_[k], fadeAlpha4_[k]);
  }

  if (flyingIn_) {
    SetTop(StepToward(top_, HomeTop, flyStep_));
    SetLeft(StepToward(left_, HomeLeft, flyStep_));
    if (top_ == HomeTop && left_ == HomeLeft) {
      flyingIn_ = false;
      InTransition = false;
      visible_ = true;
    }
  }

  if (flyingOut_) {
    bool going = true;
    switch (flyOut_) {
      case flyOutRight:
        SetLeft(vx::CheckedAdd(left_, flyStep_));
        going = Host().SurfaceWidth() > left_;
        break;
      case flyOutLeft:
        SetLeft(vx::CheckedSub(left_, flyStep_));
        going = -width_ < left_;
        break;
      case flyOutDown:
        SetTop(vx::CheckedAdd(top_, flyStep_));
        going = Host().SurfaceHeight() > top_;
        break;
      case flyOutUp:
        SetTop(vx::CheckedSub(top_, flyStep_));
        going = -height_ < top_;
        break;
      default:
        going = false;
        break;
    }
    if (!going) {
      flyingOut_ = false;
      InTransition = false;
      SetTop(HomeTop);
      SetLeft(HomeLeft);
      updateHalted_ = true;
      return;
    }
  }

  if (textureLoaded_) {
    if (animated_) {
      AnimationCounter = vx::CheckedAdd(AnimationCounter, 1);
      if (AnimationCounter >= AnimationPeriod) {
        AnimationCounter = 0;
        NextFrame();
      }
    }
  }
}

void TVXControl::StopFadeIn() {
  if (!fadingIn_) return;
  fadingIn_ = false;
  InTransition = false;
  ApplyAlphaBytes();
}

void TVXControl::StopFadeOut() {
  if (!fadingOut_) return;
  fadingOut_ = false;
  InTransition = false;
  ApplyAlphaBytes();
}

void TVXControl::StopFlyIn() {
  if (!flyingIn_) return;
  flyingIn_ = false;
  InTransition = false;
  SetTop(HomeTop);
  SetLeft(HomeLeft);
}

void TVXControl::StopFlyOut() {
  if (!flyingOut_) return;
  flyingOut_ = false;
  InTransition = false;
  SetTop(HomeTop);
  SetLeft(HomeLeft);
}

void TVXControl::SetVisible(bool value) {
  if (value) {
    StopFadeOut();
    StopFlyOut();
  } else {
    StopFadeIn();
    StopFlyIn();
  }
  if (visible_ == value) return;

  // A control that does not draw never runs Update, so it could never finish a transition.
  const bool transitions = !NoRender;
  const bool flyInValid = flyIn_ >= flyInFromLeft && flyIn_ <= flyInFromBottom;
  const bool flyOutValid = flyOut_ >= flyOutRight && flyOut_ <= flyOutUp;
  if (value) {
    if (!transitions || (!fadeIn_ && !flyInValid)) {
      TVXCustomControl::SetVisible(true);
      return;
    }
    if (fadeIn_) {
      fadeAlpha4_.fill(0);
      fadingIn_ = true;
      for (size_t k = 0; k < 4; ++k) color4_[k] = WithAlpha(color4_[k], 0);
    }
    if (flyInValid && !flyingIn_) {
      HomeTop = top_;
      HomeLeft = left_;
      switch (flyIn_) {
        case flyInFromLeft: SetLeft(-width_); break;
        case flyInFromRight: SetLeft(Host().SurfaceWidth()); break;
        case flyInFromTop: SetTop(-height_); break;
        case flyInFromBottom: SetTop(Host().SurfaceHeight()); break;
        default: break;
      }
      flyingIn_ = true;
    }
    InTransition = true;
    return;
  }

  if (transitions && fadeOut_) {
    fadeAlpha4_ = alpha4_;
    fadingOut_ = true;
    InTransition = true;
  }
  if (transitions && flyOutValid && !flyingOut_) {
    HomeTop = top_;
    HomeLeft = left_;
    flyingOut_ = true;
    InTransition = true;
  }
  TVXCustomControl::SetVisible(false);
}

// ---------------------------------------------------------------------------------------
// Geometry: the drawing position and the children's fly homes follow the control.

void TVXControl::SetTop(int32_t value) {
  value = vx::ClampCoordinate(value);
  const int32_t diff = vx::CheckedSub(value, top_);
  if (diff == 0) return;
  DrawTop = vx::ClampCoordinate(int64_t{DrawTop} + diff);
  for (int32_t i = 0; i < ChildCount(); ++i) {
    if (auto* c = dynamic_cast<TVXControl*>(GetChild(i))) {
      c->HomeTop = vx::ClampCoordinate(int64_t{c->HomeTop} + diff);
    }
  }
  TVXCustomControl::SetTop(value);
}

void TVXControl::SetLeft(int32_t value) {
  value = vx::ClampCoordinate(value);
  const int32_t diff = vx::CheckedSub(value, left_);
  if (diff == 0) return;
  DrawLeft = vx::ClampCoordinate(int64_t{DrawLeft} + diff);
  for (int32_t i = 0; i < ChildCount(); ++i) {
    if (auto* c = dynamic_cast<TVXControl*>(GetChild(i))) {
      c->HomeLeft = vx::ClampCoordinate(int64_t{c->HomeLeft} + diff);
    }
  }
  TVXCustomControl::SetLeft(value);
}

// ---------------------------------------------------------------------------------------
// Hover

void TVXControl::MouseEnter() {
  TVXCustomControl::MouseEnter();
  Host().ShowHint(this);
  ApplyEffect(efRollOver);
  if (AutoPopup) {
    if (TVXControl* menu = popupMenu_.Get()) menu->Popup();
  }
}

void TVXControl::MouseLeave() {
  TVXCustomControl::MouseLeave();
  RemoveEffect(efRollOver, false);
}

// ---------------------------------------------------------------------------------------
// Effects

void TVXControl::StartEffect(int32_t n) {
  if (n >= ueEffect1 && n <= ueEffect3) ApplyEffect(efCustom1 + (n - ueEffect1));
}

void TVXControl::StopEffect(int32_t n, bool restore) {
  if (n >= ueEffect1 && n <= ueEffect3) RemoveEffect(efCustom1 + (n - ueEffect1), restore);
}

void TVXControl::ApplyEffect(int32_t index) {
  if (index < efNormal || index > efCustom3) return;
  const TVXEffects& e = Effects[static_cast<size_t>(index)];
  TVXEffects& r = RunningEffect;
  if (e.ColorEnabled) {
    if (r.ColorState.Running(index)) SetColor4(SavedColor4);
    for (size_t k = 0; k < 4; ++k) r.Color[k] = WithAlpha(e.Color[k], alpha4_[k]);
    r.ColorChangeSpeed = e.ColorChangeSpeed;
    r.ColorContinuous = e.ColorContinuous;
    SavedColor4 = color4_;
    r.ColorState = TVXEffectPart{true, index, epForward};
  }
  if (e.TextColorEnabled) {
    if (r.TextColorState.Running(index)) Font.SetColor(SavedFontColor);
    r.TextColor = e.TextColor;
    r.TextColorChangeSpeed = e.TextColorChangeSpeed;
    r.TextColorContinuous = e.TextColorContinuous;
    SavedFontColor = Font.Color();
    r.TextColorState = TVXEffectPart{true, index, epForward};
  }
  if (e.AlphaEnabled) {
    if (r.AlphaState.Running(index)) SetAlpha(SavedAlpha);
    r.AlphaBlendValue = ClampByte(e.AlphaBlendValue);
    r.AlphaDown = alpha_ >= r.AlphaBlendValue;
    r.AlphaChangeSpeed = e.AlphaChangeSpeed;
    r.AlphaContinuous = e.AlphaContinuous;
    SavedAlpha = alpha_;
    r.AlphaState = TVXEffectPart{true, index, epForward};
  }
  if (e.ScrollEnabled && r.ScrollState.Phase == epOff) {
    r.ScrollOptions = e.ScrollOptions;
    r.ScrollDistance = ClampDistance(e.ScrollDistance);
    r.ScrollSpeed = e.ScrollSpeed;
    EffectHomeTop = top_;
    EffectHomeLeft = left_;
    r.ScrollOffsetX = 0;
    r.ScrollOffsetY = 0;
    r.ScrollState = TVXEffectPart{true, index, epForward};
  }
  if (e.GrowEnabled && r.GrowState.Phase == epOff) {
    r.GrowDistance = ClampDistance(e.GrowDistance);
    EffectHomeWidth = width_;
    EffectHomeHeight = height_;
    if (r.ScrollState.Phase == epOff || r.ScrollState.Source == index) {
      EffectHomeTop = top_;
      EffectHomeLeft = left_;
    }
    r.GrowSteps = 0;
    r.GrowState = TVXEffectPart{true, index, epForward};
  }
}

void TVXControl::RemoveEffect(int32_t index, bool restore) {
  if (index < efNormal || index > efCustom3) return;
  TVXEffects& r = RunningEffect;
  if (r.ColorState.Running(index)) {
    if (restore) {
      SetColor4(SavedColor4);
      r.ColorState.Phase = epOff;
    } else {
      r.ColorState.Phase = epReturnStop;
    }
  }
  if (r.TextColorState.Running(index)) {
    if (restore) {
      r.TextColorState.Phase = epOff;
      Font.SetColor(SavedFontColor);
    } else {
      r.TextColorState.Phase = epReturnStop;
    }
  }
  if (r.AlphaState.Running(index)) {
    if (restore) {
      SetAlpha(SavedAlpha);
      r.AlphaState.Phase = epOff;
    } else {
      r.AlphaState.Phase = epReturnStop;
    }
  }
  if (r.ScrollState.Running(index)) r.ScrollState.Phase = epReturnStop;
  if (r.GrowState.Running(index)) r.GrowState.Phase = epReturnStop;
}

void TVXControl::Animate() {
  TVXCustomControl::Animate();
  StepScroll();
  StepColorPart();
  StepTextColorPart();
  StepAlphaPart();
  StepGrowPart();
}

namespace {
// After a return: off when it was the final one, forward again when it repeats.
TVXEffectPhase AfterReturn(TVXEffectPhase phase) { return phase == epReturnStop ? epOff : epForward; }
bool Returning(TVXEffectPhase phase) { return phase == epReturnRepeat || phase == epReturnStop; }
}  // namespace

void TVXControl::StepScroll() {
  TVXEffects& r = RunningEffect;
  TVXEffectPart& part = r.ScrollState;
  if (part.Phase != epForward && !Returning(part.Phase)) return;
  const int32_t step = vx::ScrollStep(r.ScrollSpeed);
  const uint32_t bits = r.ScrollOptions;
  const int32_t distance = r.ScrollDistance;
  bool moved = false;
  const auto shift = [&](bool vertical, int32_t delta) {
    if (vertical) {
      r.ScrollOffsetY += delta;
      SetTop(vx::ClampCoordinate(int64_t{top_} + delta));
    } else {
      r.ScrollOffsetX += delta;
      SetLeft(vx::ClampCoordinate(int64_t{left_} + delta));
    }
    moved = true;
  };
  if (part.Phase == epForward) {
    // One whole step along every direction set while the distance from home is short of
    // ScrollDistance (the last step may go past it).
    const auto advance = [&](uint32_t bit, bool vertical, int32_t sign) {
      if ((bits & bit) == 0) return;
      const int32_t covered = sign * (vertical ? r.ScrollOffsetY : r.ScrollOffsetX);
      if (covered >= distance) return;
      shift(vertical, sign * step);
    };
    advance(sdDown, true, 1);
    advance(sdUp, true, -1);
    advance(sdRight, false, 1);
    advance(sdLeft, false, -1);
    if (!moved) part.Phase = part.Source == efRollOver ? epHold : epReturnRepeat;
    return;
  }
  // Whole steps back toward home; what is left short of a step is put right at once when
  // nothing moves any more.
  const auto back = [&](uint32_t bit, bool vertical) {
    if ((bits & bit) == 0) return;
    const int32_t offset = vertical ? r.ScrollOffsetY : r.ScrollOffsetX;
    if (offset >= step) shift(vertical, -step);
    if (-offset >= step) shift(vertical, step);
  };
  back(sdDown, true);
  back(sdUp, true);
  back(sdRight, false);
  back(sdLeft, false);
  if (moved) return;
  if (r.ScrollOffsetY != 0) shift(true, -r.ScrollOffsetY);
  if (r.ScrollOffsetX != 0) shift(false, -r.ScrollOffsetX);
  part.Phase = AfterReturn(part.Phase);
}

void TVXControl::StepColorPart() {
  TVXEffects& r = RunningEffect;
  TVXEffectPart& part = r.ColorState;
  if (part.Phase != epForward && !Returning(part.Phase)) return;
  const int32_t step = r.ColorChangeSpeed == 4 ? 255 : kColorStep;
  const TColor4& target = part.Phase == epForward ? r.Color : SavedColor4;
  TColor4 next;
  StepColor4(color4_, target, step, next);
  SetColor4(next);
  // Only the colour bytes step; the alpha bytes belong to Alpha4 and the fades.
  if (!SameRGB4(color4_, target)) return;
  if (part.Phase == epForward) {
    part.Phase = (r.ColorContinuous && part.Source != efRollOver) ? epReturnRepeat : epHold;
  } else {
    part.Phase = AfterReturn(part.Phase);
  }
}

void TVXControl::StepTextColorPart() {
  TVXEffects& r = RunningEffect;
  TVXEffectPart& part = r.TextColorState;
  if (part.Phase != epForward && !Returning(part.Phase)) return;
  const int32_t step = r.TextColorChangeSpeed == 4 ? 255 : kColorStep;
  const uint32_t target = part.Phase == epForward ? r.TextColor : SavedFontColor;
  Font.SetColor(StepColor(Font.Color(), target, step));
  if (!SameRGB(Font.Color(), target)) return;
  if (part.Phase == epForward) {
    part.Phase = (r.TextColorContinuous && part.Source != efRollOver) ? epReturnRepeat : epHold;
  } else {
    part.Phase = AfterReturn(part.Phase);
  }
}

void TVXControl::StepAlphaPart() {
  TVXEffects& r = RunningEffect;
  TVXEffectPart& part = r.AlphaState;
  if (part.Phase == epForward) {
    const int32_t target = r.AlphaBlendValue;
    // The kept direction decides the way; the step never passes the target.
    const int32_t next = r.AlphaDown ? std::max(alpha_ - kAlphaStep, target)
                                     : std::min(alpha_ + kAlphaStep, target);
    SetAlpha(next);
    if (alpha_ == target) {
      part.Phase = (r.AlphaContinuous && part.Source != efRollOver) ? epReturnRepeat : epHold;
    }
  } else if (Returning(part.Phase)) {
    SetAlpha(StepToward(alpha_, ClampByte(SavedAlpha), kAlphaStep));
    if (alpha_ == ClampByte(SavedAlpha)) part.Phase = AfterReturn(part.Phase);
  }
}

void TVXControl::StepGrowPart() {
  TVXEffects& r = RunningEffect;
  TVXEffectPart& part = r.GrowState;
  if (part.Phase != epForward && !Returning(part.Phase)) return;
  const bool forward = part.Phase == epForward;
  // A return that starts with nothing grown (stopped right after a swing came back) shrinks
  // nothing, so the control always ends at exactly its own size.
  if (forward || r.GrowSteps > 0) {
    const int32_t sign = forward ? 1 : -1;
    r.GrowSteps += sign;
    SetLeft(left_ - sign);
    SetTop(top_ - sign);
    SetWidth(width_ + 2 * sign);
    SetHeight(height_ + 2 * sign);
  }
  if (forward) {
    if (2 * int64_t{r.GrowSteps} >= r.GrowDistance) {
      part.Phase = part.Source == efRollOver ? epHold : epReturnRepeat;
    }
  } else if (r.GrowSteps <= 0) {
    part.Phase = AfterReturn(part.Phase);
  }
}

// ---------------------------------------------------------------------------------------
// Theme keys of every drawn control

const TVXThemeClass& TVXControl::StaticThemeClass() {
  using K = TVXThemeKind;
  using C = TVXControl;
  static const TVXThemeClass info =
      TVXThemeClassBuilder<C, void>("TVXControl")
          .Key("Top", K::Integer, &C::Top, &C::SetTop)
          .Key("Left", K::Integer, &C::Left, &C::SetLeft)
          .Key("Width", K::Size, &C::Width, &C::SetWidth)
          .Key("Height", K::Size, &C::Height, &C::SetHeight)
          .Key("DisableRenderTheme", K::Boolean, &C::DisableRenderTheme, &C::SetDisableRenderTheme)
          .Key("Autosize", K::Boolean, &C::AutoSize, &C::SetAutoSize)
          .Key("Alpha4", K::Alphas, &C::Alpha4, &C::SetAlpha4)
          // The theme's colours are the ones the effects return to.
          .Key("Color4", K::FourPart, &C::Color4,
               [](C& c, const TColor4& v) {
                 c.SetColor4(v);
                 c.SavedColor4 = c.Color4();
               })
          .KeyOr("Border", K::Boolean, false, nullptr, &C::Border)
          .Key("BorderColor4", K::FourPart, &C::BorderColor4, &C::SetBorderColor4)
          .KeyOr("FadeIn", K::Boolean, false, nullptr, &C::SetFadeIn)
          .KeyOr("FadeOut", K::Boolean, false, nullptr, &C::SetFadeOut)
          .Key("FadeSpeed", K::Byte, &C::FadeSpeed, &C::SetFadeSpeed)
          .KeyOr("FlyIn", K::Direction, 0, &C::FlyIn, &C::SetFlyIn)
          .KeyOr("FlyOut", K::Direction, 0, &C::FlyOut, &C::SetFlyOut)
          .Key("FlySpeed", K::Byte, &C::FlySpeed, &C::SetFlySpeed)
          // They belong to the theme format, but no control draws a cross-hair.
          .Ignored("MouseCross", K::Boolean)
          .Ignored("MouseCrossColor", K::Integer);
  return info;
}

const std::vector<TVXThemeKey>& TVXControl::TextThemeKeys() {
  using K = TVXThemeKind;
  using C = TVXControl;
  static const std::vector<TVXThemeKey> keys =
      TVXThemeKeyList<C>()
          .KeyOr("FontDXName", K::Text, "ArialBlack", nullptr, [](C& c, const std::string& v) { c.Font.SetName(v); })
          .Key("FontSize", K::Integer, [](const C& c) { return c.Font.Size(); },
               [](C& c, int32_t v) { c.Font.SetSize(v); })
          .Key("FontColor", K::Integer, [](const C& c) { return c.Font.Color(); },
               [](C& c, int32_t v) { c.Font.SetColor(static_cast<uint32_t>(v)); })
          .Key("Alignment", K::Small, &C::Alignment, &C::SetAlignment)
          .Key("Layout", K::Small, &C::Layout, &C::SetLayout)
          .Key("TextureScaleMode", K::Small, &C::TextureScaleMode, &C::SetTextureScaleMode);
  return keys;
}

const std::vector<TVXThemeKey>& vx::EffectThemeKeys() {
  using K = TVXThemeKind;
  using E = TVXEffects;
  static const std::vector<TVXThemeKey> keys = [] {
    const std::vector<TVXThemeKeyOf<E>> record =
        TVXThemeKeyList<E>()
            .KeyOr("ColorEnabled", K::Boolean, false, nullptr, &E::ColorEnabled)
            .Key("ColorContinuous", K::Boolean, &E::ColorContinuous, &E::ColorContinuous)
            .Key("Color", K::FourPart, &E::Color, &E::Color)
            .KeyOr("ColorChangeSpeed", K::Byte, 0, &E::ColorChangeSpeed, &E::ColorChangeSpeed)
            .KeyOr("TextColorEnabled", K::Boolean, false, nullptr, &E::TextColorEnabled)
            .KeyOr("TextColorContinuous", K::Boolean, false, nullptr, &E::TextColorContinuous)
            .Key("TextColor", K::Integer, &E::TextColor, &E::TextColor)
            .KeyOr("TextColorChangeSpeed", K::Byte, 0, &E::TextColorChangeSpeed, &E::TextColorChangeSpeed)
            .KeyOr("AlphaEnabled", K::Boolean, false, nullptr, &E::AlphaEnabled)
            .Key("AlphaContinuous", K::Boolean, &E::AlphaContinuous, &E::AlphaContinuous)
            .Key("AlphaBlendValue", K::Byte, &E::AlphaBlendValue, &E::AlphaBlendValue)
            .KeyOr("AlphaChangeSpeed", K::Byte, 0, &E::AlphaChangeSpeed, &E::AlphaChangeSpeed)
            .KeyOr("ScrollEnabled", K::Boolean, false, nullptr, &E::ScrollEnabled)
            // One direction: 1 right, 2 left, 3 down, 4 up (bit n of the set).
            .KeyOr("ScrollOptions", K::Direction, 0, nullptr,
                   [](E& e, int32_t n) { e.ScrollOptions = 1u << static_cast<uint32_t>(n); })
            .Key("ScrollDistance", K::Size, &E::ScrollDistance, &E::ScrollDistance)
            .KeyOr("ScrollSpeed", K::Byte, 0, &E::ScrollSpeed, &E::ScrollSpeed)
            .KeyOr("GrowEnabled", K::Boolean, false, nullptr, &E::GrowEnabled)
            .Key("GrowDistance", K::Size, &E::GrowDistance, &E::GrowDistance);
    // The five records, one after the other, each under its prefix.
    std::vector<TVXThemeKey> all;
    for (size_t i = 0; i < efCount; ++i) {
      for (const TVXThemeKeyOf<E>& key : record) {
        all.push_back({kEffectPrefixes[i] + key.Name, key.Kind, key.Min, key.Max,
                       [i, apply = key.Apply](const TVXStore& s, const std::string& section, const std::string& k,
                                              TVXControl& c) { apply(s, section, k, c.Effects[i]); }});
      }
    }
    return all;
  }();
  return keys;
}
