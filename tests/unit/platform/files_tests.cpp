// File-system boundary: "\" paths, case-insensitive resolution, whole-file reads with a cap,
// atomic replacement that never loses the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using vxtest::TempDir;

namespace {

void Touch(const fs::path& p, const std::string& bytes = "x") {
  fs::create_directories(p.parent_path());
  TempDir::WriteFile(p.string(), bytes);
}

// Leftover temporary siblings in a folder (anything but the listed names).
std::vector<std::string> Leftovers(const fs::path& dir, std::initializer_list<std::string> keep) {
  std::vector<std::string> extra;
  for (auto& e : fs::directory_iterator(dir)) {
    std::string n = e.path().filename().string();
    if (std::find(keep.begin(), keep.end(), n) == keep.end()) extra.push_back(n);
  }
  return extra;
}

}  // namespace

TEST(PathMapping, BackslashesBecomeSlashesAndNamesResolveIgnoringCase) {
  TempDir t;
  Touch(t.Path() / "data/pak/common/x.bmp", "pic");
  const std::string root = t.Str();

  EXPECT_EQ(vx::ToNativePath("Data\\Pak\\Common\\X.BMP"), "Data/Pak/Common/X.BMP");
  EXPECT_EQ(vx::ResolvePath("Data\\Pak\\Common\\X.BMP", root), root + "/data/pak/common/x.bmp");
  // Absolute paths in the system's own form, mixed separators and a trailing separator.
  EXPECT_EQ(vx::ResolvePath(root + "\\DATA\\pak/COMMON\\"), root + "/data/pak/common/");
  EXPECT_TRUE(vx::FileExists(root + "\\Data\\Pak\\Common\\X.BMP"));
  EXPECT_TRUE(vx::DirectoryExists(root + "\\DATA\\PAK"));
  EXPECT_FALSE(vx::FileExists(root + "\\DATA\\PAK"));
  EXPECT_FALSE(vx::DirectoryExists(root + "\\Data\\Pak\\Common\\X.BMP"));
  EXPECT_EQ(vx::FileSize(root + "\\data\\PAK\\common\\x.Bmp"), 3);
  uint64_t size = 0;
  int64_t time = 0, exactTime = 0;
  EXPECT_TRUE(vx::FileSizeAndTime(root + "\\DATA\\pak\\Common\\X.bmp", size, time));
  EXPECT_EQ(size, 3u);
  EXPECT_TRUE(vx::FileSizeAndTime(root + "/data/pak/common/x.bmp", size, exactTime));
  EXPECT_EQ(time, exactTime);
  EXPECT_FALSE(vx::FileSizeAndTime(root + "\\DATA\\PAK", size, time)) << "a folder";
  EXPECT_FALSE(vx::FileSizeAndTime(root + "/nothing", size, time));

  // A missing component keeps the rest as given, so new files get the caller's spelling.
  EXPECT_EQ(vx::ResolvePath("DATA\\New\\File.XML", root), root + "/data/New/File.XML");
  EXPECT_FALSE(vx::FileExists(root + "\\Data\\Pak\\Common\\Y.BMP"));
  EXPECT_EQ(vx::FileSize(root + "/nothing"), -1);
}

TEST(PathMapping, ExactNameWinsOverCaseVariantsAndChoiceIsStable) {
  TempDir t;
  Touch(t.Path() / "Theme.scn", "upper");
  Touch(t.Path() / "theme.scn", "lower");
  Touch(t.Path() / "THEME.SCN", "caps");
  const std::string root = t.Str();
  EXPECT_EQ(vx::ResolvePath("theme.scn", root), root + "/theme.scn");
  EXPECT_EQ(vx::ResolvePath("Theme.scn", root), root + "/Theme.scn");
  // No exact match: the byte-wise smallest variant, every time.
  EXPECT_EQ(vx::ResolvePath("tHeMe.ScN", root), root + "/THEME.SCN");
}

TEST(PathMapping, FolderHelpers) {
  EXPECT_EQ(vx::ExtractFilePath("C:\\Games\\VX\\vxcasino"), "C:\\Games\\VX\\");
  EXPECT_EQ(vx::ExtractFilePath("/opt/vx/Data\\fonts.vxr"), "/opt/vx/Data\\");
  EXPECT_EQ(vx::ExtractFilePath("plain"), "");
  EXPECT_EQ(vx::ExtractFileName("/opt/vx/Data\\fonts.vxr"), "fonts.vxr");

  TempDir t;
  const std::string root = t.Str();
  ASSERT_TRUE(vx::ForceDirectories(root + "\\Casinos\\MakeDefault\\Common\\"));
  EXPECT_TRUE(fs::is_directory(t.Path() / "Casinos/MakeDefault/Common"));
  // Existing folders are reused whatever their case; nothing new is made beside them.
  ASSERT_TRUE(vx::ForceDirectories(root + "\\CASINOS\\makedefault\\Extra"));
  EXPECT_TRUE(fs::is_directory(t.Path() / "Casinos/MakeDefault/Extra"));
  EXPECT_EQ(vx::ListDirectory(root, true, true), std::vector<std::string>{"Casinos"});

  // A file in the way of a folder is an error, not a crash.
  Touch(t.Path() / "blocker");
  std::string err;
  EXPECT_FALSE(vx::ForceDirectories(root + "/blocker/sub", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(vx::ForceDirectories(""));

  Touch(t.Path() / "Casinos/b.txt");
  Touch(t.Path() / "Casinos/a.txt");
  EXPECT_EQ(vx::ListDirectory(root + "\\casinos", true, false), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(vx::ListDirectory(root + "\\casinos", false, true), std::vector<std::string>{"MakeDefault"});
  EXPECT_TRUE(vx::ListDirectory(root + "/missing", true, true).empty());
}

TEST(ReadWholeFile, ReadsEverythingWithinTheCapAndRefusesTheRest) {
  TempDir t;
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  Touch(t.Path() / "Big.bin", big);
  std::string out, err;
  ASSERT_TRUE(vx::ReadWholeFile(t.Str() + "\\BIG.BIN", out, &err)) << err;
  EXPECT_EQ(out, big);

  EXPECT_FALSE(vx::ReadWholeFile(t.Str() + "/Big.bin", out, &err, big.size() - 1));
  EXPECT_TRUE(out.empty());
  EXPECT_NE(err.find("too large"), std::string::npos);
  EXPECT_TRUE(vx::ReadWholeFile(t.Str() + "/Big.bin", out, nullptr, big.size()));

  EXPECT_FALSE(vx::ReadWholeFile(t.Str() + "/missing", out, &err));
  EXPECT_FALSE(vx::ReadWholeFile(t.Str(), out, &err));  // a folder
  // A pipe with nobody writing is refused at once instead of blocking the reader.
  ASSERT_EQ(::mkfifo(t.File("pipe.xml").c_str(), 0600), 0);
  EXPECT_FALSE(vx::ReadWholeFile(t.File("pipe.xml"), out, &err));
  EXPECT_FALSE(vx::FileExists(t.File("pipe.xml")));
  // Files whose reported size is 0 are read to their end all the same.
  ASSERT_TRUE(vx::ReadWholeFile("/proc/self/status", out, &err)) << err;
  EXPECT_NE(out.find("VmRSS"), std::string::npos);
  // ... and the cap still holds for them.
  EXPECT_FALSE(vx::ReadWholeFile("/proc/self/status", out, &err, 16));
}

TEST(AtomicWrite, ReplacesContentAndKeepsCaseAndPermissions) {
  TempDir t;
  Touch(t.Path() / "Players/players.xml", "old");
  ::chmod((t.Path() / "Players/players.xml").c_str(), 0600);
  std::string err;
  ASSERT_TRUE(vx::WriteFileAtomic(t.Str() + "\\PLAYERS\\Players.XML", "new content", &err)) << err;
  EXPECT_EQ(TempDir::ReadFile((t.Path() / "Players/players.xml").string()), "new content");
  EXPECT_EQ(fs::status(t.Path() / "Players/players.xml").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(Leftovers(t.Path() / "Players", {"players.xml"}).empty());

  ASSERT_TRUE(vx::WriteFileAtomic(t.Str() + "/Players/empty.dat", ""));
  EXPECT_EQ(vx::FileSize(t.Str() + "/Players/empty.dat"), 0);
  // A name that is a folder, or no name at all, is refused.
  EXPECT_FALSE(vx::WriteFileAtomic(t.Str() + "/Players/", "x"));
  EXPECT_FALSE(vx::WriteFileAtomic(t.Str() + "/NoFolder/x.xml", "x", &err));
  EXPECT_FALSE(err.empty());
}

TEST(AtomicWrite, InterruptedWriteLeavesTheOldFileIntact) {
  TempDir t;
  const std::string file = t.File("settings.xml");
  TempDir::WriteFile(file, "<old/>");
  for (vx::FileFault fault : {vx::FileFault::Write, vx::FileFault::Sync, vx::FileFault::Rename}) {
    vx::InjectFileFaultForTests(fault);
    std::string err;
    EXPECT_FALSE(vx::WriteFileAtomic(file, std::string(100000, 'n'), &err));
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(TempDir::ReadFile(file), "<old/>");
    EXPECT_TRUE(Leftovers(t.Path(), {"settings.xml"}).empty());
  }
  // The fault is used up: the next write goes through.
  EXPECT_TRUE(vx::WriteFileAtomic(file, "<new/>"));
  EXPECT_EQ(TempDir::ReadFile(file), "<new/>");

  // A real refusal from the system: the target is a non-empty folder.
  fs::create_directories(t.Path() / "busy/inner");
  EXPECT_FALSE(vx::WriteFileAtomic(t.File("busy"), "data"));
  EXPECT_TRUE(fs::is_directory(t.Path() / "busy/inner"));
  EXPECT_TRUE(Leftovers(t.Path(), {"settings.xml", "busy"}).empty());
}

TEST(FileOps, DeleteAndRename) {
  TempDir t;
  Touch(t.Path() / "Game.dat", "g");
  std::string err;
  ASSERT_TRUE(vx::RenameFile(t.Str() + "\\GAME.DAT", t.Str() + "\\Game.dat.bad", &err)) << err;
  EXPECT_TRUE(fs::exists(t.Path() / "Game.dat.bad"));
  EXPECT_FALSE(fs::exists(t.Path() / "Game.dat"));
  // Rename over an existing file replaces it (found whatever its case).
  Touch(t.Path() / "target.dat", "old");
  ASSERT_TRUE(vx::RenameFile(t.Str() + "/Game.dat.bad", t.Str() + "/TARGET.DAT"));
  EXPECT_EQ(TempDir::ReadFile(t.File("target.dat")), "g");
  EXPECT_FALSE(vx::RenameFile(t.Str() + "/nothing", t.Str() + "/else", &err));

  EXPECT_TRUE(vx::DeleteFile(t.Str() + "\\Target.Dat"));
  EXPECT_FALSE(fs::exists(t.Path() / "target.dat"));
  EXPECT_FALSE(vx::DeleteFile(t.Str() + "/target.dat", &err));
  fs::create_directories(t.Path() / "folder");
  EXPECT_FALSE(vx::DeleteFile(t.Str() + "/folder"));
  EXPECT_TRUE(fs::is_directory(t.Path() / "folder"));
}

// Private data stays private whatever the umask; a "\" in the program's own folder is part of
// a name, while the names the program builds still map theirs.
TEST(PrivateFiles, OwnerOnlyModesUnderAnyUmaskAndTheProgramFolderKeptVerbatim) {
  vxtest::TempDir dir;
  const std::string root = dir.Str() + "/odd\\name/";
  std::filesystem::create_directories(root);
  vx::KeepFolderVerbatim(root);
  const mode_t old = ::umask(0);
  ASSERT_TRUE(vx::ForceOwnerOnlyDirectories(root + "Players\\Inner\\"));
  ASSERT_TRUE(vx::WriteFileAtomic(root + "Players\\Inner\\players.xml", "x", nullptr, true));
  ASSERT_TRUE(vx::WriteFilesAtomic(root + "Players\\saves.journal", {{root + "settings.xml", "s"}}));
  ::umask(old);
  struct stat st;
  for (const std::string path : {"Players", "Players/Inner"}) {
    ASSERT_EQ(::stat((root + path).c_str(), &st), 0) << path;
    EXPECT_EQ(st.st_mode & 07777, 0700u) << path;
  }
  for (const std::string path : {"Players/Inner/players.xml", "settings.xml"}) {
    ASSERT_EQ(::stat((root + path).c_str(), &st), 0) << path;
    EXPECT_EQ(st.st_mode & 07777, 0600u) << path;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "odd"));
  // Only the save helpers' own leftovers are removed, never a link planted under such a name.
  std::filesystem::create_symlink(root + "settings.xml", root + ".x.tmp1_2");
  vxtest::TempDir::WriteFile(root + ".y.tmp3_4", "half");
  vxtest::TempDir::WriteFile(root + "y.tmp3_4", "not ours");
  EXPECT_EQ(vx::RemoveStaleTemporaries(root), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(root + ".x.tmp1_2"));
  EXPECT_TRUE(vx::FileExists(root + "settings.xml"));
}
