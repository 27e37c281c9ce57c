#pragma once
// The statistics dialog: for the current casino, each player's money in and out per game and
// the count of each hand per game, or only the running game's own figures.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/VXFrame.h"

class TGameInfo;
class TGameStatictics;
class TVXButton;
class TVXCasino;
class TVXCheckBox;
class TVXGame;
class TVXLabel;
class TVXListBox;
class TVXPlayer;
class TVXPlayers;

class TfrmStatistics : public TVXFrame {
public:
  // `casino` and `runningGame` may be null: without a casino no games are listed; without a
  // running game the current-game box is hidden.
  TfrmStatistics(TVXComponent* owner, TVXPlayers& players, TVXCasino* casino, TVXGame* runningGame);

  TVXButton* BtnClose = nullptr;
  TVXListBox* LbPlayers = nullptr;
  TVXListBox* LbGames = nullptr;
  TVXListBox* LbHands = nullptr;
  TVXLabel* LblGameTitle = nullptr;
  TVXLabel* LblCreditIn = nullptr;
  TVXLabel* LblCreditInV = nullptr;
  TVXLabel* LblCreditOut = nullptr;
  TVXLabel* LblCreditOutV = nullptr;
  TVXLabel* LblCreditReturn = nullptr;
  TVXLabel* LblCreditReturnV = nullptr;
  TVXCheckBox* CbCurrentSession = nullptr;

  TVXPlayer* SelectedPlayer() const { return selectedPlayer_; }
  const TGameInfo* SelectedGame() const;

  void RefreshPlayers();
  void RefreshGames();
  void RefreshHands();

  // One game's columns: title, credit in, credit out (unsigned decimals) and credit out x 100
  // div credit in, or "-" when nothing went in.
  static std::vector<std::string> GameColumns(const std::string& title, const TGameStatictics& record);

private:
  struct GameRow {
    const TGameInfo* Info = nullptr;
    TGameStatictics* Record = nullptr;
  };
  void PlayerChosen();
  void GameChosen();
  void ShowGameLabels(const GameRow* row);

  TVXPlayers& players_;
  TVXCasino* casino_;
  TVXGame* game_;
  TVXPlayer* selectedPlayer_ = nullptr;
  std::vector<GameRow> games_;
  int32_t selectedGame_ = -1;
};
