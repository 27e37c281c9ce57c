#include "lobby/VXHighScoreForm.h"

#include "framework/VXApplication.h"
#include "framework/VXListBox.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "games/VXGame.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXPlayers.h"

TfrmHighScore::TfrmHighScore(TVXComponent* owner, TVXPlayers& players, TVXGame* runningGame) : TVXFrame(owner) {
  SetSceneName("HIGHSCORE");
  CaptionLabel->SetText("HALL OF FAME");
  LblBank = AddControl<TVXLabel>("LBL_BANK", "BANK:");
  LblBankV = AddControl<TVXLabel>("LBL_BANKV", "0");
  LblGameTitle = AddControl<TVXLabel>("LBL_GAMETITLE", "Current game is : ");
  LblCredit = AddControl<TVXLabel>("LBL_CREDIT", "CREDIT:");
  LblCreditV = AddControl<TVXLabel>("LBL_CREDITV");
  LbHighScore = vx::AddColumnList(this, "LB_HIGHSCORE", {{"PLAYER", 270, false}, {"BANK", 130, true}});
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "CLOSE");
  BtnClose->OnClick = [this](TVXComponent*) { CloseWithResult(ResultClose); };
  LoadTheme(vx::CasinoNameIn(Context()));

  for (int i = 0; i < players.Count(); ++i) {
    const TVXPlayer* player = players.Items(i);
    LbHighScore->Items.Add(player->PlayerName)->SubItems = {std::to_string(player->Bank)};
  }
  // The header shows where the signed-in player stands, and the running game's credit.
  const TVXPlayer* current = players.CurrentPlayer();
  LblBankV->SetText(std::to_string(current != nullptr ? current->Bank : 0u));
  const TVXGameData* data = runningGame != nullptr ? runningGame->GetGameData() : nullptr;
  if (data != nullptr && runningGame->GameInfo != nullptr) {
    LblGameTitle->SetText("Current game is : " + runningGame->GameInfo->Title);
    LblCreditV->SetText(std::to_string(data->Money.Credit()));
  } else {
    for (TVXLabel* label : {LblGameTitle, LblCredit, LblCreditV}) label->SetVisible(false);
  }
}
