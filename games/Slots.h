#pragma once
// The slot machines: one class for the four machines of the catalogue, shaped by the
// machine table. A round takes the bet of the two sides, spins every cell, waits until every
// cell has stopped, then pays what the cells show: symbol counts and groups anywhere on the
// grid, the poker machine's card lines, the pools of the three by three machine and its bell
// bonus. Lines of three bars or cherries and the counters queue free games, played after the
// round's win is collected or gambled. What a grid pays is the slot rule's (SlotRule.h): the
// round reads the grid from its cells, judges it there and shows the outcome.
//
// Money moves through the game data's ledger only: the bet (TakeBet), the win of a spin or
// free game (collected by CASH or the double-up), and the pools and the bell bonus, which go
// into the credit (DecidePay, then ShowPay as they count). Each move is checked before anything changes and counted
// in Returns, which the return harness reads. The round's states are the round model's:
// idle, spinning (reels or free games), busy while paying, won, double-up.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "games/GameData.h"
#include "games/SlotRule.h"
#include "games/SlotsDefs.h"
#include "games/VXGame.h"

class TAnimSlotResults;
class TSlotsDemo;
class TSlotsScene;
class TVXAnim;
class TVXDoubleUp;
class TVXLabel;
class TVXLine;
class TVXReel;
class TVXReelItemGroupInfo;
class TVXReelItemInfo;

struct TSlotLine {
  std::vector<int32_t> Cells;
  std::vector<TVXLine*> Markers;
  int32_t Coins = 0;
  TVXLabel* Label = nullptr;
  std::string HandKey = "HAND_NOTHING";
  uint8_t Direction = 1;
};

// What the machine took and paid since it was built, by source.
struct TSlotsReturns {
  int64_t Spins = 0;
  int64_t Bets = 0;
  int64_t CountPays = 0;     // symbol and group counts of paid spins
  int64_t CardLinePays = 0;  // the poker machine's card lines
  int64_t Pools = 0;
  int64_t Bell = 0;
  int64_t FreeGames = 0;     // everything a free game paid
  int64_t FreeGamesPlayed = 0;
  int64_t DoubleUp = 0;      // what gambling added (negative: lost)
  int64_t Paid() const { return CountPays + CardLinePays + Pools + Bell + FreeGames + DoubleUp; }
};

// The counters and pools the slot data holds, as the slot rule reads them.
vx::slots::TSlotCounters SlotCountersOf(const TSlotsData& data);

class TSlots : public TVXGame {
public:
  // Builds the machine of the entry's id (an id without a machine is logged and built as
  // game 31) with its opening bet; nothing outside the game changes.
  TSlots(TGameInfo* info, TVXContext* context, TVXGameHost* host);
  ~TSlots() override;
  // The data file of the machine in the current casino.
  void LoadData() override;
  // Three times the credit dialog's first amount, whatever the bank holds.
  void TakeOpeningCredit() override;
  void StartAttract() override;
  void StopAttract() override {
    StopDemo();
    StopResults();
  }

  const vx::slots::TSlotMachine* Machine = nullptr;
  uint8_t Kind = vx::slots::mk3x3;
  vx::slots::TSmallSet Features = 0;
  vx::slots::TSmallSet ReelClasses = 0;
  int32_t StripLength = vx::slots::kStripLength;
  std::unique_ptr<vx::slots::TSlotRule> Rule;
  std::unique_ptr<TSlotsData> Data;
  TSlotsScene* SlotsScene = nullptr;
  std::unique_ptr<TVXDoubleUp> DoubleUp;
  std::vector<std::unique_ptr<TVXReelItemGroupInfo>> Groups;
  std::vector<std::unique_ptr<TVXReelItemInfo>> Symbols;
  std::vector<TSlotLine> Lines;
  std::unique_ptr<TAnimSlotResults> Results;
  std::unique_ptr<TSlotsDemo> Demo;
  TSlotsReturns Returns;

  bool Has(int feature) const { return vx::slots::InSet(Features, feature); }
  // What a running double-up has added to the win it started with (not yet in Returns).
  int64_t PendingDoubleUp() const { return inDoubleUp_ ? static_cast<int64_t>(Data->Money.Win()) - winBeforeDoubleUp_ : 0; }
  TVXReelItemGroupInfo* GroupByClass(uint8_t category) const;
  TVXReelItemInfo* SymbolById(int32_t id) const;
  int32_t CellCount() const;
  TVXReel* Cell(int32_t n) const;
  // The id the cell shows (0 for none).
  int32_t CellId(int32_t n) const;
  // The ids every cell shows, cell n at index n-1.
  std::vector<int32_t> Grid() const;

  // ---- Overrides of the game base.
  void SetScene(TVXGameScene* scene) override;
  TVXGameData* GetGameData() override { return Data.get(); }
  void EndRound() override;
  // Counts the pending win into the credit (a double-up's final collect).
  void CollectWin() override;
  bool CollectWinForFinish() override;
  void TransferWin(TVXLabel* WinLabel, TVXLabel* SecondLabel) override;
  void SettleOnClose() override;

  // ---- Buttons and keys.
  void Spin();
  void BetPress(int side);
  void HoldPress(int32_t column);
  void CashPress();
  // M spins, Z and X bet, C V B are the hold buttons, 1 shows the lines, E logs the cells.
  void KeyDown(uint16_t& key);
  void ShowLine(int32_t line);

  // ---- Round pieces.
  // Strips for every cell, drawn for the mode, with `forced` as every strip's first entry.
  void DrawStrips(vx::slots::TStripMode mode, vx::slots::TForcedSymbol forced = vx::slots::fsNone);
  // PNL_REELS shown, the double-up hidden, the line markers hidden, normal strips drawn and
  // every cell re-centred.
  void ResetReels();
  void StartReels();
  bool ReelsStill() const;
  // Pumps frames until every cell is still. A cell still running when the program closes (or
  // long after any spin ends) is brought to rest where it stands, so the round is always
  // decided on what the cells show.
  void WaitForReels();
  void StopColumn(int32_t column);
  void ClearHighlights();
  void ClearRoundMarks();
  // The cells as they stand judged by the rule for a spin of the mode, and what the lines and
  // counts found shown: the line keys and labels, the count marks, LBL_INFO, the counters the
  // lines moved and the bonuses they queued. Pools, pays and the counters' bonuses are the
  // caller's to show.
  vx::slots::TSlotOutcome JudgeCells(int64_t bet, vx::slots::TStripMode mode);
  // The pays of the cells as they stand (lines, then counts), as a free game judges them.
  int64_t EvaluateTotal(int64_t bet, int64_t* cardLines = nullptr);
  void RefreshBets();
  void RefreshCounters();
  void StartResults();
  void StopResults();
  void StartDemo();
  void StopDemo();

private:
  void DealCoins();
  // The middle cell grew the pools or the bell value.
  void ShowPoolGrowth(bool grew);
  int32_t& PoolValue(int pool);
  // Marks each pool's cells and counts it into the credit; the pool then holds what it holds
  // after the spin.
  void ShowPoolWins(const vx::slots::TSlotOutcome& outcome);
  // A pay straight into the credit: pending at once, counted in `returns` (a member of
  // Returns); ShowPay counts `amount` from `from` into the credit label and books it.
  void DecidePay(int64_t amount, int64_t& returns);
  void ShowPay(int64_t amount, TVXLabel* from);
  void StartDoubleUp();
  void DealDoubleUpCards();
  // A free game of the bonus on top; true when it won (state 5).
  bool PlayFreeGame();
  // Waits `ms` with the window going on.
  void Pause(uint64_t ms);
  // An error escaped an action: what was won is kept, the cells stop, the round ends.
  void Recover(const std::exception& e) override;

  int64_t roundBet_ = 0;
  int64_t winBeforeDoubleUp_ = 0;
  bool inDoubleUp_ = false;
  // What the double-up added to the win it started with goes into Returns.
  void AccountDoubleUp();
};
