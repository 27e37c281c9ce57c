#pragma once
// What the city, the lobby and the menu bar share: the main window's context, the program's
// game catalogue, casinos and players, the current casino and game, the three lobby objects
// themselves, and the few services of the main window that only the program layer can give
// (running its login, closing it, opening an address). The program layer owns one, fills it
// in at start-up, clears it at shutdown and hands it to each of them when it makes them.
//
// Also the lobby's side of the games: the signed-in player's bank and the credit dialog.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "games/VXGame.h"

class TGameStatictics;
class TMainRoom;
class TNavigation;
class TVXCasino;
class TVXCasinoManager;
class TVXCity;
class TVXContext;
class TVXGameManager;
class TVXPlayer;
class TVXPlayers;

struct TVXLobbyState {
  explicit TVXLobbyState(TVXContext& context) : Context(context) {}
  TVXLobbyState(const TVXLobbyState&) = delete;
  TVXLobbyState& operator=(const TVXLobbyState&) = delete;

  // The main window's context: its settings, services and root scene.
  TVXContext& Context;

  // The program's catalogue, casinos and players (not owned here).
  TVXGameManager* GameManager = nullptr;
  TVXCasinoManager* CasinoManager = nullptr;
  TVXPlayers* Players = nullptr;
  TVXCity* City = nullptr;
  TNavigation* Navigation = nullptr;
  // The lobby, held in one slot and created by the city on first use.
  TMainRoom* MainRoom = nullptr;

  // The casino entered last; the running game (owned by the lobby), or none.
  TVXCasino* CurrentCasino = nullptr;
  TVXGame* CurrentGame = nullptr;
  // The lobby's side of the games, handed to each game made.
  TVXGameHost* GameHost = nullptr;

  // The main window's login (false: always through the dialog) and its close request, which
  // every message loop honours by returning, so shutdown runs after the outermost one.
  std::function<void(bool autoLogin)> Login;
  std::function<void()> CloseProgram;
  // The desktop's "open" action for an address.
  std::function<void(const std::string&)> OpenAddress;
};

namespace vx {

// The signed-in player, or nullptr.
TVXPlayer* CurrentPlayer(const TVXLobbyState& lobby);
// The main window's message box; without a main window the text is logged and the answer is
// mrNone.
int32_t LobbyAsk(const TVXLobbyState& lobby, const std::string& text, int32_t kind, int32_t buttons);
// Main-window services through the lobby state: logged when the program layer gave none.
void CloseProgram(const TVXLobbyState& lobby);
void OpenAddress(const TVXLobbyState& lobby, const std::string& address);

}  // namespace vx

// The games' view of the lobby: the signed-in player's bank and the credit dialog.
class TLobbyGameHost : public TVXGameHost {
public:
  explicit TLobbyGameHost(TVXLobbyState& lobby) : lobby_(lobby) {}

  // The signed-in player's bank, valid until the next call.
  vx::TPlayerBank* PlayerBank() override;
  // The credit dialog for the game, shown modally or carried out at once with its first
  // amount.
  void OpenCreditForm(TVXGame& game, bool ShowDialog) override;

private:
  TVXLobbyState& lobby_;
  std::optional<vx::TCounterBank> bank_;
};
