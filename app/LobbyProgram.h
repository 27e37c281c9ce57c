#pragma once
// The lobby layer of the program: the lobby state shared by the city, the menu bar, the main
// room and the dialogs (over the main window's context), the casino manager, the players, the
// city, the menu bar, the intro and the login, built and freed at the points of the main
// window's start-up, start sequence and shutdown that name them.
#include <memory>

#include "app/LobbySeam.h"
#include "lobby/VXLobby.h"

class TNavigation;
class TVXCasinoManager;
class TVXCity;
class TVXPlayers;

class TVXLobbyProgram : public TVXLobbyLayer {
public:
  explicit TVXLobbyProgram(TVXLobbyShell& shell);
  // Whatever start-up built and shutdown did not free goes, in shutdown order.
  ~TVXLobbyProgram() override;
  TVXLobbyProgram(const TVXLobbyProgram&) = delete;
  TVXLobbyProgram& operator=(const TVXLobbyProgram&) = delete;

  void CreateCasinoManager() override;
  void CreatePlayers() override;
  void CreateCityAndMenuBar() override;

  void PlayIntro() override;
  bool HasCurrentPlayer() override;
  int32_t SignIn(const std::string& name, const std::string& password) override;
  int32_t ShowLoginDialog() override;
  void PlayerChanged() override;
  void EnterMainRoom() override;

  int32_t CurrentPlayerPictureID() override;
  void ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) override;
  void ShowHint(const std::string& text) override;
  void ShowHelp() override;

  void FreeMainRoom() override;
  void FreeCity() override;
  void FreeMenuBar() override;
  void FreePlayers() override;
  void FreeCasinoManager() override;

  TVXPlayers* Players() const { return players_.get(); }
  TVXCasinoManager* Casinos() const { return casinos_.get(); }
  TNavigation* Navigation() const { return navigation_.get(); }
  TVXCity* City() const { return city_.get(); }
  TVXLobbyState& State() { return lobby_; }

private:
  TVXLobbyShell& shell_;
  // First made, last gone: everything below holds it.
  TVXLobbyState lobby_;
  std::unique_ptr<TVXCasinoManager> casinos_;
  std::unique_ptr<TVXPlayers> players_;
  std::unique_ptr<TVXCity> city_;
  std::unique_ptr<TNavigation> navigation_;
  TLobbyGameHost gameHost_{lobby_};
};
