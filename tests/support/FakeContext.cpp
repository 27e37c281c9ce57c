#include "support/FakeContext.h"

#include <algorithm>

#include "framework/VXAnim.h"
#include "framework/VXScene.h"

namespace vxtest {

void FakeHost::RenderNow() {
  ++RenderNowCount;
  if (log_ != nullptr) log_->push_back("RenderNow");
  if (OnRenderNow) OnRenderNow();
}

int FakeHost::CountSound(const std::string& name) const {
  return static_cast<int>(std::count(Sounds.begin(), Sounds.end(), name));
}

FakeWindow::FakeWindow(TVXToolkitHost* host) {
  Context.MainWindow = this;
  Context.Host = host != nullptr ? host : &Host;
  root_ = std::make_unique<TVXMainScene>(nullptr);
  root_->SetContext(&Context);
  root_->SetSceneName("MAINSCENE");
  root_->SetBounds(0, 0, 800, 600);
}

FakeWindow::~FakeWindow() {
  FreeRoot();
}

void FakeWindow::FreeRoot() {
  root_.reset();
  for (TVXAnim* a : anims_)
    if (a != nullptr) a->Listed = false;
  anims_.clear();
}

TVXScene* FakeWindow::InputScene() {
  if (TVXScene* scene = input_.Get()) return scene;
  return root_.get();
}

void FakeWindow::AddAnim(TVXAnim* anim) {
  anim->Listed = true;
  anims_.push_back(anim);
}

void FakeWindow::RemoveAnim(TVXAnim* anim) {
  anim->Listed = false;
  std::replace(anims_.begin(), anims_.end(), anim, static_cast<TVXAnim*>(nullptr));
}

void FakeWindow::Frame() {
  std::erase(anims_, nullptr);
  std::vector<vx::WeakRef<TVXAnim>> snapshot(anims_.begin(), anims_.end());
  for (auto& a : snapshot)
    if (a && a->Running) a->StepOnce();
  if (OnFrame) OnFrame();
}

bool FakeWindow::ProcessMessage() {
  if (IsClosing) return false;
  Frame();
  return !IsClosing;
}

bool FakeWindow::ProcessUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (!ProcessMessage()) return false;
  }
  return true;
}

std::vector<std::string> FakeWindow::MessageTexts() const {
  std::vector<std::string> texts;
  for (const ShownMessage& m : Messages) texts.push_back(m.Text);
  return texts;
}

int32_t FakeWindow::MessageBox(const std::string& text, int32_t kind, int32_t, int32_t buttons) {
  Messages.push_back({text, kind, buttons});
  if (Answers.empty()) return mrYes;
  const int32_t a = Answers.front();
  Answers.pop_front();
  return a;
}

}  // namespace vxtest
