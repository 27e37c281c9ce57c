#include "support/FakeContext.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "framework/VXAnim.h"
#include "framework/VXComboBox.h"
#include "framework/VXFrame.h"
#include "framework/VXMenus.h"
#include "framework/VXScene.h"
#include "framework/VXWidgets.h"

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
  if (!ListAnims) return;
  anim->Listed = true;
  anims_.push_back(anim);
}

void FakeWindow::RemoveAnim(TVXAnim* anim) {
  if (!ListAnims) return;
  anim->Listed = false;
  std::replace(anims_.begin(), anims_.end(), anim, static_cast<TVXAnim*>(nullptr));
}

void FakeWindow::Frame() {
  std::erase(anims_, nullptr);
  std::vector<vx::WeakRef<TVXAnim>> snapshot(anims_.begin(), anims_.end());
  for (auto& a : snapshot)
    if (a && a->Running) a->StepOnce();
  if (OnFrame) OnFrame();
  if (ProcessTree && root_ != nullptr) root_->Process();
}

bool FakeWindow::ProcessMessage() {
  if (IsClosing) return false;
  const bool animating = !anims_.empty();
  Frame();
  if (!Scripted || IsClosing) return !IsClosing;
  if (auto* box = dynamic_cast<TframeMessage*>(InputScene())) {
    const int32_t answer = Answers.empty() ? mrNone : Answers.front();
    TVXButton* button = answer == mrYes ? box->YesButton : answer == mrNo ? box->NoButton : answer == mrOk ? box->OkButton : nullptr;
    if (button == nullptr) {
      ADD_FAILURE() << "no queued answer for the message box: " << Messages.back().Text;
      IsClosing = true;
      return false;
    }
    Answers.pop_front();
    Click(button);
    return true;
  }
  if (Steps.empty()) {
    // Animations run on their own: only waiting for input needs a script.
    if (animating) return true;
    ADD_FAILURE() << "a loop waits for input the test did not script";
    IsClosing = true;
    return false;
  }
  auto step = std::move(Steps.front());
  Steps.pop_front();
  step();
  return !IsClosing;
}

void FakeWindow::MoveTo(int32_t x, int32_t y) {
  if (TVXScene* scene = InputScene()) scene->MouseMove(scene, 0, x, y);
  Frame();
}

void FakeWindow::ClickAt(int32_t x, int32_t y) {
  TVXScene* scene = InputScene();
  ASSERT_NE(scene, nullptr);
  scene->MouseMove(scene, 0, x, y);
  if (!(scene = InputScene())) return;
  scene->MouseDown(scene, vx::mbLeft, 0, x, y);
  // The main window closes the open drop-down after routing a press; the release still
  // picks a row under it.
  TVXToolkitHost& host = Context.ToolkitHost();
  if (TVXCustomControl* open = host.OpenControl()) {
    vx::CloseDropDown(open);
    host.SetOpenControl(nullptr);
  }
  Frame();
  if (TVXScene* again = InputScene()) again->MouseUp(again, vx::mbLeft, 0, x, y);
  Frame();
}

void FakeWindow::Click(TVXCustomControl* control) {
  ASSERT_NE(control, nullptr);
  ASSERT_GT(control->Width(), 0) << control->Name() << " has no size: its theme was not read";
  const bool combo = dynamic_cast<TVXComboBox*>(control) != nullptr;
  ClickAt(control->Left() + (combo ? 8 : control->Width() / 2), control->Top() + control->Height() / 2);
}

void FakeWindow::Key(uint16_t key, TShiftState shift) {
  TVXScene* scene = InputScene();
  ASSERT_NE(scene, nullptr);
  uint16_t k = key;
  SendKeyToActiveControl(scene, k, shift);
  if (k != 0) scene->KeyDown(k, shift);
  Frame();
}

void FakeWindow::Type(const std::string& text, TShiftState shift) {
  for (char c : text) {
    const char up = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    Key(static_cast<uint16_t>(static_cast<unsigned char>(up)), shift);
  }
}

void FakeWindow::Fill(TVXEdit* edit, const std::string& text, TShiftState shift) {
  Click(edit);
  edit->SetCursorPos(static_cast<int32_t>(edit->Caption().size()));
  for (size_t i = edit->Caption().size(); i > 0; --i) Key(vkBack);
  Type(text, shift);
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

int32_t FakeWindow::MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) {
  Messages.push_back({text, kind, buttons});
  if (Scripted) {
    if (IsClosing) return mrNone;
    vx::WeakRef<TframeMessage> box(new TframeMessage(Root(), helpContext, buttons, kind, text));
    const int32_t result = box->ShowModal();
    delete box.Get();
    return result;
  }
  if (Answers.empty()) return mrYes;
  const int32_t a = Answers.front();
  Answers.pop_front();
  return a;
}

}  // namespace vxtest
