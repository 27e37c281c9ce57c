#include "games/SlotsDefs.h"

#include "framework/VXEffects.h"
#include "games/HandKeys.h"

namespace vx::slots {

const std::vector<TSlotMachine>& SlotMachines() {
  static const std::vector<TSlotMachine> machines = {
      {31, mk3x3, 3, 3, SetOf({1, 6, 7, 8, 9}), SetOf({1, 2, 3, 4}), "SLOTS3X3", 4},
      {32, mk1x3, 1, 3, SetOf({2}), SetOf({1, 2, 3, 4}), "SLOTS1X3", 4},
      {33, mk3x5, 3, 5, SetOf({3}), SetOf({1, 2, 3, 4}), "SLOTS3X5", 5},
      {34, mk3x5, 3, 5, SetOf({3}), SetOf({8, 9}), "SLOTS3X5", 5},
  };
  return machines;
}

const TSlotMachine* FindSlotMachine(int32_t gameID) {
  for (const TSlotMachine& m : SlotMachines())
    if (m.GameID == gameID) return &m;
  return nullptr;
}

TSymbolDef SymbolDef(int32_t number, bool withCards) {
  static const std::vector<TSymbolDef> base = {
      {1, "Cherry", SetOf({1, 7}), "reCherry", 10, 2, 5, 400},
      {2, "Seven", SetOf({4}), "re7", 200, 0, 0, 1000},
      {3, "Bar 1", SetOf({2}), "reBar1", 30, 0, 0, 300},
      {4, "Bar 2", SetOf({2}), "reBar2", 50, 0, 0, 400},
      {5, "Bar 3", SetOf({2}), "reBar3", 100, 0, 0, 500},
      {6, "Bell", SetOf({3}), "reBell", 18, 0, 0, 200},
      {7, "Melon", SetOf({1}), "reMelon", 20, 0, 0, 300},
      {8, "Plum", SetOf({1}), "rePlum", 14, 0, 0, 100},
      {9, "Orange", SetOf({1}), "reOrange", 10, 0, 0, 50},
      {10, "Empty", SetOf({5}), "reEmpty", 0, 0, 0, 50},
      {11, "Double Seven", SetOf({4}), "re77", 400, 0, 0, 1000},
      {12, "Triple Seven", SetOf({4}), "re777", 400, 0, 0, 1000},
      {13, "Cocktail", SetOf({8}), "reCocktail", 1, 0, 0, 0},
      {14, "Dice 1", SetOf({8}), "reDice1", 1, 0, 0, 0},
      {15, "Dice 2", SetOf({8}), "reDice2", 1, 0, 0, 0},
      {16, "Dice 3", SetOf({8}), "reDice3", 1, 0, 0, 0},
      {17, "Dice 4", SetOf({8}), "reDice4", 1, 0, 0, 0},
      {18, "Dice 5", SetOf({8}), "reDice5", 1, 0, 0, 0},
      {19, "Dice 6", SetOf({8}), "reDice6", 1, 0, 0, 0},
      {20, "Dollar", SetOf({8}), "reDollar", 1, 0, 0, 0},
      {21, "Poker Diamond", SetOf({8}), "rePokerDiamond", 1, 0, 0, 0},
      {22, "Poker Spade", SetOf({8}), "rePokerSpade", 1, 0, 0, 0},
      {23, "Poker Heart", SetOf({8}), "rePokerHeart", 1, 0, 0, 0},
      {24, "Poker Club", SetOf({8}), "rePokerClub", 1, 0, 0, 0},
      {25, "reidRoulette", SetOf({8}), "reRoulette", 1, 0, 0, 0},
  };
  if (number >= 1 && number <= static_cast<int32_t>(base.size())) return base[static_cast<size_t>(number - 1)];
  if (withCards && number >= 101 && number <= 154) {
    const int32_t c = number - 100;
    return {number, "reidCard" + std::to_string(c), SetOf({9}), "Card_" + std::to_string(c), 1, 0, 0, 0};
  }
  return {0, "", 0, "", 0, 0, 0, 0};
}

const std::vector<TGroupDef>& GroupDefs() {
  static const std::vector<TGroupDef> groups = [] {
    std::vector<TGroupDef> g(kGroupCount, TGroupDef{0, "", 0, {}});
    g[0].Category = scFruit;
    g[1].Category = scBar;
    g[1].LinePay = 10;
    g[2].Category = scSeven;
    g[2].LinePay = 300;
    g[2].CountPay = {0, 0, 2, 5, 20, 50, 100, 200, 400, 0};
    return g;
  }();
  return groups;
}

const std::vector<TLineDef>& LinesOf(uint8_t kind) {
  static const std::vector<TLineDef> k3x3 = {
      {{1, 2, 3}, {1}, 1}, {{4, 5, 6}, {2}, 1}, {{7, 8, 9}, {3}, 1}, {{1, 4, 7}, {4}, 1},
      {{2, 5, 8}, {5}, 1}, {{3, 6, 9}, {6}, 1}, {{1, 5, 9}, {7}, 1}, {{7, 5, 3}, {8}, 1},
      {{3, 2, 1}, {1}, 2}, {{6, 5, 4}, {2}, 2}, {{9, 8, 7}, {3}, 2}, {{7, 4, 1}, {4}, 2},
      {{8, 5, 2}, {5}, 2}, {{9, 6, 3}, {6}, 2}, {{3, 5, 7}, {8}, 2}, {{9, 5, 1}, {7}, 2},
  };
  static const std::vector<TLineDef> k1x3 = {{{1, 2, 3}, {1}, 1}, {{3, 2, 1}, {1}, 2}};
  static const std::vector<TLineDef> k3x5 = {
      {{1, 2, 3, 4, 5}, {1}, 1},
      {{6, 7, 8, 9, 10}, {2}, 1},
      {{11, 12, 13, 14, 15}, {3}, 1},
      {{1, 2, 8, 14, 15}, {4, 5, 6}, 1},
      {{11, 12, 8, 4, 5}, {7, 8, 9}, 1},
      {{1, 2, 8, 4, 5}, {4, 10, 11, 9}, 1},
      {{11, 12, 8, 14, 15}, {7, 12, 13, 6}, 1},
      {{5, 4, 3, 2, 1}, {1}, 2},
      {{10, 9, 8, 7, 6}, {2}, 2},
      {{15, 14, 13, 12, 11}, {3}, 2},
      {{15, 14, 8, 2, 1}, {6, 5, 4}, 2},
      {{5, 4, 8, 12, 11}, {9, 8, 7}, 2},
      {{5, 4, 8, 2, 1}, {9, 11, 10, 4}, 2},
      {{15, 14, 8, 12, 11}, {6, 13, 12, 7}, 2},
  };
  switch (kind) {
    case mk3x3: return k3x3;
    case mk1x3: return k1x3;
    default: return k3x5;
  }
}

const std::vector<int32_t>& SideOf(uint8_t kind, int side) {
  static const std::vector<int32_t> s3x3[2] = {{2, 1, 3, 7, 8, 4, 5, 6}, {10, 9, 11, 15, 16, 12, 13, 14}};
  static const std::vector<int32_t> s1x3[2] = {{1}, {2}};
  static const std::vector<int32_t> s3x5[2] = {{2, 1, 3, 4, 5, 6, 7}, {9, 8, 10, 12, 11, 13, 14}};
  const size_t i = side == 2 ? 1 : 0;
  switch (kind) {
    case mk3x3: return s3x3[i];
    case mk1x3: return s1x3[i];
    default: return s3x5[i];
  }
}

std::vector<int32_t> DealLineCoins(uint8_t kind, int32_t side1, int32_t side2) {
  std::vector<int32_t> coins(LinesOf(kind).size(), 0);
  for (int side = 1; side <= 2; ++side) {
    const std::vector<int32_t>& list = SideOf(kind, side);
    const int32_t n = side == 1 ? side1 : side2;
    for (int32_t c = 0; c < n && !list.empty(); ++c) {
      const int32_t line = list[static_cast<size_t>(c) % list.size()];
      if (line >= 1 && line <= static_cast<int32_t>(coins.size())) ++coins[static_cast<size_t>(line - 1)];
    }
  }
  return coins;
}

const std::vector<int32_t>& PoolCells(int pool) {
  static const std::vector<int32_t> cells[kPoolCount] = {{4, 5, 6}, {2, 4, 6, 8}, {1, 3, 5, 7, 9}};
  static const std::vector<int32_t> none;
  return pool >= 0 && pool < kPoolCount ? cells[pool] : none;
}

int32_t ForcedSymbolId(TForcedSymbol forced) {
  switch (forced) {
    case fsTripleSeven: return kTripleSeven;
    case fsBar1: return kBar1;
    case fsCherry: return kCherry;
    default: return 0;
  }
}

TBonusGames BonusGamesOf(int kind) {
  switch (kind) {
    case bkBar: return {3, ueEffect2};
    case bkBell: return {5, ueEffect3};
    case bkCherry: return {1, kCherryBonusEffect};
    default: return {0, 0};
  }
}

TShape ShapeOf(uint8_t kind) {
  switch (kind) {
    case mk3x3: return {3, 3, 9, 16, 8};
    case mk1x3: return {1, 3, 3, 2, 1};
    default: return {3, 5, 15, 14, 13};
  }
}

std::vector<int32_t> ColumnCells(uint8_t kind, int32_t column) {
  const TShape s = ShapeOf(kind);
  std::vector<int32_t> cells;
  if (column < 1 || column > s.Columns) return cells;
  for (int32_t r = 0; r < s.Rows; ++r) cells.push_back(column + r * s.Columns);
  return cells;
}

const std::vector<TMarkerDef>& MarkersOf(uint8_t kind) {
  static const std::vector<TMarkerDef> k3x3 = {
      {1, cpLeft, 3, cpRight},          {4, cpLeft, 6, cpRight},          {7, cpLeft, 9, cpRight},
      {1, cpTopMid, 7, cpBottomMid},    {2, cpTopMid, 8, cpBottomMid},    {3, cpTopMid, 9, cpBottomMid},
      {1, cpTopLeft, 9, cpBottomRight}, {7, cpBottomLeft, 3, cpTopRight},
  };
  static const std::vector<TMarkerDef> k1x3 = {{1, cpLeft, 3, cpRight}};
  static const std::vector<TMarkerDef> k3x5 = {
      {1, cpLeft, 5, cpRight},     {6, cpLeft, 10, cpRight},    {11, cpLeft, 15, cpRight},
      {1, cpLeft, 2, cpCentre},    {2, cpCentre, 14, cpCentre}, {14, cpCentre, 15, cpRight},
      {11, cpLeft, 12, cpCentre},  {12, cpCentre, 4, cpCentre}, {4, cpCentre, 5, cpRight},
      {2, cpCentre, 8, cpCentre},  {8, cpCentre, 4, cpCentre},  {12, cpCentre, 8, cpCentre},
      {8, cpCentre, 14, cpCentre},
  };
  switch (kind) {
    case mk3x3: return k3x3;
    case mk1x3: return k1x3;
    default: return k3x5;
  }
}

TPoint CellPoint(int32_t left, int32_t top, int32_t width, int32_t height, TCellPoint p) {
  const int32_t cx = left + width / 2, cy = top + height / 2, right = left + width, bottom = top + height;
  switch (p) {
    case cpLeft: return {left, cy};
    case cpRight: return {right, cy};
    case cpCentre: return {cx, cy};
    case cpTopMid: return {cx, top};
    case cpBottomMid: return {cx, bottom};
    case cpTopLeft: return {left, top};
    case cpTopRight: return {right, top};
    case cpBottomLeft: return {left, bottom};
    default: return {right, bottom};
  }
}

const std::vector<TCardLinePay>& CardLinePays() {
  // With every line bet, a line pays these per coin of the whole bet; the fourteen lines
  // together return about 94% of the stake (the slots return test measures it).
  static const std::vector<TCardLinePay> pays = {
      {"HAND_FIVEOFAKIND", 50}, {"HAND_ROYALFLUSH", 100}, {"HAND_STREETFLUSH", 20}, {"HAND_POKER", 4},
      {"HAND_FULLHOUSE", 2},    {"HAND_FLUSH", 2},        {"HAND_STREET", 2},       {"HAND_THREEOFAKIND", 1},
  };
  return pays;
}

int32_t CardLinePay(const std::string& key) {
  for (const TCardLinePay& p : CardLinePays())
    if (key == p.Key) return p.Multiplier;
  return 0;
}

uint32_t CardLineHandCodes() {
  uint32_t set = 0;
  for (const TCardLinePay& p : CardLinePays()) set |= HandCodeBit(HandCodeOfKey(p.Key));
  return set;
}

}  // namespace vx::slots
