// The help dialog in the real program (SDL window on the offscreen driver, the GPU device, the
// generated data and help pages), driven by window events: opened from the lobby's button, a
// link clicked where the page lays it out, the page scrolled by its buttons, back to the
// contents by a link, closed; then the about dialog from the lobby's emblem. The page must
// show on screen where the panel is.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "E2eDriver.h"
#include "core/Log.h"
#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "html/HtmlView.h"
#include "lobby/VXAboutForm.h"
#include "lobby/VXHelpForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"

namespace fs = std::filesystem;
using vxe2e::Input;

namespace {

std::string Page(TfrmHelp* help) { return help ? fs::path(help->View().CurrentFile()).filename().string() : ""; }

// Pixels of the screenshot inside the rectangle that differ from the page's background.
int Inked(const vxtest::Shot& shot, int l, int t, int r, int b) {
  int n = 0;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      if ((shot.Pixels[static_cast<size_t>(y) * shot.Width + x] & 0xF0F0F0) != (0x0A2E1C & 0xF0F0F0)) ++n;
  return n;
}

}  // namespace

TEST(HelpEndToEnd, OpenFollowALinkScrollGoBackAndClose) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Help" / "index.html")) << "the help pages are not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::ClearLog();
  {
    TVXSetting settings(program.string() + "/", dir.File("systemtemp"));
    settings.optAutoLoginPlayerName = "TESTER";
    settings.optAutoLoginPlayerPassword = "SECRET7";
    ASSERT_TRUE(settings.Save());
    TVXPlayers players;
    players.FileName = settings.PlayersFile;
    ASSERT_TRUE(players.AddPlayer("TESTER", "SECRET7", "", "", 1));
  }
  vx::MainPump().ResetForTests();
  TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
  vxe2e::FrameClock clock;
  auto form = std::make_unique<TfrmMain>(std::move(options));
  ASSERT_TRUE(form->FormCreate() && form->FormShow()) << "no GL 3.3 through SDL's offscreen driver";
  clock.Drive();
  TfrmMain& f = *form;
  const uint32_t window = f.Window()->WindowId();
  auto help = [&] { return Input<TfrmHelp>(f); };
  auto inLobby = [&] {
    TMainRoom* room = vxe2e::LobbyOf(f).MainRoom;
    return room != nullptr && !room->Scene()->Hidden && f.InputScene() == f.MainScene();
  };
  // A click on the screen where the page lays the text out.
  auto clickText = [&](const std::string& text) {
    ThtmlView& v = help()->View();
    const int i = v.Document().FindString(0, vx::UpperCase(text), false);
    int x = 0, y = 0;
    ASSERT_TRUE(i >= 0 && v.Document().CursorToXY(i, x, y)) << text;
    const int sx = help()->PnlHtmlView->Left() + x + v.MarginWidth() + 3;
    const int sy = help()->PnlHtmlView->Top() + y - v.Position() + 6;
    vxe2e::PushMove(window, sx, sy);
    vxe2e::PushClick(window, sx, sy);
  };
  vxtest::Shot indexShot, pokerShot, aboutShot;

  vxe2e::Script s(f);
  s.Add("the intro", [&] { return f.GetAnim(0) != nullptr; }, [&] { vxe2e::PushClick(window, 400, 300); });
  s.Add("the lobby", inLobby, [&] { vxe2e::PushClick(window, vxe2e::LobbyOf(f).MainRoom->Scene()->BtnHelp); }, 40);
  s.Add("the help's index", [&] { return Page(help()) == "index.html"; },
        [&] {
          indexShot = vxe2e::Screenshot(f);
          clickText("How video poker plays");
        });
  s.Add("the page the link names", [&] { return Page(help()) == "poker.html"; },
        [&] {
          pokerShot = vxe2e::Screenshot(f);
          vxe2e::PushClick(window, help()->BtnScrollDown);
        });
  s.Add("scrolled down", [&] { return help() && help()->View().Position() == TfrmHelp::kScrollStep; },
        [&] { vxe2e::PushClick(window, help()->BtnScrollUp); });
  s.Add("scrolled back up", [&] { return help() && help()->View().Position() == 0; },
        [&] { clickText("Contents"); });
  s.Add("back at the index", [&] { return Page(help()) == "index.html"; },
        [&] { vxe2e::PushClick(window, help()->BtnClose); });
  s.Add("the lobby again", inLobby, [&] { vxe2e::PushClick(window, vxe2e::LobbyOf(f).MainRoom->Scene()->ImgLogo); });
  s.Add("the about dialog from the emblem", [&] { return Input<TfrmAbout>(f) != nullptr; },
        [&] {
          aboutShot = vxe2e::Screenshot(f);
          EXPECT_EQ(Input<TfrmAbout>(f)->LblAppVersion->Caption(), std::string("Version ") + vx::kProductVersion);
          vxe2e::PushClick(window, Input<TfrmAbout>(f)->BtnClose);
        });
  s.Add("the lobby once more", inLobby, [&] { vxe2e::PushQuit(); });

  const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] { s.Tick(); });
  f.Run();
  vx::MainPump().KillTimer(watcher);
  EXPECT_EQ(s.Done(), s.Count());
  form->FormDestroy();
  form.reset();

  // The page is on screen inside the panel (768x512 at 16, 46), text and all, and the two
  // pages differ.
  ASSERT_EQ(indexShot.Pixels.size(), 800u * 600u);
  ASSERT_EQ(pokerShot.Pixels.size(), 800u * 600u);
  if (const char* keep = std::getenv("VX_SCREENSHOT_DIR")) {
    vxtest::WritePng((fs::path(keep) / "help_index.png").string(), indexShot);
    vxtest::WritePng((fs::path(keep) / "help_poker.png").string(), pokerShot);
    vxtest::WritePng((fs::path(keep) / "about.png").string(), aboutShot);
  }
  EXPECT_GT(Inked(indexShot, 16, 46, 784, 558), 20000);
  EXPECT_NE(Inked(indexShot, 16, 140, 784, 558), Inked(pokerShot, 16, 140, 784, 558));
  bool urlLogged = false;
  for (const std::string& line : vx::LogLines()) {
    EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
    urlLogged |= line == "INFO: URL: poker.html" || line.find("INFO: URL: poker.html") != std::string::npos;
  }
  EXPECT_TRUE(urlLogged);
  vx::MainPump().ResetForTests();
}
