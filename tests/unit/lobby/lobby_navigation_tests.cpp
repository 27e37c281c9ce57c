// The menu bar: its menus and items as a player uses them, the in-game buttons, the hint
// line, the popup, signing out, leaving, and clicks that must pass through it.
#include <gtest/gtest.h>

#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby_rig.h"

using lobbytest::FakeGame;
using lobbytest::LobbyRig;

TEST(MenuBar, ItsMenusOpenOnAClickAndEveryItemDoesWhatItSays) {
  LobbyRig rig;
  std::vector<std::string> opened;
  rig.State.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
  TNavigation nav{rig.State};
  nav.Show();
  TNavigationScene* s = nav.Scene();
  ASSERT_NE(s, nullptr);
  // Each menu holds its items, hidden until it opens.
  EXPECT_EQ(s->MenuSignOut->Parent(), s->MenuFile);
  EXPECT_EQ(s->MenuHomePage->Parent(), s->MenuHelp);
  EXPECT_EQ(s->MenuHomePage->Caption(), "Orvanta Cards Casino Home Page");
  EXPECT_FALSE(s->MenuStatistics->Visible());

  // Statistics, hall of fame, options, help and about open their dialogs, each closed by its own button.
  std::vector<std::string> shown;
  const std::pair<TVXMenu*, TVXMenuItem*> dialogs[] = {
      {s->MenuPlayer, s->MenuStatistics}, {s->MenuPlayer, s->MenuHallOfFame}, {s->MenuTools, s->MenuOptions},
      {s->MenuHelp, s->MenuHelpLocal},    {s->MenuHelp, s->MenuAbout}};
  for (auto [menu, item] : dialogs) {
    rig.Click(menu);
    ASSERT_TRUE(item->Visible()) << item->Name();
    rig.Then([&] {
      auto* frame = dynamic_cast<TVXFrame*>(rig.InputScene());
      ASSERT_NE(frame, nullptr);
      shown.push_back(frame->SceneName());
      frame->Close();
    });
    rig.Click(item);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"STATISTICS", "HIGHSCORE", "OPTIONS", "HELP", "ABOUT"}));
  // The home page: a popup, then the desktop opens the address.
  rig.Click(s->MenuHelp);
  rig.Click(s->MenuHomePage);
  EXPECT_EQ(rig.Popups, std::vector<std::string>{"Opening Orvanta Cards Casino Home Page"});
  EXPECT_EQ(opened, std::vector<std::string>{vx::kHomePage});
  // "Boss coming!" does nothing at all.
  rig.Click(s->MenuFile);
  rig.Click(s->MenuBossComing);
  EXPECT_TRUE(rig.Messages.empty());
  EXPECT_EQ(rig.CloseRequests, 0);
  // Without a way to open it, the request is logged.
  rig.State.OpenAddress = nullptr;
  vx::ClearLog();
  rig.Click(s->MenuHelp);
  rig.Click(s->MenuHomePage);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_TRUE(vx::LogContains("ERROR: No way to open " + std::string(vx::kHomePage)));
}

TEST(MenuBar, ClicksOutsideItsControlsReachTheScreenBehindIt) {
  LobbyRig rig;
  auto* behind = new TVXScene(nullptr, &rig.Context);
  auto* button = new TVXButton(behind);
  button->SetName("BTN_BEHIND");
  behind->AddControl(button);
  button->SetBounds(300, 250, 200, 100);
  behind->Show();
  int clicks = 0;
  button->OnClick = [&](TVXComponent*) { ++clicks; };
  {
    TNavigation nav{rig.State};
    nav.Show();
    nav.Update();  // in front of everything
    ASSERT_EQ(rig.MainScene()->GetChild(rig.MainScene()->ChildCount() - 1), nav.Scene());
    EXPECT_EQ(nav.Scene()->Background->Width(), 800);
    rig.ClickAt(400, 300);
    EXPECT_EQ(clicks, 1);
    // Its own controls still take their clicks.
    bool opened = false;
    rig.Then([&] {
      auto* frame = dynamic_cast<TVXFrame*>(rig.InputScene());
      opened = frame != nullptr;
      if (frame != nullptr) frame->Close();
    });
    rig.Click(nav.Scene()->MenuTools);
    rig.Click(nav.Scene()->MenuOptions);
    EXPECT_TRUE(opened);
  }
  delete behind;
}

TEST(MenuBar, InGameButtonsHintLineAndPopup) {
  LobbyRig rig;
  TNavigation nav{rig.State};
  TNavigationScene* s = nav.Scene();
  nav.Show();
  nav.Update();
  EXPECT_FALSE(s->BtnCredit->Visible());
  EXPECT_FALSE(s->BtnCashOut->Visible());
  EXPECT_TRUE(s->BtnExitGame->Visible());

  rig.SignIn("Ann", 1000);
  FakeGame game(rig.Catalogue().FindGameByID(10), &rig.Context, rig.State.GameHost);
  game.TakeOpeningCredit();
  rig.State.CurrentGame = &game;
  nav.Update();
  EXPECT_TRUE(s->BtnCredit->Visible());
  EXPECT_TRUE(s->BtnCashOut->Visible());
  // Cash-out through the bar: asked, then counted into the bank.
  EXPECT_EQ(game.Data.Money.Credit(), 100u);
  rig.Answers.push_back(mrYes);
  nav.CashOutClick();
  EXPECT_EQ(game.Data.Money.Credit(), 0u);
  EXPECT_EQ(rig.Players().CurrentPlayer()->Bank, 1000u);
  rig.State.CurrentGame = nullptr;
  nav.Update();
  EXPECT_FALSE(s->BtnCredit->Visible());
  nav.CreditClick();  // nothing to buy credit for
  nav.CashOutClick();

  EXPECT_FALSE(s->LblHint->Visible());
  nav.ShowHint("DISPLAYS THE OPTIONS WINDOW");
  EXPECT_TRUE(s->LblHint->Visible());
  EXPECT_EQ(s->LblHint->Caption(), "DISPLAYS THE OPTIONS WINDOW");
  nav.ShowHint("");
  EXPECT_FALSE(s->LblHint->Visible());

  // The popup with nobody's picture shows the first one, and hides itself after its frames.
  nav.ShowPopup("Hello", 0, 3);
  EXPECT_TRUE(s->PnlPopupMessage->Visible() || s->PnlPopupMessage->FadingIn());
  EXPECT_EQ(s->ImgPopupMessage->TextureInfo.Key(), "Players\\IMG_PLAYER.bmp");
  EXPECT_EQ(s->LblPopupMessage->Caption(), "Hello");
  for (int i = 0; i < 3; ++i) rig.Frame();
  EXPECT_FALSE(s->PnlPopupMessage->Visible());
  nav.ShowPopup("Again", 4, 500);
  EXPECT_EQ(s->ImgPopupMessage->TextureInfo.Key(), "Players\\IMG_PLAYER_4.bmp");
  nav.Update();
  rig.Click(s->LblPopupMessage);
  EXPECT_FALSE(s->PnlPopupMessage->Visible());
}

TEST(MenuBar, SigningOutAsksOnceThenRunsTheLoginWithoutTheSavedPlayer) {
  LobbyRig rig;
  TNavigation nav{rig.State};
  // Nobody signed in: nothing to ask.
  nav.SignOutClick();
  EXPECT_TRUE(rig.Messages.empty());
  EXPECT_TRUE(rig.Logins.empty());

  rig.SignIn("Ann");
  rig.Answers.push_back(mrNo);
  nav.SignOutClick();
  EXPECT_NE(rig.Players().CurrentPlayer(), nullptr);
  EXPECT_TRUE(rig.Logins.empty());

  rig.Answers.push_back(mrYes);
  nav.SignOutClick();
  EXPECT_EQ(rig.Players().CurrentPlayer(), nullptr);
  EXPECT_EQ(rig.Logins, std::vector<bool>{false});
  EXPECT_EQ(rig.Messages.back().Text, "Are you sure you want to sign-out?");
  EXPECT_EQ(rig.Messages.back().Kind, mkConfirmation);

  // During a game only the refusal shows; nothing is asked.
  rig.SignIn("Ann");
  FakeGame game(rig.Catalogue().FindGameByID(10), &rig.Context, rig.State.GameHost);
  game.TakeOpeningCredit();
  rig.State.CurrentGame = &game;
  rig.Messages.clear();
  rig.Answers.push_back(mrOk);
  nav.SignOutClick();
  ASSERT_EQ(rig.Messages.size(), 1u);
  EXPECT_EQ(rig.Messages[0].Text, "Cannot sign-out now. Please exit the game first.");
  EXPECT_EQ(rig.Messages[0].Kind, mkInformation);
  EXPECT_EQ(rig.Messages[0].Buttons, mbOK);
  EXPECT_NE(rig.Players().CurrentPlayer(), nullptr);
  rig.State.CurrentGame = nullptr;
}

TEST(MenuBar, ExitClosesTheProgramOnlyAfterTheHandlerReturnsAndLeavesARunningGameFirst) {
  LobbyRig rig;
  TNavigation nav{rig.State};
  nav.Show();
  rig.State.Navigation = &nav;
  TNavigationScene* scene = nav.Scene();
  // In the lobby: a close request, nothing asked, nothing freed under the handler.
  rig.Click(scene->MenuFile);
  rig.Click(scene->MenuExitGame);
  EXPECT_EQ(rig.CloseRequests, 1);
  EXPECT_TRUE(rig.Messages.empty());
  EXPECT_EQ(nav.Scene(), scene);
  rig.Click(scene->BtnExitGame);
  EXPECT_EQ(rig.CloseRequests, 2);

  // In a game: the lobby's leaving, with its question.
  rig.SignIn("Ann");
  TMainRoom room{rig.State};
  rig.State.MainRoom = &room;
  room.MakeGame = [&](TGameInfo* info) { return std::make_unique<FakeGame>(info, &rig.Context, rig.State.GameHost); };
  room.Show();
  room.EnterGame(10);
  ASSERT_NE(room.CurrentGame(), nullptr);
  rig.Answers.push_back(mrNo);
  rig.Click(scene->BtnExitGame);
  EXPECT_EQ(rig.MessageTexts().back(), "Are you sure you want to exit this game ?");
  EXPECT_NE(room.CurrentGame(), nullptr);
  EXPECT_EQ(rig.CloseRequests, 2);
  rig.State.MainRoom = nullptr;
  rig.State.Navigation = nullptr;
}
