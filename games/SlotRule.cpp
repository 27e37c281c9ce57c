#include "games/SlotRule.h"

#include <algorithm>

#include "core/Checked.h"
#include "core/Random.h"
#include "games/HandEvaluator.h"

namespace vx::slots {

namespace {
const std::string kNothing = "HAND_NOTHING";
}  // namespace

int64_t TSlotOutcome::Win() const { return vx::CheckedAdd64(CardLinePay, CountPay); }

std::vector<uint8_t> TSlotOutcome::Bonuses() const {
  std::vector<uint8_t> kinds;
  AppendBonuses(kinds);
  return kinds;
}

void TSlotOutcome::AppendBonuses(std::vector<uint8_t>& kinds) const {
  kinds.insert(kinds.end(), LineBonuses.begin(), LineBonuses.end());
  if (CherryBonus) kinds.push_back(bkCherry);
  if (BellBonus) kinds.push_back(bkBell);
}

TSlotRule::TSlotRule(const TSlotMachine& machine) : machine_(machine) {
  const bool cards = InSet(machine.ReelClasses, scCard);
  for (int32_t n = 1; n <= kSymbolCount; ++n) {
    const TSymbolDef def = SymbolDef(n, cards);
    TSymbol s;
    s.Id = def.Id;
    s.Name = def.Name;
    s.Classes = def.Classes;
    s.LinePay2 = def.LinePay2;
    s.CountPay[9] = def.CountPay9;
    if (s.Id > 0) {
      if (byId_.size() <= static_cast<size_t>(s.Id)) byId_.resize(static_cast<size_t>(s.Id) + 1, -1);
      // The first symbol carrying an id is the one found by it.
      if (byId_[static_cast<size_t>(s.Id)] < 0) byId_[static_cast<size_t>(s.Id)] = n - 1;
    }
    symbols_.push_back(std::move(s));
  }
  cardHands_ = CardLineHandCodes();
}

const TSlotRule::TSymbol* TSlotRule::SymbolById(int32_t id) const {
  if (id <= 0 || static_cast<size_t>(id) >= byId_.size() || byId_[static_cast<size_t>(id)] < 0) return nullptr;
  return &symbols_[static_cast<size_t>(byId_[static_cast<size_t>(id)])];
}

int32_t TSlotRule::DrawSymbolNumber(TStripMode mode, vx::RandomGenerator& rng) const {
  const TSmallSet allowed = mode == smNormal ? machine_.ReelClasses : kFreeGameClasses;
  int32_t k = 0;
  do {
    k = rng.Random(kSymbolCount - 1);
  } while ((symbols_[static_cast<size_t>(k)].Classes & allowed) == 0);
  return k + 1;
}

TSlotOutcome TSlotRule::Judge(const std::vector<int32_t>& grid, int64_t bet, const std::vector<int32_t>& lineCoins,
                              const TSlotCounters& counters, TStripMode mode) const {
  TSlotOutcome out;
  Judge(grid, bet, lineCoins, counters, mode, out);
  return out;
}

void TSlotRule::Judge(const std::vector<int32_t>& grid, int64_t bet, const std::vector<int32_t>& lineCoins,
                      const TSlotCounters& counters, TStripMode mode, TSlotOutcome& out) const {
  out.PoolsGrew = false;
  out.PoolWins.clear();
  out.Info.clear();
  out.CardLinePay = 0;
  out.CountPay = 0;
  out.LineBonuses.clear();
  out.CherryBonus = false;
  out.BellBonus = false;
  out.BellPay = 0;
  out.Judged = counters;
  const bool normal = mode == smNormal;
  if (normal && InSet(machine_.Features, sfPools)) JudgePools(grid, out);
  const std::vector<TLineDef>& lines = LinesOf(machine_.Kind);
  out.HandKeys.assign(lines.size(), kNothing);
  for (size_t i = 0; i < lines.size() && i < lineCoins.size(); ++i) {
    if (lineCoins[i] <= 0) continue;
    JudgeLine(grid, lines[i], out.HandKeys[i], out);
    if (out.HandKeys[i] != kNothing)
      out.CardLinePay = vx::CheckedAdd64(out.CardLinePay, vx::CheckedMul64(bet, CardLinePay(out.HandKeys[i])));
  }
  JudgeCounts(grid, bet, out);

  out.After = out.Judged;
  for (const TPoolWin& w : out.PoolWins) out.After.Pools[static_cast<size_t>(w.Pool)] = 1;
  if (!normal) return;
  if (InSet(machine_.Features, sfCherry) && out.Judged.CherryStage < 1) {
    out.CherryBonus = true;
    out.After.CherryStage = vx::CheckedAdd(out.After.CherryStage, out.After.CherryStageReset);
  }
  if (InSet(machine_.Features, sfBell) && out.Judged.BellStage < 1) {
    out.BellBonus = true;
    out.BellPay = out.Judged.BellBonusValue;
    out.After.BellStage = vx::CheckedAdd(out.After.BellStage, out.After.BellStageReset);
    out.After.BellBonusValue = 10;
  }
}

void TSlotRule::JudgePools(const std::vector<int32_t>& grid, TSlotOutcome& out) const {
  auto shows = [&grid](int32_t cell, int32_t id) {
    return cell >= 1 && static_cast<size_t>(cell) <= grid.size() && grid[static_cast<size_t>(cell - 1)] == id;
  };
  TSlotCounters& c = out.Judged;
  if (shows(kMiddleCell, kBell)) {
    c.BellBonusValue = std::min(c.BellBonusValue + 10, c.BellBonusCap);
    out.PoolsGrew = true;
  }
  if (shows(kMiddleCell, c.PoolSymbol)) {
    const int32_t growth[kPoolCount] = {5, 10, 20};
    for (size_t p = 0; p < kPoolCount; ++p) c.Pools[p] = std::min(c.Pools[p] + growth[p], c.PoolCaps[p]);
    out.PoolsGrew = true;
  }
  for (int pool = 0; pool < kPoolCount; ++pool) {
    const std::vector<int32_t>& cells = PoolCells(pool);
    if (std::all_of(cells.begin(), cells.end(), [&](int32_t cell) { return shows(cell, c.PoolSymbol); }))
      out.PoolWins.push_back({pool, c.Pools[static_cast<size_t>(pool)]});
  }
}

void TSlotRule::JudgeLine(const std::vector<int32_t>& grid, const TLineDef& line, std::string& key,
                          TSlotOutcome& out) const {
  const TSymbol* shown[5] = {};
  const size_t n = std::min<size_t>(line.Cells.size(), 5);
  for (size_t i = 0; i < n; ++i) {
    const int32_t cell = line.Cells[i];
    shown[i] = cell >= 1 && static_cast<size_t>(cell) <= grid.size() ? SymbolById(grid[static_cast<size_t>(cell - 1)]) : nullptr;
    // A cell showing nothing leaves the line unjudged.
    if (shown[i] == nullptr) return;
  }
  if (n == 0) return;
  const int32_t first = shown[0]->Id;
  const bool allEqual = std::all_of(shown, shown + n, [first](const TSymbol* s) { return s->Id == first; });
  TSlotCounters& c = out.Judged;
  if (!allEqual) {
    if (InSet(machine_.ReelClasses, scCard)) {
      if (n == 5) {
        int32_t cards[5];
        for (size_t i = 0; i < 5; ++i) cards[i] = shown[i]->Id - 100;
        // Deuces are not wild on the card lines, and there is no Orvanta number.
        vx::THandEvaluation e;
        vx::EvaluateCardsCode(cardHands_, cards, false, 0, e);
        if (e.Code != vx::hcNothing) key = e.Key();
      }
      return;
    }
    if (shown[0]->LinePay2 > 2) {
      if (InSet(machine_.Features, sfCherry) && n >= 2 && first == kCherry && shown[1]->Id == kCherry)
        c.CherryStage = vx::CheckedSub(c.CherryStage, 1);
      out.Info.append("Line (2):").append(shown[0]->Name).append(" ");
      return;
    }
    if (n >= 3) {
      for (uint8_t category : {static_cast<uint8_t>(scBar), static_cast<uint8_t>(scSeven)}) {
        if (InSet(shown[0]->Classes, category) && InSet(shown[1]->Classes, category) && InSet(shown[2]->Classes, category)) {
          const std::vector<TGroupDef>& groups = GroupDefs();
          const auto g = std::find_if(groups.begin(), groups.end(), [category](const TGroupDef& d) { return d.Category == category; });
          out.Info.append("Line:").append(g != groups.end() ? g->Name : std::string()).append(" ");
          return;
        }
      }
    }
    return;
  }
  if (line.Direction == 1) {
    if (InSet(machine_.Features, sfBarBonus) && first == kBar1) out.LineBonuses.push_back(bkBar);
    if (InSet(machine_.Features, sfCherry) && first == kCherry) out.LineBonuses.push_back(bkCherry);
  }
  if (InSet(machine_.Features, sfBell) && first == kBell) c.BellStage = vx::CheckedSub(c.BellStage, 1);
  out.Info.append("Line:").append(shown[0]->Name).append(" ");
}

void TSlotRule::JudgeCounts(const std::vector<int32_t>& grid, int64_t bet, TSlotOutcome& out) const {
  const size_t cells = grid.size();
  out.CountMarks.assign(cells, 0);
  auto pay = [&](const std::string& name, int32_t count, int32_t perCoin, auto&& matches) {
    if (count <= 0 || perCoin <= 0) return;
    for (size_t i = 0; i < cells; ++i)
      if (matches(grid[i])) out.CountMarks[i] = 1;
    out.Info.append(name).append("x").append(std::to_string(count)).append(" ");
    out.CountPay = vx::CheckedAdd64(out.CountPay, vx::CheckedMul64(bet, perCoin));
  };
  // The symbols on the grid (by their place in the table) and how many cells show each;
  // only their entries are read.
  std::array<int32_t, kSymbolCount> shown;
  std::array<int32_t, kSymbolCount> onGrid;
  size_t distinct = 0;
  for (int32_t id : grid)
    if (const TSymbol* s = SymbolById(id)) shown[static_cast<size_t>(s - symbols_.data())] = 0;
  for (int32_t id : grid) {
    const TSymbol* s = SymbolById(id);
    if (s == nullptr) continue;
    const auto k = static_cast<size_t>(s - symbols_.data());
    if (shown[k]++ == 0) onGrid[distinct++] = static_cast<int32_t>(k);
  }
  std::sort(onGrid.begin(), onGrid.begin() + static_cast<std::ptrdiff_t>(distinct));
  for (size_t i = 0; i < distinct; ++i) {
    const TSymbol& s = symbols_[static_cast<size_t>(onGrid[i])];
    const int32_t count = shown[static_cast<size_t>(onGrid[i])];
    if (count > 11) continue;
    pay(s.Name, count, s.CountPay[static_cast<size_t>(count)], [&s](int32_t id) { return id == s.Id; });
  }
  for (const TGroupDef& g : GroupDefs()) {
    if (g.Category == 0) continue;
    int32_t count = 0;
    for (size_t i = 0; i < distinct; ++i)
      if (InSet(symbols_[static_cast<size_t>(onGrid[i])].Classes, g.Category)) count += shown[static_cast<size_t>(onGrid[i])];
    auto matches = [this, &g](int32_t id) {
      const TSymbol* s = SymbolById(id);
      return s != nullptr && InSet(s->Classes, g.Category);
    };
    if (count >= 1 && count <= 9) pay(g.Name, count, g.CountPay[static_cast<size_t>(count)], matches);
  }
}

}  // namespace vx::slots
