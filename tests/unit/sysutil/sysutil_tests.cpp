// System utilities: the temporary folder, the program path, memory counters and the SQLite
// 2 binding.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "sysutil/SQLiteBinding.h"
#include "sysutil/SysUtils.h"
#include "support/TempDir.h"

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

const char* kStatus =
    "Name:\tvxcasino\nVmPeak:\t  300000 kB\nVmSize:\t  250000 kB\nVmLck:\t       4 kB\nVmPin:\t       8 kB\n"
    "VmHWM:\t    1000 kB\nVmRSS:\t    1200 kB\nVmPTE:\t      64 kB\n";
const char* kStatm = "62500 300 100 10 0 2000 0\n";
const char* kStat = "4242 (vx casino (x)) S 1 4242 4242 0 -1 4194560 150 0 7 0 12 3 0 0 20 0 1 0\n";

}  // namespace

TEST(TempFolder, IsThePerUserFolderWithoutTrailingSeparator) {
  vxtest::TempDir t;
  ScopedEnv env("TMPDIR", t.Str() + "/");
  const std::string dir = vx::GetWindowsTempFolder();
  EXPECT_EQ(dir, t.Str() + "/vxcasino-" + std::to_string(::geteuid()));
  struct stat st;
  ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  // A relative TMPDIR is not trusted: the system folder is used instead.
  ScopedEnv rel("TMPDIR", "relative/tmp");
  EXPECT_EQ(vx::GetWindowsTempFolder().rfind("/tmp/vxcasino-", 0), 0u);
}

TEST(ModuleFileName, IsTheRunningProgram) {
  const std::string path = vx::GetModuleFileName();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("sysutil_tests"), std::string::npos);
}

TEST(MemoryCounters, LiveValuesAreSaneAndGrowWithUse) {
  vx::TProcessMemoryCounters c;
  ASSERT_TRUE(vx::GetProcessMemoryInfo(c));
  EXPECT_GT(c.PageFaultCount, 0u);
  EXPECT_GT(c.WorkingSetSize, 0u);
  EXPECT_LE(c.WorkingSetSize, c.PeakWorkingSetSize);
  EXPECT_GT(c.PagefileUsage, 0u);
  EXPECT_LE(c.PagefileUsage, c.PeakPagefileUsage);
  EXPECT_LE(c.QuotaPagedPoolUsage, c.QuotaPeakPagedPoolUsage);

  // Touching 32 MiB shows in the working set, its peak and the fault count.
  std::vector<char> block(32u << 20);
  for (size_t i = 0; i < block.size(); i += 4096) block[i] = static_cast<char>(i);
  vx::TProcessMemoryCounters after;
  ASSERT_TRUE(vx::GetProcessMemoryInfo(after));
  EXPECT_GE(after.PeakWorkingSetSize, c.WorkingSetSize + (16u << 20));
  EXPECT_GT(after.PageFaultCount, c.PageFaultCount);
  EXPECT_LE(after.WorkingSetSize, after.PeakWorkingSetSize);
  EXPECT_EQ(block[4096], static_cast<char>(4096));
}

TEST(MemoryCounters, ParsedFromTheSystemTexts) {
  vx::TProcessMemoryCounters c;
  ASSERT_TRUE(vx::ParseProcessMemoryInfo(kStatus, kStatm, kStat, 4096, c));
  EXPECT_EQ(c.PageFaultCount, 157u);  // a command name with blanks and ")" does not shift fields
  EXPECT_EQ(c.WorkingSetSize, 1200u * 1024);
  EXPECT_EQ(c.PeakWorkingSetSize, 1200u * 1024);  // the lagging high-water mark is raised
  EXPECT_EQ(c.QuotaPagedPoolUsage, 64u * 1024);
  EXPECT_EQ(c.QuotaNonPagedPoolUsage, 12u * 1024);
  EXPECT_EQ(c.PagefileUsage, 2000u * 4096);
  EXPECT_EQ(c.PeakPagefileUsage, 300000u * 1024);

  // Missing or malformed texts fail and leave the counters alone.
  vx::TProcessMemoryCounters keep;
  keep.WorkingSetSize = 77;
  EXPECT_FALSE(vx::ParseProcessMemoryInfo("", kStatm, kStat, 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo("VmRSS: 12x kB\nVmHWM: 1 kB\n", kStatm, kStat, 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo(kStatus, "1 2", kStat, 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo(kStatus, "1 2 3 4 5 99999999999999999999 7", kStat, 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo(kStatus, "1 2 3 4 5 18446744073709551 7", kStat, 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo(kStatus, kStatm, "4242 no parenthesis", 4096, keep));
  EXPECT_FALSE(vx::ParseProcessMemoryInfo(kStatus, kStatm, "1 (x) S 1 2", 4096, keep));
  EXPECT_EQ(keep.WorkingSetSize, 77u);
}

TEST(SQLiteBinding, MissingLibraryChangesNothing) {
  vx::SQLiteBinding b;
  EXPECT_FALSE(b.Load());
  EXPECT_FALSE(b.Loaded());
  EXPECT_EQ(b.BoundCount(), 0);
  EXPECT_FALSE(b.LastError().empty());
  EXPECT_FALSE(b.Load("/nonexistent/libsqlite.so.0"));
  EXPECT_EQ(b.Entry(0), nullptr);
  EXPECT_EQ(b.Entry(99), nullptr);
  // The program's own binding is the same: nothing found, nothing else affected.
  EXPECT_FALSE(vx::SQLite().Load());
}

TEST(SQLiteBinding, BindingStopsAtTheFirstMissingEntry) {
  vx::SQLiteBinding b;
  ASSERT_TRUE(b.Load(VX_FAKE_SQLITE2)) << b.LastError();
  EXPECT_TRUE(b.Loaded());
  EXPECT_EQ(b.BoundCount(), 3);
  EXPECT_NE(b.Entry(2), nullptr);
  for (int i = 3; i < 15; ++i) EXPECT_EQ(b.Entry(i), nullptr) << i;
  EXPECT_NE(b.LastError().find("sqlite_libversion"), std::string::npos);
  b.Unload();
  EXPECT_FALSE(b.Loaded());
  EXPECT_EQ(b.Entry(0), nullptr);
}
