#include "framework/VXAnim.h"

#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXScene.h"
#include "framework/VXWidgets.h"

TVXAnim::~TVXAnim() {
  if (Running || Listed) TVXAnim::Finish();
}

void TVXAnim::Start() {
  Finished = false;
  FrameCounter = 0;
  StepNo = 1;
}

TVXMainWindow* TVXAnim::MainWindow() const {
  return vx::MainWindowIn(context_);
}

void TVXAnim::Run() {
  TVXMainWindow* main = MainWindow();
  if (!Running) {
    Start();
    Running = true;
    if (main != nullptr) main->AddAnim(this);
  }
  if (main == nullptr || !Blocking) return;
  // The animation may be freed by what the loop runs; only its token is read then.
  vx::WeakRef<TVXAnim> self(this);
  // Ends early when the program is closing: the caller unwinds to the outermost loop.
  main->ProcessUntil([&] { return !self || !Running || !Blocking; });
}

void TVXAnim::Finish() {
  Running = false;
  Finished = true;
  if (Listed) {
    if (TVXMainWindow* main = MainWindow()) main->RemoveAnim(this);
  }
  // Without a main window nothing else can clear the flag.
  Listed = false;
}

void TVXAnim::NextStepAfter(int32_t frames) {
  ++FrameCounter;
  if (FrameCounter >= frames) {
    FrameCounter = 0;
    ++StepNo;
  }
}

void TVXAnim::StepOnce() {
  if (inStep_) return;
  // What the step frees (its own game among them) goes after it.
  vx::DispatchScope dispatch;
  inStep_ = true;
  try {
    Step();
  } catch (...) {
    inStep_ = false;
    throw;
  }
  inStep_ = false;
}

// ---------------------------------------------------------------------------------------
// Fades

TAnimFade::TAnimFade(TVXContext* context) : TVXAnim(context) {
  TVXMainWindow* main = vx::MainWindowIn(context);
  FadeScene = new TVXScene(nullptr, context);
  if (main != nullptr && main->MainScene() != nullptr) FadeScene->BringToFront();
  FadeScene->SetVisible(true);
  FadeScene->Background->NoRender = true;

  Panel = new TVXPanel(FadeScene);
  Panel->SetName("PANEL");
  Panel->SetBounds(0, 0, Panel->Host().SurfaceWidth(), Panel->Host().SurfaceHeight());
  Panel->SetColor(0);
  Panel->SetAlpha(255);
  FadeScene->AddControl(Panel);
}

TAnimFade::~TAnimFade() {
  // The fade leaves the list while its scene still exists.
  if (Running || Listed) TVXAnim::Finish();
  delete FadeScene;  // frees the panel with it
  FadeScene = nullptr;
  Panel = nullptr;
}

void TAnimFade::Start() {
  if (FadeIn) {
    Alpha = 255;
    StepNo = 1;
  } else {
    Alpha = 0;
    StepNo = 3;
  }
}

void TAnimFade::Step() {
  if (FadeScene != nullptr && FadeScene->Paused) return;
  switch (StepNo) {
    case 1:
      Alpha -= AlphaStep;
      if (Alpha < 0) {
        Alpha = 0;
        if (!HoldThenFadeOut) {
          Finish();  // the panel keeps its last alpha
          return;
        }
        StepNo = 2;
      }
      break;
    case 2:
      NextStepAfter(HoldFrames);
      break;
    case 3:
      Alpha += AlphaStep;
      if (Alpha > 255) {
        Finish();
        return;
      }
      break;
    default:
      break;
  }
  if (Panel != nullptr) Panel->SetAlpha(Alpha);
}
