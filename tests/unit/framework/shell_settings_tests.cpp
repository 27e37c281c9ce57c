// The options object: values of a fresh start, the forced options after every load (also a
// failed one), the round trip through "settings.xml", failing saves, and the folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/Log.h"
#include "framework/VXSettings.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
  vxtest::TempDir dir;
  std::string Program() const { return dir.Str() + "/"; }
  std::string Temp() const { return dir.File("systemp"); }
  std::string SettingsFile() const { return dir.File("settings.xml"); }
  Folder() { fs::create_directories(dir.Path() / "systemp"); }
};

}  // namespace

TEST(Settings, AFreshStartHasSoundAndMusicOffAtVolumeZeroAndTheForcedOptions) {
  Folder f;
  TVXSetting s(f.Program(), f.Temp());
  EXPECT_FALSE(s.optSoundEnabled);
  EXPECT_FALSE(s.optMusicEnabled);
  EXPECT_EQ(s.optSoundVolume, 0);
  EXPECT_EQ(s.optMusicVolume, 0);
  EXPECT_FALSE(s.optFullScreen);
  EXPECT_FALSE(s.optMouseTrail);
  EXPECT_FALSE(s.optCardEffects);
  EXPECT_TRUE(s.optAntialias);
  EXPECT_TRUE(s.optVSync);
  EXPECT_FALSE(s.optParticleEffects);
  EXPECT_FALSE(s.optSceneEffects);
  EXPECT_TRUE(s.optAutoLoginPlayerName.empty());
  EXPECT_FALSE(vx::FileExists(f.SettingsFile()));  // loading writes nothing
}

TEST(Settings, RoundTripKeepsEveryOptionAndForcesFourOfThemAtEveryLoad) {
  Folder f;
  {
    TVXSetting s(f.Program(), f.Temp());
    s.optFullScreen = true;
    s.optMouseTrail = true;
    s.optSoundEnabled = false;
    s.optMusicEnabled = false;
    s.optSoundVolume = 37;
    s.optMusicVolume = -5;
    s.optCardEffects = true;
    s.optAntialias = false;
    s.optVSync = false;
    s.optParticleEffects = true;
    s.optSceneEffects = true;
    s.optAutoLoginPlayerName = "Ann <&> \"Lee\"";
    s.optAutoLoginPlayerPassword = "p&ss";
    ASSERT_TRUE(s.Save());
  }
  const std::string xml = vxtest::TempDir::ReadFile(f.SettingsFile());
  EXPECT_EQ(xml.rfind("<VXSetting>", 0), 0u) << xml;
  EXPECT_NE(xml.find("<optVSync>False</optVSync>"), std::string::npos);  // saved as set
  TVXSetting s(f.Program(), f.Temp());
  EXPECT_TRUE(s.optFullScreen);
  EXPECT_TRUE(s.optMouseTrail);
  EXPECT_FALSE(s.optSoundEnabled);
  EXPECT_FALSE(s.optMusicEnabled);
  EXPECT_EQ(s.optSoundVolume, 37);
  EXPECT_EQ(s.optMusicVolume, 0);  // a volume is read within 0..100
  EXPECT_TRUE(s.optCardEffects);
  EXPECT_EQ(s.optAutoLoginPlayerName, "Ann <&> \"Lee\"");
  EXPECT_EQ(s.optAutoLoginPlayerPassword, "p&ss");
  // Forced whatever the file says.
  EXPECT_TRUE(s.optAntialias);
  EXPECT_TRUE(s.optVSync);
  EXPECT_FALSE(s.optParticleEffects);
  EXPECT_FALSE(s.optSceneEffects);
}

TEST(Settings, AFileReadOnlyInPartKeepsWhatWasReadWithoutTheForcedValuesAndIsKeptAside) {
  Folder f;
  vxtest::TempDir::WriteFile(f.SettingsFile(),
                             "<VXSetting><optVSync>False</optVSync><optParticleEffects>True</optParticleEffects>"
                             "<optSoundVolume>12</optSoundVolume><optMusicVolume>notanumber</optMusicVolume>"
                             "</VXSetting>");
  vx::ClearLog();
  TVXSetting s(f.Program(), f.Temp());
  EXPECT_FALSE(s.optVSync);
  EXPECT_TRUE(s.optParticleEffects);
  EXPECT_EQ(s.optSoundVolume, 12);  // what was read before the fault stays
  EXPECT_EQ(s.optMusicVolume, 0);
  EXPECT_TRUE(vx::LogContains("ERROR"));
  // The damaged file is kept for inspection and nothing is saved in its place in this run.
  EXPECT_TRUE(vx::FileExists(f.SettingsFile() + ".bad"));
  EXPECT_FALSE(s.Save());
  EXPECT_FALSE(vx::FileExists(f.SettingsFile()));
}

TEST(Settings, GarbageAndEmptyFilesLeaveTheFreshValuesAndAreKeptAside) {
  for (const std::string& text : {std::string(), std::string("\x01\x02garbage<"), std::string("<Other/>")}) {
    Folder f;
    vxtest::TempDir::WriteFile(f.SettingsFile(), text);
    TVXSetting s(f.Program(), f.Temp());
    EXPECT_FALSE(s.optSoundEnabled);
    EXPECT_EQ(s.optMusicVolume, 0);
    EXPECT_EQ(vxtest::TempDir::ReadFile(f.SettingsFile() + ".bad"), text);
  }
}

TEST(Settings, AFailedSaveIsLoggedAndLeavesTheOldFile) {
  Folder f;
  TVXSetting s(f.Program(), f.Temp());
  s.optSoundVolume = 1;
  ASSERT_TRUE(s.Save());
  s.optSoundVolume = 2;
  vx::ClearLog();
  vx::InjectFileFaultForTests(vx::FileFault::Rename);
  EXPECT_FALSE(s.Save());
  EXPECT_TRUE(vx::LogContains("ERROR"));
  TVXSetting again(f.Program(), f.Temp());
  EXPECT_EQ(again.optSoundVolume, 1);

  s.SettingsFile = f.dir.File("no/such/folder/settings.xml");
  EXPECT_FALSE(s.Save());
  s.SettingsFile.clear();
  EXPECT_FALSE(s.Save());
}

TEST(Settings, FoldersFollowTheProgramFolderAndTheCasino) {
  Folder f;
  TVXSetting s(f.Program(), f.Temp());
  const std::string p = f.Program();
  EXPECT_EQ(s.ProgramFolder, p);
  EXPECT_EQ(s.SettingsFile, p + "settings.xml");
  EXPECT_EQ(s.PlayersFolder, p + "Players\\");
  EXPECT_EQ(s.PlayersFile, p + "Players\\players.xml");
  EXPECT_EQ(s.PakFolder, p + "Data\\Pak\\");
  EXPECT_EQ(s.DataFolder, p + "Data\\");
  EXPECT_EQ(s.FontsFolder, p + "Data\\Fonts\\");
  EXPECT_EQ(s.CasinosFolder, p + "Casinos\\");
  EXPECT_EQ(s.CasinoName, "MakeDefault");
  EXPECT_EQ(s.CasinoFolder, p + "Casinos\\MakeDefault\\");
  EXPECT_EQ(s.CasinoCommonFolder, p + "Casinos\\MakeDefault\\Common\\");
  EXPECT_EQ(s.CasinoPakFolder, s.PakFolder);
  EXPECT_EQ(s.PakCommonFolder, p + "Data\\Pak\\Common\\");
  s.SetCasino("Riviera");
  EXPECT_EQ(s.CasinoFolder, p + "Casinos\\Riviera\\");
  EXPECT_EQ(s.CasinoCommonFolder, p + "Casinos\\Riviera\\Common\\");
  EXPECT_EQ(s.TempFolder, f.Temp() + "\\_vxvptmp\\");
  EXPECT_TRUE(vx::DirectoryExists(s.TempFolder));
}

TEST(Settings, TheTemporaryFolderFallsBackBesideTheProgram) {
  Folder f;
  // A file where the folder should go: nothing can be made under it.
  vxtest::TempDir::WriteFile(f.dir.File("blocked"), "x");
  TVXSetting s(f.Program(), f.dir.File("blocked"));
  EXPECT_EQ(s.TempFolder, f.Program() + "Temp\\_vxvptmp\\");
  EXPECT_TRUE(vx::DirectoryExists(s.TempFolder));
}
