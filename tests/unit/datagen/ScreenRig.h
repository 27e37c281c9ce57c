// What the screen tests of the generated art share: a main window that draws nothing itself
// (waits return at once; each handled message may run a frame hook) and a program folder of
// loose files with the fonts, the themes and the pictures a test asks for.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "framework/VXScene.h"
#include "platform/Files.h"
#include "render/GfxDevice.h"
#include "support/FakeContext.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"
#include "tools/datagen/Preview.h"

namespace screenrig {

class HeadlessForm : public TGfxForm {};

// The kit's window, drawing nothing itself: waits and loops return at once, each handled
// message runs OnFrame, animations are not listed, message boxes answer OK.
class ScreenWindow : public vxtest::FakeWindow {
public:
  using FakeWindow::FakeWindow;
  void AddAnim(TVXAnim*) override {}
  void RemoveAnim(TVXAnim*) override {}
  void RenderNow() override {}
  bool ProcessMessage() override {
    if (OnFrame) OnFrame();
    return true;
  }
  bool ProcessUntil(const std::function<bool()>&) override { return true; }
  int32_t MessageBox(const std::string&, int32_t, int32_t, int32_t) override { return 1; }
  void Reset() {
    OnFrame = nullptr;
    FreeRoot();
  }
};

// The fonts archive, the repository's themes and the pictures of the folders `wanted`
// accepts, as loose files; each folder's background kept for the tests to compare with.
class ProgramData {
public:
  explicit ProgramData(const std::function<bool(const std::string& folder)>& wanted) {
    namespace fs = std::filesystem;
    vx::datagen::FontLibrary fonts;
    fs::create_directories(dir.File("data"));
    EXPECT_TRUE(vx::WriteFileAtomic(dir.File("data/fonts.vxr"), vx::datagen::PackArchive(vx::datagen::BuildFontRecords())));
    fs::copy(std::string(VX_SOURCE_DIR) + "/data/themes", dir.File("pak"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const auto& art : vx::datagen::AllArt()) {
      const std::string folder = art.key.substr(0, art.key.find('\\'));
      if (!wanted(folder)) continue;
      std::string path = art.key;
      for (char& c : path)
        if (c == '\\') c = '/';
      const fs::path file = fs::path(dir.File("pak")) / path;
      fs::create_directories(file.parent_path());
      vx::datagen::Picture pic = art.draw(fonts);
      EXPECT_TRUE(vx::WriteFileAtomic(file.string(), vx::datagen::EncodeBmp(pic)));
      if (art.key == folder + "\\background.bmp") backgrounds[folder] = std::move(pic);
    }
  }
  vxtest::TempDir dir;
  std::map<std::string, vx::datagen::Picture> backgrounds;  // by theme
};

}  // namespace screenrig
