#pragma once
// What a grid of symbols pays on a slot machine, as a rule with no screen: the lines with
// coins on them (the poker machine's card lines, the bonus lines), the symbol and group
// counts anywhere on the grid, the pools of the three by three machine and its bell and
// cherry counters. The round reads the grid from its cells, judges it here and shows the
// outcome; the return harness judges millions of grids drawn as the reels draw them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "games/SlotsDefs.h"

namespace vx {
class RandomGenerator;
}

namespace vx::slots {

// The running values a grid reads and moves (the slot data's fields of the same names).
struct TSlotCounters {
  int32_t CherryStage = 7;
  int32_t CherryStageReset = 9;
  int32_t BellStage = 2;
  int32_t BellStageReset = 5;
  int32_t BellBonusValue = 320;
  int32_t BellBonusCap = 10000;
  int32_t PoolSymbol = kMelon;
  std::array<int32_t, kPoolCount> Pools{1000, 2000, 5000};
  std::array<int32_t, kPoolCount> PoolCaps{2000, 5000, 10000};
  bool operator==(const TSlotCounters&) const = default;
};

struct TPoolWin {
  int Pool;  // TPool
  int32_t Amount;
};

// Everything one grid decides, in the order the round shows it.
struct TSlotOutcome {
  // Pools (normal spins of a machine with pools): the middle cell grew the pools or the bell
  // value; the pools won, each paying what it held after growing.
  bool PoolsGrew = false;
  std::vector<TPoolWin> PoolWins;
  // Per line (line n at index n-1): "HAND_NOTHING", or the card hand the line shows.
  std::vector<std::string> HandKeys;
  // What the evaluation found, as LBL_INFO tells it after "Win: ".
  std::string Info;
  // Per cell (cell n at index n-1): 1 when a count win lies on it.
  std::vector<uint8_t> CountMarks;
  // The win of the grid, card lines and counts, each a multiple of the whole bet.
  int64_t CardLinePay = 0;
  int64_t CountPay = 0;
  int64_t Win() const;
  // Bonus kinds the lines queued, in order.
  std::vector<uint8_t> LineBonuses;
  // Normal spins: the cherry counter ran out (a cherry bonus follows the line bonuses), the
  // bell counter ran out (a bell bonus follows, and BellPay goes into the credit).
  bool CherryBonus = false;
  bool BellBonus = false;
  int32_t BellPay = 0;
  // Every bonus kind queued, in the order it is queued.
  std::vector<uint8_t> Bonuses() const;
  void AppendBonuses(std::vector<uint8_t>& kinds) const;
  // The counters once the lines are judged (pools and bell value grown, counters counted
  // down), and once the spin is over (won pools at 1, run-out counters started again, a paid
  // bell value at 10).
  TSlotCounters Judged;
  TSlotCounters After;
};

class TSlotRule {
public:
  explicit TSlotRule(const TSlotMachine& machine);

  const TSlotMachine& Machine() const { return machine_; }
  int32_t CellCount() const { return static_cast<int32_t>(ShapeOf(machine_.Kind).Cells); }
  // One strip entry as the reels draw it: a symbol number (1..199) drawn uniformly until its
  // classes meet those of the mode.
  int32_t DrawSymbolNumber(TStripMode mode, vx::RandomGenerator& rng) const;
  // The id symbol number n (1..200) carries.
  int32_t SymbolIdOf(int32_t number) const {
    return number >= 1 && number <= static_cast<int32_t>(symbols_.size()) ? symbols_[static_cast<size_t>(number - 1)].Id : 0;
  }
  // The grid (the symbol id of cell n at index n-1, 0 for a cell showing none) judged for a
  // bet with `lineCoins` on the lines (line n at index n-1). A free game has no pools and
  // leaves the counters' bonuses to the next spin. Arithmetic is checked (EOverflow).
  TSlotOutcome Judge(const std::vector<int32_t>& grid, int64_t bet, const std::vector<int32_t>& lineCoins,
                     const TSlotCounters& counters, TStripMode mode) const;
  // The same into an outcome whose buffers are used again (millions of grids in a row).
  void Judge(const std::vector<int32_t>& grid, int64_t bet, const std::vector<int32_t>& lineCoins,
             const TSlotCounters& counters, TStripMode mode, TSlotOutcome& out) const;

private:
  struct TSymbol {
    int32_t Id = 0;
    std::string Name;
    TSmallSet Classes = 0;
    int32_t LinePay2 = 0;
    // Index n = exactly n cells (1..11).
    std::array<int32_t, 12> CountPay{};
  };
  const TSymbol* SymbolById(int32_t id) const;
  void JudgePools(const std::vector<int32_t>& grid, TSlotOutcome& out) const;
  // One line in pay order; the key of a card hand, else the bonus line texts and counters.
  void JudgeLine(const std::vector<int32_t>& grid, const TLineDef& line, std::string& key, TSlotOutcome& out) const;
  void JudgeCounts(const std::vector<int32_t>& grid, int64_t bet, TSlotOutcome& out) const;

  TSlotMachine machine_;
  std::vector<TSymbol> symbols_;  // numbers 1..200 at 0..199
  std::vector<int32_t> byId_;     // symbol index by id, -1 for none
  uint32_t cardHands_ = 0;
};

}  // namespace vx::slots
