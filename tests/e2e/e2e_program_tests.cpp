// The real program as a process, headless on SDL's offscreen driver, on the generated data:
// it starts, runs its start sequence up to the login dialog, and a close request (SIGTERM, which SDL turns into a quit event, as a window
// manager's close would be) shuts it down cleanly with "settings.xml" written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A program folder of its own (a copy of the executable, the generated data linked in) and a
// separate current folder, so nothing the run writes touches the build's program folder.
struct Installation {
  vxtest::TempDir dir;
  fs::path program = dir.Path() / "program";
  fs::path cwd = dir.Path() / "cwd";

  Installation() {
    fs::create_directories(program);
    fs::create_directories(cwd);
    fs::copy_file(VX_PROGRAM, program / "vxcasino");
    for (const char* sub : {"Data", "Sounds", "Casinos", "Help"}) {
      const fs::path source = fs::path(VX_PROGRAM_DIR) / sub;
      if (fs::exists(source)) fs::create_directory_symlink(source, program / sub);
    }
  }

  // `errors`, when given, receives what the program writes to stderr.
  pid_t Start(const std::string& errors = {}) const {
    const std::string exe = (program / "vxcasino").string();
    const std::string here = cwd.string();
    pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(here.c_str()) != 0) ::_exit(126);
      if (!errors.empty() && !std::freopen(errors.c_str(), "w", stderr)) ::_exit(125);
      ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }

  std::string DebugLog() const {
    const fs::path p = program / "vxcasino_debug.log";
    return fs::exists(p) ? vxtest::TempDir::ReadFile(p.string()) : std::string();
  }
};

// Waits until the developer log shows the sign-in box (the start sequence is done).
bool ReachesSignIn(const Installation& inst, pid_t pid) {
  for (int i = 0; i < 600; ++i) {
    if (inst.DebugLog().find("INFO: Login dialog") != std::string::npos) return true;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != 0) return false;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

// Whether the program has reached its own code and catches the close request: before that, a
// loaded machine can still be starting the sanitizer runtime, and SIGTERM would simply kill it.
bool CatchesCloseRequests(pid_t pid) {
  for (int i = 0; i < 1200; ++i) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1) != 0)
        return true;
    }
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

bool Running(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, WNOHANG) == 0;
}

// Sends the close request and waits for the exit. -1 when the program had to be killed or did
// not end normally.
int CloseAndWait(pid_t pid, int signal = SIGTERM) {
  ::kill(pid, signal);
  int status = 0;
  for (int i = 0; i < 1200; ++i) {  // a minute: the leak check at exit is slow on a busy machine
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(50ms);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(Program, DeveloperRunReachesTheSignInBoxAndClosesInOrderOnRequest) {
  Installation inst;
  vxtest::TempDir::WriteFile((inst.cwd / "dev.id").string(), "");
  // A stored option the program must not keep: vertical sync is forced on at every load.
  vxtest::TempDir::WriteFile((inst.program / "settings.xml").string(),
                             "<VXSetting><optVSync>False</optVSync><optMusicVolume>55</optMusicVolume></VXSetting>");
  const pid_t pid = inst.Start();
  ASSERT_GT(pid, 0);
  // The debug log is written as lines arrive: follow the start sequence through it.
  bool boxShown = false;
  for (int i = 0; i < 600 && !boxShown && Running(pid); ++i) {
    boxShown = inst.DebugLog().find("INFO: Login dialog") != std::string::npos;
    if (!boxShown) std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(boxShown) << inst.DebugLog();
  std::this_thread::sleep_for(500ms);  // the modal loop keeps the program drawing
  ASSERT_TRUE(Running(pid));
  EXPECT_EQ(CloseAndWait(pid), 0);

  const std::string log = inst.DebugLog();
  EXPECT_NE(log.find("FONTS LOADED"), std::string::npos) << log;
  EXPECT_EQ(log.find("INFO: Intro"), std::string::npos);  // no intro in developer mode
  size_t at = 0;
  for (const char* step : {"Casinos read: 1", "Players read: 0", "City and menu bar ready", "Login dialog",
                           "City freed", "Menu bar freed", "Players saved and freed", "Casinos saved and freed"}) {
    const size_t next = log.find(std::string("INFO: ") + step, at);
    ASSERT_NE(next, std::string::npos) << step << "\n" << log;
    EXPECT_EQ(Count(log, std::string("INFO: ") + step), 1u) << step;
    at = next;
  }
  EXPECT_EQ(log.find("ERROR:"), std::string::npos) << log;
  const std::string settings = vxtest::TempDir::ReadFile((inst.program / "settings.xml").string());
  EXPECT_NE(settings.find("<optVSync>True</optVSync>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("<optMusicVolume>55</optMusicVolume>"), std::string::npos) << settings;
}

TEST(Program, PlayerRunKeepsTheShippedSoundChoiceAndWritesNoDebugLog) {
  Installation inst;
  // A fresh settings object is silent; the game's own choice comes with the generated file.
  fs::copy_file(fs::path(VX_PROGRAM_DIR) / "settings.xml", inst.program / "settings.xml");
  const pid_t pid = inst.Start();
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(CatchesCloseRequests(pid));
  std::this_thread::sleep_for(2500ms);  // intro fade, then the sign-in box
  ASSERT_TRUE(Running(pid)) << "the program ended by itself";
  EXPECT_EQ(CloseAndWait(pid), 0);
  const fs::path file = inst.program / "settings.xml";
  ASSERT_TRUE(fs::exists(file));
  const std::string settings = vxtest::TempDir::ReadFile(file.string());
  EXPECT_NE(settings.find("<optSoundEnabled>True</optSoundEnabled>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("<optMusicVolume>100</optMusicVolume>"), std::string::npos) << settings;
  EXPECT_TRUE(inst.DebugLog().empty());
  EXPECT_FALSE(fs::exists(inst.program / "vxcasino_debug.log"));
}

// One copy per program folder: a second start names the living holder and stops; a copy
// killed outright holds nothing; Ctrl+C closes as the window's close button does.
TEST(Program, ASecondStartNamesTheHolderAndAKilledCopyLeavesTheFolderFree) {
  Installation inst;
  vxtest::TempDir::WriteFile((inst.cwd / "dev.id").string(), "");
  const pid_t first = inst.Start();
  ASSERT_TRUE(ReachesSignIn(inst, first)) << inst.DebugLog();
  const std::string errors = (inst.dir.Path() / "second.err").string();
  int status = 0;
  ::waitpid(inst.Start(errors), &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  const std::string told = vxtest::TempDir::ReadFile(errors);
  EXPECT_NE(told.find("already running from this folder"), std::string::npos) << told;
  EXPECT_NE(told.find("as process " + std::to_string(first) + "."), std::string::npos) << told;
  ::kill(first, SIGKILL);
  ::waitpid(first, &status, 0);
  fs::remove(inst.program / "settings.xml");
  fs::remove(inst.program / "vxcasino_debug.log");
  const pid_t third = inst.Start();
  ASSERT_TRUE(ReachesSignIn(inst, third)) << inst.DebugLog();
  EXPECT_EQ(CloseAndWait(third, SIGINT), 0);
  EXPECT_TRUE(fs::exists(inst.program / "settings.xml"));
  EXPECT_NE(inst.DebugLog().find("INFO: Close requested by signal " + std::to_string(SIGINT)), std::string::npos);
}
