// The real main window (SDL window on the offscreen driver, GPU device on Mesa's software GL,
// the generated data, the lobby placeholders) driven the way a player drives it: window events
// go into SDL's queue and come back out through the program's own event translation. The run
// goes through the intro fade, the sign-in message box (its frame read back and checked), a
// click on its OK button, the main room's fade and message box, and a close request.
#include <gtest/gtest.h>
#include <SDL.h>

#include <algorithm>
#include <filesystem>

#include "e2e/LobbyPlaceholder.h"
#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXWidgets.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "E2eDriver.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

uint32_t At(const std::vector<uint32_t>& frame, int x, int y) {
  return frame[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)] & 0xFFFFFFu;
}

}  // namespace

TEST(MainWindowEndToEnd, IntroSignInBoxClickMainRoomAndCloseOnTheRealWindow) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir, false);
  vx::MainPump().ResetForTests();
  vx::ClearLog();

  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
  // The shell's own flow, through the placeholders that stood in for the lobby.
  TfrmMain* shell = nullptr;
  options.MakeLobby = [&shell] {
    return std::make_unique<LobbyPlaceholder>([&shell]() -> TVXMainWindow* { return shell; });
  };
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(std::move(options));
  shell = form.get();
  ASSERT_TRUE(form->FormCreate()) << "no GL 3.3 through SDL's offscreen driver";
  ASSERT_TRUE(form->FormShow());
  clock.Drive();
  ASSERT_NE(form->Window(), nullptr);
  const uint32_t window = form->Window()->WindowId();

  // A watcher on the program's own pump plays the player.
  int stage = 0;
  uint64_t boxSince = 0;
  std::vector<uint32_t> boxFrame;
  vx::TimerId watcher = vx::MainPump().SetTimer(50, [&] {
    auto* box = dynamic_cast<TframeMessage*>(form->InputScene());
    if (box == nullptr) return;
    const uint64_t frames = vx::MainPump().Statistics().idlePasses;
    if (stage == 0 && box->OkButton != nullptr && box->CancelButton != nullptr) {
      // The sign-in box is up: give its chrome time to fade in (frames, not time).
      boxSince = frames;
      stage = 1;
    } else if (stage == 1 && frames >= boxSince + 60) {
      int32_t w = 0, h = 0;
      form->Engine->Device()->ReadFrame(boxFrame, w, h);
      stage = 2;
      const TVXButton* ok = box->OkButton;
      vxe2e::PushClick(window, ok);
    } else if (stage == 2 && box->OkButton != nullptr && box->CancelButton == nullptr) {
      // The main room's box, which has no Cancel button. (It may sit where the sign-in box
      // was freed, so its address tells nothing.)
      stage = 3;
      vxe2e::PushQuit();
    }
  });
  form->Run();
  vx::MainPump().KillTimer(watcher);
  form->FormDestroy();
  EXPECT_EQ(stage, 3);

  // What the run went through, in order.
  const auto lines = vx::LogLines();
  size_t at = 0;
  for (const char* step : {"intro (a fade)", "sign-in dialog", "guest signed in", "player changed", "main room",
                           "main room freed", "casino manager freed"}) {
    const std::string line = std::string("INFO: Lobby placeholder: ") + step;
    auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end(), line);
    ASSERT_NE(it, lines.end()) << step;
    at = static_cast<size_t>(it - lines.begin());
  }
  EXPECT_TRUE(fs::exists(program / "settings.xml"));
  EXPECT_FALSE(fs::exists(dir.File("debug.log")));

  // The sign-in box as it was on screen: the frame picture in the middle, the dimmed game
  // around it, a lit button and text inside.
  ASSERT_EQ(boxFrame.size(), 800u * 600u);
  const std::string shot = (fs::path(std::getenv("VX_TEST_TMP") ? std::getenv("VX_TEST_TMP") : "/tmp") /
                            "e2e_sign_in_box.bmp").string();
  vx::WriteFileAtomic(shot, vx::EncodeScreenshotBmp(800, 600, boxFrame));
  EXPECT_EQ(At(boxFrame, 5, 5), 0u);  // black root behind a translucent veil
  size_t lit = 0;
  for (int y = 140; y < 460; y += 4)
    for (int x = 160; x < 640; x += 4) lit += At(boxFrame, x, y) != 0 ? 1 : 0;
  EXPECT_GT(lit, 9000u);  // nearly all of the 120x80 samples inside the frame
  vx::MainPump().ResetForTests();
}
