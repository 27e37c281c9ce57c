// The generator's run: what it writes into a program folder and what it leaves alone, its
// checks of the hand-written sources, and that a fresh run makes the same bytes as the
// build's own run (the program folder this build tree laid out).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/Exception.h"
#include "support/TempDir.h"
#include "tools/datagen/Generator.h"

namespace fs = std::filesystem;

namespace vx::datagen {
namespace {

const std::string kData = std::string(VX_SOURCE_DIR) + "/data";

std::string Read(const fs::path& p) { return vxtest::TempDir::ReadFile(p.string()); }

// A program's worth of content small enough to lay out in no time.
ProgramContent SmallContent() {
  ProgramContent c;
  c.dataArchive = "pictures and themes";
  c.fontsArchive = "fonts";
  c.casinos = {{"CasinoA", "[GENERAL]\nRank=1\n"}, {"CasinoB", "[GENERAL]\nRank=2\n"}};
  c.help = {{"index.html", "<html></html>"}, {"logo.gif", "GIF89a"}};
  return c;
}

TEST(LayOutTest, WritesOnlyWhatChangedAndLeavesPlayersSettingsStatisticsAndOverridesAlone) {
  vxtest::TempDir dir;
  ProgramContent content = SmallContent();
  GeneratorReport first;
  LayOutProgramFolder(content, dir.Str(), first);
  EXPECT_EQ(first.written, 7);  // 2 archives, 2 casinos, 2 help files and the settings
  EXPECT_EQ(Read(dir.Path() / "Data/Pak/default.vxr"), content.dataArchive);
  EXPECT_EQ(Read(dir.Path() / "Casinos/CasinoB/casino.dat"), content.casinos[1].second);
  EXPECT_EQ(Read(dir.Path() / "Help/logo.gif"), "GIF89a");
  EXPECT_EQ(Read(dir.Path() / "settings.xml"), DefaultSettingsXml());
  for (const char* d : {"Players", "Help", "Sounds", "Data/Pak/Common", "Casinos/CasinoA/Common"})
    EXPECT_TRUE(fs::is_directory(dir.Path() / d)) << d;

  const auto stamp = fs::last_write_time(dir.Path() / "Data/fonts.vxr");
  GeneratorReport again;
  LayOutProgramFolder(content, dir.Str(), again);
  EXPECT_EQ(again.written, 0);
  EXPECT_EQ(again.unchanged, first.written - 1);  // an existing settings.xml is not even compared
  EXPECT_EQ(fs::last_write_time(dir.Path() / "Data/fonts.vxr"), stamp);

  // What the player and the game made survives a run that changes the archives.
  const std::map<std::string, std::string> owned = {
      {"settings.xml", "<VXSetting><optSoundVolume>7</optSoundVolume>\r\n</VXSetting>"},
      {"Players/players.xml", "<?xml version = \"1.0\"?><VXPlayers></VXPlayers>"},
      {"Players/notes.txt", "mine"},
      {"Casinos/CasinoA/casino.xml", "<VXCasino></VXCasino>"},
      {"Data/Pak/COMMON/BTN_ALL.bmp", "a player's own button"},
      {"Data/Pak/Common/extra.bmp", "x"},
  };
  for (const auto& [f, bytes] : owned) {
    fs::create_directories((dir.Path() / f).parent_path());
    vxtest::TempDir::WriteFile((dir.Path() / f).string(), bytes);
  }
  content.dataArchive += " and more";
  GeneratorReport changed;
  LayOutProgramFolder(content, dir.Str(), changed);
  EXPECT_EQ(changed.written, 1);
  EXPECT_EQ(Read(dir.Path() / "Data/Pak/default.vxr"), content.dataArchive);
  for (const auto& [f, bytes] : owned) EXPECT_EQ(Read(dir.Path() / f), bytes) << f;

  // A removed settings file comes back as the default one.
  fs::remove(dir.Path() / "settings.xml");
  LayOutProgramFolder(content, dir.Str(), changed);
  EXPECT_EQ(Read(dir.Path() / "settings.xml"), DefaultSettingsXml());
}

TEST(SourceCheckTest, ABrokenThemeOrCasinoFailsTheRunBeforeAnythingIsDrawnOrWritten) {
  EXPECT_TRUE(CheckSources(kData).empty());
  vxtest::TempDir src, out;
  fs::copy(kData, src.Path(), fs::copy_options::recursive);
  fs::create_directories(src.Path() / "themes" / "LOBBY");
  vxtest::TempDir::WriteFile((src.Path() / "themes/LOBBY/theme.scn").string(), "[IMG_NOTDRAWN]\nTop=3\n");
  try {
    GenerateProgramFolder({src.Str(), out.Str()});
    FAIL() << "a theme naming a missing picture was accepted";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("LOBBY\\IMG_NOTDRAWN.bmp"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(out.Path() / "Data/Pak/default.vxr"));
  // A casino naming a game the catalogue does not have fails as well.
  fs::remove(src.Path() / "themes/LOBBY/theme.scn");
  vxtest::TempDir::WriteFile((src.Path() / "casinos/VideoPokerCasino/casino.dat").string(),
                             "[GENERAL]\nRank=1\nDescription=x\n[GAME_1]\nIDStr=VXG_NOSUCHGAME\n");
  try {
    GenerateProgramFolder({src.Str(), out.Str()});
    FAIL() << "a casino naming an unknown game was accepted";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("VXG_NOSUCHGAME"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(fs::is_empty(out.Path()));
  EXPECT_THROW(GenerateProgramFolder({(src.Path() / "none").string(), out.Str()}), Exception);
}

// The one whole run of the suite. Over a copy of the files the build generated it must find
// every one already holding its bytes: the generator gives the same bytes in every process,
// and a second run touches nothing. What the files hold is read back in
// datagen_program_tests.cpp.
TEST(GeneratorTest, AFreshRunMakesTheBuildsBytesAndRewritesNothing) {
  if (!HavePackaging()) GTEST_SKIP() << "the shared writers are not built";
  const fs::path built(VX_PROGRAM_DIR);
  ASSERT_TRUE(fs::exists(built / "Data/Pak/default.vxr")) << "the build lays out " << built;
  vxtest::TempDir dir;
  std::vector<fs::path> files = {"Data/Pak/default.vxr", "Data/fonts.vxr"};
  for (const auto& casino : fs::directory_iterator(fs::path(kData) / "casinos"))
    files.push_back(fs::path("Casinos") / casino.path().filename() / "casino.dat");
  for (const auto& page : fs::directory_iterator(built / "Help")) files.push_back("Help" / page.path().filename());
  for (const fs::path& f : files) {
    fs::create_directories((dir.Path() / f).parent_path());
    fs::copy_file(built / f, dir.Path() / f);
  }
  const auto stamp = fs::last_write_time(dir.Path() / "Data/Pak/default.vxr");
  const GeneratorReport report = GenerateProgramFolder({kData, dir.Str()});
  EXPECT_EQ(report.written, 1);  // the settings, which were not copied
  EXPECT_EQ(fs::last_write_time(dir.Path() / "Data/Pak/default.vxr"), stamp);
  EXPECT_EQ(Read(dir.Path() / "settings.xml"), DefaultSettingsXml());
}

}  // namespace
}  // namespace vx::datagen
