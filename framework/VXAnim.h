#pragma once
// Animations: objects stepped once per frame by the main window while they are in its
// running list, counted in frames and steps. A blocking animation's Run returns only when it
// has finished (or the program is closing), handling window messages meanwhile; a
// non-blocking one runs alongside its caller. TAnimFade is the full-screen fade to or from
// black.
#include <cstdint>

#include "framework/VXLiveness.h"

class TVXContext;
class TVXMainWindow;
class TVXPanel;
class TVXScene;

class TVXAnim : public vx::Lifetime {
public:
  // The context whose main window runs the animation.
  explicit TVXAnim(TVXContext* context = nullptr) : context_(context) {}
  // A running animation leaves the main window's list before it goes.
  virtual ~TVXAnim();
  TVXAnim(const TVXAnim&) = delete;
  TVXAnim& operator=(const TVXAnim&) = delete;

  bool Running = false;
  bool Blocking = true;
  // In the main window's list; set and cleared only by AddAnim / RemoveAnim.
  bool Listed = false;
  int32_t FrameCounter = 0;
  int32_t StepNo = 0;
  bool Finished = false;

  // Finished := false, FrameCounter := 0, StepNo := 1.
  virtual void Start();
  // Starts the animation when it is not running and adds it to the main window's list; a
  // blocking one then handles messages until it stops running or the program closes.
  virtual void Run();
  // The per-frame work; nothing here.
  virtual void Step() {}
  // Not running, finished, out of the list.
  virtual void Finish();

  // Counts a frame of the current step; after `frames` frames (at least one) the next step
  // begins.
  void NextStepAfter(int32_t frames);

  // What the main window calls once per frame: Step, unless this animation's Step is
  // already running further up the stack (a nested frame never re-enters it).
  void StepOnce();
  bool InStep() const { return inStep_; }

protected:
  TVXContext* AnimContext() const { return context_; }

private:
  TVXMainWindow* MainWindow() const;
  TVXContext* context_;
  bool inStep_ = false;
};

class TAnimFade : public TVXAnim {
public:
  // Builds the fade scene on top of the root scene with a black panel over the whole surface.
  explicit TAnimFade(TVXContext* context = nullptr);
  // Finishes a running fade, then frees the fade scene and its panel.
  ~TAnimFade() override;

  TVXPanel* Panel = nullptr;
  int32_t Alpha = 255;
  TVXScene* FadeScene = nullptr;
  // true: from black to the picture; false: from the picture to black.
  bool FadeIn = true;
  // After a fade-in reaches 0: hold 2000 frames, then fade out.
  bool HoldThenFadeOut = false;

  static constexpr int32_t AlphaStep = 10;
  static constexpr int32_t HoldFrames = 2000;

  void Start() override;
  void Step() override;
};
