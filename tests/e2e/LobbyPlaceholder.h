#pragma once
// A stand-in for the lobby layer, so the main window can be run without the real casino
// manager, players, city, menu bar, intro and login, help and lobby screens. Every call
// logs what it stands for ("INFO: Lobby placeholder: ..."); the intro is a plain fade, the
// login dialog a message box that lets a guest in, and the main room a fade and a message box.
#include <functional>

#include "app/LobbySeam.h"

class TVXMainWindow;

class LobbyPlaceholder : public TVXLobbyLayer {
public:
  // `window` names the main window it shows its fades and boxes on (null: none yet).
  explicit LobbyPlaceholder(std::function<TVXMainWindow*()> window);

  void CreateCasinoManager() override;
  void CreatePlayers() override;
  void CreateCityAndMenuBar() override;

  void PlayIntro() override;
  bool HasCurrentPlayer() override { return signedIn_; }
  int32_t SignIn(const std::string& name, const std::string& password) override;
  int32_t ShowLoginDialog() override;
  void PlayerChanged() override;
  void EnterMainRoom() override;

  int32_t CurrentPlayerPictureID() override { return 0; }
  void ShowPopup(const std::string& text, int32_t pictureID, int32_t frames) override;
  void ShowHint(const std::string& text) override;
  void ShowHelp() override;

  void FreeMainRoom() override;
  void FreeCity() override;
  void FreeMenuBar() override;
  void FreePlayers() override;
  void FreeCasinoManager() override;

  // The texts the placeholder dialogs show.
  static const char* const kLoginText;
  static const char* const kMainRoomText;

private:
  std::function<TVXMainWindow*()> window_;
  bool signedIn_ = false;
};
