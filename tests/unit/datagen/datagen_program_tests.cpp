// The program folder the build laid out, read back through the game's own archive and
// picture readers: the generator's output is made once per build and every test reads it.
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
const fs::path kBuilt(VX_PROGRAM_DIR);

std::string Read(const fs::path& p) { return vxtest::TempDir::ReadFile(p.string()); }

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

class ProgramFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HavePackaging()) GTEST_SKIP() << "the shared writers are not built";
    ASSERT_TRUE(fs::exists(kBuilt / "Data/Pak/default.vxr")) << "the build lays out " << kBuilt;
  }
};

TEST_F(ProgramFolderTest, FoldersAreLaidOutAndTheSoundsAreArchiveRecords) {
  for (const char* d : {"Players", "Help", "Sounds", "Data/Pak/Common", "Casinos/VideoPokerCasino/Common"})
    EXPECT_TRUE(fs::is_directory(kBuilt / d)) << d;
  EXPECT_EQ(Read(kBuilt / "Casinos/VideoPokerCasino/casino.dat"), Read(fs::path(kData) / "casinos/VideoPokerCasino/casino.dat"));
#ifdef VX_HAVE_SOUNDGEN
  // The sounds are records of the data archive, where the resource manager looks for them.
  TRecDb archive;
  archive.SetFileName((kBuilt / "Data/Pak/default.vxr").string());
  archive.SetOpenMode(opReadOnly);
  ASSERT_EQ(archive.Open(), 0);
  for (const char* key : {"Sounds\\SND_MENU.wav", "Sounds\\music_MAIN_1.mid"}) EXPECT_GE(archive.FindRecord(key), 0) << key;
  EXPECT_TRUE(fs::is_empty(kBuilt / "Sounds"));
#endif
}

TEST_F(ProgramFolderTest, EveryPictureIsAWellFormedBmpThatTheGameDecodes) {
  TRecDb archive;
  archive.SetFileName((kBuilt / "Data/Pak/default.vxr").string());
  archive.SetOpenMode(opReadOnly);
  ASSERT_EQ(archive.Open(), 0);
  // Every picture drawn is there (their pixels are compared in datagen_art_tests.cpp).
  for (const auto& art : AllArt()) EXPECT_GE(archive.FindRecord(art.key), 0) << art.key;
  for (int32_t i = 0; i < archive.RecordCount(); ++i) {
    if (archive.RecordType(i) != kRecordPicture) continue;
    const std::string key = archive.RecordKey(i);
    SCOPED_TRACE(key);
    std::vector<uint8_t> bmp;
    uint32_t size = 0;
    ASSERT_EQ(archive.ReadRecord(key, bmp, size), 0);
    TBitmapEx pic;
    ASSERT_EQ(pic.LoadFromRecDb(archive, key, pkBmp), 0);
    bool opaque = true;
    for (int y = 0; y < pic.Height() && opaque; ++y)
      for (int x = 0; x < pic.Width() && opaque; ++x) opaque = (pic.Pixel(x, y) >> 24) == 0xFF;
    // Header fields an outside decoder relies on.
    const int bits = opaque ? 24 : 32;
    const uint32_t row = (static_cast<uint32_t>(pic.Width()) * bits / 8 + 3) & ~3u;
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    const uint32_t dataOffset = U32(bmp, 10);
    EXPECT_GE(U32(bmp, 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(U32(bmp, 18)), pic.Width());
    EXPECT_EQ(std::abs(static_cast<int32_t>(U32(bmp, 22))), pic.Height());
    EXPECT_EQ(U16(bmp, 26), 1);
    EXPECT_EQ(U16(bmp, 28), bits);
    EXPECT_EQ(dataOffset + row * pic.Height(), bmp.size());
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

TEST_F(ProgramFolderTest, FontsArchiveHoldsEveryEngineFontDefaultFirst) {
  TRecDb archive;
  archive.SetFileName((kBuilt / "Data/fonts.vxr").string());
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

}  // namespace
}  // namespace vx::datagen
