// The program folder the generator lays out, read back through the game's own archive and
// picture readers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "render/BitmapEx.h"
#include "render/RecDb.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Generator.h"

namespace fs = std::filesystem;

namespace vx::datagen {
namespace {

const std::string kData = std::string(VX_SOURCE_DIR) + "/data";

std::string Read(const fs::path& p) { return vxtest::TempDir::ReadFile(p.string()); }

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

class GeneratorTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HavePackaging()) GTEST_SKIP() << "the shared writers are not built";
  }
  GeneratorReport Run(const fs::path& out, const std::string& source = kData) {
    return GenerateProgramFolder({source, out.string()});
  }
};

TEST_F(GeneratorTest, SameBytesEveryRunAndASecondRunWritesNothing) {
  vxtest::TempDir a, b;
  const auto first = Run(a.Path());
  EXPECT_GT(first.written, 0);
  Run(b.Path());
  for (const char* f : {"Data/fonts.vxr", "Data/Pak/default.vxr", "Casinos/VideoPokerCasino/casino.dat", "settings.xml"})
    EXPECT_EQ(Read(a.Path() / f), Read(b.Path() / f)) << f;
  const auto stamp = fs::last_write_time(a.Path() / "Data/Pak/default.vxr");
  const auto again = Run(a.Path());
  EXPECT_EQ(again.written, 0);
  EXPECT_EQ(again.unchanged, first.written - 1);  // an existing settings.xml is not even compared
  EXPECT_EQ(fs::last_write_time(a.Path() / "Data/Pak/default.vxr"), stamp);
  for (const char* d : {"Players", "Help", "Sounds", "Data/Pak/Common", "Casinos/VideoPokerCasino/Common"})
    EXPECT_TRUE(fs::is_directory(a.Path() / d)) << d;
#ifdef VX_HAVE_SOUNDGEN
  // The sounds are records of the data archive, where the resource manager looks for them.
  const std::string archive = Read(a.Path() / "Data/Pak/default.vxr");
  for (const char* key : {"Sounds\\SND_MENU.wav", "Sounds\\music_MAIN_1.mid"})
    EXPECT_NE(archive.find(key), std::string::npos) << key;
  EXPECT_TRUE(fs::is_empty(a.Path() / "Sounds"));
#endif
}

TEST_F(GeneratorTest, ReRunLeavesPlayersSettingsStatisticsAndOverridesAlone) {
  vxtest::TempDir dir;
  Run(dir.Path());
  const std::string mySettings = "<VXSetting><optSoundVolume>7</optSoundVolume>\r\n</VXSetting>";
  const std::map<std::string, std::string> owned = {
      {"settings.xml", mySettings},
      {"Players/players.xml", "<?xml version = \"1.0\"?><VXPlayers></VXPlayers>"},
      {"Players/notes.txt", "mine"},
      {"Casinos/VideoPokerCasino/casino.xml", "<VXCasino></VXCasino>"},
      {"Data/Pak/COMMON/BTN_ALL.bmp", "a player's own button"},
      {"Data/Pak/Common/extra.bmp", "x"},
  };
  for (const auto& [f, bytes] : owned) {
    fs::create_directories((dir.Path() / f).parent_path());
    vxtest::TempDir::WriteFile((dir.Path() / f).string(), bytes);
  }
  Run(dir.Path());
  for (const auto& [f, bytes] : owned) EXPECT_EQ(Read(dir.Path() / f), bytes) << f;
  // A removed settings file comes back as the default one.
  fs::remove(dir.Path() / "settings.xml");
  Run(dir.Path());
  EXPECT_EQ(Read(dir.Path() / "settings.xml"), DefaultSettingsXml());
}

TEST_F(GeneratorTest, EveryPictureIsAWellFormedBmpThatTheGameDecodesToTheDrawnPixels) {
  vxtest::TempDir dir;
  Run(dir.Path());
  TRecDb archive;
  archive.SetFileName((dir.Path() / "Data/Pak/default.vxr").string());
  archive.SetOpenMode(opReadOnly);
  ASSERT_EQ(archive.Open(), 0);
  FontLibrary fonts;
  for (const auto& art : AllArt()) {
    SCOPED_TRACE(art.key);
    const Picture drawn = art.draw(fonts);
    ASSERT_GE(archive.FindRecord(art.key), 0);
    std::vector<uint8_t> bmp;
    uint32_t size = 0;
    ASSERT_EQ(archive.ReadRecord(art.key, bmp, size), 0);
    // Header fields an outside decoder relies on.
    const int bits = drawn.IsOpaque() ? 24 : 32;
    const uint32_t row = (static_cast<uint32_t>(drawn.width) * bits / 8 + 3) & ~3u;
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    const uint32_t dataOffset = U32(bmp, 10);
    EXPECT_GE(U32(bmp, 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(U32(bmp, 18)), drawn.width);
    EXPECT_EQ(std::abs(static_cast<int32_t>(U32(bmp, 22))), drawn.height);
    EXPECT_EQ(U16(bmp, 26), 1);
    EXPECT_EQ(U16(bmp, 28), bits);
    EXPECT_EQ(dataOffset + row * drawn.height, bmp.size());
    // And the game's own reader gets back what was drawn.
    TBitmapEx pic;
    ASSERT_EQ(pic.LoadFromRecDb(archive, art.key, pkBmp), 0);
    ASSERT_EQ(pic.Width(), drawn.width);
    ASSERT_EQ(pic.Height(), drawn.height);
    int wrong = 0;
    for (int y = 0; y < drawn.height; ++y)
      for (int x = 0; x < drawn.width; ++x) wrong += pic.Pixel(x, y) != drawn.At(x, y);
    EXPECT_EQ(wrong, 0);
  }
  // Theme files travel as they were written, under "SCENE\theme.scn".
  for (const char* scene : {"COMMON", "DIALOGS"}) {
    std::vector<uint8_t> text;
    uint32_t size = 0;
    ASSERT_EQ(archive.ReadRecord(std::string(scene) + "\\theme.scn", text, size), 0) << scene;
    EXPECT_EQ(std::string(text.begin(), text.end()), Read(fs::path(kData) / "themes" / scene / "theme.scn"));
  }
  // The resource manager asks in whatever case the code spells the key.
  EXPECT_GE(archive.FindRecord("common\\btn_all.BMP"), 0);
}

TEST_F(GeneratorTest, FontsArchiveHoldsEveryEngineFontDefaultFirst) {
  vxtest::TempDir dir;
  Run(dir.Path());
  TRecDb archive;
  archive.SetFileName((dir.Path() / "Data/fonts.vxr").string());
  archive.SetOpenMode(opReadOnly);
  ASSERT_EQ(archive.Open(), 0);
  const auto& plan = EngineFonts();
  ASSERT_EQ(archive.RecordCount(), static_cast<int32_t>(plan.size()));
  EXPECT_EQ(archive.RecordKey(0), "ArialBlack.font");  // the engine's fallback is the first font
  for (size_t i = 0; i < plan.size(); ++i) {
    SCOPED_TRACE(plan[i].name);
    EXPECT_EQ(archive.RecordKey(static_cast<int32_t>(i)), FontRecordKey(plan[i]));
    EXPECT_EQ(archive.RecordType(static_cast<int32_t>(i)), 5);
    std::vector<uint8_t> rec;
    uint32_t size = 0;
    ASSERT_EQ(archive.ReadRecord(FontRecordKey(plan[i]), rec, size), 0);
    ASSERT_GE(rec.size(), 16u);
    EXPECT_EQ(U32(rec, 0), 32u);
    const uint32_t n = U32(rec, 12);
    EXPECT_GE(n, 95u);  // at least the printable ASCII run
    ASSERT_GE(rec.size(), 16 + 8 * static_cast<size_t>(n));
    const int32_t spaceWidth = static_cast<int32_t>(U32(rec, 16));
    const int32_t capHeight = static_cast<int32_t>(U32(rec, 16 + 8 * ('H' - 32) + 4));
    EXPECT_GT(spaceWidth, 0);
    EXPECT_GE(capHeight, plan[i].pixelSize * 3 / 4);
    EXPECT_LE(capHeight, plan[i].pixelSize * 2);
  }
}

TEST_F(GeneratorTest, BrokenThemeFailsTheRunAndWritesNoArchive) {
  vxtest::TempDir src, out;
  fs::copy(kData, src.Path(), fs::copy_options::recursive);
  fs::create_directories(src.Path() / "themes" / "LOBBY");
  vxtest::TempDir::WriteFile((src.Path() / "themes/LOBBY/theme.scn").string(), "[IMG_NOTDRAWN]\nTop=3\n");
  try {
    Run(out.Path(), src.Str());
    FAIL() << "a theme naming a missing picture was accepted";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("LOBBY\\IMG_NOTDRAWN.bmp"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(out.Path() / "Data/Pak/default.vxr"));
  // A casino naming a game the catalogue does not have fails as well.
  fs::remove(src.Path() / "themes/LOBBY/theme.scn");
  vxtest::TempDir::WriteFile((src.Path() / "casinos/VideoPokerCasino/casino.dat").string(),
                             "[GENERAL]\nRank=1\nDescription=x\n[GAME_1]\nIDStr=VXG_NOSUCHGAME\n");
  EXPECT_THROW(Run(out.Path(), src.Str()), Exception);
  EXPECT_FALSE(fs::exists(out.Path() / "Data/Pak/default.vxr"));
}

}  // namespace
}  // namespace vx::datagen
