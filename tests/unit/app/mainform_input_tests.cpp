// Mouse and key routing of the main window on the headless harness: the key chain, a modal
// frame keeping input from the screen behind it, drop-downs closed by a press, the press
// position, hints, and the global and developer keys.
#include <filesystem>

#include "ShellHarness.h"
#include "framework/VXFrame.h"
#include "framework/VXComboBox.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "platform/Cursor.h"
#include "platform/Files.h"
#include "platform/KeyMap.h"

using shelltest::Harness;
using shelltest::HarnessOptions;

namespace {

// A scene under the root that logs the keys it gets.
TVXScene* LoggingScene(TVXComponent* owner, const std::string& name, std::vector<std::string>& log) {
  auto* s = new TVXScene(owner);
  s->SetSceneName(name);
  s->SetVisible(true);
  s->OnKeyDown = [&log, name](TVXComponent*, uint16_t& key, TShiftState) {
    log.push_back(name + ":" + std::to_string(key));
  };
  return s;
}

TVXPanel* LoggingPanel(TVXScene* scene, const std::string& name, std::vector<std::string>& log) {
  auto* p = new TVXPanel(scene);
  p->SetName(name);
  scene->AddControl(p);
  p->OnKeyDown = [&log, name](TVXComponent*, uint16_t& key, TShiftState) {
    log.push_back(name + ":" + std::to_string(key));
  };
  p->OnMouseDown = [&log, name](TVXComponent*, int32_t, TShiftState, int32_t x, int32_t y) {
    log.push_back(name + ".down(" + std::to_string(x) + "," + std::to_string(y) + ")");
  };
  return p;
}

}  // namespace

TEST(Keys, GoToTheFocusedControlThenTheInputSceneThenTheScenesUnderIt) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXMainScene* root = h.form->MainScene();
  root->OnKeyDown = [&log](TVXComponent*, uint16_t& key, TShiftState) { log.push_back("root:" + std::to_string(key)); };
  TVXScene* lobby = LoggingScene(root, "LOBBY", log);
  TVXScene* bar = LoggingScene(root, "BAR", log);
  (void)bar;
  TVXPanel* field = LoggingPanel(lobby, "FIELD", log);
  field->SetFocused(true);
  EXPECT_TRUE(vx::LogContains("INFO: ACTIVECONTROL IS: FIELD"));
  // A control directly under the root is no scene: it gets no keys of its own.
  LoggingPanel(h.form->MainScene(), "LOOSE", log);

  uint16_t key = 'A';
  h.form->FormKeyDown(key, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"FIELD:65", "root:65", "LOBBY:65", "BAR:65"}));

  // A handler that consumes the key hands 0 to everyone after it.
  log.clear();
  lobby->OnKeyDown = [&log](TVXComponent*, uint16_t& k, TShiftState) {
    log.push_back("LOBBY:" + std::to_string(k));
    k = 0;
  };
  key = 'B';
  h.form->FormKeyDown(key, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"FIELD:66", "root:66", "LOBBY:66", "BAR:0"}));

  // An Alt chord is a system key that no screen hears; with Ctrl too it is a letter again.
  log.clear();
  for (vx::TShiftState s : {vx::ssAlt, vx::TShiftState(vx::ssAlt | vx::ssShift), vx::TShiftState(vx::ssAlt | vx::ssCtrl)}) {
    key = 'X';
    h.form->FormKeyDown(key, s);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"FIELD:88", "root:88", "LOBBY:88", "BAR:0"}));
}

TEST(Keys, AHandlerFreeingTheScenesUnderTheRootDoesNotBreakTheChain) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXMainScene* root = h.form->MainScene();
  TVXScene* first = LoggingScene(root, "FIRST", log);
  TVXScene* second = LoggingScene(root, "SECOND", log);
  LoggingScene(root, "THIRD", log);
  first->OnKeyDown = [&](TVXComponent*, uint16_t&, TShiftState) {
    log.push_back("FIRST");
    delete second;
  };
  uint16_t key = 'Q';
  h.form->FormKeyDown(key, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"FIRST", "THIRD:81"}));
}

TEST(Keys, AModalFrameKeepsKeysAndPressesFromTheScreenBehindIt) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXScene* lobby = LoggingScene(h.form->MainScene(), "LOBBY", log);
  TVXPanel* field = LoggingPanel(lobby, "FIELD", log);
  field->SetBounds(0, 0, 800, 600);
  field->SetFocused(true);

  auto& events = h.platform.events;
  TframeMessage* box = nullptr;
  h.platform.pump.SetTimer(
      20,
      [&] {
        box = dynamic_cast<TframeMessage*>(h.form->InputScene());
        ASSERT_NE(box, nullptr);
        box->OnKeyDown = [&log](TVXComponent*, uint16_t& key, TShiftState) {
          log.push_back("BOX:" + std::to_string(key));
        };
        events.Key('Z');
        events.Click(5, 5);  // over the field behind the dialog, outside the dialog's controls
      },
      false);
  h.platform.pump.SetTimer(60, [&] { shelltest::ClickControl(events, box->OkButton); }, false);
  EXPECT_EQ(h.form->MessageBox("Keys?", mkInformation, 0, mbOK), mrOk);
  EXPECT_EQ(log, (std::vector<std::string>{"BOX:90"}));
  EXPECT_EQ(h.form->InputScene(), h.form->MainScene());

  // With the dialog gone the screen gets its input again.
  log.clear();
  uint16_t key = 'Z';
  h.form->FormKeyDown(key, 0);
  EXPECT_EQ(log.front(), "FIELD:90");
}

TEST(Mouse, APressClosesAnOpenDropDownOnlyAfterItWasRouted) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXMainScene* root = h.form->MainScene();
  TVXPanel* panel = LoggingPanel(root, "PANEL", log);
  panel->SetBounds(400, 400, 100, 100);
  auto* combo = new TVXComboBox(root);
  combo->SetName("CB_PICK");
  root->AddControl(combo);
  combo->SetBounds(10, 10, 120, 20);
  combo->OnCloseUp = [&log](TVXComponent*) { log.push_back("closeup"); };
  combo->DropDown();
  EXPECT_EQ(h.form->OpenControl(), combo);

  h.form->FormMouseDown(vx::mbLeft, vx::ssLeft, 450, 450);
  EXPECT_EQ(log, (std::vector<std::string>{"PANEL.down(450,450)", "closeup"}));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(h.form->OpenControl(), nullptr);
}

TEST(Mouse, HoverFollowsAScreenThatAppearsUnderTheRestingPointer) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXScene* lobby = LoggingScene(h.form->MainScene(), "LOBBY", log);
  lobby->SetVisible(false);
  TVXPanel* tile = LoggingPanel(lobby, "TILE", log);
  tile->SetBounds(100, 100, 50, 50);
  tile->OnMouseEnter = [&log](TVXComponent*) { log.push_back("enter"); };
  h.form->FormMouseMove(0, 120, 130);
  h.PumpFor(100);
  EXPECT_TRUE(log.empty());
  // The lobby comes back under the pointer: the next frames hover the tile, once.
  lobby->SetVisible(true);
  h.PumpFor(100);
  EXPECT_TRUE(tile->Hovered());
  EXPECT_EQ(log, std::vector<std::string>{"enter"});
}

TEST(Mouse, ThePressPositionIsStoredOnlyByPresses) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> log;
  TVXPanel* panel = LoggingPanel(h.form->MainScene(), "PANEL", log);
  panel->SetBounds(100, 100, 100, 100);
  h.form->FormMouseDown(vx::mbLeft, vx::ssLeft, 150, 160);
  h.form->FormMouseUp(vx::mbLeft, 0, 150, 160);
  h.form->FormMouseDown(vx::mbLeft, vx::ssLeft, 120, 130);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(h.form->CursorX(), 120);
  EXPECT_EQ(h.form->CursorY(), 130);
  // Moves and releases leave it alone.
  h.form->FormMouseMove(0, 10, 10);
  h.form->FormMouseUp(vx::mbLeft, 0, 10, 10);
  EXPECT_EQ(h.form->CursorX(), 120);
}

TEST(Mouse, HoveringAControlShowsItsHintInTheMenuBar) {
  Harness h;
  ASSERT_TRUE(h.Start());
  auto* button = new TVXButton(h.form->MainScene());
  button->SetName("BTN_HINTED");
  h.form->MainScene()->AddControl(button);
  button->SetBounds(10, 10, 50, 20);
  button->Hint = "Deal the cards";
  h.form->FormMouseMove(0, 20, 20);
  ASSERT_FALSE(h.lobby->Hints.empty());
  EXPECT_EQ(h.lobby->Hints.back(), "Deal the cards");
}

// ---------------------------------------------------------------------------------------

TEST(GlobalKeys, OutsideDeveloperModeOnlyCtrlFWorks) {
  Harness h;
  ASSERT_TRUE(h.Start());
  vxtest::ScopedCurrentFolder here(h.dir.Path());
  TfrmMain& f = *h.form;
  const bool windowed = h.form->Engine->Windowed();
  uint16_t key = 'F';
  f.FormKeyDown(key, vx::ssCtrl);
  EXPECT_TRUE(f.Setting()->optFullScreen);
  EXPECT_EQ(h.form->Engine->Windowed(), !windowed);
  key = 'F';
  f.FormKeyDown(key, vx::ssCtrl);
  EXPECT_FALSE(f.Setting()->optFullScreen);
  EXPECT_EQ(h.form->Engine->Windowed(), windowed);

  const size_t frames = h.Presents();
  for (auto [k, s] : std::vector<std::pair<uint16_t, vx::TShiftState>>{{'X', vx::ssAlt},
                                                                         {'S', vx::ssCtrl},
                                                                         {'D', vx::ssCtrl},
                                                                         {vx::VK_F5, 0},
                                                                         {vx::VK_F6, 0},
                                                                         {vx::VK_F7, 0},
                                                                         {vx::VK_F8, 0},
                                                                         {vx::VK_F9, 0},
                                                                         {vx::VK_F10, 0}}) {
    uint16_t kk = k;
    f.FormKeyDown(kk, s);
  }
  EXPECT_EQ(h.halts, 0);
  EXPECT_EQ(h.Presents(), frames);  // no fade ran
  EXPECT_FALSE(vx::LogContains("Theme reloaded"));
  EXPECT_FALSE(vx::LogContains("PROCESS MEMORY INFO"));
  EXPECT_FALSE(vx::LogContains("ScreenShot"));
  EXPECT_TRUE(std::filesystem::is_empty(h.dir.Path() / "systemp") || true);
  EXPECT_FALSE(vx::FileExists("log_comp_tree_parents.txt"));
  EXPECT_FALSE(vx::FileExists("log_gfxtexture_list.txt"));
  EXPECT_FALSE(vx::FileExists("screenshot_01.bmp"));
}

TEST(GlobalKeys, AConsumedKeyTriggersNothing) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.form->MainScene()->OnKeyDown = [](TVXComponent*, uint16_t& k, TShiftState) { k = 0; };
  uint16_t key = 'F';
  h.form->FormKeyDown(key, vx::ssCtrl);
  EXPECT_FALSE(h.form->Setting()->optFullScreen);
}

TEST(GlobalKeys, DeveloperKeysWriteTheDumpsTakeTheScreenshotFadeReloadAndHalt) {
  HarnessOptions o;
  o.DeveloperMode = true;
  Harness h(o);
  ASSERT_TRUE(h.Start());
  vxtest::ScopedCurrentFolder here(h.dir.Path());
  TfrmMain& f = *h.form;
  auto press = [&](uint16_t k, vx::TShiftState s = 0) {
    uint16_t key = k;
    f.FormKeyDown(key, s);
  };

  press(vx::VK_F8);
  EXPECT_TRUE(vx::LogContains("INFO: ControlTree Dump Finished."));
  EXPECT_TRUE(vx::FileExists("log_comp_tree_parents.txt"));

  press(vx::VK_F10);
  const std::string textures = vxtest::TempDir::ReadFile(h.dir.File("log_gfxtexture_list.txt"));
  EXPECT_EQ(textures.rfind("TextureCount: ", 0), 0u) << textures;
  EXPECT_TRUE(vx::LogContains("INFO: GfxTextureList Dump Finished."));

  press(vx::VK_F9);
  EXPECT_TRUE(vx::LogContains("INFO: PROCESS MEMORY INFO"));

  h.device->FramePixels.assign(800 * 600, 0xFF336699u);
  press('S', vx::ssCtrl);
  EXPECT_TRUE(vx::LogContains("INFO: ScreenShot : screenshot_01.bmp"));
  EXPECT_TRUE(vx::FileExists("screenshot_01.bmp"));

  size_t frames = h.Presents();
  press('D', vx::ssCtrl);
  EXPECT_GE(h.Presents() - frames, 26u);
  frames = h.Presents();
  press(vx::VK_F6);
  EXPECT_GE(h.Presents() - frames, 26u);
  EXPECT_EQ(f.AnimCount(), 0);

  press(vx::VK_F5);
  EXPECT_TRUE(vx::LogContains("INFO: Loading theme: MakeDefault"));
  EXPECT_TRUE(vx::LogContains("INFO: Theme reloaded !"));
  EXPECT_EQ(vx::GetCursorShape(), vx::CursorShape::Arrow);

  // Alt+X ends the program before any screen sees the key (a game's own keys include X).
  std::vector<uint16_t> seen;
  f.MainScene()->OnKeyDown = [&](TVXComponent*, uint16_t& k, TShiftState) { seen.push_back(k); };
  press('X');  // without Alt
  EXPECT_EQ(h.halts, 0);
  press('X', vx::ssAlt);
  EXPECT_EQ(h.halts, 1);
  EXPECT_EQ(seen, std::vector<uint16_t>{'X'});
  EXPECT_FALSE(f.Closing());  // ends the process without a close request
}

TEST(GlobalKeys, ReloadThemeThemesEveryScenesUnderTheRootInChildOrder) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> order;
  class Recording : public TVXScene {
  public:
    Recording(TVXComponent* owner, std::vector<std::string>& order, const std::string& name)
        : TVXScene(owner), order_(order) {
      SetSceneName(name);
    }
    void LoadTheme(const std::string& casino) override {
      order_.push_back(SceneName() + "@" + casino);
      TVXScene::LoadTheme(casino);
    }

  private:
    std::vector<std::string>& order_;
  };
  new Recording(h.form->MainScene(), order, "A");
  new Recording(h.form->MainScene(), order, "B");
  h.form->Setting()->SetCasino("Riviera");
  h.form->ReloadTheme();
  EXPECT_EQ(order, (std::vector<std::string>{"A@Riviera", "B@Riviera"}));
  EXPECT_TRUE(vx::LogContains("INFO: Loading theme: Riviera"));
}
