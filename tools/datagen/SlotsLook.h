#pragma once
// Sizes and places shared by the slot machines' pictures and their theme files
// (data/themes/SLOTS*/theme.scn place every control where its picture is drawn).
#include <string>
#include <vector>

namespace vx::datagen::slots {

// One reel cell: a symbol 80 high in the middle, parts of its neighbours above and below.
constexpr int kCellW = 110, kCellH = 140, kSymbolH = kCellH - 60;
constexpr int kColumnGap = 6;
constexpr int kMenuStripH = 28;

struct Layout {
  std::string theme;
  int rows, columns;
  int gridLeft, gridTop;
  // The reel window (PNL_REELS) around the grid and its line labels.
  int windowLeft, windowTop, windowW, windowH;
  // The column right of the reels: title plate, bonus panels, meters.
  int sideLeft, sideW;
  bool bonusPanels;
  int gridW() const { return columns * kCellW + (columns - 1) * kColumnGap; }
  int gridH() const { return rows * kCellH; }
  int cellLeft(int column) const { return gridLeft + (column - 1) * (kCellW + kColumnGap); }
  int cellTop(int row) const { return gridTop + (row - 1) * kCellH; }
};

inline const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> layouts = {
      {"SLOTS3X3", 3, 3, 96, 84, 52, 56, 430, 472, 490, 300, true},
      {"SLOTS1X3", 1, 3, 96, 224, 52, 192, 430, 208, 490, 300, false},
      {"SLOTS3X5", 3, 5, 48, 84, 6, 56, 654, 472, 666, 126, false},
  };
  return layouts;
}

// The title plate (IMG_ADV) at the top of the side column.
constexpr int kPlateTop = 32, kPlateH = 80;
// Bonus panels of the three by three machine, stacked from this top.
constexpr int kBonusTop = 118;
constexpr int kCherryPanelH = 54, kBarPanelH = 40, kBellPanelH = 54, kPoolsPanelH = 88;
// The meters' windows in the side column: caption and value, one under the other.
constexpr int kMeterH = 46, kMeterGap = 4;
// The deck of buttons.
constexpr int kDeckTop = 548, kDeckH = 52, kSlotButtonTop = 554, kSlotButtonH = 40;
// The double-up's hit lamps and the cards.
constexpr int kLampW = 64, kDupCardW = 120, kDupCardH = 168;

}  // namespace vx::datagen::slots
