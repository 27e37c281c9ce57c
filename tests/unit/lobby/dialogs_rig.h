#pragma once
// A stand-in main window for driving the lobby's dialogs the way a player does: every wait of
// a modal loop runs the next scripted step (clicks and keys routed through the input scene as
// the real window routes them), and every message box is the real drawn one, answered by
// clicking the button the test queued. Themes come from the repository's theme files, so the
// controls sit where the player sees them.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXApplication.h"
#include "framework/VXFrame.h"
#include "framework/VXHost.h"
#include "framework/VXComboBox.h"
#include "framework/VXProgressBar.h"
#include "framework/VXMenus.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "support/TempDir.h"

namespace lobbytest {

struct ShownMessage {
  std::string Text;
  int32_t Kind = -1;
  int32_t Buttons = 0;
};

class DialogRig : public TVXMainWindow {
public:
  // `host` replaces the plain toolkit host (an engine's host draws for real); `dataFolder`
  // is where the resource manager finds "fonts.vxr".
  explicit DialogRig(TVXToolkitHost* host = nullptr, const std::string& dataFolder = {})
      : settings_(dir.Str() + "/", dir.Str() + "/systemtemp"),
        resources_(dataFolder, CopyThemes(dir.Str() + "/pak"), dir.Str() + "/systemtemp"),
        hostScope_(host != nullptr ? host : &host_) {
    saved_ = vx::Program();
    vx::Program().Setting = &settings_;
    vx::Program().Resources = &resources_;
    vx::Program().MainWindow = this;
    root_ = std::make_unique<TVXMainScene>(nullptr);
    root_->SetSceneName("MAINSCENE");
    root_->SetBounds(0, 0, 800, 600);
    input_ = root_.get();
  }
  ~DialogRig() override {
    root_.reset();
    vx::Program() = saved_;
  }

  vxtest::TempDir dir;
  TVXSetting& Settings() { return settings_; }
  TVXResourceManager& Resources() { return resources_; }
  // The pak folder: the theme files and any picture added.
  std::string PakFolder() const { return dir.Str() + "/pak"; }
  // Makes a picture known to the resource manager (an empty loose file: its existence is all
  // the theming asks about; nothing is drawn here).
  void AddPicture(const std::string& key) {
    std::string path = key;
    for (char& c : path)
      if (c == '\\') c = '/';
    const std::filesystem::path file = std::filesystem::path(PakFolder()) / path;
    std::filesystem::create_directories(file.parent_path());
    vxtest::TempDir::WriteFile(file.string(), "");
  }

  // ---- The script.
  // Steps run one per wait of a modal loop, in order.
  std::deque<std::function<void()>> Steps;
  void Then(std::function<void()> step) { Steps.push_back(std::move(step)); }
  // Answers for the message boxes, in order: mrYes, mrNo or mrOk.
  std::deque<int32_t> Answers;
  std::vector<ShownMessage> Messages;
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : Messages) texts.push_back(m.Text);
    return texts;
  }

  // ---- Input, routed through the input scene.
  void ClickAt(int32_t x, int32_t y) {
    TVXScene* scene = input_.Get();
    ASSERT_NE(scene, nullptr);
    scene->MouseMove(scene, 0, x, y);
    scene->MouseDown(scene, vx::mbLeft, 0, x, y);
    // The main window closes the open drop-down after routing a press; the release still
    // picks a row under it.
    TVXToolkitHost& host = vx::ToolkitHost();
    if (TVXCustomControl* open = host.OpenControl()) {
      vx::CloseDropDown(open);
      host.SetOpenControl(nullptr);
    }
    Frame();
    if (TVXScene* again = input_.Get()) again->MouseUp(again, vx::mbLeft, 0, x, y);
    Frame();
  }
  // Clicks the middle of a control (the left part of a combo box, away from its button).
  void Click(TVXCustomControl* control) {
    ASSERT_NE(control, nullptr);
    ASSERT_GT(control->Width(), 0) << control->Name() << " has no size: its theme was not read";
    const bool combo = dynamic_cast<TVXComboBox*>(control) != nullptr;
    ClickAt(control->Left() + (combo ? 8 : control->Width() / 2), control->Top() + control->Height() / 2);
  }
  void Key(uint16_t key, TShiftState shift = 0) {
    TVXScene* scene = input_.Get();
    ASSERT_NE(scene, nullptr);
    uint16_t k = key;
    SendKeyToActiveControl(scene, k, shift);
    if (k != 0) scene->KeyDown(k, shift);
    Frame();
  }
  // Types the text as key presses: letters by their key codes (the same with or without
  // Shift), digits and spaces, each with the given modifiers.
  void Type(const std::string& text, TShiftState shift = 0) {
    for (char c : text) {
      const char up = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      Key(static_cast<uint16_t>(static_cast<unsigned char>(up)), shift);
    }
  }
  // Focuses an entry by clicking it, clears it and types the text.
  void Fill(TVXEdit* edit, const std::string& text, TShiftState shift = 0) {
    Click(edit);
    edit->SetCursorPos(static_cast<int32_t>(edit->Caption().size()));
    for (size_t i = edit->Caption().size(); i > 0; --i) Key(vkBack);
    Type(text, shift);
  }
  void Frame() {
    if (root_) root_->Process();
  }

  // ---- TVXMainWindow.
  TVXMainScene* MainScene() override { return root_.get(); }
  TVXScene* InputScene() override { return input_.Get(); }
  void SetInputScene(TVXScene* scene) override { input_ = scene; }
  void AddAnim(TVXAnim*) override {}
  void RemoveAnim(TVXAnim*) override {}
  void RenderNow() override { Frame(); }
  bool ProcessMessage() override {
    Frame();
    if (auto* box = dynamic_cast<TframeMessage*>(input_.Get())) {
      if (Answers.empty()) {
        ADD_FAILURE() << "unanswered message box: " << Messages.back().Text;
        closing_ = true;
        return false;
      }
      const int32_t answer = Answers.front();
      Answers.pop_front();
      TVXButton* button = answer == mrYes ? box->YesButton : answer == mrNo ? box->NoButton : box->OkButton;
      if (button == nullptr) {
        ADD_FAILURE() << "the message box has no button for answer " << answer << ": " << Messages.back().Text;
        closing_ = true;
        return false;
      }
      Click(button);
      return true;
    }
    if (Steps.empty()) {
      ADD_FAILURE() << "a dialog waits for input the test did not script";
      closing_ = true;
      return false;
    }
    auto step = std::move(Steps.front());
    Steps.pop_front();
    step();
    return !closing_;
  }
  bool ProcessUntil(const std::function<bool()>& done) override {
    while (!done()) {
      if (!ProcessMessage()) return false;
    }
    return true;
  }
  bool Wait(uint64_t) override { return !closing_; }
  bool Closing() override { return closing_; }
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override {
    Messages.push_back({text, kind, buttons});
    vx::WeakRef<TframeMessage> box(new TframeMessage(root_.get(), helpContext, buttons, kind, text));
    const int32_t result = box->ShowModal();
    delete box.Get();
    return result;
  }
  void PopupMessage(const std::string&, int32_t) override {}
  void FadeIn() override {}
  void FadeOut() override {}

private:
  // The repository's theme files as the loose files of a pak folder.
  static std::string CopyThemes(const std::string& pak) {
    std::filesystem::create_directories(pak);
    std::filesystem::copy(std::string(VX_SOURCE_DIR) + "/data/themes", pak,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    return pak;
  }

  vx::TVXProgram saved_;
  TVXSetting settings_;
  TVXResourceManager resources_;
  TVXHostBase host_;
  vx::ScopedToolkitHost hostScope_;
  std::unique_ptr<TVXMainScene> root_;
  vx::WeakRef<TVXScene> input_;
  bool closing_ = false;
};

}  // namespace lobbytest
