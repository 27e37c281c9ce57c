#include "lobby/VXLobby.h"

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "games/GameData.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXPlayers.h"

namespace vx {

TVXLobbyState& Lobby() {
  static TVXLobbyState state;
  return state;
}

TVXPlayer* CurrentPlayer() {
  TVXPlayers* players = Lobby().Players;
  return players != nullptr ? players->CurrentPlayer() : nullptr;
}

int32_t LobbyAsk(const std::string& text, int32_t kind, int32_t buttons) {
  if (TVXMainWindow* main = MainWindow()) return main->MessageBox(text, kind, 0, buttons);
  Log("ERROR: No window to show the message \"" + text + "\"");
  return mrNone;
}

void CloseProgram() {
  if (Lobby().CloseProgram) {
    Lobby().CloseProgram();
  } else {
    Log("ERROR: The program cannot be closed from here");
  }
}

}  // namespace vx

vx::TPlayerBank* TLobbyGameHost::PlayerBank() {
  TVXPlayer* player = vx::CurrentPlayer();
  if (player == nullptr) return nullptr;
  bank_.emplace(player->Bank);
  return &*bank_;
}

void TLobbyGameHost::OpenCreditForm(TVXGame& game, bool ShowDialog) {
  TVXPlayers* players = vx::Lobby().Players;
  if (players == nullptr) {
    Log("ERROR: No players to take credit from");
    return;
  }
  vx::WeakRef<TVXGame> alive(&game);
  TVXCreditGame credit;
  credit.Data = game.GetGameData();
  credit.Info = game.GameInfo;
  credit.UpdateCredit = [alive] {
    if (TVXGame* g = alive.Get()) g->UpdateCredit();
  };
  vx::OpenCreditForm(*players, credit, ShowDialog);
}
