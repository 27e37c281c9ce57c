// The per-frame callback and the animation list on the headless harness: removal and step
// passes, animations that finish or wait inside their own step, fades frame by frame, and
// timed waits that keep frames coming.
#include "ShellHarness.h"
#include "framework/VXAnim.h"
#include "framework/VXContext.h"
#include "framework/VXWidgets.h"

using shelltest::Harness;

namespace {

// Counts its steps; what a step does is up to the test.
class CountingAnim : public TVXAnim {
public:
  CountingAnim(TVXContext* context, std::string name, std::vector<std::string>* log = nullptr)
      : TVXAnim(context), name_(std::move(name)), log_(log) {
    Blocking = false;
  }
  int Steps = 0;
  int Depth = 0;     // how many of its steps are on the stack right now
  int MaxDepth = 0;  // the most ever
  std::function<void(CountingAnim&)> OnStep;
  void Step() override {
    ++Steps;
    ++Depth;
    MaxDepth = std::max(MaxDepth, Depth);
    if (log_ != nullptr) log_->push_back(name_);
    if (OnStep) OnStep(*this);
    --Depth;
  }

private:
  std::string name_;
  std::vector<std::string>* log_;
};

// Scenes begun and ended on the device must alternate strictly.
void ExpectNoNestedScene(const vxtest::RecordingDevice& device) {
  int open = 0;
  for (const auto& c : device.Calls) {
    if (c.Op == "BeginScene") {
      EXPECT_EQ(open, 0) << "a scene begun inside another";
      ++open;
    } else if (c.Op == "EndScene") {
      --open;
    }
  }
  EXPECT_EQ(open, 0);
}

}  // namespace

TEST(Animations, AnimationStoppedWithoutFinishLeavesTheListAtTheNextFrame) {
  Harness h;
  ASSERT_TRUE(h.Start());
  CountingAnim a(&h.form->Context(), "a");
  a.Run();
  EXPECT_EQ(h.form->AnimCount(), 1);
  EXPECT_TRUE(a.Listed);
  a.Running = false;  // stopped by other code, not finished
  h.form->RenderNow();
  EXPECT_EQ(h.form->AnimCount(), 0);
  EXPECT_FALSE(a.Listed);
  EXPECT_EQ(a.Steps, 0);
}

TEST(Animations, StepInsideTheFramesSceneAfterClearAndBeginScene) {
  Harness h;
  ASSERT_TRUE(h.Start());
  CountingAnim a(&h.form->Context(), "a");
  std::vector<std::string> before;
  a.OnStep = [&](CountingAnim&) {
    for (const auto& c : h.device->Calls)
      if (c.Op == "Clear" || c.Op == "BeginScene" || c.Op == "EndScene") before.push_back(c.Op);
  };
  a.Run();
  h.device->ClearCalls();
  h.form->RenderNow();
  EXPECT_EQ(before, (std::vector<std::string>{"Clear", "BeginScene"}));
  EXPECT_EQ(h.device->CallsOf("EndScene").size(), 1u);
}

TEST(Animations, RunOnARunningAnimationChangesNothing) {
  Harness h;
  ASSERT_TRUE(h.Start());
  CountingAnim a(&h.form->Context(), "a");
  a.Run();
  a.StepNo = 7;
  a.Run();
  EXPECT_EQ(h.form->AnimCount(), 1);
  EXPECT_EQ(a.StepNo, 7);
}

TEST(Animations, OneFinishingInItsStepMakesTheNextSkipExactlyThatFrame) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> order;
  TVXContext* context = &h.form->Context();
  CountingAnim a(context, "a", &order), b(context, "b", &order), c(context, "c", &order);
  a.OnStep = [](CountingAnim& self) { self.Finish(); };
  a.Run();
  b.Run();
  c.Run();
  h.form->RenderNow();
  EXPECT_EQ(order, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(h.form->AnimCount(), 2);
  order.clear();
  h.form->RenderNow();
  EXPECT_EQ(order, (std::vector<std::string>{"b", "c"}));
}

TEST(Animations, OneWaitingInItsStepIsNotReenteredWhileTheOthersKeepStepping) {
  Harness h;
  ASSERT_TRUE(h.Start());
  CountingAnim waiting(&h.form->Context(), "waiting"), other(&h.form->Context(), "other");
  waiting.OnStep = [&h](CountingAnim& self) {
    if (self.Steps == 1) h.form->Wait(30);
  };
  waiting.Run();
  other.Run();
  h.device->ClearCalls();
  h.form->RenderNow();
  EXPECT_EQ(waiting.Steps, 1);
  EXPECT_EQ(waiting.MaxDepth, 1);
  EXPECT_GE(other.Steps, 20);
  // Frames went on being drawn during the wait, each a scene of its own.
  EXPECT_GE(h.Presents(), 20u);
  ExpectNoNestedScene(*h.device);
  // Once out of its step it is stepped again as usual.
  h.form->RenderNow();
  EXPECT_EQ(waiting.Steps, 2);
}

TEST(Animations, AFrameAskedForWhileTheTreeIsDrawnIsDropped) {
  Harness h;
  ASSERT_TRUE(h.Start());
  // A control that asks for a frame while it draws (as a press hook would).
  class Eager : public TVXPanel {
  public:
    using TVXPanel::TVXPanel;
    void Update() override {
      TVXPanel::Update();
      vx::MainWindowIn(Context())->RenderNow();
    }
  };
  auto* eager = new Eager(h.form->MainScene());
  eager->SetParent(h.form->MainScene());
  eager->SetBounds(0, 0, 10, 10);
  h.device->ClearCalls();
  h.form->RenderNow();
  EXPECT_EQ(h.device->CallsOf("BeginScene").size(), 1u);
  ExpectNoNestedScene(*h.device);
}

TEST(Animations, FreeingARunningAnimationTakesItOutOfTheList) {
  Harness h;
  ASSERT_TRUE(h.Start());
  auto* fade = new TAnimFade(&h.form->Context());
  fade->Blocking = false;
  fade->Run();
  h.form->RenderNow();
  EXPECT_EQ(h.form->AnimCount(), 1);
  const int32_t children = h.form->MainScene()->ChildCount();
  delete fade;
  EXPECT_EQ(h.form->AnimCount(), 0);
  EXPECT_EQ(h.form->MainScene()->ChildCount(), children - 1);
  h.form->RenderNow();  // nothing left that could be stepped or drawn
}

// ---------------------------------------------------------------------------------------

TEST(Fades, FadeInAlphaFrameByFrame) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TAnimFade fade(&h.form->Context());
  fade.Blocking = false;
  fade.FadeIn = true;
  fade.Run();
  EXPECT_EQ(fade.Alpha, 255);
  EXPECT_EQ(fade.Panel->Alpha(), 255);
  std::vector<int32_t> alphas;
  for (int frame = 1; frame <= 25; ++frame) {
    h.form->RenderNow();
    alphas.push_back(fade.Panel->Alpha());
    ASSERT_TRUE(fade.Running) << "finished early, at frame " << frame;
  }
  EXPECT_EQ(alphas.front(), 245);
  EXPECT_EQ(alphas.back(), 5);
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_EQ(alphas[i - 1] - alphas[i], 10);
  h.form->RenderNow();  // the 26th
  EXPECT_FALSE(fade.Running);
  EXPECT_TRUE(fade.Finished);
  EXPECT_EQ(h.form->AnimCount(), 0);
  EXPECT_EQ(fade.Panel->Alpha(), 5);  // the panel keeps its last alpha
}

TEST(Fades, FadeOutAlphaFrameByFrame) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TAnimFade fade(&h.form->Context());
  fade.Blocking = false;
  fade.FadeIn = false;
  fade.Run();
  EXPECT_EQ(fade.StepNo, 3);
  h.form->RenderNow();
  EXPECT_EQ(fade.Panel->Alpha(), 10);
  for (int frame = 2; frame <= 25; ++frame) h.form->RenderNow();
  EXPECT_EQ(fade.Panel->Alpha(), 250);
  EXPECT_TRUE(fade.Running);
  h.form->RenderNow();
  EXPECT_FALSE(fade.Running);
  EXPECT_EQ(fade.Panel->Alpha(), 250);
}

TEST(Fades, FadeInWithHoldRunsTwentySixTwoThousandAndTwentySixFrames) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TAnimFade fade(&h.form->Context());
  fade.Blocking = false;
  fade.FadeIn = true;
  fade.HoldThenFadeOut = true;
  fade.Run();
  for (int i = 0; i < 26; ++i) h.form->RenderNow();
  EXPECT_EQ(fade.StepNo, 2);
  EXPECT_EQ(fade.Panel->Alpha(), 0);
  for (int i = 0; i < 1999; ++i) h.form->RenderNow();
  EXPECT_EQ(fade.StepNo, 2);
  h.form->RenderNow();
  EXPECT_EQ(fade.StepNo, 3);
  for (int i = 0; i < 25; ++i) h.form->RenderNow();
  EXPECT_TRUE(fade.Running);
  h.form->RenderNow();
  EXPECT_FALSE(fade.Running);
}

TEST(Fades, APausedFadeSceneHoldsTheFade) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TAnimFade fade(&h.form->Context());
  fade.Blocking = false;
  fade.Run();
  h.form->RenderNow();
  fade.FadeScene->Paused = true;
  for (int i = 0; i < 10; ++i) h.form->RenderNow();
  EXPECT_EQ(fade.Alpha, 245);
  fade.FadeScene->Paused = false;
  h.form->RenderNow();
  EXPECT_EQ(fade.Alpha, 235);
}

TEST(Fades, TwoFadesLieOnTopOfTheRootInTheOrderCreated) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TVXMainScene* root = h.form->MainScene();
  TAnimFade first(&h.form->Context());
  TAnimFade second(&h.form->Context());
  const int32_t n = root->ChildCount();
  ASSERT_GE(n, 2);
  EXPECT_EQ(root->GetChild(n - 2), first.FadeScene);
  EXPECT_EQ(root->GetChild(n - 1), second.FadeScene);
  EXPECT_EQ(first.Panel->Width(), 800);
  EXPECT_EQ(first.Panel->Height(), 600);
  EXPECT_EQ(first.Panel->Name(), "PANEL");
}

TEST(Fades, TheMainWindowsBlockingFadeReturnsWhenDoneAndLeavesNothing) {
  Harness h;
  ASSERT_TRUE(h.Start());
  const int32_t children = h.form->MainScene()->ChildCount();
  const size_t before = h.Presents();
  h.form->FadeIn();
  EXPECT_GE(h.Presents() - before, 26u);
  EXPECT_EQ(h.form->AnimCount(), 0);
  EXPECT_EQ(h.form->MainScene()->ChildCount(), children);
}

// ---------------------------------------------------------------------------------------

TEST(Wait, ZeroReturnsAtOnceAndLongerWaitsKeepFramesComing) {
  Harness h;
  ASSERT_TRUE(h.Start());
  const uint64_t polls = h.platform.events.polls;
  const uint64_t t0 = h.platform.clock.TickCount();
  EXPECT_TRUE(h.form->Wait(0));
  EXPECT_EQ(h.platform.events.polls, polls);
  EXPECT_EQ(h.platform.clock.TickCount(), t0);

  const size_t frames = h.Presents();
  EXPECT_TRUE(h.form->Wait(100));
  EXPECT_GE(h.platform.clock.TickCount() - t0, 100u);
  EXPECT_GE(h.Presents() - frames, 50u);
}

TEST(Wait, EndsEarlyWhenTheProgramCloses) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.platform.events.CloseAt(h.platform.clock.TickCount() + 20);
  EXPECT_FALSE(h.form->Wait(10000));
  EXPECT_LT(h.platform.clock.TickCount(), 1000u + 5000u);
  EXPECT_TRUE(h.form->Closing());
}

// A count renders each step and lets the waiting messages through: one frame a step, so a
// count keeps the display's pace, and the input that came meanwhile is still handled.
TEST(Frames, ACountStepDrawsOneFrameAndHandlesWhatIsWaiting) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.platform.events.Click(123, 45);
  const size_t before = h.Presents();
  for (int step = 0; step < 5; ++step) {
    h.form->RenderNow();
    ASSERT_TRUE(h.form->ProcessPendingMessages());
  }
  EXPECT_EQ(h.Presents(), before + 5);
  EXPECT_EQ(h.form->Engine->CursorX, 123);
  EXPECT_EQ(h.form->Engine->CursorY, 45);
}
