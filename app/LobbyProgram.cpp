#include "app/LobbyProgram.h"

#include "core/Log.h"
#include "framework/VXContext.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXCity.h"
#include "lobby/VXLoader.h"
#include "lobby/VXLobbyDialogs.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXNavigation.h"
#include "lobby/VXPlayers.h"
#include "platform/OpenAddress.h"

TVXLobbyProgram::TVXLobbyProgram(TVXLobbyShell& shell) : shell_(shell), lobby_(shell.Context()) {}

TVXLobbyProgram::~TVXLobbyProgram() {
  FreeMainRoom();
  FreeCity();
  FreeMenuBar();
  FreePlayers();
  FreeCasinoManager();
}

void TVXLobbyProgram::CreateCasinoManager() {
  TVXSetting* settings = shell_.Setting();
  TVXGameManager* catalogue = shell_.GameManager();
  if (settings == nullptr || catalogue == nullptr) return;
  casinos_ = std::make_unique<TVXCasinoManager>(settings->CasinosFolder, *catalogue);
  lobby_.GameManager = catalogue;
  lobby_.CasinoManager = casinos_.get();
  Log("INFO: Casinos read: " + std::to_string(casinos_->Count()));
}

void TVXLobbyProgram::CreatePlayers() {
  TVXSetting* settings = shell_.Setting();
  players_ = std::make_unique<TVXPlayers>();
  if (settings != nullptr) players_->FileName = settings->PlayersFile;
  players_->LoadFromFile();
  Log("INFO: Players read: " + std::to_string(players_->Count()));
  lobby_.Players = players_.get();
  lobby_.GameHost = &gameHost_;
}

void TVXLobbyProgram::CreateCityAndMenuBar() {
  TVXLobbyState& lobby = lobby_;
  lobby.Login = [this](bool autoLogin) { shell_.Login(autoLogin); };
  lobby.CloseProgram = [this] { shell_.Close(); };
  lobby.OpenAddress = [](const std::string& address) {
    std::string error;
    if (!vx::OpenAddressOnDesktop(address, &error)) Log("ERROR: Cannot open " + address + ": " + error);
  };
  city_ = std::make_unique<TVXCity>(lobby);
  lobby.City = city_.get();
  navigation_ = std::make_unique<TNavigation>(lobby);
  lobby.Navigation = navigation_.get();
  navigation_->Show();
  Log("INFO: City and menu bar ready");
}

void TVXLobbyProgram::PlayIntro() {
  Log("INFO: Intro");
  TAnimIntro intro(&shell_.Context());
  intro.Run();
}

bool TVXLobbyProgram::HasCurrentPlayer() { return players_ && players_->CurrentPlayer() != nullptr; }

int32_t TVXLobbyProgram::SignIn(const std::string& name, const std::string& password) {
  return players_ && players_->Login(name, password) ? 1 : 0;
}

int32_t TVXLobbyProgram::ShowLoginDialog() {
  if (!players_ || shell_.MainScene() == nullptr) return 0;
  Log("INFO: Login dialog");
  vx::WeakRef<TfrmLogin> dialog(new TfrmLogin(shell_.MainScene(), *players_, shell_.Setting()));
  const int32_t result = dialog ? dialog->ShowModal() : 0;
  delete dialog.Get();
  return result == TfrmLogin::ResultLogin && HasCurrentPlayer() ? 1 : 0;
}

void TVXLobbyProgram::PlayerChanged() {
  if (navigation_) navigation_->PlayerChanged();
}

void TVXLobbyProgram::EnterMainRoom() {
  if (city_) city_->EnterMainRoom();
}

int32_t TVXLobbyProgram::CurrentPlayerPictureID() {
  const TVXPlayer* player = players_ ? players_->CurrentPlayer() : nullptr;
  return player != nullptr ? player->PictureID : 0;
}

void TVXLobbyProgram::ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) {
  if (navigation_) navigation_->ShowPopup(text, pictureID, frames);
}

void TVXLobbyProgram::ShowHint(const std::string& text) {
  if (navigation_) navigation_->ShowHint(text);
}

void TVXLobbyProgram::ShowHelp() { vx::ShowHelpDialog(lobby_); }

void TVXLobbyProgram::FreeMainRoom() {
  // A running game is settled first: its credit goes to the bank, its data file is saved and
  // its tally merged, so the players and casino saves that follow keep everything.
  if (lobby_.MainRoom == nullptr) return;
  delete lobby_.MainRoom;
  lobby_.MainRoom = nullptr;
  Log("INFO: Main room freed");
}

void TVXLobbyProgram::FreeCity() {
  if (!city_) return;
  city_->HideScene();
  city_.reset();
  lobby_.City = nullptr;
  Log("INFO: City freed");
}

void TVXLobbyProgram::FreeMenuBar() {
  if (navigation_) Log("INFO: Menu bar freed");
  navigation_.reset();
  lobby_.Navigation = nullptr;
  lobby_.Login = nullptr;
  lobby_.CloseProgram = nullptr;
  lobby_.OpenAddress = nullptr;
}

void TVXLobbyProgram::FreePlayers() {
  if (!players_) return;
  players_->Logout();
  // The banks and every casino's statistics in one save, so that they always agree.
  if (!vx::SaveProgress(players_.get(), casinos_.get(), {})) Log("ERROR: players.xml could not be saved");
  if (lobby_.GameHost == &gameHost_) lobby_.GameHost = nullptr;
  lobby_.Players = nullptr;
  players_.reset();
  Log("INFO: Players saved and freed");
}

void TVXLobbyProgram::FreeCasinoManager() {
  if (!casinos_) return;
  lobby_.CurrentCasino = nullptr;
  lobby_.CasinoManager = nullptr;
  lobby_.GameManager = nullptr;
  // Each casino saves its statistics as it goes.
  casinos_.reset();
  Log("INFO: Casinos saved and freed");
}
