#include "LintWorld.h"

#include <algorithm>

#include "core/Log.h"
#include "framework/VXAnim.h"
#include "framework/VXFrame.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "games/GameManager.h"
#include "lobby/VXPlayers.h"
#include "render/GfxDevice.h"

namespace themelint {

std::string GeneratedProgramFolder() { return std::string(VX_PROGRAM_DIR) + "/"; }

LintWorld::LintWorld(const std::string& programFolder, const std::string& systemTemp,
                     std::unique_ptr<TGfxDevice> device)
    : TVXEngineHost(nullptr) {
  context_.Setting = std::make_unique<TVXSetting>(programFolder, systemTemp);
  context_.AppInfo = std::make_unique<TVXApplicationInfo>();
  context_.AppInfo->DeveloperMode = false;
  context_.Resources = std::make_unique<TVXResourceManager>(context_.Setting->DataFolder, context_.Setting->PakFolder, context_.Setting->TempFolder);

  context_.Engine = std::make_unique<TVXEngine>(this, nullptr, false, std::move(device));
  Engine = context_.Engine.get();
  context_.Engine->SetWidth(800);
  context_.Engine->SetHeight(600);
  context_.Engine->ResourceManager = context_.Resources.get();
  context_.Engine->LoadFonts();
  context_.MainWindow = this;
  context_.Host = this;
  root_ = new TVXMainScene(nullptr, &context_);
  root_->SetName("MAINSCENE");
  input_ = root_;

  players_ = std::make_unique<TVXPlayers>();
  players_->FileName = systemTemp + "/players.xml";
  catalogue_ = std::make_unique<TVXGameManager>();
}

LintWorld::~LintWorld() {
  delete root_;
  root_ = nullptr;
  anims_.clear();
  players_.reset();
  catalogue_.reset();
  context_.MainWindow = nullptr;
  context_.Host = nullptr;
  context_.Engine.reset();
  Engine = nullptr;
  context_.Resources.reset();
  context_.AppInfo.reset();
  context_.Setting.reset();
}

TVXScene* LintWorld::InputScene() { return input_.Get(); }

void LintWorld::SetInputScene(TVXScene* scene) { input_ = scene; }

bool LintWorld::Started() const { return context_.Engine && context_.Engine->Started(); }

void LintWorld::AddAnim(TVXAnim* anim) {
  if (anim == nullptr || std::find(anims_.begin(), anims_.end(), anim) != anims_.end()) return;
  anims_.push_back(anim);
  anim->Listed = true;
}

void LintWorld::RemoveAnim(TVXAnim* anim) {
  auto it = std::find(anims_.begin(), anims_.end(), anim);
  if (it != anims_.end()) anims_.erase(it);
  if (anim != nullptr) anim->Listed = false;
}

void LintWorld::RenderFrame() {
  if (drawing_) return;
  for (size_t i = anims_.size(); i-- > 0;)
    if (i < anims_.size() && !anims_[i]->Running) RemoveAnim(anims_[i]);
  const size_t n = anims_.size();
  for (size_t i = 0; i < n && i < anims_.size(); ++i) anims_[i]->StepOnce();
  if (!Started() || root_ == nullptr) return;
  TGfxDevice* device = context_.Engine->Device();
  drawing_ = true;
  device->Clear(0);
  if (device->BeginScene() == 0) {
    root_->Process();
    device->EndScene();
    device->Present();
  }
  drawing_ = false;
  ++frames_;
}

bool LintWorld::ProcessMessage() {
  if (closing_) return false;
  RenderFrame();
  if (!OnFrame || frames_ > MaxFrames) {
    Log("ERROR: a modal loop ran with nothing to answer it; the world closes");
    closing_ = true;
    return false;
  }
  OnFrame();
  return !closing_;
}

bool LintWorld::ProcessUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (!ProcessMessage()) return false;
  }
  return true;
}

bool LintWorld::Wait(uint64_t ms) {
  // One frame for every 16 ms, as the frame timer would draw them.
  for (uint64_t t = 0; t < ms; t += 16) {
    if (!ProcessMessage()) return false;
  }
  return !closing_;
}

int32_t LintWorld::MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) {
  vx::WeakRef<TframeMessage> box(new TframeMessage(root_, helpContext, buttons, kind, text));
  const int32_t result = box->ShowModal();
  delete box.Get();
  return result;
}

void LintWorld::Click(int32_t x, int32_t y) {
  TVXScene* scene = input_.Get();
  if (scene == nullptr) return;
  vx::WeakRef<TVXScene> alive(scene);
  context_.Engine->CursorX = x;
  context_.Engine->CursorY = y;
  scene->MouseMove(scene, 0, x, y);
  if (alive) scene->MouseDown(scene, vx::mbLeft, 0, x, y);
  if (alive) scene->MouseUp(scene, vx::mbLeft, 0, x, y);
}

}  // namespace themelint
