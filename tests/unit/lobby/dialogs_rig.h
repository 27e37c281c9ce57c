#pragma once
// The fake program (tests/support/FakeContext.h), scripted, driving the lobby's dialogs the
// way a player does, with settings and resources of its own. Themes come from the
// repository's theme files, so the controls sit where the player sees them.
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
    ListAnims = false;
    ProcessTree = Scripted = true;
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

  // ---- Renders draw a frame of the tree.
  void RenderNow() override { Frame(); }

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
