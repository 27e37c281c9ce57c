// Animation bookkeeping that needs no main window: step counting, the guard against a step
// being entered twice, and running without a main window to list the animation in.
#include <gtest/gtest.h>

#include "framework/VXAnim.h"
#include "framework/VXApplication.h"

namespace {

class Probe : public TVXAnim {
public:
  int Steps = 0;
  bool Nest = false;
  void Step() override {
    ++Steps;
    if (Nest) StepOnce();  // a nested frame reaching the same animation
  }
};

}  // namespace

TEST(AnimSteps, NextStepAfterCountsFramesAndNeverMissesTheTurn) {
  Probe a;
  a.Start();
  EXPECT_EQ(a.StepNo, 1);
  EXPECT_FALSE(a.Finished);
  for (int i = 0; i < 2; ++i) a.NextStepAfter(3);
  EXPECT_EQ(a.StepNo, 1);
  a.NextStepAfter(3);
  EXPECT_EQ(a.StepNo, 2);
  EXPECT_EQ(a.FrameCounter, 0);
  // A counter already past the limit (the limit was lowered, or counting began elsewhere)
  // still moves on instead of counting forever.
  a.FrameCounter = 10;
  a.NextStepAfter(3);
  EXPECT_EQ(a.StepNo, 3);
  a.NextStepAfter(0);
  EXPECT_EQ(a.StepNo, 4);
}

TEST(AnimSteps, AStepAlreadyOnTheStackIsNotEnteredAgain) {
  Probe a;
  a.Nest = true;
  a.StepOnce();
  EXPECT_EQ(a.Steps, 1);
  EXPECT_FALSE(a.InStep());
  a.StepOnce();
  EXPECT_EQ(a.Steps, 2);
}

TEST(AnimSteps, AStepThatThrowsCanBeSteppedAgain) {
  class Thrower : public TVXAnim {
  public:
    int Steps = 0;
    void Step() override {
      ++Steps;
      throw std::runtime_error("step failed");
    }
  } a;
  EXPECT_THROW(a.StepOnce(), std::runtime_error);
  EXPECT_FALSE(a.InStep());
  EXPECT_THROW(a.StepOnce(), std::runtime_error);
  EXPECT_EQ(a.Steps, 2);
}

TEST(AnimSteps, WithoutAMainWindowRunReturnsAndFinishClearsTheFlags) {
  Probe a;
  a.Run();  // blocking, but nothing could ever step it: it must not hang
  EXPECT_TRUE(a.Running);
  EXPECT_EQ(a.StepNo, 1);
  a.Finish();
  EXPECT_FALSE(a.Running);
  EXPECT_TRUE(a.Finished);
  EXPECT_FALSE(a.Listed);
}
