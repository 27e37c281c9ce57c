#pragma once
// The city: after a login it opens the default casino and that casino's lobby.
#include <string>

class TVXScene;
struct TVXLobbyState;

class TVXCity {
public:
  // The casino the city enters after every login.
  static constexpr const char* DefaultCasino = "VideoPokerCasino";

  explicit TVXCity(TVXLobbyState& lobby) : lobby_(lobby) {}
  // Frees the lobby (when the program did not free it first) and the city's own scene.
  ~TVXCity();
  TVXCity(const TVXCity&) = delete;
  TVXCity& operator=(const TVXCity&) = delete;

  // The city's own screen; none in practice.
  TVXScene* Scene = nullptr;

  // Selects the default casino when the casino manager knows it; otherwise nothing happens.
  void EnterMainRoom();
  // Nothing happens unless the casino's "casino.dat" exists and the manager knows the casino.
  // Binds the player's statistics in it, makes it the current casino, and shows its lobby
  // (created on first use).
  void SelectCasino(const std::string& name);
  void HideScene();

private:
  TVXLobbyState& lobby_;
};
