#include "lobby/VXCity.h"

#include "core/Log.h"
#include "framework/VXContext.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "lobby/VXCasino.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"

TVXCity::~TVXCity() {
  delete lobby_.MainRoom;  // clears the slot itself
  lobby_.MainRoom = nullptr;
  delete Scene;
  Scene = nullptr;
  if (lobby_.City == this) lobby_.City = nullptr;
}

void TVXCity::EnterMainRoom() {
  TVXCasinoManager* casinos = lobby_.CasinoManager;
  if (casinos == nullptr || casinos->FindCasino(DefaultCasino) == nullptr) {
    Log("ERROR: There is no casino " + std::string(DefaultCasino));
    return;
  }
  SelectCasino(DefaultCasino);
}

void TVXCity::SelectCasino(const std::string& name) {
  TVXLobbyState& lobby = lobby_;
  TVXSetting* settings = lobby.Context.Setting.get();
  if (settings == nullptr || lobby.CasinoManager == nullptr) return;
  if (!vx::FileExists(settings->CasinosFolder + name + "\\casino.dat")) {
    Log("ERROR: The casino " + name + " has no casino.dat");
    return;
  }
  TVXCasino* casino = lobby.CasinoManager->FindCasino(name);
  if (casino == nullptr) return;
  if (TVXPlayer* player = vx::CurrentPlayer(lobby))
    player->Statistics = casino->FindPlayerStatistics(player->PlayerName, true);
  lobby.CurrentCasino = casino;
  settings->SetCasino(casino->Name);
  HideScene();
  if (lobby.MainRoom == nullptr) lobby.MainRoom = new TMainRoom(lobby);
  lobby.MainRoom->Show();
}

void TVXCity::HideScene() {
  if (Scene != nullptr) Scene->Hide();
}
