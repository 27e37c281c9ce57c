#pragma once
// The fake program (tests/support/FakeContext.h) driving the lobby's dialogs the way a player does: every wait of
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
#include "support/FakeContext.h"
#include "support/TempDir.h"

namespace lobbytest {

using vxtest::ShownMessage;

class DialogRig : public vxtest::FakeWindow {
public:
  // `host` replaces the plain toolkit host (an engine's host draws for real); `dataFolder`
  // is where the resource manager finds "fonts.vxr".
  explicit DialogRig(TVXToolkitHost* host = nullptr, const std::string& dataFolder = {})
      : FakeWindow(host) {
    Host.WithDevice = false;
    Context.Setting = std::make_unique<TVXSetting>(dir.Str() + "/", dir.Str() + "/systemtemp");
    Context.Resources =
        std::make_unique<TVXResourceManager>(dataFolder, CopyThemes(dir.Str() + "/pak"), dir.Str() + "/systemtemp");
  }
  ~DialogRig() override { FreeRoot(); }

  vxtest::TempDir dir;
  TVXSetting& Settings() { return *Context.Setting; }
  TVXResourceManager& Resources() { return *Context.Resources; }
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
  // Message boxes are answered from Answers (mrYes, mrNo or mrOk), by clicking the button.

  // ---- Input, routed through the input scene.
  void ClickAt(int32_t x, int32_t y) {
    TVXScene* scene = InputScene();
    ASSERT_NE(scene, nullptr);
    scene->MouseMove(scene, 0, x, y);
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
  // Clicks the middle of a control (the left part of a combo box, away from its button).
  void Click(TVXCustomControl* control) {
    ASSERT_NE(control, nullptr);
    ASSERT_GT(control->Width(), 0) << control->Name() << " has no size: its theme was not read";
    const bool combo = dynamic_cast<TVXComboBox*>(control) != nullptr;
    ClickAt(control->Left() + (combo ? 8 : control->Width() / 2), control->Top() + control->Height() / 2);
  }
  void Key(uint16_t key, TShiftState shift = 0) {
    TVXScene* scene = InputScene();
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
  void Frame() override {
    if (Root() != nullptr) Root()->Process();
  }

  // ---- The main window: animations are not listed; message boxes are drawn and clicked.
  void AddAnim(TVXAnim*) override {}
  void RemoveAnim(TVXAnim*) override {}
  void RenderNow() override { Frame(); }
  bool ProcessMessage() override {
    Frame();
    if (auto* box = dynamic_cast<TframeMessage*>(InputScene())) {
      if (Answers.empty()) {
        ADD_FAILURE() << "unanswered message box: " << Messages.back().Text;
        IsClosing = true;
        return false;
      }
      const int32_t answer = Answers.front();
      Answers.pop_front();
      TVXButton* button = answer == mrYes ? box->YesButton : answer == mrNo ? box->NoButton : box->OkButton;
      if (button == nullptr) {
        ADD_FAILURE() << "the message box has no button for answer " << answer << ": " << Messages.back().Text;
        IsClosing = true;
        return false;
      }
      Click(button);
      return true;
    }
    if (Steps.empty()) {
      ADD_FAILURE() << "a dialog waits for input the test did not script";
      IsClosing = true;
      return false;
    }
    auto step = std::move(Steps.front());
    Steps.pop_front();
    step();
    return !IsClosing;
  }
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override {
    Messages.push_back({text, kind, buttons});
    vx::WeakRef<TframeMessage> box(new TframeMessage(Root(), helpContext, buttons, kind, text));
    const int32_t result = box->ShowModal();
    delete box.Get();
    return result;
  }

private:
  // The repository's theme files as the loose files of a pak folder.
  static std::string CopyThemes(const std::string& pak) {
    std::filesystem::create_directories(pak);
    std::filesystem::copy(std::string(VX_SOURCE_DIR) + "/data/themes", pak,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    return pak;
  }

};

}  // namespace lobbytest
