// The program folder's lock against real processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace {

// Runs `body` in a forked child; its exit code comes back (the child _exits with it).
template <class F>
int InChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// A helper forked without exec (as a system dialog's is) does not keep the folder; a killed
// holder holds nothing; a living one is named; a refused second holder leaves the first's hold.
TEST(FolderLock, OnlyItsLivingProcessHoldsTheFolder) {
  vxtest::TempDir dir;
  const std::string folder = dir.Str();
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    vx::FolderLock lock;
    pid_t helper = lock.Acquire(folder) ? ::fork() : -1;
    if (helper == 0) ::pause();
    if (::write(fds[1], &helper, sizeof helper) > 0) ::pause();
    ::_exit(0);
  }
  pid_t helper = 0;
  if (::read(fds[0], &helper, sizeof helper) != static_cast<ssize_t>(sizeof helper) || helper <= 0) {
    ::kill(holder, SIGKILL);
    FAIL() << "the holder could not take the folder";
  }
  vx::FolderLock mine;
  EXPECT_FALSE(mine.Acquire(folder));
  EXPECT_TRUE(mine.Busy());
  EXPECT_EQ(mine.HolderPid(), holder);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  std::string error;
  EXPECT_TRUE(mine.Acquire(folder, &error)) << error;  // the helper still lives
  ::kill(helper, SIGKILL);
  EXPECT_FALSE(vx::FolderLock().Acquire(folder));
  EXPECT_EQ(InChild([&] { return vx::FolderLock().Acquire(folder) ? 0 : 1; }), 1);
  mine.Release();
  EXPECT_EQ(InChild([&] { return vx::FolderLock().Acquire(folder) ? 0 : 1; }), 0);
}
