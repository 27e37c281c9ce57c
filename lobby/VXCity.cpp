#include "lobby/VXCity.h"

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "lobby/VXCasino.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"

TVXCity::~TVXCity() {
  TVXLobbyState& lobby = vx::Lobby();
  delete lobby.MainRoom;  // clears the slot itself
  lobby.MainRoom = nullptr;
  delete Scene;
  Scene = nullptr;
  if (lobby.City == this) lobby.City = nullptr;
}

void TVXCity::EnterMainRoom() {
  TVXCasinoManager* casinos = vx::Lobby().CasinoManager;
  if (casinos == nullptr || casinos->FindCasino(DefaultCasino) == nullptr) {
    Log("ERROR: There is no casino " + std::string(DefaultCasino));
    return;
  }
  SelectCasino(DefaultCasino);
}

void TVXCity::SelectCasino(const std::string& name) {
  TVXLobbyState& lobby = vx::Lobby();
  TVXSetting* settings = vx::Settings();
  if (settings == nullptr || lobby.CasinoManager == nullptr) return;
  if (!vx::FileExists(settings->CasinosFolder + name + "\\casino.dat")) {
    Log("ERROR: The casino " + name + " has no casino.dat");
    return;
  }
  TVXCasino* casino = lobby.CasinoManager->FindCasino(name);
  if (casino == nullptr) return;
  if (TVXPlayer* player = vx::CurrentPlayer()) player->Statistics = casino->FindPlayerStatistics(player->PlayerName, true);
  lobby.CurrentCasino = casino;
  settings->SetCasino(casino->Name);
  HideScene();
  if (lobby.MainRoom == nullptr) lobby.MainRoom = new TMainRoom();
  lobby.MainRoom->Show();
}

void TVXCity::HideScene() {
  if (Scene != nullptr) Scene->Hide();
}
