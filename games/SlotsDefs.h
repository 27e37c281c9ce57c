#pragma once
// The slot machines' tables, held in code: the four machines (shape, features, reel
// classes), the symbols that may stand on the reels, the symbol groups with their pays, the
// pay lines of each shape with their two sides, where each line marker is drawn, and the
// card-line multipliers of the poker slot machine. Plain data: no control, no money.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vx::slots {

// A set of small integers (symbol classes, features), one bit each.
using TSmallSet = uint16_t;
constexpr TSmallSet SetOf(std::initializer_list<int> items) {
  TSmallSet s = 0;
  for (int i : items) s = static_cast<TSmallSet>(s | (1u << i));
  return s;
}
constexpr bool InSet(TSmallSet s, int item) { return item >= 0 && item < 16 && ((s >> item) & 1u) != 0; }

// Symbol classes.
enum TSymbolClass : int {
  scFruit = 1, scBar = 2, scBell = 3, scSeven = 4, scEmpty = 5, scCherry = 7, scSpecial = 8, scCard = 9
};
// Features.
enum TSlotFeature : int {
  sfLayout3x3 = 1, sfLayout1x3 = 2, sfLayout3x5 = 3, sfPools = 6, sfBarBonus = 7, sfBell = 8, sfCherry = 9
};
// Machine kinds (the shape).
enum TMachineKind : uint8_t { mk3x3 = 0, mk1x3 = 1, mk3x5 = 2 };

// Symbol ids the round names.
constexpr int32_t kCherry = 1, kSeven = 2, kBar1 = 3, kBell = 6, kMelon = 7, kEmpty = 10, kTripleSeven = 12;
constexpr int32_t kSymbolCount = 200;
constexpr int32_t kGroupCount = 11;
constexpr int32_t kStripLength = 10;
constexpr int32_t kMaxLines = 16;
// The classes a free game's strips are drawn from.
constexpr TSmallSet kFreeGameClasses = SetOf({2, 4, 5, 6});

// The middle cell of the three by three machine, where the pools and the bell value grow.
constexpr int32_t kMiddleCell = 5;
// The three pools of the three by three machine, in the order they are tested: `Pool1` on
// the middle row, `Pool2` on the diamond of edge cells, `Pool3` on the cross of the corners
// and the middle.
enum TPool : int { plRow = 0, plDiamond = 1, plCross = 2 };
constexpr int kPoolCount = 3;
// The cells a pool pays on.
const std::vector<int32_t>& PoolCells(int pool);

// How a cell's strip is drawn: from the machine's reel classes, or from the free game's.
enum TStripMode : int { smNormal = 0, smFreeGame = 1 };
// A symbol put first on every strip (the attract mode's spins).
enum TForcedSymbol : int { fsNone = 0, fsTripleSeven = 1, fsBar1 = 3, fsCherry = 4 };
// The symbol id a forced first entry puts, 0 for none.
int32_t ForcedSymbolId(TForcedSymbol forced);
// The developer's reel choices (the log window's list, by index): "-", "1 BAR",
// "CHERRY LINE", "7 LINE", "CROSS", "CORNER", "BELL LINE".
enum TReelCheat : int32_t { rcNone = 0, rcBar1 = 1, rcCherryLine = 2, rcSevenLine = 3, rcCross = 4, rcCorner = 5, rcBellLine = 6 };

// Bonus kinds, as queued in the slot data.
enum TBonusKind : uint8_t { bkBar = 0, bkBell = 1, bkCherry = 2 };
// What a bonus gives: free games, and the user effect every cell shows while they last.
struct TBonusGames {
  int32_t Games;
  int32_t Effect;
};
// The cherry bonus names a fourth user effect, which no record stands behind: it shows nothing.
constexpr int32_t kCherryBonusEffect = 4;
// The bonus of a kind; {0, 0} for an unknown kind.
TBonusGames BonusGamesOf(int kind);

struct TSlotMachine {
  int32_t GameID;
  uint8_t Kind;
  int32_t Rows, Columns;
  TSmallSet Features;
  TSmallSet ReelClasses;
  const char* Theme;
  // The lobby plays this music style on the machine's screen.
  uint8_t MusicStyle;
};
// The machine of a game id, or nullptr.
const TSlotMachine* FindSlotMachine(int32_t gameID);
const std::vector<TSlotMachine>& SlotMachines();

struct TSymbolDef {
  int32_t Id;
  std::string Name;
  TSmallSet Classes;
  std::string Texture;
  int32_t LinePay3, LinePay1, LinePay2;
  // Pays per coin for exactly 9 cells showing the symbol (the only count pay set).
  int32_t CountPay9;
};
// Symbol number n (1..200) of a machine: 1..25 on every machine, 101..154 the cards of the
// poker machine, every other number a placeholder (id 0, no classes).
TSymbolDef SymbolDef(int32_t number, bool withCards);

struct TGroupDef {
  uint8_t Category;
  std::string Name;
  int32_t LinePay;
  // Index n = the pay for exactly n cells (1..9); index 0 unused.
  std::array<int32_t, 10> CountPay;
};
// Groups 1..11.
const std::vector<TGroupDef>& GroupDefs();

struct TLineDef {
  std::vector<int32_t> Cells;    // in pay order, cell numbers from 1
  std::vector<int32_t> Markers;  // the LINE_WIN_n that draw it
  uint8_t Direction;             // 1 left to right, 2 right to left
};
const std::vector<TLineDef>& LinesOf(uint8_t kind);
// The lines of a side (1 or 2), in the order its coins are dealt.
const std::vector<int32_t>& SideOf(uint8_t kind, int side);
// The coins of each line (line n at index n-1) when the two sides hold these coins: each
// side's coins dealt one at a time over its list, wrapping to its start.
std::vector<int32_t> DealLineCoins(uint8_t kind, int32_t side1, int32_t side2);

struct TShape {
  int32_t Rows, Columns, Cells, LineLabels, Markers;
};
TShape ShapeOf(uint8_t kind);
// The cells of a column (1-based), top to bottom.
std::vector<int32_t> ColumnCells(uint8_t kind, int32_t column);

// Where a marker's end lies on a cell.
enum TCellPoint : uint8_t { cpLeft, cpRight, cpCentre, cpTopMid, cpBottomMid, cpTopLeft, cpTopRight, cpBottomLeft, cpBottomRight };
struct TMarkerDef {
  int32_t FromCell;
  TCellPoint From;
  int32_t ToCell;
  TCellPoint To;
};
// Markers 1..n of a shape.
const std::vector<TMarkerDef>& MarkersOf(uint8_t kind);
struct TPoint {
  int32_t X, Y;
};
// The point of a cell's rectangle (halves rounded toward zero).
TPoint CellPoint(int32_t left, int32_t top, int32_t width, int32_t height, TCellPoint p);

// The poker slot machine's card-line multipliers (per coin of the whole bet), by hand key.
struct TCardLinePay {
  const char* Key;
  int32_t Multiplier;
};
const std::vector<TCardLinePay>& CardLinePays();
// 0 for a key the table lacks.
int32_t CardLinePay(const std::string& key);
// The order codes of the table, as the evaluator asks for them.
uint32_t CardLineHandCodes();

}  // namespace vx::slots
