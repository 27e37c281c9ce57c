#include "lobby/VXLoginForm.h"

#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXComboBox.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXProfileForm.h"

TfrmLogin::TfrmLogin(TVXComponent* owner, TVXPlayers& players, TVXSetting* settings)
    : TVXFrame(owner), players_(players), settings_(settings) {
  SetSceneName("LOGIN");

  BtnLogin = AddControl<TVXButton>("BTN_LOGIN", "LOGIN");
  BtnNewPlayer = AddControl<TVXButton>("BTN_NEWPLAYER", "NEW PLAYER");
  BtnDeletePlayer = AddControl<TVXButton>("BTN_DELETEPLAYER", "DELETE PLAYER");
  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "EXIT");
  LblPlayerName = AddControl<TVXLabel>("LBL_PLAYERNAME", "Player name:");
  CboPlayerName = AddControl<TVXComboBox>("CBO_PLAYERNAME");
  LblPassword = AddControl<TVXLabel>("LBL_PASSWORD", "Password:");
  EdtPassword = AddControl<TVXEdit>("EDT_PASSWORD");
  EdtPassword->SetPasswordChar('*');
  TVXPlayers::LimitNameEntry(CboPlayerName);
  // The drop-down list opens over the rows below it.
  CboPlayerName->BringToFront();
  FillPlayerNames();

  BtnLogin->OnClick = [this](TVXComponent*) { LoginClick(); };
  BtnNewPlayer->OnClick = [this](TVXComponent*) { NewPlayerClick(); };
  BtnDeletePlayer->OnClick = [this](TVXComponent*) { DeletePlayerClick(); };
  BtnClose->OnClick = [this](TVXComponent*) { CloseClick(); };

  LoadTheme(vx::CasinoNameIn(Context()));
}

void TfrmLogin::FillPlayerNames() { players_.FillPlayerList(CboPlayerName->List(), false); }

void TfrmLogin::LoginClick() {
  if (players_.Login(vx::Trim(CboPlayerName->Caption()), vx::Trim(EdtPassword->Caption()))) {
    CloseWithResult(ResultLogin);
    return;
  }
  vx::LobbyMessageBox(Context(), "Wrong player name or password.", mkError, mbOK);
}

void TfrmLogin::NewPlayerClick() {
  vx::WeakRef<TfrmProfile> profile(new TfrmProfile(vx::DialogOwner(Context()), players_, settings_));
  const int32_t result = profile->ShowModal();
  if (profile && result == 1) {
    FillPlayerNames();
    CboPlayerName->SetText(profile->UserName());
    CboPlayerName->SetCursorPos(static_cast<int32_t>(CboPlayerName->Caption().size()));
    EdtPassword->SetText(profile->Password());
    EdtPassword->SetCursorPos(static_cast<int32_t>(EdtPassword->Caption().size()));
  }
  delete profile.Get();
}

void TfrmLogin::DeletePlayerClick() {
  const std::string name = vx::Trim(CboPlayerName->Caption());
  if (name.empty()) {
    vx::LobbyMessageBox(Context(), "Please select a player.", mkError, mbOK);
    return;
  }
  const std::string question = "Are you sure you want to delete player " + name + "?";
  if (vx::LobbyMessageBox(Context(), question, mkConfirmation, mbYes | mbNo) != mrYes) return;
  if (players_.DeletePlayer(name)) {
    FillPlayerNames();
    // The deleted player's name and password must not stay ready to sign in with.
    CboPlayerName->SetText("");
    EdtPassword->SetText("");
    return;
  }
  vx::LobbyMessageBox(Context(), "Cannot delete player " + name + ".", mkError, mbOK);
}

void TfrmLogin::CloseClick() {
  if (vx::LobbyMessageBox(Context(), "Exit game?", mkConfirmation, mbYes | mbNo) == mrYes) CloseWithResult(ResultExit);
}
