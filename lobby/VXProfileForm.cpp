#include "lobby/VXProfileForm.h"

#include "core/StrUtils.h"
#include "framework/VXApplication.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "framework/VXContext.h"
#include "lobby/VXCasino.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXPlayers.h"

namespace vx {

void ShowPlayerPicture(TVXImage* image, int32_t pictureID) {
  if (!image) return;
  image->TextureInfo.SetFolder(kPlayerPictureFolder);
  image->TextureInfo.SetName(kPlayerPictureName);
  image->SetFrame(pictureID);
}

}  // namespace vx

TfrmProfile::TfrmProfile(TVXComponent* owner, TVXPlayers& players, TVXSetting* settings, TVXCasinoManager* casinos)
    : TVXFrame(owner), players_(players), settings_(settings), casinos_(casinos) {
  NewPlayer = players_.CurrentPlayer() == nullptr;
  SetSceneName("PROFILE");

  BtnClose = AddControl<TVXButton>("BTN_CLOSE", "OK");
  BtnCancel = AddControl<TVXButton>("BTN_CANCEL", "CANCEL");
  LblFirstName = AddControl<TVXLabel>("LBL_FISTNAME", "Firstname:");
  EdtFirstName = AddControl<TVXEdit>("EDT_FISTNAME");
  LblLastName = AddControl<TVXLabel>("LBL_LASTNAME", "Lastname:");
  EdtLastName = AddControl<TVXEdit>("EDT_LASTNAME");
  LblUserName = AddControl<TVXLabel>("LBL_USERNAME", "Username:");
  EdtUserName = AddControl<TVXEdit>("EDT_USERNAME");
  LblPassword = AddControl<TVXLabel>("LBL_PASSWORD", "Password:");
  EdtPassword = AddControl<TVXEdit>("EDT_PASSWORD");
  LblPassword2 = AddControl<TVXLabel>("LBL_PASSWORD2", "Verify Password:");
  EdtPassword2 = AddControl<TVXEdit>("EDT_PASSWORD2");
  for (TVXEdit* edit : {EdtPassword, EdtPassword2}) edit->SetPasswordChar('*');
  TVXPlayers::LimitNameEntry(EdtUserName);

  // The same pictures as everywhere else a player is shown.
  ImgPlayer = new TVXImage(this);
  vx::ShowPlayerPicture(ImgPlayer, 1);
  ImgPlayer->SetName("IMG_PLAYER");
  AddControl(ImgPlayer);

  BtnNext = AddControl<TVXButton>("BTN_NEXT", "Next image");
  CbAutoLogin = AddControl<TVXCheckBox>("CB_AUTOLOGIN", "Automatically login with this player");

  if (const TVXPlayer* player = players_.CurrentPlayer()) {
    EdtFirstName->SetText(player->FirstName);
    EdtLastName->SetText(player->LastName);
    EdtUserName->SetText(player->PlayerName);
    EdtPassword->SetText(player->Password);
    EdtPassword2->SetText(player->Password);
    ImgPlayer->SetFrame(player->PictureID);
    CbAutoLogin->SetChecked(settings_ && !player->PlayerName.empty() &&
                            vx::SameText(settings_->optAutoLoginPlayerName, player->PlayerName));
  }

  BtnClose->OnClick = [this](TVXComponent*) { OkClick(); };
  BtnCancel->OnClick = [this](TVXComponent*) { CloseWithResult(0); };
  BtnNext->OnClick = [this](TVXComponent*) { NextImageClick(); };

  LoadTheme(vx::CasinoNameIn(Context()));
}

std::string TfrmProfile::NameTooLongText() {
  return "A player name can be at most " + std::to_string(TVXPlayers::MaxNameLength) + " characters long.";
}

std::string TfrmProfile::UserName() const { return vx::Trim(EdtUserName->Caption()); }
std::string TfrmProfile::Password() const { return vx::Trim(EdtPassword->Caption()); }
int32_t TfrmProfile::PictureID() const { return ImgPlayer->TextureInfo.Frame(); }

void TfrmProfile::NextImageClick() { ImgPlayer->NextFrame(); }

void TfrmProfile::OkClick() {
  if (UserName().empty()) {
    vx::LobbyMessageBox(Context(), "Please enter your playername or nick!", mkError, mbOK);
    return;
  }
  if (TVXPlayers::NameTooLong(UserName()) && (NewPlayer || !players_.CurrentPlayer() ||
                                              UserName() != players_.CurrentPlayer()->PlayerName)) {
    vx::LobbyMessageBox(Context(), NameTooLongText(), mkError, mbOK);
    return;
  }
  if (Password() != vx::Trim(EdtPassword2->Caption())) {
    vx::LobbyMessageBox(Context(), "Password does not match !", mkError, mbOK);
    return;
  }
  const bool saved = NewPlayer ? CreatePlayer() : SaveCurrentPlayer();
  if (saved) CloseWithResult(1);
}

bool TfrmProfile::CreatePlayer() {
  const std::string name = UserName();
  if (players_.PlayerExists(name)) {
    vx::LobbyMessageBox(Context(), "Player " + name + " already exists!", mkError, mbOK);
    return false;
  }
  if (!players_.AddPlayer(name, Password(), vx::Trim(EdtFirstName->Caption()), vx::Trim(EdtLastName->Caption()),
                          PictureID())) {
    vx::LobbyMessageBox(Context(), "Error creating player  !", mkError, mbOK);
    return false;
  }
  if (settings_ && CbAutoLogin->Checked()) {
    // The name alone could never sign in: the password goes with it.
    settings_->optAutoLoginPlayerName = name;
    settings_->optAutoLoginPlayerPassword = Password();
    settings_->Save();
  }
  vx::LobbyMessageBox(Context(), "Player " + name + " created successfully!", mkInformation, mbOK);
  return true;
}

bool TfrmProfile::SaveCurrentPlayer() {
  TVXPlayer* player = players_.CurrentPlayer();
  const std::string name = UserName();
  const std::string oldName = player ? player->PlayerName : std::string();
  const TVXPlayerProfile profile{name, Password(), EdtFirstName->Caption(), EdtLastName->Caption(), PictureID()};
  // A new name takes the player's statistics along in every casino.
  switch (players_.ChangePlayer(player, profile, casinos_)) {
    case TChangePlayerResult::Changed:
      break;
    case TChangePlayerResult::NameTaken:
      vx::LobbyMessageBox(Context(), "Player " + name + " already exists!", mkError, mbOK);
      return false;
    default:
      vx::LobbyMessageBox(Context(), "Cannot save player " + name + ".", mkError, mbOK);
      return false;
  }
  if (settings_) {
    const std::string& autoName = settings_->optAutoLoginPlayerName;
    if (CbAutoLogin->Checked()) {
      settings_->optAutoLoginPlayerName = name;
      settings_->optAutoLoginPlayerPassword = Password();
      settings_->Save();
    } else if (!autoName.empty() && (vx::SameText(autoName, oldName) || vx::SameText(autoName, name))) {
      settings_->optAutoLoginPlayerName.clear();
      settings_->optAutoLoginPlayerPassword.clear();
      settings_->Save();
    }
  }
  return true;
}
