// The credit dialog: money moves from the bank to the game in whole amounts or not at all, the
// labels follow every move, and the silent path the games take their opening credit through.
#include <gtest/gtest.h>

#include <functional>

#include "core/Log.h"
#include "dialogs_rig.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXLobby.h"
#include "lobby/VXPlayers.h"

using lobbytest::DialogRig;

namespace {

// The dialog rig, letting a test look at the screen as a message box opens.
struct PeekRig : DialogRig {
  std::function<void()> OnMessage;
  int32_t MessageBox(const std::string& text, int32_t kind, int32_t helpContext, int32_t buttons) override {
    if (OnMessage) OnMessage();
    return DialogRig::MessageBox(text, kind, helpContext, buttons);
  }
};

class CreditDialog : public ::testing::Test {
protected:
  CreditDialog() {
    TVXPlayer* p = players.Add();
    p->PlayerName = "Ann";
    p->Password = "pw";
    players.Login("Ann", "pw");
    info = catalogue.FindGameByIDStr("VXG_VP_JACKSORBETTER");
    game.Data = &data;
    game.Info = info;
    game.UpdateCredit = [this] { ++updates; };
  }
  TVXPlayer& Player() { return *players.CurrentPlayer(); }
  std::unique_ptr<TfrmCredit> NewCredit() { return std::make_unique<TfrmCredit>(rig.MainScene(), players, game); }
  uint64_t Total() { return static_cast<uint64_t>(Player().Bank) + data.Money.Credit(); }

  PeekRig rig;
  TVXPlayers players;
  TVXGameManager catalogue;
  const TGameInfo* info = nullptr;
  TPokerData data;
  TVXCreditGame game;
  int updates = 0;
};

TEST_F(CreditDialog, BuildsItsControlsAndShowsBankTitleAndCredit) {
  rig.AddPicture("CREDIT\\BTN_COIN.bmp");
  Player().Bank = 3000000000u;
  data.Money.Reset(70, data.Money.Win());
  auto credit = NewCredit();
  EXPECT_EQ(credit->SceneName(), "CREDIT");
  EXPECT_EQ(credit->LblBank->Caption(), "BANK:");
  EXPECT_EQ(credit->LblCredit->Caption(), "CREDIT:");
  EXPECT_EQ(credit->LblBankValue->Caption(), "3000000000");
  EXPECT_EQ(credit->LblCreditValue->Caption(), "70");
  EXPECT_EQ(credit->LblGameTitle->Caption(), info->Title);
  EXPECT_EQ(credit->BtnClose->Caption(), "CLOSE");
  const std::pair<TVXButton*, const char*> amounts[] = {
      {credit->BtnAdd100, "100"}, {credit->BtnAdd1000, "1000"}, {credit->BtnAdd10000, "10000"}};
  for (auto [button, text] : amounts) {
    EXPECT_EQ(button->Caption(), text);
    EXPECT_EQ(button->TextureInfo.Name(), "BTN_COIN");
    EXPECT_EQ(button->TextureInfo.Folder(), "CREDIT");
    EXPECT_EQ(button->Parent(), credit->WindowFrame);
  }
  EXPECT_EQ(credit->LblBank->Parent(), credit->WindowFrame);

  // Without a game the title keeps its own caption and nothing can be added.
  TfrmCredit bare(rig.MainScene(), players, TVXCreditGame{});
  EXPECT_EQ(bare.LblGameTitle->Caption(), "Current game is : ");
  EXPECT_EQ(bare.LblCreditValue->Caption(), "0");
  EXPECT_FALSE(bare.AddCredit(100));
  EXPECT_EQ(Player().Bank, 3000000000u);
}

TEST_F(CreditDialog, AdditionsMoveMoneyWithoutMakingOrLosingAnyAndStopAtAnEmptyBank) {
  Player().Bank = 1200;
  data.Money.Reset(50, data.Money.Win());
  const uint64_t total = Total();
  auto credit = NewCredit();
  TfrmCredit* c = credit.get();
  rig.Then([&] {
    rig.Click(c->BtnAdd100);
    EXPECT_EQ(c->LblBankValue->Caption(), "1100");
    EXPECT_EQ(c->LblCreditValue->Caption(), "150");
    rig.Click(c->BtnAdd1000);
    EXPECT_EQ(c->LblBankValue->Caption(), "100");
    EXPECT_EQ(c->LblCreditValue->Caption(), "1150");
    EXPECT_EQ(Total(), total);
    rig.Click(c->BtnAdd100);  // exactly the bank: leaves 0
    EXPECT_EQ(Player().Bank, 0u);
    rig.Click(c->BtnAdd1000);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] {
    rig.Click(c->BtnAdd100);
  });
  rig.Answers.push_back(mrOk);
  rig.Then([&] { rig.Click(c->BtnClose); });
  EXPECT_EQ(credit->ShowModal(), TfrmCredit::ResultClose);
  EXPECT_EQ(rig.MessageTexts(), (std::vector<std::string>{"You don't have enought money to add 1000!",
                                                          "You don't have enought money to add 100!"}));
  EXPECT_EQ(rig.Messages[0].Kind, mkWarning);
  EXPECT_EQ(rig.Messages[0].Buttons, mbOK);
  EXPECT_EQ(Player().Bank, 0u);
  EXPECT_EQ(data.Money.Credit(), 1250u);
  EXPECT_EQ(data.GetCreditIn(), 1200u);
  EXPECT_EQ(Total(), total);
  EXPECT_EQ(updates, 3) << "the game's display follows each addition that happened";
}

TEST_F(CreditDialog, AdditionsThatWouldPassTheCreditCapOrTheCounterAreRefusedWhole) {
  Player().Bank = 50000;
  data.Money.Reset(TfrmCredit::MaxCredit - 150, data.Money.Win());
  auto credit = NewCredit();
  rig.Answers = {mrOk, mrOk};
  EXPECT_FALSE(credit->AddCredit(1000));
  EXPECT_TRUE(credit->AddCredit(100));
  EXPECT_FALSE(credit->AddCredit(100));  // would be 2^31 + 49
  EXPECT_EQ(data.Money.Credit(), TfrmCredit::MaxCredit - 50);
  EXPECT_EQ(Player().Bank, 49900u);
  EXPECT_EQ(data.GetCreditIn(), 100u);
  ASSERT_EQ(rig.Messages.size(), 2u);
  EXPECT_NE(rig.Messages[0].Text.find("2147483647"), std::string::npos) << rig.Messages[0].Text;

  // Up to the cap exactly is fine.
  data.Money.Reset(TfrmCredit::MaxCredit - 100, data.Money.Win());
  EXPECT_TRUE(credit->AddCredit(100));
  EXPECT_EQ(data.Money.Credit(), TfrmCredit::MaxCredit);

  // The tally's credit-in is an unsigned 32-bit counter: it never wraps.
  data.Money.Reset(0, data.Money.Win());
  data.SetCreditIn(4294967295u - 99);
  rig.Answers = {mrOk};
  const uint32_t bank = Player().Bank;
  EXPECT_FALSE(credit->AddCredit(100));
  EXPECT_EQ(data.GetCreditIn(), 4294967295u - 99);
  EXPECT_EQ(data.Money.Credit(), 0u);
  EXPECT_EQ(Player().Bank, bank);
  EXPECT_EQ(rig.Messages.size(), 3u);
}

TEST_F(CreditDialog, SilentPathTakesOneHundredPerCallAndWarnsWhenTheBankIsShort) {
  // A slot machine takes three times whatever the bank holds: 250 gives 200 and one warning.
  Player().Bank = 250;
  const int32_t children = rig.MainScene()->ChildCount();
  rig.Answers = {mrOk};
  // Nobody sees the dialog unless it refuses: only then is its theme read.
  std::vector<std::string> seen;
  auto look = [&](const char* when) {
    for (int32_t i = 0; i < rig.MainScene()->ChildCount(); ++i)
      if (auto* c = dynamic_cast<TfrmCredit*>(rig.MainScene()->GetChild(i)))
        seen.push_back(std::string(when) + (c->BtnAdd100->Width() > 0 ? " themed" : " bare"));
  };
  game.UpdateCredit = [&] {
    ++updates;
    look("update");
  };
  rig.OnMessage = [&] { look("message"); };
  for (int i = 0; i < 3; ++i) EXPECT_EQ(vx::OpenCreditForm(&rig.Context, players, game, false), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"update bare", "update bare", "message themed"}));
  rig.OnMessage = nullptr;
  EXPECT_EQ(data.Money.Credit(), 200u);
  EXPECT_EQ(data.GetCreditIn(), 200u);
  EXPECT_EQ(Player().Bank, 50u);
  EXPECT_EQ(rig.MessageTexts(), std::vector<std::string>{"You don't have enought money to add 100!"});
  EXPECT_GE(updates, 3);
  EXPECT_EQ(rig.MainScene()->ChildCount(), children) << "every dialog made on the way is freed";

  // Through the lobby's players, and without any; without a main window nothing is made.
  TVXLobbyState lobby(rig.Context);
  lobby.Players = &players;
  Player().Bank = 100;
  EXPECT_EQ(vx::OpenCreditForm(lobby, game, false), 0);
  EXPECT_EQ(data.Money.Credit(), 300u);
  lobby.Players = nullptr;
  vx::ClearLog();
  EXPECT_EQ(vx::OpenCreditForm(lobby, game, false), 0);
  EXPECT_EQ(data.Money.Credit(), 300u);
  EXPECT_TRUE(vx::LogContains("ERROR: "));
  TVXContext windowless;
  vx::ClearLog();
  EXPECT_EQ(vx::OpenCreditForm(&windowless, players, game, false), 0);
  EXPECT_EQ(data.Money.Credit(), 300u);
  EXPECT_TRUE(vx::LogContains("ERROR: The credit dialog needs the main window"));

  // Nobody signed in: nothing to take.
  players.Logout();
  rig.Answers = {mrOk};
  EXPECT_EQ(vx::OpenCreditForm(&rig.Context, players, game, false), 0);
  EXPECT_EQ(data.Money.Credit(), 300u);
}

TEST_F(CreditDialog, ShownDialogClosesWithItsResult) {
  Player().Bank = 10000;
  rig.Then([&] {
    auto* c = dynamic_cast<TfrmCredit*>(rig.InputScene());
    ASSERT_NE(c, nullptr);
    rig.Click(c->BtnAdd10000);
    EXPECT_EQ(c->LblBankValue->Caption(), "0");
    rig.Click(c->BtnClose);
  });
  EXPECT_EQ(vx::OpenCreditForm(&rig.Context, players, game, true), TfrmCredit::ResultClose);
  EXPECT_EQ(data.Money.Credit(), 10000u);
  EXPECT_EQ(rig.InputScene(), rig.MainScene());
}

}  // namespace
