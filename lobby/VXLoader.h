#pragma once
// The loading screen, which covers the display while the lobby or a game screen reads its
// theme and shows each control's name and the share done, and the intro: the casino's logo
// faded in from black, held, and faded out again at start-up.
#include <cstdint>
#include <string>

#include "framework/VXAnim.h"
#include "framework/VXLiveness.h"
#include "framework/VXScene.h"

class TVXButton;
class TVXLabel;
class TVXProgressBar;

class TLoaderScene : public TVXScene {
public:
  // Theme section "LOADER"; the background is the picture "LOGO\loader".
  explicit TLoaderScene(TVXComponent* owner);

  TVXLabel* LblGameName = nullptr;
  TVXLabel* LblProgress = nullptr;
  TVXLabel* LblProgressV = nullptr;
  TVXLabel* LblObjectName = nullptr;
  TVXProgressBar* PbLoad = nullptr;
  TVXButton* BtnOk = nullptr;
};

class TLoader {
public:
  // The scene is owned by the context's root scene (so shutdown frees it whatever happens);
  // BTN_OK is hidden and confirms.
  explicit TLoader(const TVXContext* context);
  // Frees the scene unless something freed it already.
  ~TLoader();
  TLoader(const TLoader&) = delete;
  TLoader& operator=(const TLoader&) = delete;

  TLoaderScene* Scene() const { return scene_.Get(); }
  // Starts set, so finishing does not wait.
  bool Confirmed = true;

  // LBL_GAMENAME shows the title; PB_LOAD counts `count` controls from 0.
  void Begin(const std::string& title, int32_t count);
  // Draws one frame of the loading screen at once, as it stands after Begin. It counts as
  // the last progress frame: a step right after it waits for the frame interval.
  void ShowFrame();
  // One control prepared: its name, the count so far. A frame is drawn only when the
  // percentage shown changes, so a big scene does not draw hundreds of identical frames, and
  // only when a frame interval has passed since the last one ended, so a fast load is not
  // held up by its own progress bar (each frame drawn sooner waits for the display); the last step
  // is always drawn, and so is the first unless ShowFrame drew one since Begin.
  void Step(const std::string& name, int32_t count);
  // The hook for the theme reading of the scene being prepared: the control at list index i
  // is the (i + 1)-th, so the last one shows 100%.
  TVXLoadControlEvent ProgressHook();
  // BTN_OK shows; messages are handled until the flag is set (or the program closes).
  void Finish();
  // The shortest time between two progress frames (one frame at 60 Hz).
  static constexpr uint64_t kFrameIntervalMs = 16;
  // Frames drawn by Step so far.
  int32_t FramesDrawn() const { return framesDrawn_; }

private:
  vx::WeakRef<TLoaderScene> scene_;
  int32_t shownPercent_ = -1;
  int32_t framesDrawn_ = 0;
  bool drawnSinceBegin_ = false;
  uint64_t lastFrameMs_ = 0;
};

class TAnimIntro : public TAnimFade {
public:
  // A fade in over the picture "Logo\casino", a hold, a fade out; a click on the black panel
  // starts the fade out at once. Runs on the context's main window.
  explicit TAnimIntro(TVXContext* context);

  // Jumps to the fade out (nothing when it runs already or the intro is over).
  void SkipToFadeOut();
};
