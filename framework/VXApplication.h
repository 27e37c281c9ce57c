#pragma once
// The application information and the main window's services as every layer below the program
// sees them.
#include <cstdint>
#include <functional>
#include <string>

class TVXAnim;
class TVXContext;
class TVXEngine;
class TVXMainScene;
class TVXResourceManager;
class TVXScene;
class TVXSetting;
class TVXSounds;
class TfrmDebug;

class TVXApplicationInfo {
public:
  // Fills every field; developer mode when a file "dev.id" exists in the current folder.
  TVXApplicationInfo();

  std::string Title;
  std::string Version;
  bool DeveloperMode = false;
  std::string HomePage;

  // The caption of the main window: the title, and in developer mode the developer banner
  // and the build time stamp " (yyyy/mm/dd hh:nn:ss)".
  std::string Caption() const;
};

namespace vx {
constexpr const char* kProductTitle = "Orvanta Cards Casino";
constexpr const char* kProductVersion = "1.0.2";
constexpr const char* kHomePage = "https://orvanta-cards-casino.example/";
constexpr const char* kDeveloperBanner = " - DEVELOPER BUILD";
// The program's build time, "yyyy/mm/dd hh:nn:ss".
std::string BuildTimeStamp();
}  // namespace vx

// Message-box kinds and buttons.
constexpr int32_t mkWarning = 0, mkError = 1, mkInformation = 2, mkConfirmation = 3;
constexpr int32_t mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8;
// Results.
constexpr int32_t mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

// What the main window does for the scenes, frames, animations, games and the lobby. The
// program's main window implements it; tests install small fakes.
class TVXMainWindow {
public:
  virtual ~TVXMainWindow() = default;

  // The root scene "MAINSCENE" (nullptr before it exists and after shutdown).
  virtual TVXMainScene* MainScene() = 0;
  // The scene that receives mouse and keys: the root scene or the modal frame shown.
  virtual TVXScene* InputScene() = 0;
  virtual void SetInputScene(TVXScene* scene) = 0;

  // The running animations (not owned).
  virtual void AddAnim(TVXAnim* anim) = 0;
  virtual void RemoveAnim(TVXAnim* anim) = 0;

  // Runs the per-frame callback once, at once.
  virtual void RenderNow() = 0;
  // Handles one window message, due timer or idle pass (waiting briefly when nothing is
  // queued). False once the program is closing: the caller's loop must then return.
  virtual bool ProcessMessage() = 0;
  // Handles the window messages and timers already waiting, without a frame of its own: for
  // a loop that has just rendered (a count's step). False once the program is closing.
  virtual bool ProcessPendingMessages() { return ProcessMessage(); }
  // Handles window messages one at a time (frames keep coming) until `done` answers true.
  // False when the loop ended because the program is closing: every waiting loop then
  // returns, so that shutdown runs from the outermost loop only.
  virtual bool ProcessUntil(const std::function<bool()>& done) = 0;
  // Keeps handling messages for `ms` milliseconds (0 returns at once). False when the wait
  // was cut short because the program is closing.
  virtual bool Wait(uint64_t ms) = 0;
  // True once a close request arrived: nested loops unwind, shutdown follows.
  virtual bool Closing() = 0;

  // The drawn message box (Kind mk*, Buttons mb*); returns mr*.
  virtual int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) = 0;
  // A short self-hiding text in the menu bar.
  virtual void PopupMessage(const std::string& text, int32_t kind) = 0;
  // Blocking full-screen fades.
  virtual void FadeIn() = 0;
  virtual void FadeOut() = 0;
};
