#include "lobby/VXLobby.h"

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "games/GameData.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXDialogs.h"
#include "lobby/VXPlayers.h"

namespace vx {

TVXPlayer* CurrentPlayer(const TVXLobbyState& lobby) {
  return lobby.Players != nullptr ? lobby.Players->CurrentPlayer() : nullptr;
}

int32_t LobbyAsk(const TVXLobbyState& lobby, const std::string& text, int32_t kind, int32_t buttons) {
  return LobbyMessageBox(&lobby.Context, text, kind, buttons);
}

void CloseProgram(const TVXLobbyState& lobby) {
  if (lobby.CloseProgram) {
    lobby.CloseProgram();
  } else {
    Log("ERROR: The program cannot be closed from here");
  }
}

void OpenAddress(const TVXLobbyState& lobby, const std::string& address) {
  if (lobby.OpenAddress) {
    lobby.OpenAddress(address);
  } else {
    Log("ERROR: No way to open " + address);
  }
}

}  // namespace vx

vx::TPlayerBank* TLobbyGameHost::PlayerBank() {
  TVXPlayer* player = vx::CurrentPlayer(lobby_);
  if (player == nullptr) return nullptr;
  bank_.emplace(player->Bank);
  return &*bank_;
}

void TLobbyGameHost::OpenCreditForm(TVXGame& game, bool ShowDialog) {
  vx::WeakRef<TVXGame> alive(&game);
  TVXCreditGame credit;
  credit.Data = game.GetGameData();
  credit.Info = game.GameInfo;
  credit.UpdateCredit = [alive] {
    if (TVXGame* g = alive.Get()) g->UpdateCredit();
  };
  vx::OpenCreditForm(lobby_, credit, ShowDialog);
}
