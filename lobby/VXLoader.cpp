#include "lobby/VXLoader.h"

#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXProgressBar.h"
#include "framework/VXWidgets.h"
#include "platform/Clock.h"

namespace {

TVXComponent* RootScene(const TVXContext* context) {
  TVXMainWindow* main = vx::MainWindowIn(context);
  return main != nullptr ? main->MainScene() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TLoaderScene

TLoaderScene::TLoaderScene(TVXComponent* owner) : TVXScene(owner) {
  SetSceneName("LOADER");
  Background->TextureInfo.SetFolder("LOGO");
  Background->TextureInfo.SetName("loader");
  LblGameName = AddControl<TVXLabel>("LBL_GAMENAME", "...");
  LblProgress = AddControl<TVXLabel>("LBL_PROGRESS", "PROGRESS: ");
  LblProgressV = AddControl<TVXLabel>("LBL_PROGRESSV", "0%");
  LblObjectName = AddControl<TVXLabel>("LBL_OBJECTNAME", "OBJECTNAME");
  PbLoad = new TVXProgressBar(this);
  PbLoad->SetName("PB_LOAD");
  // Polished gold, pale at the top ($AABBGGRR; top-left, top-right, bottom-right, bottom-left).
  PbLoad->BarColor4 = TColor4{0xFFCCF3FFu, 0xFFCCF3FFu, 0xFF389EC9u, 0xFF389EC9u};
  AddControl(PbLoad);
  BtnOk = AddControl<TVXButton>("BTN_OK", "OK");
}

// ---------------------------------------------------------------------------------------
// TLoader

TLoader::TLoader(const TVXContext* context) {
  auto* scene = new TLoaderScene(RootScene(context));
  scene_ = scene;
  scene->BtnOk->SetVisible(false);
  scene->BtnOk->OnClick = [this](TVXComponent*) { Confirmed = true; };
}

TLoader::~TLoader() {
  // The button's handler points at this loader: it goes with the scene, or is cut off when
  // the scene outlives the loader (it never does, but a handler must not dangle).
  if (TLoaderScene* scene = scene_.Get()) {
    scene->BtnOk->OnClick = nullptr;
    delete scene;
  }
}

void TLoader::Begin(const std::string& title, int32_t count) {
  TLoaderScene* scene = scene_.Get();
  if (scene == nullptr) return;
  scene->LblGameName->SetText(title);
  // Counted from 0, so the bar reads count / total exactly.
  scene->PbLoad->SetMin(0);
  scene->PbLoad->SetMax(count);
  scene->PbLoad->SetPosition(0);
  shownPercent_ = scene->PbLoad->Percent();
  scene->LblProgressV->SetText(std::to_string(shownPercent_) + "%");
  drawnSinceBegin_ = false;
}

void TLoader::Step(const std::string& name, int32_t count) {
  vx::WeakRef<TLoaderScene> scene(scene_);
  if (!scene) return;
  scene->LblObjectName->SetText(name);
  scene->PbLoad->SetPosition(count);
  const int32_t percent = scene->PbLoad->Percent();
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  scene->LblProgressV->SetText(std::to_string(percent) + "%");
  const uint64_t now = vx::GetTickCount64();
  const bool last = count >= scene->PbLoad->Max();
  if (drawnSinceBegin_ && !last && now - lastFrameMs_ < kFrameIntervalMs) return;
  if (TVXMainWindow* main = vx::MainWindowIn(scene->Context())) {
    ++framesDrawn_;
    drawnSinceBegin_ = true;
    main->RenderNow();
    // Counted from the frame's end: a frame slower than the interval (a busy machine) still
    // leaves the load an interval of its own before the next one.
    lastFrameMs_ = vx::GetTickCount64();
  }
}

void TLoader::ShowFrame() {
  TLoaderScene* scene = scene_.Get();
  TVXMainWindow* main = scene != nullptr ? vx::MainWindowIn(scene->Context()) : nullptr;
  if (main == nullptr) return;
  drawnSinceBegin_ = true;
  main->RenderNow();
  lastFrameMs_ = vx::GetTickCount64();
}

TVXLoadControlEvent TLoader::ProgressHook() {
  return [this](TVXScene*, int32_t, const std::string& name, int32_t index) { Step(name, index + 1); };
}

void TLoader::Finish() {
  TLoaderScene* scene = scene_.Get();
  if (scene == nullptr) return;
  scene->BtnOk->SetVisible(true);
  if (Confirmed) return;
  if (TVXMainWindow* main = vx::MainWindowIn(scene->Context())) {
    vx::WeakRef<TLoaderScene> alive(scene);
    main->ProcessUntil([&] { return Confirmed || !alive; });
  }
}

// ---------------------------------------------------------------------------------------
// TAnimIntro

TAnimIntro::TAnimIntro(TVXContext* context) : TAnimFade(context) {
  FadeIn = true;
  HoldThenFadeOut = true;
  TVXImage* logo = FadeScene->Background;
  logo->NoRender = false;
  logo->TextureInfo.SetFolder("Logo");
  logo->TextureInfo.SetName("casino");
  logo->LoadTexture();
  Panel->OnClick = [this](TVXComponent*) { SkipToFadeOut(); };
}

void TAnimIntro::SkipToFadeOut() {
  if (!Running || StepNo >= 3) return;
  StepNo = 3;
  FrameCounter = 0;
}
