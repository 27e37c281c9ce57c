// The options, statistics and hall of fame dialogs in the real program (SDL window on the
// offscreen driver, the GPU device, the generated data), driven by window events. The first
// run opens each dialog from the lobby, changes every option (full screen included, after
// which clicks land through the letterbox of the desktop-sized window), closes and leaves;
// the second run starts in full screen, finds every option kept and goes back to a window.
#include <gtest/gtest.h>
#include <SDL.h>

#include <filesystem>
#include <string>

#include "E2eDriver.h"
#include "app/MainForm.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXFrame.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXProgressBar.h"
#include "framework/VXMenus.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "lobby/VXHighScoreForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXStatisticsForm.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using vxe2e::Input;
using vxe2e::Script;

// One run of the program over the folder: start, play the steps, leave, shut down.
class ProgramRun {
public:
  explicit ProgramRun(const fs::path& program, const vxtest::TempDir& dir) {
    vx::MainPump().ResetForTests();
    TfrmMainOptions options = vxe2e::ProgramOptions(program, dir);
    form = std::make_unique<TfrmMain>(std::move(options));
    started = form->FormCreate() && form->FormShow();
    clock.Drive();
  }
  ~ProgramRun() {
    if (form) form->FormDestroy();
    vx::MainPump().ResetForTests();
  }
  void Play(Script& script) {
    const vx::TimerId watcher = vx::MainPump().SetTimer(30, [&] { script.Tick(); });
    form->Run();
    vx::MainPump().KillTimer(watcher);
    EXPECT_EQ(script.Done(), script.Count());
  }
  // A click on a point of the 800x600 frame wherever the frame lies in the window now; the
  // window must map it back to the same point.
  void ClickAt(int x, int y) {
    const vx::PlatformWindow& w = *form->Window();
    const vx::FrameRect r = w.FrameInClient();
    // The first window pixel of the frame's pixel (x, y).
    const int wx = r.X + static_cast<int>((x * int64_t{r.Width} + vx::kLogicalWidth - 1) / vx::kLogicalWidth);
    const int wy = r.Y + static_cast<int>((y * int64_t{r.Height} + vx::kLogicalHeight - 1) / vx::kLogicalHeight);
    int lx = -1, ly = -1;
    w.MapToLogical(wx, wy, lx, ly);
    EXPECT_EQ(lx, x);
    EXPECT_EQ(ly, y);
    vxe2e::PushClick(w.WindowId(), wx, wy);
  }
  void Click(const TVXCustomControl* c) { ClickAt(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2); }
  bool InLobby() const {
    TMainRoom* room = vxe2e::LobbyOf(*form).MainRoom;
    return room != nullptr && !room->Scene()->Hidden && form->InputScene() == form->MainScene();
  }
  TNavigationScene* Nav() const { return vxe2e::LobbyOf(*form).Navigation->Scene(); }
  // The intro waits for a click; then the automatic login opens the lobby.
  void ToLobby(Script& s) {
    s.Add("the intro", [this] { return form->GetAnim(0) != nullptr; }, [this] { ClickAt(400, 300); });
    s.Add("the lobby", [this] { return InLobby(); }, [] {}, 40);
  }
  // A menu item: its menu, then the item once it shows.
  void MenuItem(Script& s, TVXMenu* TNavigationScene::*menu, TVXMenuItem* TNavigationScene::*item) {
    s.Add("back in the lobby", [this] { return InLobby(); }, [this, menu] { Click(Nav()->*menu); });
    s.Add("the menu is open", [this, item] { return (Nav()->*item)->Visible(); }, [this, item] { Click(Nav()->*item); });
  }
  template <class T>
  T* Dialog() const {
    return Input<T>(*form);
  }
  TframeMessage* Box() const { return Dialog<TframeMessage>(); }
  // The next message box, answered YES; its text is kept.
  void AnswerYes(Script& s, std::vector<std::string>& asked) {
    s.Add("a question", [this] { return Box() != nullptr; },
          [this, &asked] {
            asked.push_back(Box()->MessageLabel->Caption());
            Click(Box()->YesButton);
          });
  }

  vxe2e::FrameClock clock;  // made before the window and kept past it
  std::unique_ptr<TfrmMain> form;
  bool started = false;
};

std::string Tag(const std::string& name, const std::string& value) { return "<" + name + ">" + value + "</" + name + ">"; }

}  // namespace

TEST(DialogsEndToEnd, EveryDialogOpensAndEveryOptionChangedIsKeptAcrossARestart) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  vxtest::TempDir dir;
  const fs::path program = vxe2e::LayOutProgram(dir);
  vx::ClearLog();
  {
    // A player who signs in by herself, and options that each dialog step will change.
    TVXSetting settings(program.string() + "/", dir.File("systemtemp"));
    settings.optSoundEnabled = settings.optMusicEnabled = settings.optCardEffects = true;
    settings.optSoundVolume = 50;
    settings.optMusicVolume = 60;
    settings.optFullScreen = settings.optMouseTrail = false;
    settings.optAutoLoginPlayerName = "TESTER";
    settings.optAutoLoginPlayerPassword = "SECRET7";
    ASSERT_TRUE(settings.Save());
    TVXPlayers players;
    players.FileName = settings.PlayersFile;
    ASSERT_TRUE(players.AddPlayer("TESTER", "SECRET7", "", "", 1));
  }
  const std::string settingsFile = (program / "settings.xml").string();

  std::vector<std::string> asked;
  {
    ProgramRun run(program, dir);
    ASSERT_TRUE(run.started) << "no GL 3.3 through SDL's offscreen driver";
    Script s(*run.form);
    run.ToLobby(s);
    run.MenuItem(s, &TNavigationScene::MenuPlayer, &TNavigationScene::MenuStatistics);
    s.Add("the statistics", [&] { return run.Dialog<TfrmStatistics>() != nullptr; },
          [&] {
            EXPECT_EQ(run.Dialog<TfrmStatistics>()->LbGames->Items.Count(), 16);
            run.Click(run.Dialog<TfrmStatistics>()->BtnClose);
          });
    run.MenuItem(s, &TNavigationScene::MenuPlayer, &TNavigationScene::MenuHallOfFame);
    s.Add("the hall of fame", [&] { return run.Dialog<TfrmHighScore>() != nullptr; },
          [&] { run.Click(run.Dialog<TfrmHighScore>()->BtnClose); });
    s.Add("back in the lobby", [&] { return run.InLobby(); },
          [&] { run.Click(vxe2e::LobbyOf(*run.form).MainRoom->Scene()->BtnOptions); });
    s.Add("the options", [&] { return run.Dialog<TfrmOptions>() != nullptr; },
          [&] { run.Click(run.Dialog<TfrmOptions>()->CbFullScreen); });
    run.AnswerYes(s, asked);
    // From here on the window covers the desktop and every click goes through the letterbox.
    s.Add("full screen", [&] { return run.Dialog<TfrmOptions>() != nullptr && run.form->Window()->IsFullScreen(); },
          [&] {
            auto* o = run.Dialog<TfrmOptions>();
            EXPECT_TRUE(run.form->Engine->GetFullScreen());
            for (const TVXCustomControl* c :
                 {static_cast<const TVXCustomControl*>(o->CbSoundEnabled), static_cast<const TVXCustomControl*>(o->BtnSoundUp),
                  static_cast<const TVXCustomControl*>(o->CbMusicEnabled), static_cast<const TVXCustomControl*>(o->BtnMusicDown),
                  static_cast<const TVXCustomControl*>(o->BtnMusicDown), static_cast<const TVXCustomControl*>(o->CbCardsEffects),
                  static_cast<const TVXCustomControl*>(o->CbMouseTrail)})
              run.Click(c);
          });
    s.Add("every option changed", [&] { return run.Dialog<TfrmOptions>() != nullptr && run.form->Setting()->optMouseTrail; },
          [&] { run.Click(run.Dialog<TfrmOptions>()->BtnClose); });
    s.Add("saved on closing", [&] { return run.InLobby(); },
          [&] {
            const std::string xml = vxtest::TempDir::ReadFile(settingsFile);
            EXPECT_NE(xml.find(Tag("optFullScreen", "True")), std::string::npos) << xml;
            EXPECT_NE(xml.find(Tag("optMouseTrail", "True")), std::string::npos) << xml;
            vxe2e::PushQuit();
          });
    run.Play(s);
  }
  {
    ProgramRun run(program, dir);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.form->Window()->IsFullScreen()) << "the program starts as it was left";
    Script s(*run.form);
    run.ToLobby(s);
    run.MenuItem(s, &TNavigationScene::MenuTools, &TNavigationScene::MenuOptions);
    s.Add("the options as they were left", [&] { return run.Dialog<TfrmOptions>() != nullptr; },
          [&] {
            auto* o = run.Dialog<TfrmOptions>();
            EXPECT_TRUE(o->CbFullScreen->Checked());
            EXPECT_FALSE(o->CbSoundEnabled->Checked());
            EXPECT_EQ(o->PbSoundVolume->Position(), 60);
            EXPECT_FALSE(o->CbMusicEnabled->Checked());
            EXPECT_EQ(o->PbMusicVolume->Position(), 40);
            EXPECT_TRUE(o->CbCardsEffects->Checked());
            EXPECT_TRUE(o->CbMouseTrail->Checked());
            run.Click(o->CbFullScreen);
          });
    run.AnswerYes(s, asked);
    s.Add("a window again", [&] { return run.Dialog<TfrmOptions>() != nullptr && !run.form->Window()->IsFullScreen(); },
          [&] {
            int w = 0, h = 0;
            run.form->Window()->GetClientSize(w, h);
            EXPECT_EQ(w, 800);
            EXPECT_EQ(h, 600);
            run.Click(run.Dialog<TfrmOptions>()->BtnClose);
          });
    s.Add("closed", [&] { return run.InLobby(); }, [] { vxe2e::PushQuit(); });
    run.Play(s);
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"Go to fullscreen mode ?", "Go to windowed mode ?"}));
  EXPECT_NE(vxtest::TempDir::ReadFile(settingsFile).find(Tag("optFullScreen", "False")), std::string::npos);
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR:"), std::string::npos) << line;
}
