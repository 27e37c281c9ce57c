// The per-user temporary folder refuses what someone else could have planted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/Log.h"
#include "platform/Process.h"
#include "platform/TempFolder.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {
std::string Expected(const vxtest::TempDir& t) { return t.Str() + "/vxcasino-" + std::to_string(::geteuid()); }
}  // namespace

TEST(UserTempFolder, CreatedPrivateAndReused) {
  vxtest::TempDir t;
  std::string err;
  const std::string dir = vx::UserTempFolderIn(t.Str() + "//", &err);
  ASSERT_EQ(dir, Expected(t)) << err;
  struct stat st;
  ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  // Our own folder with a loose mode is tightened, not refused.
  ::chmod(dir.c_str(), 0777);
  EXPECT_EQ(vx::UserTempFolderIn(t.Str()), dir);
  ::lstat(dir.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_TRUE(vx::UserTempFolderIn("relative").empty());
}

TEST(UserTempFolder, RefusesAPlantedLinkAFileAndAForeignOwner) {
  vx::ClearLog();
  {
    vxtest::TempDir t;
    fs::create_directories(t.Path() / "victim");
    fs::create_directory_symlink(t.Path() / "victim", Expected(t));
    std::string err;
    EXPECT_EQ(vx::UserTempFolderIn(t.Str(), &err), "");
    EXPECT_NE(err.find("symbolic link"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_symlink(Expected(t)));  // left alone
    // A dangling link is refused the same way (mkdir does not follow it).
    fs::remove(Expected(t));
    fs::create_directory_symlink(t.Path() / "gone", Expected(t));
    EXPECT_EQ(vx::UserTempFolderIn(t.Str(), &err), "");
    EXPECT_FALSE(fs::exists(t.Path() / "gone"));
  }
  {
    vxtest::TempDir t;
    vxtest::TempDir::WriteFile(Expected(t), "file");
    EXPECT_EQ(vx::UserTempFolderIn(t.Str()), "");
  }
  {
    vxtest::TempDir t;
    ASSERT_EQ(::mkdir(Expected(t).c_str(), 0700), 0);
    const uid_t other = ::geteuid() == 4242 ? 4343 : 4242;
    if (::chown(Expected(t).c_str(), other, static_cast<gid_t>(-1)) != 0) GTEST_SKIP() << "cannot chown (not root)";
    std::string err;
    EXPECT_EQ(vx::UserTempFolderIn(t.Str(), &err), "");
    EXPECT_NE(err.find("belongs to user"), std::string::npos) << err;
  }
  EXPECT_TRUE(vx::LogContains("ERROR: temporary folder refused"));
}

TEST(ProcessFacts, ProgramPathAndCurrentFolderFiles) {
  EXPECT_NE(vx::ProgramFilePath().find("platform_tests"), std::string::npos);
  EXPECT_EQ(vx::ProgramFolder().back(), '/');
  EXPECT_GT(vx::PageSize(), 0u);

  vxtest::TempDir t;
  const fs::path old = fs::current_path();
  fs::current_path(t.Path());
  EXPECT_FALSE(vx::CurrentFolderFileExists("dev.id"));
  vxtest::TempDir::WriteFile("DEV.ID", "");
  EXPECT_TRUE(vx::CurrentFolderFileExists("dev.id"));  // the original file system ignored case
  fs::create_directory("sub");
  vxtest::TempDir::WriteFile("sub/dev.id", "");
  EXPECT_FALSE(vx::CurrentFolderFileExists("sub/dev.id"));
  EXPECT_FALSE(vx::CurrentFolderFileExists("sub"));
  EXPECT_FALSE(vx::CurrentFolderFileExists(""));
  fs::current_path(old);
}
