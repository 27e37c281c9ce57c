// Every registered scene and dialog, built headless over the program folder this build laid
// out, against its theme file, its pictures and the baked fonts.
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "LintWorld.h"
#include "SceneRegistry.h"
#include "ThemeLint.h"
#include "framework/VXResources.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

using namespace themelint;

TEST(ThemeLint, EveryRegisteredSceneMatchesItsThemeItsPicturesAndTheFonts) {
  vxtest::TempDir temp;
  LintWorld world(GeneratedProgramFolder(), temp.Str(), std::make_unique<vxtest::RecordingDevice>());
  ASSERT_TRUE(world.Started());
  // Without the generated folder every check would find nothing to check.
  ASSERT_TRUE(world.Resources().DataArchive.Opened()) << "no data archive in " << GeneratedProgramFolder();
  ASSERT_FALSE(FontNames(world.Resources()).empty()) << "no fonts in " << GeneratedProgramFolder();

  const LintRun run = LintScenes(world, Scenes(), Exemptions(), ThemeKeysOf(world.Resources()));

  std::map<std::string, std::vector<std::string>> byScene;
  std::vector<int> known(KnownFaults().size(), 0);
  int newFaults = 0;
  for (const Finding& f : run.Findings) {
    bool isKnown = false;
    for (size_t i = 0; i < KnownFaults().size(); ++i) {
      if (KnownFaults()[i].Matches(f)) {
        ++known[i];
        isKnown = true;
      }
    }
    if (isKnown) continue;
    ++newFaults;
    byScene[f.Scene].push_back(f.ToString());
  }
  std::string report;
  for (const auto& [scene, lines] : byScene) {
    report += "\n" + scene + ":";
    for (const std::string& line : lines) report += "\n  " + line;
  }
  EXPECT_EQ(newFaults, 0) << "problems (theme sources: data/themes/<SCENE>/theme.scn, pictures: tools/datagen):"
                          << report;
  for (size_t i = 0; i < KnownFaults().size(); ++i) {
    const KnownFault& k = KnownFaults()[i];
    if (known[i] > 0)
      std::cout << "[ themelint ] known fault, " << known[i] << " findings: " << k.Owner << "\n";
    else
      ADD_FAILURE() << "the known fault of " << k.Control << " (\"" << k.Words
                    << "\") no longer occurs: remove it from KnownFaults()";
  }
  for (const std::string& w : run.Waiting) std::cout << "[ themelint ] waiting for its art: " << w << "\n";
  std::cout << "[ themelint ] " << run.ScenesLinted << " scenes, " << run.ControlsLinted << " controls linted\n";
  EXPECT_EQ(run.ScenesLinted + static_cast<int32_t>(run.Waiting.size()), static_cast<int32_t>(Scenes().size()));
  // Every dialog has a few controls at least; a much smaller count means scenes came out empty.
  EXPECT_GE(run.ControlsLinted, 10 * run.ScenesLinted);
}
