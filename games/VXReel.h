#pragma once
// The reels of a slot machine. A symbol (TVXReelItemInfo) is an image control shared by
// every cell: it has no parent, and the cell that shows it places and draws it. A cell
// (TVXReel) spins its own strip of symbols downwards and comes to rest with one symbol
// centred; the round fills the strips, starts and stops the cells and reads what they show.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/VXWidgets.h"
#include "games/SlotsDefs.h"

class TVXReelItemInfo : public TVXImage {
public:
  explicit TVXReelItemInfo(TVXComponent* owner);

  int32_t Id = 0;
  std::string ItemName;
  vx::slots::TSmallSet Categories = 0;
  std::string ImageName;
  int32_t LinePay3 = 0;
  int32_t LinePay1 = 0;
  int32_t LinePay2 = 0;
  // Index n = counts 1..11; index 0 unused.
  std::array<int32_t, 12> CountPay{};

  void Assign(const vx::slots::TSymbolDef& def);
  bool HasCategory(int category) const { return vx::slots::InSet(Categories, category); }
};

class TVXReelItemGroupInfo {
public:
  uint8_t Category = 0;
  std::string GroupName;
  int32_t GroupLinePay = 0;
  // Index n = counts 1..9; index 0 unused.
  std::array<int32_t, 10> GroupCountPay{};
};

class TVXReel : public TVXImage {
public:
  explicit TVXReel(TVXComponent* owner);

  uint8_t Moving = 0;
  int32_t Index = 0;
  uint8_t Stopping = 0;
  uint8_t Blinking = 0;
  uint8_t SymbolVisible = 1;
  int32_t Speed = 0;
  int32_t RestOffset = 0;
  int32_t HalfHeight = 0;
  int32_t Offset = 0;
  int32_t BlinkCount = 0;
  int32_t BlinkPeriod = 30;
  std::vector<TVXReelItemInfo*> Strip;
  int32_t SymbolHeight = 0;
  int32_t SymbolLeft = 0;
  uint8_t LineWinMark = 0;
  uint8_t CountWinMark = 0;

  static constexpr int32_t StartSpeed = 80;
  static constexpr int32_t QuickStopSpeed = 30;
  // Below this the downward run could pass the resting place for good.
  static constexpr int32_t MinSymbolHeight = 16;

  // The symbol height the screen asks for; one too small for the motion to come to rest is
  // clamped (and logged).
  void SetSymbolHeight(int32_t height);
  void Reset();
  void Start();
  void QuickStop();
  // The strip's entry at Index, or nullptr for an empty strip.
  TVXReelItemInfo* CurrentSymbol() const;
  void SetBlinking(bool on);
  // At rest: neither moving nor stopping.
  bool Still() const { return Moving == 0 && Speed == 0; }
  // Brings a running cell to rest at once on the symbol now nearest the middle.
  void Settle();

  // One frame of motion (what the per-frame step does after the image's).
  void StepMotion();
  // The image's step at alpha 150, the motion, then the blink of the middle symbol.
  void Step() override;
  // The cell, then its symbols.
  void Draw() override;
  // The symbols show even in the frame the cell's own picture halts in.
  void DrawHalted() override { DrawSymbols(); }

private:
  // The symbols above, in and below the middle, inside the cell.
  void DrawSymbols();
  TVXReelItemInfo* EntryAt(int32_t index) const;
  void DrawSymbol(TVXReelItemInfo* symbol, int32_t k);
};
