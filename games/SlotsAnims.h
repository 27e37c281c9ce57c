#pragma once
// The slot machine's two animations: the results loop that marks the last spin's count wins
// and winning lines in turn, and the attract mode that spins the reels while the machine is
// idle. Both count in frames; neither waits inside its own step.
#include <cstdint>

#include "framework/VXAnim.h"
#include "games/SlotsDefs.h"

class TSlots;

class TAnimSlotResults : public TVXAnim {
public:
  explicit TAnimSlotResults(TSlots* game);
  TSlots* Game = nullptr;
  static constexpr int32_t PauseFrames = 150;
  void Step() override;

private:
  bool MarkCountWins();
  bool MarkLines();
};

class TSlotsDemo : public TVXAnim {
public:
  explicit TSlotsDemo(TSlots* game);
  TSlots* Game = nullptr;
  void Step() override;
  void Finish() override;

private:
  // Starts a spin of every cell with `forced` as the strips' first symbol.
  void SpinWith(vx::slots::TForcedSymbol forced);
  bool spinning_ = false;
  int32_t pauseFrames_ = 0;
};
