#include "lobby/VXCreditForm.h"

#include <limits>

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXLobby.h"
#include "lobby/VXPlayers.h"

TfrmCredit::TfrmCredit(TVXComponent* owner, TVXPlayers& players, TVXCreditGame game, bool themed)
    : TVXFrame(owner), players_(players), game_(std::move(game)), themed_(themed) {
  SetSceneName("CREDIT");
  LblBank = AddControl<TVXLabel>("LBL_BANK", "BANK:", Client);
  LblBankValue = AddControl<TVXLabel>("LBL_BANKV", "0", Client);
  LblGameTitle = AddControl<TVXLabel>("LBL_GAMETITLE", "Current game is : ", Client);
  LblCredit = AddControl<TVXLabel>("LBL_CREDIT", "CREDIT:", Client);
  LblCreditValue = AddControl<TVXLabel>("LBL_CREDITV", "0", Client);
  BtnAdd100 = AddAmountButton("BTN_ADD100", 100);
  BtnAdd1000 = AddAmountButton("BTN_ADD1000", 1000);
  BtnAdd10000 = AddAmountButton("BTN_ADD10000", 10000);
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "CLOSE", Client);
  BtnClose->OnClick = [this](TVXComponent*) { CloseWithResult(ResultClose); };
  RefreshLabels();
  if (themed_) LoadTheme(vx::CasinoNameIn(Context()));
}

void TfrmCredit::Refuse(const std::string& text) {
  if (!themed_) {
    themed_ = true;
    LoadTheme(vx::CasinoNameIn(Context()));
  }
  vx::LobbyMessageBox(Context(), text, mkWarning, mbOK);
}

TVXButton* TfrmCredit::AddAmountButton(const std::string& name, uint32_t amount) {
  auto* button = new TVXButton(this);
  button->SetParent(Client);
  button->SetText(std::to_string(amount));
  button->SetName(name);
  button->TextureInfo.SetName("BTN_COIN");
  button->Tag = static_cast<int32_t>(amount);
  AddControl(button);
  button->OnClick = [this](TVXComponent* sender) {
    if (auto* c = dynamic_cast<TVXComponent*>(sender)) AddCredit(static_cast<uint32_t>(c->Tag));
  };
  return button;
}

TVXPlayer* TfrmCredit::Player() const { return players_.CurrentPlayer(); }

bool TfrmCredit::AddCredit(uint32_t amount) {
  TVXPlayer* player = Player();
  TVXGameData* data = game_.Data;
  if (!data) {
    Log("ERROR: Credit dialog without a game");
    return false;
  }
  const std::string text = std::to_string(amount);
  if (!player || player->Bank < amount) {
    Refuse("You don't have enought money to add " + text + "!");
    return false;
  }
  // Every new value is computed and checked before any of them changes.
  const uint64_t credit = static_cast<uint64_t>(data->Money.Credit()) + amount;
  const uint64_t creditIn = static_cast<uint64_t>(data->GetCreditIn()) + amount;
  if (credit > MaxCredit) {
    Refuse("The credit cannot hold more than " + std::to_string(MaxCredit) + ". " + text + " was not added.");
    return false;
  }
  if (creditIn > std::numeric_limits<uint32_t>::max()) {
    Refuse("The statistics of this game cannot count more credit. " + text + " was not added.");
    return false;
  }
  vx::TCounterBank bank(player->Bank);
  if (!data->Money.BuyCredit(&bank, amount, MaxCredit)) return false;
  data->SetCreditIn(static_cast<uint32_t>(creditIn));
  if (game_.UpdateCredit) game_.UpdateCredit();
  RefreshLabels();
  return true;
}

void TfrmCredit::RefreshLabels() {
  const TVXPlayer* player = Player();
  LblBankValue->SetText(std::to_string(player ? player->Bank : 0u));
  if (game_.Info) LblGameTitle->SetText(game_.Info->Title);
  LblCreditValue->SetText(std::to_string(game_.Data ? game_.Data->Money.Credit() : 0u));
}

namespace vx {

int32_t OpenCreditForm(const TVXContext* context, TVXPlayers& players, const TVXCreditGame& game, bool showDialog) {
  TVXComponent* owner = DialogOwner(context);
  if (owner == nullptr) {
    Log("ERROR: The credit dialog needs the main window");
    return 0;
  }
  WeakRef<TfrmCredit> form(new TfrmCredit(owner, players, game, showDialog));
  int32_t result = 0;
  if (showDialog) result = form->ShowModal();
  else form->AddCredit(100);
  delete form.Get();
  if (game.UpdateCredit) game.UpdateCredit();
  return result;
}

int32_t OpenCreditForm(const TVXLobbyState& lobby, const TVXCreditGame& game, bool showDialog) {
  if (lobby.Players == nullptr) {
    Log("ERROR: No players to take credit from");
    return 0;
  }
  return OpenCreditForm(&lobby.Context, *lobby.Players, game, showDialog);
}

}  // namespace vx
