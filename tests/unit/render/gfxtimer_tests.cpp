// The frame timer on a virtual clock: fixed-step processing at any frame rate, the FPS
// samples, and rendering stopped while the window is inactive.
#include <gtest/gtest.h>

#include "core/Rounding.h"
#include "platform/MessagePump.h"
#include "render/GfxTimer.h"
#include "support/VirtualClock.h"

namespace {

struct Counts {
  int renders = 0;
  int steps = 0;
  double lastDelta = 0;
};

void Hook(TGfxTimer& timer, Counts& c) {
  timer.OnRender = [&c](void*) { ++c.renders; };
  timer.OnProcess = [&c](void*) { ++c.steps; };
  timer.OnRealTime = [&c](void*, double delta) { c.lastDelta = delta; };
}

TEST(GfxTimer, ProcessRunsSpeedStepsASecondAtMostEightAPass) {
  vx::ResetRoundingForTests();
  struct Case {
    uint64_t passUs;
    int stepsPerPass;
  };
  for (const Case c : {Case{16667, 1}, Case{33333, 2}, Case{200000, 8}}) {
    vxtest::VirtualClock clock;
    TGfxTimer timer(nullptr);
    Counts counts;
    Hook(timer, counts);
    timer.MayProcess = true;
    timer.SetMayRender(true);
    timer.MayRealTime = true;
    for (int pass = 0; pass < 10; ++pass) {
      clock.AdvanceUs(c.passUs);
      const int before = counts.steps;
      timer.IdlePass();
      EXPECT_EQ(counts.steps - before, c.stepsPerPass) << c.passUs << " us, pass " << pass;
    }
    EXPECT_EQ(counts.renders, 10);
    EXPECT_EQ(timer.WasClamped(), c.stepsPerPass == 8);
    EXPECT_DOUBLE_EQ(counts.lastDelta, 60.0 / timer.FrameRate());
  }
}

TEST(GfxTimer, SpeedAndTheMillisecondFallback) {
  vxtest::VirtualClock clock;
  clock.SetNoCounter();
  TGfxTimer timer(nullptr);
  Counts counts;
  Hook(timer, counts);
  timer.SetSpeed(0);
  timer.SetSpeed(-5);
  EXPECT_EQ(timer.Speed(), 60);
  timer.SetSpeed(20);
  timer.MayProcess = true;
  for (int i = 0; i < 20; ++i) {  // 20 passes at 50 ms: 20 frames a second, one step each
    clock.AdvanceMs(50);
    timer.IdlePass();
  }
  EXPECT_EQ(timer.FrameRate(), 20);
  EXPECT_EQ(counts.steps, 20);
  EXPECT_EQ(counts.renders, 0);  // rendering was never switched on
  // A pass within the same millisecond has an "infinite" rate and adds almost nothing.
  timer.IdlePass();
  EXPECT_EQ(timer.FrameRate(), INT32_MAX);
  EXPECT_EQ(counts.steps, 20);
}

TEST(GfxTimer, NothingHappensWhileEverySwitchIsOff) {
  vxtest::VirtualClock clock;
  TGfxTimer timer(nullptr);
  Counts counts;
  Hook(timer, counts);
  int idles = 0;
  timer.OnAppIdle = [&](void*) { ++idles; };
  clock.AdvanceMs(20);
  timer.IdlePass();
  EXPECT_EQ(counts.renders + counts.steps + idles, 0);
  EXPECT_EQ(timer.FrameRate(), 0);
}

TEST(GfxTimer, FpsIsSampledOverThirtyOnePassesFirst) {
  vx::ResetRoundingForTests();
  vxtest::VirtualClock clock;
  TGfxTimer timer(nullptr);
  timer.SetMayRender(true);
  for (int pass = 1; pass <= 30; ++pass) {
    clock.AdvanceUs(16667);
    timer.IdlePass();
    EXPECT_EQ(timer.FPS(), 0) << pass;
  }
  clock.AdvanceUs(16667);
  timer.IdlePass();
  EXPECT_EQ(timer.FPS(), 60);  // 31 passes over 516 ms
  EXPECT_EQ(timer.SampleLength(), 60);
  // A slow sample (5 a second) is followed by short ones.
  for (int pass = 0; pass < 61; ++pass) {
    clock.AdvanceMs(200);
    timer.IdlePass();
  }
  EXPECT_EQ(timer.FPS(), 5);
  EXPECT_EQ(timer.SampleLength(), 15);
}

TEST(GfxTimer, DeactivationStopsRenderingUntilActivation) {
  vxtest::VirtualClock clock;
  vx::MessagePump pump;
  {
    TGfxTimer timer(&pump);
    Counts counts;
    Hook(timer, counts);
    timer.SetMayRender(true);
    clock.AdvanceMs(16);
    pump.PumpOne();
    EXPECT_EQ(counts.renders, 1);

    pump.OnDeactivate();
    EXPECT_FALSE(timer.MayRender());
    timer.SetMayRender(true);  // ignored while away
    EXPECT_FALSE(timer.MayRender());
    clock.AdvanceMs(16);
    timer.IdlePass();
    EXPECT_EQ(counts.renders, 1);

    pump.OnActivate();
    EXPECT_TRUE(timer.MayRender());
    clock.AdvanceMs(16);
    pump.PumpOne();
    EXPECT_EQ(counts.renders, 2);

    // Without StopOnDeactivate, switching away changes nothing.
    timer.StopOnDeactivate = false;
    pump.OnDeactivate();
    EXPECT_TRUE(timer.MayRender());
  }
  // The timer gives the pump's events back when it goes.
  EXPECT_FALSE(pump.OnIdle);
  EXPECT_FALSE(pump.OnActivate);
}

}  // namespace
