#pragma once
// The one fake program of the tests: a program context (the services a test gives it), a
// toolkit host over a recording device, and a main window whose root scene holds the context,
// so that every scene, control, dialog and game made under it finds them as in the program.
// Animations listed by AddAnim step once per Frame(); waits and loops run frames; message
// boxes are recorded and answered from a queue. A rig that drives dialogs as a player does
// turns on Scripted: every wait of a loop runs the next scripted step, and every message box
// is the real drawn one, answered by clicking the button the test queued. Rigs derive to add
// what their folder needs (settings, resources, a lobby) and configure the rest.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXApplication.h"
#include "framework/VXClasses.h"
#include "framework/VXContext.h"
#include "framework/VXHost.h"
#include "framework/VXLiveness.h"
#include "framework/VXScene.h"
#include "support/RecordingDevice.h"

class TVXAnim;
class TVXCustomControl;
class TVXEdit;

namespace vxtest {

struct ShownMessage {
  std::string Text;
  int32_t Kind = -1;
  int32_t Buttons = 0;
};

class FakeHost : public TVXHostBase {
public:
  // `log` receives "RenderNow" for each immediate render.
  explicit FakeHost(std::vector<std::string>* log = nullptr) : log_(log) {}
  RecordingDevice Recorder;
  bool WithDevice = true;
  // Drawn on instead of the recorder when set.
  TGfxDevice* Drawing = nullptr;
  int32_t Cursor[2] = {0, 0};
  int RenderNowCount = 0;
  // Runs on every immediate render (rigs draw a frame there).
  std::function<void()> OnRenderNow;
  std::vector<std::string> Hints;
  std::vector<std::string> Sounds;
  TVXTextureList* TextureList = nullptr;

  TGfxDevice* Device() override { return !WithDevice ? nullptr : Drawing != nullptr ? Drawing : &Recorder; }
  int32_t SurfaceWidth() override { return Recorder.Width(); }
  int32_t SurfaceHeight() override { return Recorder.Height(); }
  void RenderNow() override;
  void ShowHint(TVXComponent* sender) override { Hints.push_back(sender != nullptr ? sender->Name() : ""); }
  void PlaySound(const std::string& name) override { Sounds.push_back(name); }
  int32_t CursorX() override { return Cursor[0]; }
  int32_t CursorY() override { return Cursor[1]; }
  TVXTextureList* Textures() override { return TextureList; }
  int CountSound(const std::string& name) const;

private:
  std::vector<std::string>* log_;
};

class FakeWindow : public TVXMainWindow {
public:
  // The context names this window and `host` (the kit's own when null); the root scene
  // "MAINSCENE" covers 800 x 600.
  explicit FakeWindow(TVXToolkitHost* host = nullptr);
  ~FakeWindow() override;
  FakeWindow(const FakeWindow&) = delete;
  FakeWindow& operator=(const FakeWindow&) = delete;

  TVXContext Context;
  FakeHost Host;
  TVXMainScene* Root() const { return root_.get(); }
  // Frees the root scene and everything under it (before the services a test owns go).
  void FreeRoot();

  // ---- What the tests script and read.
  // Answers of the message boxes, in order (mrYes once the queue is empty).
  std::deque<int32_t> Answers;
  std::vector<ShownMessage> Messages;
  std::vector<std::string> MessageTexts() const;
  std::vector<std::string> Popups;
  int FadeIns = 0;
  int FadeOuts = 0;
  // Runs once per frame, after the animations stepped.
  std::function<void()> OnFrame;
  // A close request arrived: loops return false.
  bool IsClosing = false;
  void SetClosing(bool closing = true) { IsClosing = closing; }

  // ---- What a rig configures.
  // Animations are listed and stepped by Frame (off: not listed, loops never wait on them).
  bool ListAnims = true;
  // Each frame also processes the scene tree.
  bool ProcessTree = false;
  // Loops run Steps, one per wait, and message boxes are drawn and answered by a click; a
  // loop that waits for input the test did not script fails the test and closes.
  bool Scripted = false;
  std::deque<std::function<void()>> Steps;
  void Then(std::function<void()> step) { Steps.push_back(std::move(step)); }

  // ---- Input routed through the input scene, as the main window routes it.
  void MoveTo(int32_t x, int32_t y);
  void ClickAt(int32_t x, int32_t y);
  // Clicks the middle of a control (the left part of a combo box, away from its button).
  void Click(TVXCustomControl* control);
  void Key(uint16_t key, TShiftState shift = 0);
  // Types the text as key presses: letters by their key codes (the same with or without
  // Shift), digits and spaces, each with the given modifiers.
  void Type(const std::string& text, TShiftState shift = 0);
  // Focuses an entry by clicking it, clears it and types the text.
  void Fill(TVXEdit* edit, const std::string& text, TShiftState shift = 0);

  // One frame: the listed animations step (a snapshot; stopped ones leave), then OnFrame,
  // then the tree when asked.
  virtual void Frame();
  const std::vector<TVXAnim*>& Anims() const { return anims_; }

  // ---- TVXMainWindow.
  TVXMainScene* MainScene() override { return root_.get(); }
  TVXScene* InputScene() override;
  void SetInputScene(TVXScene* scene) override { input_ = scene; }
  void AddAnim(TVXAnim* anim) override;
  void RemoveAnim(TVXAnim* anim) override;
  void RenderNow() override { Context.ToolkitHost().RenderNow(); }
  // A frame per message (and, scripted, a box answered or a step run); false once closing.
  bool ProcessMessage() override;
  bool ProcessUntil(const std::function<bool()>& done) override;
  bool Wait(uint64_t) override { return !IsClosing; }
  bool Closing() override { return IsClosing; }
  // Recorded; answered from Answers at once, or drawn and clicked when scripted.
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override;
  void PopupMessage(const std::string& text, int32_t) override { Popups.push_back(text); }
  void FadeIn() override { ++FadeIns; }
  void FadeOut() override { ++FadeOuts; }

private:
  std::unique_ptr<TVXMainScene> root_;
  vx::WeakRef<TVXScene> input_;
  std::vector<TVXAnim*> anims_;
};

}  // namespace vxtest
