// The resource manager: loose files over archive records, case-insensitive archive keys,
// temporary copies, refused names and damaged data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXPicturePrefetch.h"
#include "framework/VXResources.h"
#include "platform/Files.h"
#include "render/BitmapEx.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/BmpWriter.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Picture(int32_t w, int32_t h, uint32_t colour) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h), colour);
  return vxtools::EncodeBmp(w, h, pixels.data(), 24);
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  vxtest::TempDir::WriteFile(path.string(), std::string(bytes.begin(), bytes.end()));
}

std::string ReadText(const std::string& path) {
  std::string out;
  vx::ReadWholeFile(path, out);
  return out;
}

// A program folder with Data\fonts.vxr, Data\Pak\default.vxr and a temporary folder.
struct ProgramFolder {
  ProgramFolder() {
    data = dir.Path() / "Data";
    pak = data / "Pak";
    temp = dir.Path() / "tmp";
    fs::create_directories(pak);
    fs::create_directories(temp);
    std::vector<vxtools::TArchiveItem> items;
    items.push_back({"Lobby\\Table.bmp", 0, Picture(4, 3, 0xFF0000FFu), 0});
    items.push_back({"Lobby\\theme.scn", 0, {'[', 'A', ']', '\n'}, 0});
    items.push_back({"Lobby\\Broken.bmp", 0, {'B', 'M', 1, 2, 3}, 0});
    EXPECT_TRUE(vxtools::WriteArchiveFile((pak / "default.vxr").string(), items));
    EXPECT_TRUE(vxtools::WriteArchiveFile((data / "fonts.vxr").string(), {}));
  }
  std::unique_ptr<TVXResourceManager> Open() const {
    return std::make_unique<TVXResourceManager>(data.string(), pak.string(), temp.string());
  }
  vxtest::TempDir dir;
  fs::path data, pak, temp;
};

}  // namespace

TEST(ResourceManager, LooseFilesInThePakFolderBeatArchiveRecords) {
  ProgramFolder p;
  WriteBytes(p.data / "Lobby" / "Table.bmp", Picture(9, 9, 0xFF00FF00u));  // directly in Data: ignored
  auto rm = p.Open();
  EXPECT_TRUE(rm->FontsArchive.Opened());
  EXPECT_TRUE(rm->DataArchive.Opened());
  EXPECT_FALSE(rm->OverrideFolder.empty());
  TBitmapEx bmp;
  ASSERT_TRUE(rm->LoadBitmap("Lobby\\Table.bmp", bmp));
  EXPECT_EQ(bmp.Width(), 4);  // the record

  WriteBytes(p.pak / "Lobby" / "Table.bmp", Picture(7, 5, 0xFF00FF00u));
  ASSERT_TRUE(rm->LoadBitmap("Lobby\\Table.bmp", bmp));
  EXPECT_EQ(bmp.Width(), 7);  // the loose file
  EXPECT_EQ(bmp.Pixel(0, 0) & 0xFFFFFFu, 0x00FF00u);
  const std::string path = rm->GetFileName("Lobby\\Table.bmp");
  EXPECT_EQ(fs::path(path), p.pak / "Lobby" / "Table.bmp");
  EXPECT_TRUE(rm->FileExists("Lobby\\Table.bmp"));
}

TEST(ResourceManager, ArchiveKeysIgnoreCase) {
  ProgramFolder p;
  auto rm = p.Open();
  EXPECT_TRUE(rm->FileExists("LOBBY\\table.BMP"));
  TBitmapEx bmp;
  EXPECT_TRUE(rm->LoadBitmap("lobby\\TABLE.bmp", bmp));
  EXPECT_FALSE(rm->FileExists("Lobby\\Chair.bmp"));
}

TEST(ResourceManager, RecordsBecomeFilesInTheTemporaryFolderOnEveryCall) {
  ProgramFolder p;
  auto rm = p.Open();
  const std::string path = rm->GetFileName("Lobby\\theme.scn");
  EXPECT_EQ(fs::path(path).filename(), "Lobby_theme.scn");
  EXPECT_EQ(fs::path(path).parent_path(), p.temp);
  EXPECT_EQ(ReadText(path), "[A]\n");
  vxtest::TempDir::WriteFile(path, "changed");
  EXPECT_EQ(ReadText(rm->GetFileName("Lobby\\theme.scn")), "[A]\n");
  EXPECT_EQ(rm->GetFileName("Lobby\\missing.scn"), "");

  // A temporary copy that cannot be written gives no name and a log line, and the player is
  // told once.
  std::vector<std::string> told;
  rm->OnTempCopyFailed = [&](const std::string& error) { told.push_back(error); };
  vx::InjectFileFaultForTests(vx::FileFault::Write);
  vx::ClearLog();
  EXPECT_EQ(rm->GetFileName("Lobby\\theme.scn"), "");
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot write the temporary copy"));
  fs::remove_all(p.temp);
  vxtest::TempDir::WriteFile(p.temp.string(), "a file where the folder should be");
  EXPECT_EQ(rm->GetFileName("Lobby\\theme.scn"), "");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_FALSE(told[0].empty());
}

TEST(ResourceManager, MissingArchivesAreReportedNeverCreated) {
  vxtest::TempDir dir;
  vx::ClearLog();
  TVXResourceManager rm(dir.File("Data"), dir.File("Data/Pak"), dir.File("tmp"));
  EXPECT_TRUE(vx::LogContains("RECDB: FATAL ERROR"));
  EXPECT_FALSE(rm.FontsArchive.Opened());
  EXPECT_FALSE(fs::exists(dir.Path() / "Data"));
  EXPECT_TRUE(rm.OverrideFolder.empty());
  EXPECT_FALSE(rm.FileExists("Lobby\\Table.bmp"));
  TBitmapEx bmp;
  EXPECT_FALSE(rm.LoadBitmap("Lobby\\Table.bmp", bmp));
  EXPECT_EQ(rm.GetFileName("Lobby\\Table.bmp"), "");
}

TEST(ResourceManager, WithoutAPakFolderNoLooseFileIsConsulted) {
  vxtest::TempDir dir;
  // A file that a missing override folder would otherwise find relative to the current folder.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.Path());
  WriteBytes(dir.Path() / "Lobby" / "Table.bmp", Picture(2, 2, 0));
  TVXResourceManager rm(dir.File("Data"), "", dir.File("tmp"));
  const bool exists = rm.FileExists("Lobby\\Table.bmp");
  TBitmapEx bmp;
  const bool loaded = rm.LoadBitmap("Lobby\\Table.bmp", bmp);
  fs::current_path(cwd);
  EXPECT_FALSE(exists);
  EXPECT_FALSE(loaded);
}

TEST(ResourceManager, DamagedPicturesAndUnsafeNamesAreRefused) {
  ProgramFolder p;
  auto rm = p.Open();
  vx::ClearLog();
  TBitmapEx bmp;
  EXPECT_FALSE(rm->LoadBitmap("Lobby\\Broken.bmp", bmp));
  EXPECT_TRUE(vx::LogContains("ERROR: Lobby\\Broken.bmp"));
  WriteBytes(p.pak / "Lobby" / "Loose.bmp", {'B', 'M', 0, 0});
  EXPECT_FALSE(rm->LoadBitmap("Lobby\\Loose.bmp", bmp));

  // Names that would leave the resource folders.
  WriteBytes(p.dir.Path() / "secret.bmp", Picture(2, 2, 0));
  for (const std::string& name : std::vector<std::string>{"..\\..\\secret.bmp", "Lobby/../../secret.bmp", "\\secret.bmp", "",
                                 std::string("Lobby\\Table.bmp\0x", 18), "Lobby\\\x01.bmp"}) {
    EXPECT_FALSE(rm->FileExists(name)) << name;
    EXPECT_FALSE(rm->LoadBitmap(name, bmp)) << name;
    EXPECT_EQ(rm->GetFileName(name), "") << name;
  }
  EXPECT_TRUE(vx::LogContains("ERROR: Refused resource name"));
  EXPECT_TRUE(TVXResourceManager::IsSafeName("Casinos.dll\\CARD_1.bmp"));
}

// Pictures decoded ahead on the worker come out as a direct load gives them, whatever the
// name's case, the order they are asked for in, or how little the worker may hold at once;
// loose files still win, damaged and missing ones fail as before, and each is handed over once.
TEST(ResourceManager, PrefetchedPicturesAreTheOnesADirectLoadGives) {
  ProgramFolder p;
  std::vector<vxtools::TArchiveItem> items;
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<std::string> names;
  for (int i = 0; i < 24; ++i) {
    names.push_back("Theme\\Pic" + std::to_string(i) + ".bmp");
    items.push_back({names.back(), 0, Picture(1 + next() % 40, 1 + next() % 30, next()), 0});
  }
  items.push_back({"Theme\\Broken.bmp", 0, {'B', 'M', 1, 2, 3}, 0});
  items.push_back({"Other\\Pic0.bmp", 0, Picture(3, 3, 0xFF112233u), 0});
  ASSERT_TRUE(vxtools::WriteArchiveFile((p.pak / "default.vxr").string(), items));
  WriteBytes(p.pak / "Theme" / "Pic5.bmp", Picture(2, 2, 0xFF00FF00u));
  names.insert(names.end(), {"Theme\\Broken.bmp", "Theme\\Missing.bmp", "Other\\Pic0.bmp"});

  auto direct = p.Open();
  auto ahead = p.Open();
  for (int pass = 0; pass < 2; ++pass) {
    ahead->PrefetchPictures({"THEME", "nowhere"});
    for (size_t k = 0; k < names.size(); ++k) {
      // The second pass asks in reverse and upper case, past what the worker has reached.
      const std::string name = pass == 0 ? names[k] : vx::UpperCase(names[names.size() - 1 - k]);
      TBitmapEx a, b;
      const bool loadedA = direct->LoadBitmap(name, a);
      vx::ClearLog();
      const bool loadedB = ahead->LoadBitmap(name, b);
      ASSERT_EQ(loadedA, loadedB) << name;
      if (vx::SameText(name, "Theme\\Broken.bmp")) {
        EXPECT_TRUE(vx::LogContains("ERROR: " + name));
      }
      ASSERT_EQ(a.Width(), b.Width()) << name;
      ASSERT_EQ(a.Height(), b.Height()) << name;
      if (loadedA) {
        EXPECT_TRUE(std::equal(a.Pixels(), a.Pixels() + a.Width() * a.Height(), b.Pixels())) << name;
      }
      // Taken once: asked again, it is decoded again.
      TBitmapEx c;
      EXPECT_EQ(ahead->LoadBitmap(name, c), loadedA);
      EXPECT_EQ(c.Width(), a.Width());
    }
    ahead->EndPrefetch();
  }

  // A worker allowed to hold almost nothing still hands over what it decoded (what it has not
  // reached is the caller's to decode); one stopped with work left ends at once.
  const std::string archive = vx::ResolvePath((p.pak / "default.vxr").string());
  {
    TPicturePrefetch tight(archive, names, 1);
    for (const std::string& name : names) {
      TBitmapEx a, b;
      if (!tight.Take(name, b)) continue;
      ASSERT_EQ(a.LoadFromRecDb(direct->DataArchive, name, pkBmp), 0);  // the record, not a loose file
      EXPECT_TRUE(a.Width() == b.Width() && std::equal(a.Pixels(), a.Pixels() + a.Width() * a.Height(), b.Pixels()));
    }
  }
  TPicturePrefetch abandoned(archive, names, 1);
  TPicturePrefetch broken(p.dir.File("none.vxr"), names);
  TBitmapEx bmp;
  EXPECT_FALSE(broken.Take(names[0], bmp));
}

// The start reads every record of an archive: however the records are shared out to be read,
// the damaged one reported is the first in the archive's order, wherever it lies.
TEST(ResourceManager, TheArchiveCheckReportsTheFirstDamagedRecord) {
  vxtest::TempDir dir;
  std::vector<vxtools::TArchiveItem> items;
  for (int i = 0; i < 100; ++i) items.push_back({"P\\" + std::to_string(i) + ".bmp", 0, Picture(8, 8, 0xFF000000u | i), 0});
  vxtools::TArchiveLayout at;
  const std::vector<uint8_t> whole = vxtools::BuildArchive(items, 9, &at);
  // The records to damage, and the one named.
  const std::pair<std::vector<int>, int> cases[] = {{{}, -1}, {{99}, 99}, {{97, 60}, 60}, {{0, 98}, 0}, {{51, 49}, 49}};
  for (const auto& [damaged, named] : cases) {
    std::vector<uint8_t> bytes = whole;
    for (int i : damaged) bytes[at.RecordOffsets[static_cast<size_t>(i)] + 24] ^= 0xFF;
    const std::string file = dir.File("check.vxr");
    vxtest::TempDir::WriteFile(file, std::string(bytes.begin(), bytes.end()));
    TRecDb archive;
    archive.SetFileName(file);
    archive.SetOpenMode(opReadOnly);
    ASSERT_EQ(archive.Open(), 0);
    std::string key;
    const int32_t code = TVXResourceManager::CheckArchive(archive, &key);
    EXPECT_EQ(code == 0, named < 0) << named;
    EXPECT_EQ(key, named < 0 ? "" : items[static_cast<size_t>(named)].Key) << named;
    // The archive still reads after its check.
    std::vector<uint8_t> record;
    uint32_t size = 0;
    EXPECT_EQ(archive.ReadRecord("P\\1.bmp", record, size), 0);
  }
}
