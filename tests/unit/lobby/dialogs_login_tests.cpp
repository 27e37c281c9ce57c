// The login and profile dialogs driven as a player drives them: clicks and keys routed through
// the input scene, every message box the real one, answered by clicking.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs_rig.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"

using lobbytest::DialogRig;

namespace {

class LoginDialog : public ::testing::Test {
protected:
  LoginDialog() { players.FileName = rig.Settings().PlayersFile; }

  // A fresh list read from the file, as after a restart.
  std::unique_ptr<TVXPlayers> Reloaded() {
    auto back = std::make_unique<TVXPlayers>();
    back->FileName = players.FileName;
    EXPECT_TRUE(back->LoadFromFile());
    return back;
  }
  std::unique_ptr<TfrmLogin> NewLogin() {
    return std::make_unique<TfrmLogin>(rig.MainScene(), players, &rig.Settings());
  }
  std::vector<std::string> ComboRows(TfrmLogin& login) {
    std::vector<std::string> rows;
    TVXListBox* list = login.CboPlayerName->List();
    for (int i = 0; i < list->Items.Count(); ++i) rows.push_back(list->Items.GetItem(i)->Text);
    return rows;
  }

  DialogRig rig;
  TVXPlayers players;
};

// Captions and theme positions show in the login golden picture (lobby_e2e_tests).
TEST_F(LoginDialog, ListsThePlayersHidesThePasswordAndOpensTheListOverIt) {
  ASSERT_TRUE(players.AddPlayer("Ann", "pw", "", "", 1));
  ASSERT_TRUE(players.AddPlayer("Bob", "pw", "", "", 1));
  auto login = NewLogin();
  EXPECT_EQ(login->SceneName(), "LOGIN");
  EXPECT_EQ(ComboRows(*login), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_NE(login->EdtPassword->PasswordChar(), 0);
  // The combo box is on top, so its list opens over the password row.
  TVXCustomControl* parent = login->CboPlayerName->Parent();
  EXPECT_EQ(parent->GetChild(parent->ChildCount() - 1), login->CboPlayerName);
}

TEST_F(LoginDialog, WrongPasswordKeepsTheDialogOpenAndTheRightOneInAnyCaseSignsIn) {
  ASSERT_TRUE(players.AddPlayer("Ann", "Secret", "", "", 1));
  ASSERT_TRUE(players.AddPlayer("Bob", "pw", "", "", 1));
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  rig.Then([&] {
    rig.Fill(l->CboPlayerName, "ann");
    rig.Fill(l->EdtPassword, "nope");
    rig.Click(l->BtnLogin);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    EXPECT_EQ(players.CurrentPlayer(), nullptr);
    rig.Fill(l->EdtPassword, "SECRET");
    rig.Click(l->BtnLogin);
  });
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultLogin);
  ASSERT_EQ(rig.Messages.size(), 1u);
  EXPECT_EQ(rig.Messages[0].Text, "Wrong player name or password.");
  EXPECT_EQ(rig.Messages[0].Kind, mkError);
  EXPECT_EQ(rig.Messages[0].Buttons, mbOK);
  EXPECT_EQ(players.CurrentPlayer(), players.FindPlayer("Ann"));
  EXPECT_EQ(rig.InputScene(), rig.MainScene()) << "the input goes back when the dialog closes";
}

TEST_F(LoginDialog, PickingANameFromTheListAndSigningIn) {
  ASSERT_TRUE(players.AddPlayer("Ann", "a", "", "", 1));
  ASSERT_TRUE(players.AddPlayer("Bob", "b", "", "", 1));
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  rig.Then([&] {
    rig.Click(l->CboPlayerName->DropButton());
    ASSERT_TRUE(l->CboPlayerName->DroppedDown());
    rig.Click(l->CboPlayerName->List()->Items.GetItem(1));
    EXPECT_EQ(l->CboPlayerName->Caption(), "Bob");
    rig.Fill(l->EdtPassword, "B");
    rig.Click(l->BtnLogin);
  });
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultLogin);
  EXPECT_EQ(players.CurrentPlayer(), players.FindPlayer("Bob"));
  EXPECT_TRUE(rig.Messages.empty());
}

TEST_F(LoginDialog, NewPlayerIsCreatedThroughTheProfileAndPrefillsTheLogin) {
  ASSERT_TRUE(players.AddPlayer("Ann", "a", "", "", 1));
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  TfrmProfile* seen = nullptr;
  rig.Then([&] { rig.Click(l->BtnNewPlayer); });
  rig.Then([&] {
    seen = dynamic_cast<TfrmProfile*>(rig.InputScene());
    ASSERT_NE(seen, nullptr) << "the profile dialog takes the input";
    EXPECT_TRUE(seen->NewPlayer);
    EXPECT_EQ(seen->EdtUserName->Caption(), "");
    EXPECT_EQ(seen->PictureID(), 1);
    EXPECT_FALSE(seen->CbAutoLogin->Checked());
    rig.Fill(seen->EdtFirstName, "Carla");
    rig.Fill(seen->EdtLastName, "Diaz");
    rig.Fill(seen->EdtUserName, "Carla");
    rig.Fill(seen->EdtPassword, "Pass 1");
    rig.Fill(seen->EdtPassword2, "Pass 1");
    rig.Click(seen->BtnNext);
    rig.Click(seen->BtnClose);
  });
  rig.Answers.push_back(mrOk);  // "created successfully"
  rig.Then([&] {
    EXPECT_EQ(rig.InputScene(), l);
    EXPECT_EQ(ComboRows(*l), (std::vector<std::string>{"Ann", "CARLA"}));
    EXPECT_EQ(l->CboPlayerName->Caption(), "CARLA");
    EXPECT_EQ(l->EdtPassword->Caption(), "PASS 1");
    rig.Click(l->BtnLogin);
  });
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultLogin);
  EXPECT_EQ(rig.MessageTexts(), std::vector<std::string>{"Player CARLA created successfully!"});
  EXPECT_EQ(rig.Messages[0].Kind, mkInformation);
  const TVXPlayer* carla = players.CurrentPlayer();
  ASSERT_NE(carla, nullptr);
  EXPECT_EQ(carla->PlayerName, "CARLA");
  EXPECT_EQ(carla->FirstName, "CARLA");
  EXPECT_EQ(carla->LastName, "DIAZ");
  EXPECT_EQ(carla->Bank, 1000u);
  EXPECT_NE(carla->PictureID, 0);
  EXPECT_EQ(rig.Settings().optAutoLoginPlayerName, "");
  EXPECT_EQ(Reloaded()->Count(), 2);
}

TEST_F(LoginDialog, DeleteAsksFirstAndReportsWhatCannotBeDeleted) {
  ASSERT_TRUE(players.AddPlayer("Ann", "a", "", "", 1));
  ASSERT_TRUE(players.AddPlayer("Bob", "b", "", "", 1));
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  rig.Then([&] { rig.Click(l->BtnDeletePlayer); });  // nothing chosen yet
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    rig.Fill(l->CboPlayerName, "bob");
    rig.Fill(l->EdtPassword, "b");
    rig.Click(l->BtnDeletePlayer);
  });
  rig.Answers.push_back(mrNo);
  rig.Then([&] {
    EXPECT_EQ(players.Count(), 2);
    rig.Click(l->BtnDeletePlayer);
  });
  rig.Answers.push_back(mrYes);
  rig.Then([&] {
    EXPECT_EQ(ComboRows(*l), std::vector<std::string>{"Ann"});
    EXPECT_EQ(l->CboPlayerName->Caption(), "");  // the deleted name and password are gone
    EXPECT_EQ(l->EdtPassword->Caption(), "");
    rig.Fill(l->CboPlayerName, "zed");
    rig.Click(l->BtnDeletePlayer);
  });
  rig.Answers.push_back(mrYes);
  rig.Answers.push_back(mrOk);
  rig.Then([&] { rig.Click(l->BtnClose); });
  rig.Answers.push_back(mrYes);
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultExit);
  EXPECT_EQ(rig.MessageTexts(), (std::vector<std::string>{"Please select a player.",
                                                          "Are you sure you want to delete player BOB?",
                                                          "Are you sure you want to delete player BOB?",
                                                          "Are you sure you want to delete player ZED?",
                                                          "Cannot delete player ZED.", "Exit game?"}));
  EXPECT_EQ(rig.Messages[1].Kind, mkConfirmation);
  EXPECT_EQ(rig.Messages[1].Buttons, mbYes | mbNo);
  EXPECT_EQ(rig.Messages[4].Kind, mkError);
  std::vector<std::string> names;
  Reloaded()->GetPlayerNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"Ann"});
}

TEST_F(LoginDialog, ExitNeedsAYes) {
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  rig.Then([&] { rig.Click(l->BtnClose); });
  rig.Answers.push_back(mrNo);
  rig.Then([&] {
    EXPECT_FALSE(l->Closed);
    rig.Click(l->BtnClose);
  });
  rig.Answers.push_back(mrYes);
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultExit);
  EXPECT_EQ(players.CurrentPlayer(), nullptr);
}

TEST_F(LoginDialog, NamesAndPasswordsTypedWithModifierKeysSurviveARestart) {
  auto login = NewLogin();
  TfrmLogin* l = login.get();
  rig.Then([&] { rig.Click(l->BtnNewPlayer); });
  rig.Then([&] {
    auto* p = dynamic_cast<TfrmProfile*>(rig.InputScene());
    ASSERT_NE(p, nullptr);
    rig.Click(p->EdtUserName);
    rig.Key(16, vx::ssShift);               // Shift alone types nothing
    rig.Type("  Max", vx::ssShift);         // blanks before the name are dropped on saving
    rig.Key('Q', vx::ssCtrl);               // a command, not a letter
    rig.Key(112);                           // F1
    rig.Type("9 ");
    rig.Click(p->EdtPassword);
    rig.Type("ab", vx::ssShift);
    rig.Key(20);                            // Caps Lock
    rig.Type("c1");
    rig.Key('X', vx::ssAlt);
    rig.Click(p->EdtPassword2);
    rig.Type("AB");
    rig.Type("C1", vx::ssShift);
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] { rig.Click(l->BtnClose); });
  rig.Answers.push_back(mrYes);
  EXPECT_EQ(login->ShowModal(), TfrmLogin::ResultExit);
  ASSERT_EQ(rig.MessageTexts(), (std::vector<std::string>{"Player MAX9 created successfully!", "Exit game?"}));

  // A later run reads the file and signs the player in with what the keyboard gives.
  std::unique_ptr<TVXPlayers> reloaded = Reloaded();
  TVXPlayers& after = *reloaded;
  ASSERT_EQ(after.Count(), 1);
  EXPECT_EQ(after.Items(0)->PlayerName, "MAX9");
  EXPECT_EQ(after.Items(0)->Password, "ABC1");
  login.reset();
  TfrmLogin again(rig.MainScene(), after, &rig.Settings());
  rig.Then([&] {
    rig.Fill(again.CboPlayerName, "max9");
    rig.Fill(again.EdtPassword, "abc1", vx::ssShift);
    rig.Click(again.BtnLogin);
  });
  EXPECT_EQ(again.ShowModal(), TfrmLogin::ResultLogin);
  EXPECT_EQ(after.CurrentPlayer(), after.Items(0));
}

TEST_F(LoginDialog, APlayerIsCreatedSignedInEditedAndDeletedThroughTheDialogs) {
  {
    auto login = NewLogin();
    TfrmLogin* l = login.get();
    rig.Then([&] { rig.Click(l->BtnNewPlayer); });
    rig.Then([&] {
      auto* p = dynamic_cast<TfrmProfile*>(rig.InputScene());
      ASSERT_NE(p, nullptr);
      rig.Fill(p->EdtUserName, "Lee");
      rig.Fill(p->EdtPassword, "77");
      rig.Fill(p->EdtPassword2, "77");
      rig.Click(p->BtnClose);
    });
    rig.Answers.push_back(mrOk);
    rig.Then([&] { rig.Click(l->BtnLogin); });
    ASSERT_EQ(login->ShowModal(), TfrmLogin::ResultLogin);
  }
  ASSERT_NE(players.CurrentPlayer(), nullptr);
  EXPECT_EQ(players.CurrentPlayer()->PlayerName, "LEE");

  {
    auto profile = std::make_unique<TfrmProfile>(rig.MainScene(), players, &rig.Settings());
    TfrmProfile* p = profile.get();
    rig.Then([&] {
      EXPECT_EQ(p->EdtUserName->Caption(), "LEE");
      rig.Fill(p->EdtFirstName, "Lee Ann");
      rig.Fill(p->EdtLastName, "Park");
      rig.Click(p->BtnClose);
    });
    ASSERT_EQ(profile->ShowModal(), 1);
  }
  EXPECT_EQ(Reloaded()->FindPlayer("lee")->LastName, "PARK");
  EXPECT_EQ(Reloaded()->FindPlayer("lee")->FirstName, "LEE ANN");

  players.Logout();
  {
    auto login = NewLogin();
    TfrmLogin* l = login.get();
    rig.Then([&] {
      rig.Click(l->CboPlayerName->DropButton());
      rig.Click(l->CboPlayerName->List()->Items.GetItem(0));
      rig.Click(l->BtnDeletePlayer);
    });
    rig.Answers.push_back(mrYes);
    rig.Then([&] {
      EXPECT_TRUE(ComboRows(*l).empty());
      rig.Click(l->BtnClose);
    });
    rig.Answers.push_back(mrYes);
    ASSERT_EQ(login->ShowModal(), TfrmLogin::ResultExit);
  }
  EXPECT_EQ(players.Count(), 0);
  EXPECT_EQ(Reloaded()->Count(), 0);
  EXPECT_EQ(rig.MessageTexts(), (std::vector<std::string>{"Player LEE created successfully!",
                                                          "Are you sure you want to delete player LEE?",
                                                          "Exit game?"}));
}

// ---------------------------------------------------------------------------------------
// The profile dialog on its own

class ProfileDialog : public LoginDialog {
protected:
  std::unique_ptr<TfrmProfile> NewProfile() {
    return std::make_unique<TfrmProfile>(rig.MainScene(), players, &rig.Settings());
  }
};

TEST_F(ProfileDialog, NewPlayerIsRefusedUntilTheEntriesAreRight) {
  ASSERT_TRUE(players.AddPlayer("Ann", "a", "", "", 1));
  auto profile = NewProfile();
  TfrmProfile* p = profile.get();
  EXPECT_EQ(p->SceneName(), "PROFILE");
  EXPECT_EQ(p->BtnClose->Caption(), "OK");
  EXPECT_EQ(p->BtnCancel->Caption(), "CANCEL");
  EXPECT_EQ(p->BtnNext->Caption(), "Next image");
  EXPECT_EQ(p->LblFirstName->Caption(), "Firstname:");
  EXPECT_EQ(p->LblLastName->Caption(), "Lastname:");
  EXPECT_EQ(p->LblUserName->Caption(), "Username:");
  EXPECT_EQ(p->LblPassword->Caption(), "Password:");
  EXPECT_EQ(p->LblPassword2->Caption(), "Verify Password:");
  EXPECT_EQ(p->CbAutoLogin->Caption(), "Automatically login with this player");
  EXPECT_EQ(p->ImgPlayer->TextureInfo.Folder(), "Players");
  EXPECT_EQ(p->ImgPlayer->TextureInfo.Name(), "IMG_PLAYER");
  EXPECT_NE(p->EdtPassword2->PasswordChar(), 0);

  rig.Then([&] {
    rig.Fill(p->EdtUserName, "   ");
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  // A name longer than the screens show: refused, and typing stops at the limit.
  rig.Then([&] {
    p->EdtUserName->SetText("Maximilianus");
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    rig.Fill(p->EdtUserName, "");
    rig.Click(p->EdtUserName);
    rig.Type("ABCDEFGHIJKLM");
    EXPECT_EQ(p->EdtUserName->Caption(), "ABCDEFGHI");
    rig.Fill(p->EdtUserName, "ann");
    rig.Fill(p->EdtPassword, "x");
    rig.Fill(p->EdtPassword2, "y");
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    rig.Fill(p->EdtPassword2, "x");
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] { rig.Click(p->BtnCancel); });
  EXPECT_EQ(profile->ShowModal(), 0);
  EXPECT_EQ(rig.MessageTexts(), (std::vector<std::string>{"Please enter your playername or nick!",
                                                          "A player name can be at most 9 characters long.",
                                                          "Password does not match !", "Player ANN already exists!"}));
  for (const auto& m : rig.Messages) EXPECT_EQ(m.Kind, mkError);
  EXPECT_EQ(players.Count(), 1);
}

TEST_F(ProfileDialog, PlayerThatCannotBeSavedIsNotCreated) {
  // A file where the players folder should be.
  vxtest::TempDir::WriteFile(rig.Settings().PlayersFolder.substr(0, rig.Settings().PlayersFolder.size() - 1), "x");
  auto profile = NewProfile();
  TfrmProfile* p = profile.get();
  rig.Then([&] {
    rig.Fill(p->EdtUserName, "Eve");
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] { rig.Click(p->BtnCancel); });
  EXPECT_EQ(profile->ShowModal(), 0);
  EXPECT_EQ(rig.MessageTexts(), std::vector<std::string>{"Error creating player  !"});
  EXPECT_EQ(players.Count(), 0);
}

TEST_F(ProfileDialog, AutomaticLoginStoresNameAndPasswordTogether) {
  auto profile = NewProfile();
  TfrmProfile* p = profile.get();
  rig.Then([&] {
    rig.Fill(p->EdtUserName, "Zoe");
    rig.Fill(p->EdtPassword, "k9");
    rig.Fill(p->EdtPassword2, "k9");
    rig.Click(p->CbAutoLogin);
    EXPECT_TRUE(p->CbAutoLogin->Checked());
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  EXPECT_EQ(profile->ShowModal(), 1);
  TVXSetting reread(rig.dir.Str() + "/", rig.dir.Str() + "/systemtemp");
  EXPECT_EQ(reread.optAutoLoginPlayerName, "ZOE");
  EXPECT_EQ(reread.optAutoLoginPlayerPassword, "K9");
  EXPECT_TRUE(players.Login(reread.optAutoLoginPlayerName, reread.optAutoLoginPlayerPassword));
}

TEST_F(ProfileDialog, EditingShowsThePlayerAndSavesTheChanges) {
  ASSERT_TRUE(players.AddPlayer("Ann", "a", "", "", 1));
  ASSERT_TRUE(players.AddPlayer("Bob", "old", "Robert", "Stone", 3));
  ASSERT_TRUE(players.Login("bob", "OLD"));
  players.CurrentPlayer()->Bank = 4321;
  rig.Settings().optAutoLoginPlayerName = "BOB";
  rig.Settings().optAutoLoginPlayerPassword = "old";

  auto profile = NewProfile();
  TfrmProfile* p = profile.get();
  EXPECT_FALSE(p->NewPlayer);
  EXPECT_EQ(p->EdtFirstName->Caption(), "Robert");
  EXPECT_EQ(p->EdtLastName->Caption(), "Stone");
  EXPECT_EQ(p->EdtUserName->Caption(), "Bob");
  EXPECT_EQ(p->EdtPassword->Caption(), "old");
  EXPECT_EQ(p->EdtPassword2->Caption(), "old");
  EXPECT_EQ(p->PictureID(), 3);
  EXPECT_TRUE(p->CbAutoLogin->Checked()) << "the stored name matches ignoring case";
  EXPECT_EQ(p->CbAutoLogin->TextureInfo.Name(), "CB_ALL_checked") << "and the themed box looks ticked";

  rig.Then([&] {
    rig.Fill(p->EdtUserName, "ANN");  // another player's name
    rig.Click(p->BtnClose);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    EXPECT_EQ(players.CurrentPlayer()->PlayerName, "Bob");
    rig.Fill(p->EdtUserName, "Bobby");
    rig.Fill(p->EdtPassword, "new");
    rig.Fill(p->EdtPassword2, "new");
    rig.Click(p->CbAutoLogin);  // untick: the automatic login goes
    rig.Click(p->BtnClose);
  });
  EXPECT_EQ(profile->ShowModal(), 1);
  EXPECT_EQ(rig.MessageTexts(), std::vector<std::string>{"Player ANN already exists!"});

  const TVXPlayer* bob = players.CurrentPlayer();
  EXPECT_EQ(bob->PlayerName, "BOBBY");
  EXPECT_EQ(bob->Password, "NEW");
  EXPECT_EQ(bob->Bank, 4321u);
  TVXSetting reread(rig.dir.Str() + "/", rig.dir.Str() + "/systemtemp");
  EXPECT_EQ(reread.optAutoLoginPlayerName, "");
  EXPECT_EQ(reread.optAutoLoginPlayerPassword, "");
  auto back = Reloaded();
  ASSERT_NE(back->FindPlayer("bobby"), nullptr);
  EXPECT_EQ(back->FindPlayer("bobby")->Bank, 4321u);
  EXPECT_EQ(back->FindPlayer("Bob"), nullptr);
}

TEST_F(ProfileDialog, CancelLeavesEverythingAsItWas) {
  ASSERT_TRUE(players.AddPlayer("Bob", "old", "", "", 2));
  ASSERT_TRUE(players.Login("Bob", "old"));
  const std::string before = vxtest::TempDir::ReadFile(players.FileName);
  auto profile = NewProfile();
  TfrmProfile* p = profile.get();
  rig.Then([&] {
    rig.Fill(p->EdtUserName, "Other");
    rig.Click(p->BtnNext);
    rig.Click(p->CbAutoLogin);
    rig.Click(p->BtnCancel);
  });
  EXPECT_EQ(profile->ShowModal(), 0);
  EXPECT_EQ(players.CurrentPlayer()->PlayerName, "Bob");
  EXPECT_EQ(players.CurrentPlayer()->PictureID, 2);
  EXPECT_EQ(vxtest::TempDir::ReadFile(players.FileName), before);
  EXPECT_EQ(rig.Settings().optAutoLoginPlayerName, "");
  EXPECT_FALSE(std::filesystem::exists(rig.Settings().SettingsFile));
}

}  // namespace
