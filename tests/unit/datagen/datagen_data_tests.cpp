// The hand-written data (themes, casino.dat) and the texts the generator writes itself
// (settings.xml), checked the way the game will read them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "framework/VXThemeKeys.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Checks.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Generator.h"
#include "tools/datagen/Ini.h"

namespace vx::datagen {
namespace {

const std::string kData = std::string(VX_SOURCE_DIR) + "/data";

std::string Read(const std::string& path) { return vxtest::TempDir::ReadFile(path); }

// Theme records as the generator packs them, with the picture records reduced to their keys.
std::vector<ArchiveRecord> ThemeAndPictureKeys() {
  std::vector<ArchiveRecord> records;
  for (const auto& a : AllArt()) records.push_back({a.key, kRecordPicture, ""});
  for (const auto& e : std::filesystem::directory_iterator(kData + "/themes"))
    records.push_back({e.path().filename().string() + "\\theme.scn", kRecordText, Read((e.path() / "theme.scn").string())});
  return records;
}

TEST(ThemeTest, ShippedThemesParseAndEveryPictureTheyNameIsDrawn) {
  const auto records = ThemeAndPictureKeys();
  EXPECT_EQ(CheckThemes(records), std::vector<std::string>{});
  // The message box themes its whole chrome and all four buttons.
  const IniFile dialogs = ParseIni(Read(kData + "/themes/DIALOGS/theme.scn")).file;
  for (const char* s : {"IMG_BACKGROUND", "IMG_FRAME", "IMG_TASKBAR", "IMG_WINDOWLOGO", "LBL_WINDOWCAPTION",
                        "LBL_MESSAGE", "BTN_YES", "BTN_NO", "BTN_OK", "BTN_CANCEL"})
    EXPECT_NE(dialogs.Find(s), nullptr) << s;
}

TEST(ThemeTest, ShippedThemesUseOnlyKnownKeysAndFontsThatAreBaked) {
  std::set<std::string> fonts;
  for (const auto& f : EngineFonts()) fonts.insert(f.name);
  for (const auto& e : std::filesystem::directory_iterator(kData + "/themes")) {
    const auto parsed = ParseIni(Read((e.path() / "theme.scn").string()));
    EXPECT_TRUE(parsed.errors.empty()) << e.path();
    for (const auto& s : parsed.file.sections)
      for (const auto& [key, value] : s.keys) {
        // Written as the widgets declare it.
        const TVXThemeKey* known = vx::FindAnyThemeKey(key);
        EXPECT_TRUE(known != nullptr && known->Name == key) << e.path().filename() << " [" << s.name << "] " << key;
        if (key == "FontDXName") {
          EXPECT_TRUE(fonts.count(value)) << s.name << " asks for font " << value;
        }
      }
  }
}

TEST(ThemeTest, CheckerFindsMissingPicturesBadValuesAndHonoursFallbacks) {
  std::vector<ArchiveRecord> records = {
      {"COMMON\\BTN_ALL.bmp", kRecordPicture, ""},
      {"COMMON\\CB_ALL.bmp", kRecordPicture, ""},
      {"LOBBY\\theme.scn", kRecordText,
       "[BTN_GO]\nTop=1\n[IMG_LOGO]\nLeft=3\n[CB_SOUND]\nTop=2\n[LBL_TITLE]\nColor4=1_2_3\n"
       "[IMG_BACKGROUND]\nTop=0\n[PS_STARS]\nTop=0\nthis line is wrong\n"},
  };
  const auto problems = CheckThemes(records);
  auto mentions = [&](const std::string& text) {
    for (const auto& p : problems)
      if (p.find(text) != std::string::npos) return true;
    return false;
  };
  EXPECT_FALSE(mentions("[BTN_GO]")) << "a button falls back to COMMON\\BTN_ALL";
  EXPECT_TRUE(mentions("LOBBY\\IMG_LOGO.bmp"));
  EXPECT_TRUE(mentions("COMMON\\CB_ALL_checked.bmp")) << "a check box needs both states";
  EXPECT_TRUE(mentions("[LBL_TITLE] Color4"));
  EXPECT_TRUE(mentions("LOBBY\\background.bmp"));
  EXPECT_TRUE(mentions("EFFECTS\\PAR_STAR1.bmp"));
  EXPECT_TRUE(mentions("not a key=value line"));
  EXPECT_FALSE(mentions("LBL_TITLE]: no picture")) << "labels draw no picture of their own";
  // Keys are matched without regard to case, as the archive does.
  records.push_back({"lobby\\img_logo.BMP", kRecordPicture, ""});
  EXPECT_EQ(CheckThemes(records).size(), problems.size() - 1);
}

TEST(IniTest, FourPartValuesAreExactlyFourIntegers) {
  EXPECT_EQ(ParseFourPart("1_-2_3_4"), (std::vector<int32_t>{1, -2, 3, 4}));
  EXPECT_FALSE(ParseFourPart("1_2_3"));
  EXPECT_FALSE(ParseFourPart("1_2_3_4_5"));
  EXPECT_FALSE(ParseFourPart("1_2_x_4"));
  EXPECT_FALSE(ParseFourPart("1__3_4"));
  EXPECT_FALSE(ParseFourPart("1_2_3_99999999999"));
  const auto r = ParseIni("[A]\r\nk = v \r\n\r\n[B\nx\n=y\n");
  ASSERT_EQ(r.file.sections.size(), 1u);
  EXPECT_EQ(r.file.sections[0].Get("K"), "v");
  EXPECT_EQ(r.errors.size(), 3u);
}

TEST(CasinoDatTest, DefaultCasinoListsTheSixteenGamesInLobbyOrder) {
  const std::string text = Read(kData + "/casinos/VideoPokerCasino/casino.dat");
  EXPECT_EQ(CheckCasinoDat(text, CatalogueIdStrings()), std::vector<std::string>{});
  const IniFile ini = ParseIni(text).file;
  std::vector<std::string> ids;
  for (const auto& s : ini.sections)
    if (s.name.rfind("GAME_", 0) == 0) ids.push_back(s.Get("IDStr").value_or(""));
  EXPECT_EQ(ids, CatalogueIdStrings());
  ASSERT_NE(ini.Find("GENERAL"), nullptr);
  EXPECT_EQ(ini.Find("GENERAL")->Get("Rank"), "1");
  EXPECT_FALSE(ini.Find("GENERAL")->Get("Description").value_or("").empty());
}

TEST(CasinoDatTest, CheckerRejectsWhatTheCasinoManagerWouldSkipSilently) {
  const auto& ids = CatalogueIdStrings();
  EXPECT_EQ(CheckCasinoDat("[GAME_1]\nIDStr=VXG_VP_DEUCESWILD\n", ids).size(), 1u);  // no GENERAL
  const std::string general = "[GENERAL]\nRank=2\nDescription=x\n";
  EXPECT_TRUE(CheckCasinoDat(general, ids).empty());
  // Id strings are exact: a lower-case one would never be found.
  EXPECT_EQ(CheckCasinoDat(general + "[GAME_1]\nIDStr=vxg_vp_deuceswild\n", ids).size(), 1u);
  EXPECT_EQ(CheckCasinoDat(general + "[GAME_1]\nTitle=x\n", ids).size(), 1u);
  EXPECT_EQ(CheckCasinoDat(general + "[GAME_1]\nIDStr=VXG_VP_DEUCESWILD\n[GAME_2]\nIDStr=VXG_VP_DEUCESWILD\n", ids).size(), 1u);
  // "GAME_" counts only at the very start of a section name.
  EXPECT_TRUE(CheckCasinoDat(general + "[XGAME_1]\nIDStr=nothing\n", ids).empty());
  EXPECT_EQ(CheckCasinoDat("[GENERAL]\nRank=high\nDescription=x\n", ids).size(), 1u);
}

TEST(SettingsTest, DefaultSettingsAreAFreshObjectWithSoundAndMusicOnInTheSavedFormat) {
  const std::string crlf = "\r\n";
  const std::string expected =
      "<VXSetting>"
      "<optAntialias>True</optAntialias>" + crlf +
      "<optAutoLoginPlayerName></optAutoLoginPlayerName>" + crlf +
      "<optAutoLoginPlayerPassword></optAutoLoginPlayerPassword>" + crlf +
      "<optCardEffects>False</optCardEffects>" + crlf +
      "<optFullScreen>False</optFullScreen>" + crlf +
      "<optMouseTrail>False</optMouseTrail>" + crlf +
      "<optMusicEnabled>True</optMusicEnabled>" + crlf +
      "<optMusicVolume>100</optMusicVolume>" + crlf +
      "<optParticleEffects>False</optParticleEffects>" + crlf +
      "<optSceneEffects>False</optSceneEffects>" + crlf +
      "<optSoundEnabled>True</optSoundEnabled>" + crlf +
      "<optSoundVolume>100</optSoundVolume>" + crlf +
      "<optVSync>True</optVSync>" + crlf +
      "</VXSetting>";
  EXPECT_EQ(DefaultSettingsXml(), expected);
}

TEST(WriteIfChangedTest, WritesOnlyChangedBytesAndLeavesNoTemporaryFile) {
  vxtest::TempDir dir;
  const std::string path = dir.File("a/b/file.bin");
  EXPECT_TRUE(WriteIfChanged(path, std::string("x\0y", 3)));
  EXPECT_EQ(Read(path), std::string("x\0y", 3));
  const auto stamp = std::filesystem::last_write_time(path);
  EXPECT_FALSE(WriteIfChanged(path, std::string("x\0y", 3)));
  EXPECT_EQ(std::filesystem::last_write_time(path), stamp);
  EXPECT_TRUE(WriteIfChanged(path, ""));
  EXPECT_EQ(Read(path), "");
  EXPECT_FALSE(WriteIfChanged(path, ""));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("a/b")), {}), 1);
}

}  // namespace
}  // namespace vx::datagen
