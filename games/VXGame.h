#pragma once
// The base of a running game and of its screen. The game binds its screen, its catalogue
// entry, its data (bet, the money ledger, the visit's tally) and its round (GameRound.h), and
// keeps the money rules every game shares: taking the bet, counting a win into the credit,
// buying credit from the player's bank and cashing out to it.
//
// Money lives in the game data's ledger (GameMoney.h), which alone changes it; the credit
// and win labels only display it. Count-ups animate the labels and never decide an amount.
//
// What the game needs from the lobby (the signed-in player's bank, the credit dialog) comes
// through TVXGameHost, which the lobby implements and hands to the game; games never see the
// lobby. The program context (main window, settings, sounds) comes with it.
//
// A new game is made in steps the lobby takes in order, so that a failure at any step
// leaves nothing to undo: the constructor builds data and screen and touches nothing
// outside; LoadData reads the data file; TakeOpeningCredit moves the opening credit from the
// bank; StartAttract starts the attract mode.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "games/GameMoney.h"
#include "games/GameRound.h"

#include "framework/VXLiveness.h"
#include "framework/VXScene.h"

class TGameInfo;
class TVXContext;
class TVXSetting;
class TfrmDebug;
class TGameStatictics;
class TVXCard;
class TVXGame;
class TVXGameData;
class TVXImage;
class TVXLabel;
class TVXPanel;

class TVXGameHost {
public:
  virtual ~TVXGameHost() = default;
  // The signed-in player's bank, or nullptr when nobody is signed in.
  virtual vx::TPlayerBank* PlayerBank() = 0;
  // The credit dialog for the game: shown modally, or (ShowDialog false) not shown with its
  // first amount button (100) carried out at once. It moves money from the bank into the
  // game data's credit (through its ledger) and credit-in and calls the game's UpdateCredit.
  virtual void OpenCreditForm(TVXGame& game, bool ShowDialog) = 0;
};

namespace vx {
// The main window's services as the games use them, through the context of the control's
// tree; each does nothing without a main window. False from GameWait when the program is
// closing.
bool GameWait(const TVXComponent& where, uint64_t ms);
void GameRenderNow(const TVXComponent& where);
void GamePlaySound(const TVXComponent& where, const std::string& name);
// The message box; without a main window it answers as if OK (or NO for a question).
int32_t GameMessageBox(const TVXComponent& where, const std::string& text, int32_t kind, int32_t buttons);
// The integer a label shows, or -1 when its text is not a non-negative number.
int64_t LabelValue(const TVXLabel* label);
void SetLabelValue(TVXLabel* label, int64_t value);
}  // namespace vx

// The controls every game screen carries, among them the double-up panel.
class TVXGameScene : public TVXScene {
public:
  TVXGameScene(TVXComponent* owner, TVXContext* context);

  TVXImage* ImgCustom[3] = {};
  TVXLabel* LblMessage = nullptr;
  TVXPanel* PnlDoubleUp = nullptr;
  TVXLabel* LblDupTitle = nullptr;
  // Positions 1..10 at indices 0..9.
  TVXCard* DupCards[10] = {};
  TVXLabel* LblDupHit = nullptr;
  TVXImage* ImgDupHitDown = nullptr;
  TVXImage* ImgDupHitUp = nullptr;
  // "IMG_SERIES": folder "SERIES\S_3", texture "IMG"; steps one frame per double-up card.
  TVXImage* ImgSeries = nullptr;

  // Set by each game's screen: the labels that show the credit and the pending win.
  TVXLabel* CreditLabel = nullptr;
  TVXLabel* WinLabel = nullptr;

  void SetMessage(const std::string& text);
  // A new control under `parent` (the scene itself when null), named and listed for the theme.
  template <class T>
  T* Make(const std::string& name, TVXCustomControl* parent = nullptr) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(parent != nullptr ? parent : static_cast<TVXCustomControl*>(this));
    AddControl(c);
    return c;
  }
};

class TVXGame : public vx::Lifetime {
public:
  // Stores the entry; the card set starts as "CardSet1". The caller builds data and screen.
  // `context` is the program's, `host` the lobby's side (none: no bank).
  TVXGame(TGameInfo* info, TVXContext* context, TVXGameHost* host);
  // The steps after construction, in this order (see the top of this file).
  virtual void LoadData() {}
  // When the player's bank holds 100 or more: 100 into the credit, the dialog not shown.
  virtual void TakeOpeningCredit();
  virtual void StartAttract() {}
  // Ends what runs by itself (attract mode, win shows) before the game is freed: a game
  // freed from one of its own handlers is deleted only after that handler.
  virtual void StopAttract() {}
  virtual ~TVXGame();
  TVXGame(const TVXGame&) = delete;
  TVXGame& operator=(const TVXGame&) = delete;

  TVXGameScene* Scene = nullptr;
  TGameInfo* GameInfo = nullptr;
  // The player's record for this game; set by the lobby, not owned.
  TGameStatictics* Statistics = nullptr;
  std::string CardSet = "CardSet1";
  vx::TGameRound Round;
  static constexpr uint64_t MoneyCeiling = vx::TGameMoney::Ceiling;
  // The signed-in player's bank through the host; nullptr without one.
  vx::TPlayerBank* PlayerBank();
  TVXContext* Context() const { return context_; }
  // From the context: false, null and "MakeDefault" without one.
  bool DeveloperMode() const;
  const TVXSetting* Settings() const;
  std::string CasinoName() const;
  TfrmDebug* DebugWindow() const;
  // The services above through the game's scene; waits return at once without a scene.
  bool GameWait(uint64_t ms) { return Scene == nullptr || vx::GameWait(*Scene, ms); }
  void GameRenderNow() {
    if (Scene != nullptr) vx::GameRenderNow(*Scene);
  }
  void GamePlaySound(const std::string& name) {
    if (Scene != nullptr) vx::GamePlaySound(*Scene, name);
  }
  int32_t GameMessageBox(const std::string& text, int32_t kind, int32_t buttons);

  virtual TVXGameScene* GetScene() { return Scene; }
  virtual void SetScene(TVXGameScene* scene) { Scene = scene; }
  // Counts the credit into the player's bank (see the .cpp). Refused during a round.
  virtual void CashOut(bool Silent);
  virtual TVXGameData* GetGameData() = 0;
  virtual void ShowWin();
  virtual void EndRound() = 0;
  virtual void UpdateCredit();
  virtual void CollectWin() = 0;
  // The double-up's final collect: the win goes into the credit; true when that also ended
  // the round (the double-up ends it otherwise, once, after its closing pause).
  virtual bool CollectWinForFinish() {
    CollectWin();
    return !Round.InRound();
  }
  // Moves the pending win and the amount a second label shows into the credit, counting both
  // labels into the credit label.
  virtual void TransferWin(TVXLabel* WinLabel, TVXLabel* SecondLabel);
  TVXGame* Self() { return this; }

  // Takes the bet from the credit. Refused (false, credit unchanged) when the bet is 0 or
  // less or when the credit does not cover it.
  virtual bool TakeBet();
  // Whether a new round may start: false (logged) once the money has passed MoneyCeiling.
  // Checked when a round starts only: a round never adds more than it can hold.
  bool CanStartRound();
  // Animates `Amount` (the whole value shown in FromLabel when -1) from one label into the
  // other: 10 per frame above 100 (more only past 20,100, so that no count takes more
  // than about two thousand frames), then 1 per frame. Display only.
  void CountTransfer(TVXLabel* FromLabel, TVXLabel* ToLabel, int64_t Amount);

  // ShowDialog: the credit dialog, modally; otherwise its first amount (100) at once, which
  // moves nothing (the dialog says so) when the bank holds less. Without a host: nothing.
  void OpenCreditForm(bool ShowDialog);
  void BuyCredit() { OpenCreditForm(true); }
  void CashOutClick() { CashOut(false); }

  // The game's part of leaving it, once the lobby has asked: refused (false, nothing done)
  // during a round; otherwise the credit is cashed out silently, the data file saved and
  // the tally merged into Statistics, once. Each step goes through `run` (what, step), which
  // runs it and reports a failure (false or an exception) so that the later steps still
  // run; by default a failure is logged. False also when the game went meanwhile. The
  // lobby then saves the casino statistics and the players and frees the game.
  using TStepRunner = std::function<void(const std::string&, const std::function<bool()>&)>;
  bool FinishVisit(const TStepRunner& run = {});
  // The program is closing while the game runs: whatever round is open is settled (a
  // pending win goes into the credit), the credit goes to the bank, the data file is saved
  // and the tally merged. Nothing is asked and nothing waits. Runs once.
  virtual void SettleOnClose();

  // The money of the player as a whole: bank + credit + pending win.
  uint64_t TotalMoney();

protected:
  // Runs a player's action; an error that escapes it goes to Recover, which puts the game
  // back in play.
  template <class F>
  void Guarded(F&& action) {
    try {
      action();
    } catch (const std::exception& e) {
      Recover(e);
    }
  }
  // Logs the error and keeps what was won: the pending amount and the win go into the
  // credit where they fit, anything else in play is dropped. Games end their round after it.
  virtual void Recover(const std::exception& e);
  // The tally's credit-in or credit-out grows; a counter that would pass 2^32-1 stays at
  // the top (it is statistics only) and the clamp is logged.
  void AddToTally(bool creditIn, uint32_t amount);
  // Moves the credit into the bank, checked first; false (logged) when it cannot.
  bool MoveCreditToBank();
  void ResetTally();
  bool settled_ = false;

private:
  TVXContext* context_;
  TVXGameHost* host_;
};
