// The veils behind the options, statistics and hall of fame dialogs, and the statistics
// dialog's own window, big enough for its three lists. The other chrome, the buttons and the
// check boxes come from COMMON; lists and bars are drawn by the toolkit.
#include "tools/datagen/Art.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {

namespace {
// As the "STATISTICS" theme places it.
constexpr int kStatisticsFrameW = 760, kStatisticsFrameH = 548;
}  // namespace

std::vector<ArtEntry> LobbyDialogArt() {
  std::vector<ArtEntry> art = {
      {"STATISTICS\\IMG_FRAME.bmp", [](FontLibrary&) { return DialogFrame(kStatisticsFrameW, kStatisticsFrameH); }},
      {"STATISTICS\\IMG_TASKBAR.bmp",
       [](FontLibrary&) { return DialogTaskBar(kStatisticsFrameW - 2 * look::kTaskBarInset); }},
  };
  for (const char* scene : {"OPTIONS", "STATISTICS", "HIGHSCORE"})
    art.push_back({std::string(scene) + "\\background.bmp", [](FontLibrary&) { return DimBackground(); }});
  return art;
}

}  // namespace vx::datagen
