// The loading screen's progress and finish, and the intro's fade with its click.
#include <gtest/gtest.h>

#include "framework/VXListBox.h"
#include "framework/VXProgressBar.h"
#include "lobby/VXLoader.h"
#include "lobby_rig.h"
#include "support/VirtualClock.h"

using lobbytest::LobbyRig;

namespace {

// A scene of `n` labels to prepare.
TVXScene* SceneOf(TVXContext* context, int n) {
  auto* scene = new TVXScene(nullptr, context);
  scene->SetSceneName("NOSUCHSCENE");
  for (int i = 1; i < n; ++i) {  // the background is the first control
    auto* label = new TVXLabel(scene);
    label->SetName("LBL_" + std::to_string(i));
    scene->AddControl(label);
  }
  return scene;
}

}  // namespace

// Frames that take as long as the test says.
struct TimedRig : LobbyRig {
  vxtest::VirtualClock clock;
  uint64_t frameMs = 0;
  void Frame() override {
    clock.AdvanceMs(frameMs);
    LobbyRig::Frame();
  }
};

TEST(Loader, ProgressCountsEveryControlEndsAtOneHundredAndDrawsOnlyWhenThePercentageMoves) {
  TimedRig rig;
  vxtest::VirtualClock& clock = rig.clock;
  // Slow steps (a frame interval each) draw every percentage; instant ones only the first
  // and the last, and only the last when the loader has just drawn a frame of its own, however
  // long the frames themselves take.
  for (const uint64_t frameMs : {uint64_t{0}, TLoader::kFrameIntervalMs * 2})
  for (const bool framed : {false, true})
  for (const uint64_t stepMs : {TLoader::kFrameIntervalMs, uint64_t{0}})
  for (int n : {1, 3, 40, 250}) {
    rig.frameMs = frameMs;
    TLoader loader(&rig.Context);
    TLoaderScene* ls = loader.Scene();
    ASSERT_NE(ls, nullptr);
    EXPECT_FALSE(ls->BtnOk->Visible());
    std::unique_ptr<TVXScene> scene(SceneOf(&rig.Context, n));
    loader.Begin("JACKS OR BETTER 9/6", scene->ControlCount());
    EXPECT_EQ(ls->LblGameName->Caption(), "JACKS OR BETTER 9/6");
    EXPECT_EQ(ls->LblProgressV->Caption(), "0%");
    const int framesBefore = rig.FramesProcessed;
    if (framed) loader.ShowFrame();
    EXPECT_EQ(rig.FramesProcessed - framesBefore, framed ? 1 : 0);

    std::vector<std::string> shown;
    int steps = 0;
    TVXLoadControlEvent hook = loader.ProgressHook();
    scene->LoadThemeWithProgress("x", [&](TVXScene* s, int32_t kind, const std::string& name, int32_t index) {
      ++steps;
      clock.AdvanceMs(stepMs);
      hook(s, kind, name, index);
      shown.push_back(ls->LblProgressV->Caption());
    });
    EXPECT_EQ(steps, n);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "100%") << n << " controls";
    EXPECT_EQ(ls->PbLoad->Position(), n);
    EXPECT_EQ(ls->LblObjectName->Caption(), n == 1 ? "IMG_BACKGROUND" : "LBL_" + std::to_string(n - 1));
    // One frame per percentage actually shown, never one per control of a big scene.
    EXPECT_EQ(loader.FramesDrawn(), stepMs > 0 ? std::min(n, 100) : framed ? 1 : std::min(n, 2)) << n << " controls";
    // The hook was lent for this one load.
    EXPECT_FALSE(static_cast<bool>(scene->OnLoadControl));

    const int before = rig.FramesProcessed;
    loader.Finish();
    EXPECT_TRUE(ls->BtnOk->Visible());
    EXPECT_EQ(rig.FramesProcessed, before);  // confirmed from the start: no waiting
  }
  // Every loader took its scene with it.
  EXPECT_TRUE(rig.ScenesOf<TLoaderScene>().empty());
}

TEST(Loader, AnUnconfirmedFinishWaitsForTheOkButtonAndTheRootMayGoFirst) {
  LobbyRig rig;
  {
    TLoader loader(&rig.Context);
    loader.Confirmed = false;
    int waited = 0;
    rig.Then([&] { ++waited; });
    rig.Then([&] { rig.Click(loader.Scene()->BtnOk); });
    loader.Scene()->LoadTheme("x");
    loader.Scene()->Show();
    loader.Finish();
    EXPECT_TRUE(loader.Confirmed);
    EXPECT_EQ(waited, 1);
  }
  // A loader whose scene went with the root (shutdown) frees nothing twice.
  auto loader = std::make_unique<TLoader>(&rig.Context);
  delete rig.MainScene()->GetChild(rig.MainScene()->ChildCount() - 1);
  EXPECT_EQ(loader->Scene(), nullptr);
  loader->Step("LBL_X", 1);
  loader->Finish();
  loader.reset();
}

TEST(Intro, FadesInHoldsAndFadesOutAndAClickCutsTheHoldShort) {
  LobbyRig rig;
  {
    // Left alone: 26 frames in, 2000 held, 26 out.
    TAnimIntro intro(&rig.Context);
    EXPECT_EQ(intro.FadeScene->Background->TextureInfo.Key(), "Logo\\casino.bmp");
    EXPECT_FALSE(intro.FadeScene->Background->NoRender);
    const int before = rig.FramesProcessed;
    intro.Run();
    EXPECT_TRUE(intro.Finished);
    EXPECT_EQ(rig.FramesProcessed - before, 26 + 2000 + 26);
  }
  {
    // A click during the hold: the fade out starts with the next frame.
    TAnimIntro intro(&rig.Context);
    intro.Blocking = false;
    intro.Run();
    for (int i = 0; i < 30; ++i) rig.Frame();
    EXPECT_EQ(intro.StepNo, 2);
    rig.ClickAt(400, 300);
    EXPECT_EQ(intro.StepNo, 3);
    int frames = 0;
    while (intro.Running && frames < 100) {
      rig.Frame();
      ++frames;
    }
    EXPECT_FALSE(intro.Running);
    EXPECT_LE(frames, 26);
  }
  {
    // A click while still fading in turns back from the alpha reached.
    TAnimIntro intro(&rig.Context);
    intro.Blocking = false;
    intro.Run();
    for (int i = 0; i < 5; ++i) rig.Frame();
    const int32_t alpha = intro.Alpha;
    EXPECT_GT(alpha, 0);
    intro.SkipToFadeOut();
    rig.Frame();
    EXPECT_EQ(intro.Alpha, alpha + TAnimFade::AlphaStep);
    // Once fading out, further clicks change nothing.
    intro.SkipToFadeOut();
    EXPECT_EQ(intro.StepNo, 3);
    intro.Finish();
    intro.SkipToFadeOut();
    EXPECT_EQ(intro.StepNo, 3);
  }
}
