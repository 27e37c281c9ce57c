#pragma once
// The login dialog: signs a player in, and creates or deletes players. Results: 1 after a
// successful login, 2 when the player chose to exit the game.
#include <cstdint>

#include "framework/VXFrame.h"

class TVXButton;
class TVXComboBox;
class TVXEdit;
class TVXLabel;
class TVXPlayers;
class TVXSetting;

class TfrmLogin : public TVXFrame {
public:
  static constexpr int32_t ResultLogin = 1;
  static constexpr int32_t ResultExit = 2;

  // `settings` is handed to the profile dialog for its automatic-login box (may be null).
  TfrmLogin(TVXComponent* owner, TVXPlayers& players, TVXSetting* settings);

  TVXButton* BtnLogin = nullptr;
  TVXButton* BtnNewPlayer = nullptr;
  TVXButton* BtnDeletePlayer = nullptr;
  TVXButton* BtnClose = nullptr;  // "EXIT"
  TVXLabel* LblPlayerName = nullptr;
  TVXComboBox* CboPlayerName = nullptr;
  TVXLabel* LblPassword = nullptr;
  TVXEdit* EdtPassword = nullptr;

  // The button handlers (the buttons call them; tests may too).
  void LoginClick();
  void NewPlayerClick();
  void DeletePlayerClick();
  void CloseClick();

  // Refills the combo box's list with every player name.
  void FillPlayerNames();

private:
  TVXPlayers& players_;
  TVXSetting* settings_;
};
