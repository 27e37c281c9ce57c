#pragma once
// What the program has, as the framework sees it: the settings, the application information,
// the debug window, the resources, the engine and the sounds, each owned here and created in
// that order (so freed in the reverse one), plus the main window and the toolkit host that
// hold the context. The main window owns one; tests build one from their kit.
//
// Controls find the context through their tree (TVXComponent::Context): a scene or root is
// given it, everything created under it reaches it through its owner or parent. Games and
// dialogs are handed it when they are made. The lobby's own context holds this one.
#include <memory>
#include <string>

class TVXApplicationInfo;
class TVXEngine;
class TVXMainWindow;
class TVXResourceManager;
class TVXSetting;
class TVXSounds;
class TVXToolkitHost;
class TfrmDebug;

class TVXContext {
public:
  TVXContext();
  ~TVXContext();
  TVXContext(const TVXContext&) = delete;
  TVXContext& operator=(const TVXContext&) = delete;

  // Owned, in start-up order; each is null while it does not exist.
  std::unique_ptr<TVXSetting> Setting;
  std::unique_ptr<TVXApplicationInfo> AppInfo;
  std::unique_ptr<TfrmDebug> DebugWindow;
  std::unique_ptr<TVXResourceManager> Resources;
  std::unique_ptr<TVXEngine> Engine;
  std::unique_ptr<TVXSounds> Sounds;

  // The window and the toolkit host that hold this context (not owned; null in tests that
  // need neither).
  TVXMainWindow* MainWindow = nullptr;
  TVXToolkitHost* Host = nullptr;

  // The current casino's name ("MakeDefault" without settings).
  std::string CasinoName() const;
  // True in developer mode (false without application information).
  bool DeveloperMode() const;
  // The toolkit host, or a host that draws nothing, plays nothing and keeps no focus.
  TVXToolkitHost& ToolkitHost() const;
};

namespace vx {

// A service of this context; without a context (an object outside any tree) none: null,
// "MakeDefault" for the casino's name, no developer mode.
std::string CasinoNameIn(const TVXContext* context);
TVXMainWindow* MainWindowIn(const TVXContext* context);
TVXSetting* SettingIn(const TVXContext* context);
TVXResourceManager* ResourcesIn(const TVXContext* context);
const TVXApplicationInfo* AppInfoIn(const TVXContext* context);
bool DeveloperModeIn(const TVXContext* context);

}  // namespace vx
