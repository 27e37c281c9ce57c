// The drawn control: effect state machine, fade and fly transitions, frame animation and the
// geometry of what it draws, checked against the recording device's log.
#include <gtest/gtest.h>

#include <random>

#include "FrameworkFakes.h"
#include "core/Rounding.h"
#include "framework/VXStepping.h"

using FakeHost = vxtest::ContextHost;
using vxtest::FakeTextureSource;

namespace {

struct ControlFixture {
  ControlFixture() : list(&source) {
    host.TextureList = &list;
    c = std::make_unique<TVXControl>(nullptr);
    host.Hold(*c);
    c->SetBounds(100, 100, 300, 300);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) c->Process();
  }
  FakeHost host;
  FakeTextureSource source;
  TVXTextureList list;
  std::unique_ptr<TVXControl> c;
};

uint32_t Byte(uint32_t colour, int i) { return (colour >> (8 * i)) & 0xFFu; }

}  // namespace

// ---- Stepping routines ------------------------------------------------------------------

TEST(Stepping, StepsStopAtTheirTargets) {
  EXPECT_EQ(StepByte(250, 255, 10), 255);
  EXPECT_EQ(StepByte(5, 0, 10), 0);
  EXPECT_EQ(StepByte(100, 300, 500), 255);
  EXPECT_EQ(StepColor(0xFF102030u, 0x00FFFFFFu, 0x20), 0x00304050u);  // alpha byte becomes 0
  EXPECT_EQ(StepClamp(2147483647, 10, 100, 0), 100);
  EXPECT_EQ(StepClamp(-5, -2147483647 - 1, 100, -10), -10);
  const int32_t values[] = {3, 7, 3, 9};
  EXPECT_EQ(IndexOfInt(values, 3, 3), 2);  // the last match
  EXPECT_EQ(IndexOfInt(values, 1, 9), -1);

  FakeHost host;
  TVXCustomControl c(nullptr);
  host.Hold(c);
  c.SetBounds(0, 0, 10, 10);
  int frames = 0;
  while (!MoveControlToward(&c, 25, -13, 10)) ++frames;
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(c.Top(), 25);
  EXPECT_EQ(c.Left(), -13);
}

// ---- Effects ----------------------------------------------------------------------------

TEST(Effects, RollOverColourMovesHoldsAndStepsBackFromWhereItStands) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetColor(0x00000000u);
  TVXEffects& hover = c.Effects[efRollOver];
  hover.ColorEnabled = true;
  hover.Color = ::Color4(0x00FFFFFFu);
  c.MouseEnter();
  f.Frames(5);
  EXPECT_EQ(c.Color4()[0], 0xFF323232u);
  c.MouseLeave();  // half-way: back from 50, not from the target
  f.Frames(1);
  EXPECT_EQ(c.Color4()[0], 0xFF282828u);
  f.Frames(10);
  EXPECT_EQ(c.Color4()[0], 0xFF000000u);
  EXPECT_EQ(c.RunningEffect.ColorState.Phase, epOff);

  c.MouseEnter();
  f.Frames(40);
  EXPECT_EQ(c.Color4()[0], 0xFFFFFFFFu);
  EXPECT_EQ(c.RunningEffect.ColorState.Phase, epHold);  // the roll-over holds
}

TEST(Effects, ContinuousUserEffectSwingsUntilStopped) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetAlpha(200);
  TVXEffects& e = c.Effects[efCustom1];
  e.AlphaEnabled = true;
  e.AlphaContinuous = true;
  e.AlphaBlendValue = 155;
  e.AlphaChangeSpeed = 4;  // the alpha part always steps by 10
  c.StartEffect(1);
  std::vector<int32_t> seen;
  for (int i = 0; i < 12; ++i) {
    f.Frames(1);
    seen.push_back(c.Alpha());
  }
  // Down to the target exactly (no overshoot past 155), back up to 200, down again.
  EXPECT_EQ(seen, (std::vector<int32_t>{190, 180, 170, 160, 155, 165, 175, 185, 195, 200, 190, 180}));
  c.StopEffect(1, true);
  EXPECT_EQ(c.Alpha(), 200);
  EXPECT_EQ(c.RunningEffect.AlphaState.Phase, epOff);
  c.StartEffect(4);  // no such user effect
  c.StopEffect(0, true);
  EXPECT_EQ(c.RunningEffect.AlphaState.Phase, epOff);
}

TEST(Effects, ColourEffectEndsAlthoughAlphaChangesMeanwhile) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetColor(0x00000000u);
  TVXEffects& e = c.Effects[efRollOver];
  e.ColorEnabled = true;
  e.Color = ::Color4(0x0000000Au);
  e.AlphaEnabled = true;
  e.AlphaBlendValue = 100;
  c.ApplyEffect(efRollOver);
  f.Frames(30);
  EXPECT_EQ(c.RunningEffect.ColorState.Phase, epHold);
  EXPECT_EQ(c.RunningEffect.AlphaState.Phase, epHold);
  EXPECT_EQ(c.Color4()[2], 0x6400000Au);
}

TEST(Effects, ApplyThenRemoveReturnsExactlyAndNeverPassesTargets) {
  std::mt19937 rng(77);
  auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int trial = 0; trial < 300; ++trial) {
    ControlFixture f;
    TVXControl& c = *f.c;
    c.SetBounds(any(-50, 500), any(-50, 500), any(0, 200), any(0, 200));
    TColor4 start;
    for (auto& v : start) v = static_cast<uint32_t>(any(0, 0xFFFFFF));
    c.SetColor4(start);
    c.SetAlpha(any(0, 255));
    c.Font.SetColor(static_cast<uint32_t>(any(0, 0xFFFFFF)));
    const int32_t index = any(0, 4);
    TVXEffects& e = c.Effects[static_cast<size_t>(index)];
    e.ColorEnabled = any(0, 1);
    e.ColorContinuous = any(0, 1);
    for (auto& v : e.Color) v = static_cast<uint32_t>(any(0, 0x7FFFFFFF));
    e.ColorChangeSpeed = any(0, 5);
    e.TextColorEnabled = any(0, 1);
    e.TextColor = static_cast<uint32_t>(any(0, 0x7FFFFFFF));
    e.TextColorChangeSpeed = any(0, 5);
    e.AlphaEnabled = any(0, 1);
    e.AlphaContinuous = any(0, 1);
    e.AlphaBlendValue = any(-20, 300);
    e.ScrollEnabled = any(0, 1);
    e.ScrollOptions = 1u << any(1, 4);
    e.ScrollDistance = any(0, 40);
    e.ScrollSpeed = any(0, 6);
    e.GrowEnabled = any(0, 1);
    e.GrowDistance = any(0, 30);

    const TColor4 colours = c.Color4();
    const int32_t alpha = c.Alpha();
    const uint32_t font = c.Font.Color();
    const int32_t top = c.Top(), left = c.Left(), width = c.Width(), height = c.Height();
    c.ApplyEffect(index);
    const TColor4 target = c.RunningEffect.Color;
    for (int frame = 0; frame < any(0, 40); ++frame) {
      f.Frames(1);
      if (c.RunningEffect.ColorState.Phase == epForward) {
        for (size_t k = 0; k < 4; ++k) {
          for (int b = 0; b < 3; ++b) {
            const uint32_t lo = std::min(Byte(colours[k], b), Byte(target[k], b));
            const uint32_t hi = std::max(Byte(colours[k], b), Byte(target[k], b));
            ASSERT_GE(Byte(c.Color4()[k], b), lo);
            ASSERT_LE(Byte(c.Color4()[k], b), hi);
          }
        }
      }
      const int32_t a = c.RunningEffect.AlphaBlendValue;
      if (e.AlphaEnabled) {
        ASSERT_GE(c.Alpha(), std::min(alpha, a));
        ASSERT_LE(c.Alpha(), std::max(alpha, a));
      }
      // Whole scroll steps: the last one may pass the distance by less than a step.
      ASSERT_LE(std::abs(c.Top() - top) + std::abs(c.Left() - left),
                e.ScrollDistance + vx::ScrollStep(e.ScrollSpeed) - 1 + (e.GrowEnabled ? e.GrowDistance + 2 : 0));
    }
    // Colours come back at once; positions and sizes step back.
    c.RemoveEffect(index, true);
    EXPECT_EQ(c.Color4(), colours);
    EXPECT_EQ(c.Alpha(), alpha);
    EXPECT_EQ(c.Font.Color() & 0xFFFFFFu, font & 0xFFFFFFu);
    f.Frames(400);
    EXPECT_EQ(c.Top(), top);
    EXPECT_EQ(c.Left(), left);
    EXPECT_EQ(c.Width(), width);
    EXPECT_EQ(c.Height(), height);
    EXPECT_EQ(c.RunningEffect.ScrollState.Phase, epOff);
    EXPECT_EQ(c.RunningEffect.GrowState.Phase, epOff);
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "trial " << trial;
      return;
    }
  }
}

TEST(Effects, ScrollAndGrowStepBackWithoutRestore) {
  ControlFixture f;
  TVXControl& c = *f.c;
  TVXEffects& e = c.Effects[efRollOver];
  e.ScrollEnabled = true;
  e.ScrollOptions = sdDown;
  e.ScrollDistance = 7;
  e.ScrollSpeed = 2;  // 3 pixels a frame
  c.ApplyEffect(efRollOver);
  std::vector<int32_t> tops;
  for (int i = 0; i < 5; ++i) {
    f.Frames(1);
    tops.push_back(c.Top());
  }
  // Whole steps while short of the distance: the third passes it.
  EXPECT_EQ(tops, (std::vector<int32_t>{103, 106, 109, 109, 109}));
  EXPECT_EQ(c.RunningEffect.ScrollState.Phase, epHold);
  c.RemoveEffect(efRollOver, true);  // scroll always steps back
  EXPECT_EQ(c.Top(), 109);
  f.Frames(3);
  EXPECT_EQ(c.Top(), 100);
  f.Frames(1);  // the frame that finds nothing left to move ends the part
  EXPECT_EQ(c.RunningEffect.ScrollState.Phase, epOff);
}

// ---- Fades and flies --------------------------------------------------------------------

TEST(Transitions, FadeInAtSpeedFourTakesEightFrames) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetVisible(false);
  c.SetFadeIn(true);
  c.SetFadeSpeed(4);
  c.SetVisible(true);
  EXPECT_FALSE(c.Visible());
  EXPECT_TRUE(c.InTransition);
  std::vector<uint32_t> alphas;
  for (int i = 0; i < 8; ++i) {
    f.host.Recorder.ClearCalls();
    f.Frames(1);
    alphas.push_back(f.host.Recorder.CallsOf("FillQuad").at(0).Colours[0] >> 24);
  }
  EXPECT_EQ(alphas, (std::vector<uint32_t>{35, 70, 105, 140, 175, 210, 245, 255}));
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.InTransition);
  EXPECT_FALSE(c.FadingIn());
}

TEST(Transitions, FadeAlphasStayAtEachCornersOwnAlpha) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetAlpha4(TAlpha4{255, 40, 255, 0});
  c.SetVisible(false);
  c.SetFadeIn(true);
  c.SetVisible(true);
  for (int i = 0; i < 26; ++i) {
    f.Frames(1);
    EXPECT_LE(static_cast<int32_t>(c.Color4()[1] >> 24), 40);
    EXPECT_EQ(c.Color4()[3] >> 24, 0u);
  }
  EXPECT_TRUE(c.Visible());
  EXPECT_EQ(c.FadeAlpha4(), c.Alpha4());
}

TEST(Transitions, FadeOutEndsWithoutDrawingAndStopsCleanly) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetFadeOut(true);
  c.SetVisible(false);
  EXPECT_TRUE(c.InTransition);
  int drawn = 0;
  int frames = 0;
  while (c.InTransition && frames < 100) {
    f.host.Recorder.ClearCalls();
    f.Frames(1);
    ++frames;
    drawn += static_cast<int>(f.host.Recorder.CallsOf("FillQuad").size());
  }
  EXPECT_EQ(frames, 26);  // 255 in steps of 10
  EXPECT_EQ(drawn, 25);   // the last frame draws nothing
  EXPECT_TRUE(c.UpdateHalted());
  f.host.Recorder.ClearCalls();
  f.Frames(1);
  EXPECT_TRUE(f.host.Recorder.Calls.empty());

  // Showing during a fade-out stops it for good.
  c.SetVisible(true);
  c.SetVisible(false);
  f.Frames(3);
  c.SetVisible(true);
  EXPECT_FALSE(c.FadingOut());
  EXPECT_FALSE(c.InTransition);
  EXPECT_TRUE(c.Visible());
  EXPECT_EQ(c.Color4()[0] >> 24, 255u);
}

TEST(Transitions, HidingDuringFadeInIsImmediate) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetFadeIn(true);
  c.SetFadeOut(true);
  c.SetVisible(false);
  f.Frames(30);
  c.SetVisible(true);
  f.Frames(2);
  c.SetVisible(false);  // Visible is still false: no fade-out starts
  EXPECT_FALSE(c.FadingIn());
  EXPECT_FALSE(c.FadingOut());
  EXPECT_FALSE(c.InTransition);
  f.host.Recorder.ClearCalls();
  f.Frames(1);
  EXPECT_TRUE(f.host.Recorder.Calls.empty());
}

TEST(Transitions, NonDrawingControlsStartNoTransition) {
  ControlFixture f;
  TVXControl& c = *f.c;
  auto* child = new TVXControl(&c);
  child->SetParent(&c);
  c.NoRender = true;
  c.SetFadeOut(true);
  c.SetFlyIn(1);
  c.SetVisible(false);
  EXPECT_FALSE(c.InTransition);
  c.SetVisible(true);
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.InTransition);
  EXPECT_EQ(c.Left(), 100);
  f.host.Recorder.ClearCalls();
  f.Frames(1);
  EXPECT_EQ(f.host.Recorder.CallsOf("FillQuad").size(), 1u);  // the child is processed
}

TEST(Transitions, FlyInFromTheLeftArrivesOnTime) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetBounds(95, 40, 60, 20);
  auto* child = new TVXControl(&c);
  child->SetParent(&c);
  child->SetBounds(100, 45, 5, 5);
  c.SetVisible(false);
  c.SetFlyIn(1);
  c.SetVisible(true);
  EXPECT_EQ(c.Left(), -60);
  EXPECT_EQ(child->Left(), -55);  // the subtree travels along
  int frames = 0;
  while (c.FlyingIn() && frames < 100) {
    f.Frames(1);
    ++frames;
  }
  EXPECT_EQ(frames, (95 + 60 + 9) / 10);  // ceil((home + Width) / 10)
  EXPECT_EQ(c.Left(), 95);
  EXPECT_EQ(child->Left(), 100);
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.InTransition);
}

TEST(Transitions, FlyOutLeavesTheSurfaceThenReturnsHomeHidden) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetBounds(700, 10, 50, 50);
  c.SetFlyOut(1);
  c.SetVisible(false);
  int frames = 0;
  int drawn = 0;
  while (c.InTransition && frames < 100) {
    f.host.Recorder.ClearCalls();
    f.Frames(1);
    ++frames;
    drawn += static_cast<int>(f.host.Recorder.CallsOf("FillQuad").size());
  }
  EXPECT_EQ(frames, 10);  // 710 ... 790 still on the surface, 800 is off
  EXPECT_EQ(drawn, 9);
  EXPECT_EQ(c.Left(), 700);
  EXPECT_FALSE(c.FlyingOut());
  EXPECT_FALSE(c.Visible());

  // Showing again during a fly-out puts the control home at once.
  c.SetVisible(true);
  c.SetVisible(false);
  f.Frames(3);
  c.SetVisible(true);
  EXPECT_EQ(c.Left(), 700);
  EXPECT_FALSE(c.FlyingOut());
  EXPECT_TRUE(c.Visible());
}

// ---- Drawing ----------------------------------------------------------------------------

TEST(Drawing, ColourRectangleAndBorder) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetBounds(10, 20, 30, 40);
  c.SetColor4(TColor4{0x11, 0x22, 0x33, 0x44});
  c.SetAlpha(128);
  c.Border = true;
  c.SetBorderColor4(::Color4(0x000000FFu));
  f.Frames(1);
  const auto& calls = f.host.Recorder.Calls;
  ASSERT_EQ(calls.size(), 2u) << f.host.Recorder.Dump();
  EXPECT_EQ(calls[0].Op, "FillQuad");
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{10, 20, 40, 60}));
  EXPECT_EQ(calls[0].Effect, 4);
  EXPECT_EQ(calls[0].Colours, (TColor4{0x80000011u, 0x80000022u, 0x80000033u, 0x80000044u}));
  EXPECT_EQ(calls[1].Op, "WireQuad");
  EXPECT_EQ(calls[1].Effect, 0);
  EXPECT_EQ(calls[1].Colours[0], 0xFF0000FFu);
}

namespace {
// Draws the control once with a picture of the given size and returns the TextureMap calls.
std::vector<vxtest::DeviceCall> DrawWith(ControlFixture& f, int32_t w, int32_t h) {
  const std::string name = "IMG_" + std::to_string(w) + "X" + std::to_string(h);
  f.source.Pictures["SCENE\\" + name + ".bmp"] = {w, h};
  f.c->TextureInfo.SetFolder("SCENE");
  f.c->TextureInfo.SetNameAndNotify(name);
  f.host.Recorder.ClearCalls();
  f.c->Update();
  return f.host.Recorder.CallsOf("TextureMap");
}
}  // namespace

TEST(Drawing, ScaleModesAlignmentAndLayout) {
  ControlFixture f;
  TVXControl& c = *f.c;
  // Stretched (the default).
  auto calls = DrawWith(f, 100, 50);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{100, 100, 400, 400}));
  EXPECT_EQ(calls[0].Effect, 5);
  EXPECT_EQ(calls[0].Pattern, 0);
  EXPECT_EQ(calls[0].Colours, c.Color4());

  // Fitted, centred: 100x50 in 300x300 is drawn 300x150 at (Left, Top + 75).
  c.SetTextureScaleMode(tsFit);
  c.SetAlignment(taCenter);
  c.SetLayout(tlCenter);
  calls = DrawWith(f, 100, 50);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{100, 175, 400, 325}));

  // Natural size, right and bottom.
  c.SetTextureScaleMode(tsNatural);
  c.SetAlignment(taRight);
  c.SetLayout(tlBottom);
  calls = DrawWith(f, 100, 50);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{300, 350, 400, 400}));

  // Odd remainders divide toward zero.
  c.SetAlignment(taCenter);
  c.SetLayout(tlTop);
  c.SetWidth(105);
  calls = DrawWith(f, 100, 50);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{102, 100, 202, 150}));

  // The fitted size is the exact ceiling: 3x15 in 25 wide is 125 high, not 126.
  c.SetTextureScaleMode(tsFit);
  c.SetLayout(tlTop);
  c.SetBounds(0, 0, 25, 1000);
  calls = DrawWith(f, 3, 15);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{0, 0, 25, 125}));
  c.SetBounds(0, 0, 1000, 25);
  calls = DrawWith(f, 15, 3);
  EXPECT_EQ(calls[0].Bounds().Width(), 125);

  // A scrolling image offsets where the texture goes, not the control.
  c.SetTextureScaleMode(tsStretch);
  c.SetBounds(10, 10, 20, 20);
  c.DrawTop -= 5;
  calls = DrawWith(f, 20, 20);
  EXPECT_EQ(calls[0].Bounds(), (TGfxRect{10, 5, 30, 25}));
}

TEST(Drawing, LargePicturesDrawAsTilesInRowOrderIgnoringTheScaleMode) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.SetTextureScaleMode(tsFit);
  c.SetAlignment(taCenter);
  auto calls = DrawWith(f, 600, 300);
  EXPECT_EQ(c.TilesX, 3);
  EXPECT_EQ(c.TilesY, 2);
  ASSERT_EQ(calls.size(), 6u);
  for (int n = 0; n < 6; ++n) {
    const int32_t x = 100 + 256 * (n % 3);
    const int32_t y = 100 + 256 * (n / 3);
    EXPECT_EQ(calls[static_cast<size_t>(n)].Pattern, n);
    EXPECT_EQ(calls[static_cast<size_t>(n)].Bounds(), (TGfxRect{x, y, x + 256, y + 256}));
  }

  // AutoSize takes the picture's (padded) size.
  c.SetAutoSize(true);
  DrawWith(f, 257, 10);
  EXPECT_EQ(c.Width(), 512);
  EXPECT_EQ(c.Height(), 256);
  EXPECT_EQ(c.TilesX, 2);
  EXPECT_EQ(c.TilesY, 1);
}

TEST(Drawing, TheFirstTextureSwitchesRoundingUpward) {
  vx::ResetRoundingForTests();
  ControlFixture f;
  EXPECT_EQ(vx::Round(2.5), 2);
  f.c->TextureInfo.SetNameAndNotify("MISSING");  // a failed load switches nothing
  EXPECT_FALSE(vx::RoundingIsUpward());
  DrawWith(f, 10, 10);
  EXPECT_TRUE(vx::RoundingIsUpward());
  EXPECT_EQ(vx::Round(2.1), 3);
  EXPECT_EQ(f.c->TilesX, 1);
}

TEST(Drawing, MissingTextureDrawsTheColourRectangle) {
  ControlFixture f;
  TVXControl& c = *f.c;
  c.TextureInfo.SetFolder("X");
  EXPECT_EQ(c.LoadTexture(), texNotFound);
  EXPECT_FALSE(c.TextureLoaded());
  f.Frames(1);
  EXPECT_EQ(f.host.Recorder.CallsOf("FillQuad").size(), 1u);
  EXPECT_TRUE(f.host.Recorder.CallsOf("TextureMap").empty());
}

TEST(FrameAnimation, RunsThroughTheFramesAndStartsAgainAtTheFirst) {
  ControlFixture f;
  TVXControl& c = *f.c;
  for (const char* key : {"A\\COIN.bmp", "A\\COIN_2.bmp", "A\\COIN_3.bmp"}) f.source.Pictures[key] = {20, 20};
  c.TextureInfo.SetFolder("A");
  c.TextureInfo.SetNameAndNotify("COIN");
  c.SetAnimated(true);
  c.AnimationPeriod = 2;
  std::vector<int32_t> frames;
  for (int i = 0; i < 10; ++i) {
    f.Frames(1);
    frames.push_back(c.TextureInfo.Frame());
    ASSERT_TRUE(c.TextureLoaded());
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 2, 3, 3, 1, 1, 2, 2, 3}));
  EXPECT_EQ(f.host.Recorder.CallsOf("FillQuad").size(), 0u);  // never the colour rectangle
}
