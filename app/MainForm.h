#pragma once
// The program's one real window, TfrmMain: it builds every singleton in a fixed order, owns
// the root scene, the input scene and the list of running animations, draws one frame per
// render event of the engine's frame timer, routes mouse and keys into the control tree,
// handles the global and developer keys and tears everything down in a fixed order.
//
// Everything runs on the main thread's message pump. Waits, modal frames and blocking
// animations are loops over the pump; a close request ends every one of them and shutdown
// (Finalize) runs once, after the outermost loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/LobbySeam.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXLiveness.h"
#include "platform/Events.h"
#include "platform/MessagePump.h"
#include "platform/Process.h"
#include "platform/Window.h"
#include "render/GfxDevice.h"
#include "xmlstore/XMLStore.h"

class TVXGame;
class TVXGameManager;
class TVXMainScene;
class TVXScene;
class TVXSetting;
class TVXSoundFiles;
class TVXSounds;
class TfrmDebug;

namespace vx::audio {
class AudioBackend;
}

// How the main window is built: the real program leaves everything at its default; tests
// run it headless on a recording device and a fake platform.
struct TfrmMainOptions {
  // The program folder (the running program's folder when empty).
  std::string ProgramFolder;
  // The system temporary folder (the per-user one when empty).
  std::string SystemTemp;
  // Open the SDL window and read its events; off, the pump's event source is left as it is.
  bool RealWindow = true;
  // The drawing device (the GPU device on the window when not set).
  std::function<std::unique_ptr<TGfxDevice>(TGfxForm*)> MakeDevice;
  // The audio back end (the system's, or a silent one, when not set).
  std::function<std::unique_ptr<vx::audio::AudioBackend>()> MakeAudio;
  // The lobby layer (the program's lobby when not set).
  std::function<std::unique_ptr<TVXLobbyLayer>()> MakeLobby;
  // Developer mode (from "dev.id" in the current folder when not set).
  std::optional<bool> DeveloperMode;
  // The debug log (the program file + "_debug.log" when empty).
  std::string DebugLogFile;
  // Alt+X in developer mode (ends the process at once when not set).
  std::function<void()> Halt;
  // The data archives must be there (tests on loose files alone turn this off).
  bool DataArchivesRequired = true;
  // The standard system message dialog (the system's when not set).
  std::function<void(const std::string& text)> SystemMessage;
};

class TfrmMain : public vx::IWindowHandler,
                 public TGfxForm,
                 public TVXEngineHost,
                 public TVXMainWindow,
                 public TVXLobbyShell {
public:
  explicit TfrmMain(TfrmMainOptions options = {});
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  // ---- The window's life.
  // Create event: the settings (loading "settings.xml"), then Initialize. True when the
  // engine started.
  bool FormCreate();
  // Show event: without an engine, the system message "Cannot initialize DirectX." and the
  // window closes (false); otherwise, windowed in developer mode, the log window appears.
  bool FormShow();
  // The outermost message loop: returns once the window is closing.
  void Run();
  // Destroy event: Finalize, then the settings are saved to "settings.xml" and freed last.
  // Runs once, and only outside every message loop.
  void FormDestroy();
  bool Destroyed() const { return destroyed_; }

  // Start-up and shutdown in their fixed orders.
  void Initialize();
  void Finalize();
  bool EngineStarted() const;

  // ---- Start sequence.
  // The 200 ms start timer's event: intro (outside developer mode), then a login when
  // nobody is signed in.
  void tmrStartTimer();
  bool StartTimerEnabled() const { return tmrStart_ && tmrStart_->Enabled(); }
  void Login(bool autoLogin) override;

  // ---- Frames.
  // The per-frame callback: drops stopped animations, steps the running ones, then draws
  // the control tree in one scene of the device and presents it.
  void RenderFrame();
  int32_t AnimCount() const { return static_cast<int32_t>(anims_.size()); }
  TVXAnim* GetAnim(int32_t index) const;

  // ---- Input (the window's handlers).
  void FormMouseDown(vx::TMouseButton button, vx::TShiftState shift, int32_t x, int32_t y);
  void FormMouseMove(vx::TShiftState shift, int32_t x, int32_t y);
  void FormMouseUp(vx::TMouseButton button, vx::TShiftState shift, int32_t x, int32_t y);
  void FormKeyDown(uint16_t& key, vx::TShiftState shift);

  // ---- Services.
  void ReloadTheme();
  void ShowHelp();

  // TVXMainWindow
  TVXMainScene* MainScene() override { return mainScene_; }
  TVXScene* InputScene() override;
  void SetInputScene(TVXScene* scene) override;
  void AddAnim(TVXAnim* anim) override;
  void RemoveAnim(TVXAnim* anim) override;
  void RenderNow() override { RenderFrame(); }
  bool ProcessMessage() override;
  bool ProcessPendingMessages() override;
  bool ProcessUntil(const std::function<bool()>& done) override;
  bool Wait(uint64_t ms) override;
  bool Closing() override;
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override;
  void PopupMessage(const std::string& text, int32_t kind) override;
  void FadeIn() override;
  void FadeOut() override;
  // Closes the window: every loop returns and shutdown follows.
  void Close() override;

  // TVXToolkitHost (what the engine host does not give).
  void SetOpenControl(TVXCustomControl* control) override;
  void ShowHint(TVXComponent* sender) override;
  void PlaySound(const std::string& name) override;

  // TGfxForm
  vx::PlatformWindow* Window() const override;

  // IWindowHandler
  void OnMouseDown(vx::TMouseButton button, vx::TShiftState shift, int x, int y) override {
    FormMouseDown(button, shift, x, y);
  }
  void OnMouseUp(vx::TMouseButton button, vx::TShiftState shift, int x, int y) override {
    FormMouseUp(button, shift, x, y);
  }
  void OnMouseMove(vx::TShiftState shift, int x, int y) override { FormMouseMove(shift, x, y); }
  void OnKeyDown(uint16_t& key, vx::TShiftState shift) override { FormKeyDown(key, shift); }

  // What the program has, handed to scenes, games and dialogs (each service null while it
  // does not exist).
  TVXContext& Context() override { return ctx_; }
  TVXSetting* Setting() const override { return ctx_.Setting.get(); }
  TVXApplicationInfo* AppInfo() const { return ctx_.AppInfo.get(); }
  TfrmDebug* DebugWindow() const { return ctx_.DebugWindow.get(); }
  TVXGameManager* GameManager() const override { return gameManager_.get(); }
  TVXResourceManager* Resources() const { return ctx_.Resources.get(); }
  TVXSounds* Sounds() const { return ctx_.Sounds.get(); }
  TVXLobbyLayer* Lobby() const { return lobby_.get(); }

  // Set by the lobby while a game runs; the shell only clears it.
  TVXGame* CurrentGame = nullptr;

  // Popup durations in frames by message kind.
  static int32_t PopupFrames(int32_t kind);

  // What the player reads about a damaged file or a failed save.
  static std::string FileProblemText(const vx::XMLFileProblem& problem);
  // The reason the program cannot start (a second copy on the folder, damaged data
  // archives); empty when it can.
  const std::string& StartError() const { return startError_; }

private:
  class SoundOptions;

  bool DeveloperMode() const;
  // Hover and press follow a resting pointer: when what lies under it has changed since the
  // last move (a scene shown or hidden, a dialog gone), a move to where it rests is routed.
  void FollowPointer();
  void RemoveStoppedAnims();
  void StepAnimations();
  // Start-up checks: one program on the folder, the journal of an interrupted save finished,
  // leftovers of interrupted saves removed. False (startError_ set) when the program must stop.
  bool ClaimProgramFolder();
  void CleanUpInterruptedSaves();
  // What keeps the game's data from being read whole: a data archive missing or damaged, or
  // a temporary folder that takes no copies. Empty when all is well.
  std::string DataProblem() const;
  // Damaged files, failed saves and missing temporary copies are told in message boxes once
  // the screen can show them.
  void QueueFileProblem(const vx::XMLFileProblem& problem);
  void QueueProblem(const std::string& text);
  void ShowFileProblems();
  void ShowSystemMessage(const std::string& text);

  TfrmMainOptions options_;
  vx::PlatformWindow window_;
  vx::SdlEventSource events_{window_};
  bool windowOpen_ = false;

  // The sounds read these, so they outlive the context.
  std::unique_ptr<TVXSoundFiles> soundFiles_;
  std::unique_ptr<SoundOptions> soundOptions_;
  // Settings, application information, log window, resources, engine and sounds, in
  // start-up order; the lobby layer below is freed before them.
  TVXContext ctx_;
  std::unique_ptr<TVXGameManager> gameManager_;
  std::unique_ptr<TVXLobbyLayer> lobby_;
  std::unique_ptr<vx::PumpTimer> tmrStart_;
  std::unique_ptr<vx::PumpTimer> tmrProblems_;
  std::vector<std::string> problems_;
  // What the player is told once the window is gone and the folder let go of.
  std::vector<std::string> closingMessages_;
  bool showingProblems_ = false;
  vx::FolderLock folderLock_;
  std::string startError_;

  TVXMainScene* mainScene_ = nullptr;
  vx::WeakRef<TVXScene> inputScene_;
  // The pointer at the last mouse event, and the input scene and the control under it when
  // the last move was routed.
  struct {
    bool Known = false;
    vx::TShiftState Shift = 0;
    int32_t X = 0, Y = 0;
  } pointer_;
  vx::WeakRef<TVXScene> pointerScene_;
  vx::WeakRef<TVXCustomControl> pointerTarget_;
  std::vector<TVXAnim*> anims_;

  bool created_ = false;
  bool engineStarted_ = false;
  bool finalized_ = false;
  bool destroyed_ = false;
  bool drawingTree_ = false;  // the root scene is being processed
  bool sceneOpen_ = false;    // a frame's scene is begun on the device
};
