// The program opens its window, runs until the window is closed and exits cleanly.
#include <gtest/gtest.h>
#include <SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/MainForm.h"
#include "platform/MessagePump.h"

TEST(MainWindow, OpensRunsUntilClosedAndShutsDownOnce) {
  vx::MainPump().ResetForTests();
  TfrmMain form;
  ASSERT_TRUE(form.Create());
  EXPECT_EQ(form.Window().Caption(), "Orvanta Cards Casino");
  int w = 0, h = 0;
  form.Window().GetClientSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_EQ(vx::MainPump().Handler(), &form);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  form.Run();
  EXPECT_TRUE(vx::MainPump().Terminated());
  form.Finalize();
  form.Finalize();
  EXPECT_TRUE(form.Finalized());
  EXPECT_FALSE(form.Window().IsCreated());
  EXPECT_EQ(vx::MainPump().Handler(), nullptr);
  vx::MainPump().ResetForTests();
}

TEST(Program, ExitsCleanlyWhenAskedToClose) {
  // SDL turns SIGTERM into a close request, as a window manager's close would be.
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::execl(VX_PROGRAM, VX_PROGRAM, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the program ended by itself";
  ::kill(pid, SIGTERM);
  pid_t done = 0;
  for (int i = 0; i < 200 && done == 0; ++i) {
    done = ::waitpid(pid, &status, WNOHANG);
    if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (done == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << "the program did not close";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
