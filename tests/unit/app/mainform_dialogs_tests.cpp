// Message boxes, nested modal frames, popups and close requests that arrive while a modal
// frame or a blocking fade waits, on the headless harness.
#include <algorithm>

#include "ShellHarness.h"
#include "framework/VXFrame.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"
#include "platform/Files.h"

using shelltest::ClickControl;
using shelltest::Harness;

namespace {

// Shows a message box and presses the button `pick` chooses once it is up.
int32_t AskAndPress(Harness& h, int32_t buttons, const std::function<TVXButton*(TframeMessage&)>& pick,
                    TframeMessage** seen = nullptr) {
  h.platform.pump.SetTimer(
      30,
      [&h, pick, seen] {
        auto* box = dynamic_cast<TframeMessage*>(h.form->InputScene());
        ASSERT_NE(box, nullptr);
        if (seen != nullptr) *seen = box;
        TVXButton* b = pick(*box);
        ASSERT_NE(b, nullptr);
        ClickControl(h.platform.events, b);
      },
      false);
  return h.form->MessageBox("Question?", mkConfirmation, 0, buttons);
}

}  // namespace

TEST(MessageBox, EachButtonClosesWithItsResult) {
  Harness h;
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(AskAndPress(h, mbYes | mbNo, [](TframeMessage& m) { return m.YesButton; }), mrYes);
  EXPECT_EQ(AskAndPress(h, mbYes | mbNo, [](TframeMessage& m) { return m.NoButton; }), 7);
  EXPECT_EQ(AskAndPress(h, mbOK, [](TframeMessage& m) { return m.OkButton; }), 1);
  // No caller needs it, but a CANCEL button must close the dialog, with its own result.
  EXPECT_EQ(AskAndPress(h, mbOK | mbCancel, [](TframeMessage& m) { return m.CancelButton; }), mrCancel);
  EXPECT_EQ(h.form->InputScene(), h.form->MainScene());
  // Every dialog was freed after use.
  for (int32_t i = 0; i < h.form->MainScene()->ChildCount(); ++i)
    EXPECT_EQ(dynamic_cast<TframeMessage*>(h.form->MainScene()->GetChild(i)), nullptr);
}

TEST(MessageBox, HasExactlyTheButtonsAskedForPlacedByTheTheme) {
  Harness h;
  ASSERT_TRUE(h.Start());
  TframeMessage m(h.form->MainScene(), 0, mbYes | mbNo, mkWarning, "Sure?");
  EXPECT_NE(m.YesButton, nullptr);
  EXPECT_NE(m.NoButton, nullptr);
  EXPECT_EQ(m.OkButton, nullptr);
  EXPECT_EQ(m.CancelButton, nullptr);
  EXPECT_EQ(m.YesButton->Caption(), "YES");
  EXPECT_EQ(m.NoButton->Caption(), "NO");
  EXPECT_EQ(m.MessageLabel->Caption(), "Sure?");
  EXPECT_EQ(m.SceneName(), "DIALOGS");
  const TVXStore theme(h.ProgramFile("Data/Pak/DIALOGS/theme.scn"));
  ASSERT_TRUE(theme.Loaded());
  EXPECT_EQ(m.NoButton->Left(), theme.ReadInteger("BTN_NO", "Left", -1));
  EXPECT_EQ(m.NoButton->Top(), theme.ReadInteger("BTN_NO", "Top", -1));
  EXPECT_EQ(m.NoButton->Width(), theme.ReadInteger("BTN_NO", "Width", -1));
  EXPECT_EQ(m.WindowFrame->Left(), theme.ReadInteger("IMG_FRAME", "Left", -1));
  // The chrome keeps its pictures in COMMON, the dialog's own background is its section's.
  EXPECT_EQ(m.WindowFrame->TextureInfo.Folder(), "COMMON");
  EXPECT_EQ(m.WindowLogo->TextureInfo.Folder(), "COMMON");
  EXPECT_EQ(m.Background->TextureInfo.Folder(), "DIALOGS");
  EXPECT_EQ(m.MessageLabel->Parent(), m.WindowFrame);
  EXPECT_EQ(m.CaptionLabel->Parent(), m.WindowFrame);
}

TEST(MessageBox, WithoutButtonsOnlyCodeClosesIt) {
  Harness h;
  ASSERT_TRUE(h.Start());
  h.platform.pump.SetTimer(
      50,
      [&] {
        auto* box = dynamic_cast<TframeMessage*>(h.form->InputScene());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->YesButton, nullptr);
        EXPECT_EQ(box->OkButton, nullptr);
        box->CloseWithResult(42);
      },
      false);
  EXPECT_EQ(h.form->MessageBox("Please wait", mkInformation, 0, 0), 42);
}

TEST(MessageBox, NestedFramesGiveTheInputBackInReverseOrder) {
  Harness h;
  ASSERT_TRUE(h.Start());
  std::vector<std::string> seen;
  auto where = [&] {
    TVXScene* s = h.form->InputScene();
    auto* m = dynamic_cast<TframeMessage*>(s);
    seen.push_back(s == h.form->MainScene() ? "root" : m != nullptr ? m->MessageLabel->Caption() : "?");
  };
  h.platform.pump.SetTimer(
      20,
      [&] {
        where();
        h.platform.pump.SetTimer(
            20,
            [&] {
              where();
              dynamic_cast<TframeMessage*>(h.form->InputScene())->CloseWithResult(mrOk);
            },
            false);
        h.form->MessageBox("inner", mkInformation, 0, mbOK);
        where();
        dynamic_cast<TframeMessage*>(h.form->InputScene())->CloseWithResult(mrOk);
      },
      false);
  h.form->MessageBox("outer", mkInformation, 0, mbOK);
  where();
  EXPECT_EQ(seen, (std::vector<std::string>{"outer", "inner", "outer", "root"}));
}

TEST(MessageBox, AFrameFreedWhileModalGivesTheInputBack) {
  Harness h;
  ASSERT_TRUE(h.Start());
  auto* frame = new TVXFrame(h.form->MainScene());
  h.platform.pump.SetTimer(20, [&] { delete frame; }, false);
  EXPECT_EQ(frame->ShowModal(), mrNone);
  EXPECT_EQ(h.form->InputScene(), h.form->MainScene());
}

// ---------------------------------------------------------------------------------------

TEST(Popup, DurationsByKindAndThePictureOfThePlayer) {
  Harness h;
  ASSERT_TRUE(h.Start());
  for (int32_t kind : {0, 1, 2, 3, 4, 7, -1}) h.form->PopupMessage("k" + std::to_string(kind), kind);
  std::vector<int32_t> frames;
  for (const auto& p : h.lobby->Popups) frames.push_back(p.Frames);
  EXPECT_EQ(frames, (std::vector<int32_t>{100, 150, 200, 250, 350, 200, 200}));
  // Nobody is signed in: the first picture.
  EXPECT_EQ(h.lobby->Popups.front().Picture, 1);
  EXPECT_EQ(h.lobby->Popups.front().Text, "k0");
  h.lobby->SignedIn = true;
  h.lobby->Picture = 5;
  h.form->PopupMessage("hello", 2);
  EXPECT_EQ(h.lobby->Popups.back().Picture, 5);
}

// ---------------------------------------------------------------------------------------

TEST(CloseRequest, DuringAModalFrameUnwindsAndShutsDownOnceWithTheSettingsWritten) {
  Harness h;
  ASSERT_TRUE(h.Start());
  int32_t result = -1;
  h.lobby->OnLogin = [&] {
    h.platform.events.CloseAt(h.platform.clock.TickCount() + 40);
    result = h.form->MessageBox("Sign in?", mkConfirmation, 0, mbOK | mbCancel);
    return result == mrOk ? 1 : 0;
  };
  h.RunToEnd();
  EXPECT_EQ(result, mrNone);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "EnterMainRoom"), 0);
  for (const char* step : {"FreeMainRoom", "FreeCity", "FreeMenuBar", "FreePlayers", "FreeCasinoManager"})
    EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), step), 1) << step;
  EXPECT_TRUE(vx::FileExists(h.ProgramFile("settings.xml")));
  EXPECT_EQ(h.form->MainScene(), nullptr);
}

TEST(CloseRequest, DuringABlockingFadeUnwindsAndShutsDownOnce) {
  Harness h;
  ASSERT_TRUE(h.Start());
  bool fadeReturned = false;
  h.lobby->OnIntro = [&] {
    h.platform.events.CloseAt(h.platform.clock.TickCount() + 10);
    h.form->FadeIn();
    fadeReturned = true;
    EXPECT_TRUE(h.form->Closing());
    // Nothing more is shown once closing.
    EXPECT_EQ(h.form->MessageBox("late", mkInformation, 0, mbOK), mrNone);
  };
  h.RunToEnd();
  EXPECT_TRUE(fadeReturned);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "ShowLoginDialog"), 0);
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreeCasinoManager"), 1);
  EXPECT_TRUE(vx::FileExists(h.ProgramFile("settings.xml")));
  EXPECT_EQ(h.form->AnimCount(), 0);
}

TEST(CloseRequest, DuringNestedFramesEndsEveryLoop) {
  Harness h;
  ASSERT_TRUE(h.Start());
  int depthSeen = 0;
  h.lobby->OnLogin = [&] {
    h.platform.pump.SetTimer(
        20,
        [&] {
          depthSeen = h.platform.pump.LoopDepth();
          h.platform.events.CloseAt(h.platform.clock.TickCount() + 20);
          h.form->MessageBox("inner", mkInformation, 0, mbOK);
        },
        false);
    return h.form->MessageBox("outer", mkInformation, 0, mbOK) == mrOk ? 1 : 0;
  };
  h.RunToEnd();
  EXPECT_GE(depthSeen, 2);
  EXPECT_TRUE(h.form->Destroyed());
  EXPECT_EQ(std::count(h.calls.begin(), h.calls.end(), "FreePlayers"), 1);
}
