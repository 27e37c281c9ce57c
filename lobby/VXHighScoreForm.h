#pragma once
// The hall of fame: every player with the bank, in the players' own order. Above the list the
// signed-in player's bank, and while a game runs its title and credit.
#include <cstdint>

#include "framework/VXFrame.h"

class TVXButton;
class TVXGame;
class TVXLabel;
class TVXListBox;
class TVXPlayers;

class TfrmHighScore : public TVXFrame {
public:
  static constexpr int32_t ResultClose = 2;

  // `runningGame` may be null.
  TfrmHighScore(TVXComponent* owner, TVXPlayers& players, TVXGame* runningGame);

  TVXLabel* LblBank = nullptr;
  TVXLabel* LblBankV = nullptr;
  TVXLabel* LblGameTitle = nullptr;
  TVXLabel* LblCredit = nullptr;
  TVXLabel* LblCreditV = nullptr;
  TVXListBox* LbHighScore = nullptr;
  TVXButton* BtnClose = nullptr;
};
