#pragma once
// The progress bar.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXWidgets.h"

class TVXProgressBar : public TVXPanel {
public:
  explicit TVXProgressBar(TVXComponent* owner);

  int32_t Position() const { return position_; }
  void SetPosition(int32_t position);
  int32_t Min() const { return min_; }
  void SetMin(int32_t value);
  int32_t Max() const { return max_; }
  void SetMax(int32_t value);
  TColor4 BarColor4 = ::Color4(0xFFFF0000u);
  // 0..100; with Max = Min the previous value stays.
  int32_t Percent() const { return percent_; }
  // Pixels of the filled part.
  int32_t BarWidth() const { return barWidth_; }

  void Draw() override;
  void Resized() override { Recalculate(); }

private:
  void Recalculate();

  int32_t position_ = 0;
  int32_t min_ = 1;
  int32_t max_ = 100;
  int32_t percent_ = 0;
  int32_t barWidth_ = 0;
};
