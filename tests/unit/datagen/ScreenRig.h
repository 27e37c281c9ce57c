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
#include "render/BitmapEx.h"
#include "render/GfxDevice.h"
#include "render/RecDb.h"
#include "support/FakeContext.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"
#include "tools/datagen/Preview.h"

namespace screenrig {

// The kit's window, drawing nothing itself: waits and loops return at once, each handled
// message runs OnFrame, animations are not listed, message boxes answer OK.
class ScreenWindow : public vxtest::FakeWindow {
public:
  explicit ScreenWindow(TVXToolkitHost* host = nullptr) : FakeWindow(host) { ListAnims = false; }
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
// accepts, as loose files, taken from the program folder the build laid out (nothing is
// drawn or baked again); each folder's background kept for the tests to compare with.
class ProgramData {
public:
  explicit ProgramData(const std::function<bool(const std::string& folder)>& wanted) {
    namespace fs = std::filesystem;
    const fs::path built(VX_PROGRAM_DIR);
    fs::create_directories(dir.File("data"));
    fs::copy_file(built / "Data/fonts.vxr", dir.File("data/fonts.vxr"));
    fs::copy(std::string(VX_SOURCE_DIR) + "/data/themes", dir.File("pak"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    TRecDb archive;
    archive.SetFileName((built / "Data/Pak/default.vxr").string());
    archive.SetOpenMode(opReadOnly);
    EXPECT_EQ(archive.Open(), 0) << "the build lays out " << built;
    for (int32_t i = 0; i < archive.RecordCount(); ++i) {
      const std::string key = archive.RecordKey(i);
      const std::string folder = key.substr(0, key.find('\\'));
      if (archive.RecordType(i) != vx::datagen::kRecordPicture || !wanted(folder)) continue;
      std::vector<uint8_t> bmp;
      uint32_t size = 0;
      EXPECT_EQ(archive.ReadRecord(key, bmp, size), 0) << key;
      std::string path = key;
      for (char& c : path)
        if (c == '\\') c = '/';
      const fs::path file = fs::path(dir.File("pak")) / path;
      fs::create_directories(file.parent_path());
      EXPECT_TRUE(vx::WriteFileAtomic(file.string(), std::string(bmp.begin(), bmp.begin() + size)));
      if (key != folder + "\\background.bmp") continue;
      TBitmapEx pic;
      EXPECT_EQ(pic.LoadFromRecDb(archive, key, pkBmp), 0) << key;
      vx::datagen::Picture& bg = backgrounds[folder] = vx::datagen::Picture(pic.Width(), pic.Height());
      for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) bg.At(x, y) = pic.Pixel(x, y);
    }
  }
  vxtest::TempDir dir;
  std::map<std::string, vx::datagen::Picture> backgrounds;  // by theme
};

}  // namespace screenrig
