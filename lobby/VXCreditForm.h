#pragma once
// The credit dialog: moves money from the signed-in player's bank into the running game's
// credit in fixed amounts. Games also use it without showing it, to take their opening credit.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/VXFrame.h"

class TGameInfo;
class TVXButton;
class TVXContext;
class TVXGameData;
class TVXLabel;
class TVXPlayer;
class TVXPlayers;
struct TVXLobbyState;

// What the dialog works on: the running game's data (credit and tally), its catalogue entry
// (the title) and its credit display.
struct TVXCreditGame {
  TVXGameData* Data = nullptr;
  const TGameInfo* Info = nullptr;
  std::function<void()> UpdateCredit;
};

class TfrmCredit : public TVXFrame {
public:
  static constexpr int32_t ResultClose = 2;
  // The most the credit of a game may hold.
  static constexpr uint32_t MaxCredit = 2147483647u;

  // `themed` false leaves the theme unread until the dialog first shows anything (a refusal's
  // message over it): the silent path usually shows nothing at all.
  TfrmCredit(TVXComponent* owner, TVXPlayers& players, TVXCreditGame game, bool themed = true);

  TVXLabel* LblBank = nullptr;
  TVXLabel* LblBankValue = nullptr;
  TVXLabel* LblGameTitle = nullptr;
  TVXLabel* LblCredit = nullptr;
  TVXLabel* LblCreditValue = nullptr;
  TVXButton* BtnAdd100 = nullptr;
  TVXButton* BtnAdd1000 = nullptr;
  TVXButton* BtnAdd10000 = nullptr;
  TVXButton* BtnClose = nullptr;

  // Moves `amount` from the bank to the credit (and the tally's credit in). Refused with a
  // message, nothing changed, when the bank holds less or the credit or the tally would pass
  // its limit. True when the money moved.
  bool AddCredit(uint32_t amount);
  // Bank, game title and credit into their labels.
  void RefreshLabels();

private:
  TVXButton* AddAmountButton(const std::string& name, uint32_t amount);
  TVXPlayer* Player() const;
  void Refuse(const std::string& text);

  TVXPlayers& players_;
  TVXCreditGame game_;
  bool themed_ = false;
};

namespace vx {

// Creates the credit dialog over the root scene for the game. Shown: runs it modally.
// Not shown: carries out the first amount button at once. Then frees it and updates the
// game's credit display. Returns the dialog's result (0 when not shown).
int32_t OpenCreditForm(const TVXContext* context, TVXPlayers& players, const TVXCreditGame& game, bool showDialog);
// The same with the lobby's players; without them nothing happens.
int32_t OpenCreditForm(const TVXLobbyState& lobby, const TVXCreditGame& game, bool showDialog);

}  // namespace vx
