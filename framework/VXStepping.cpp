#include "framework/VXStepping.h"

#include <algorithm>
#include <cstdlib>

#include "framework/VXClasses.h"

bool SameColor4(const TColor4& a, const TColor4& b) { return a == b; }

void FillColor4(uint32_t value, TColor4& out) { out.fill(value); }

int32_t IndexOfInt(std::span<const int32_t> values, int32_t highIndex, int32_t value) {
  const int64_t last = std::min<int64_t>(highIndex, static_cast<int64_t>(values.size()) - 1);
  for (int64_t i = last; i >= 0; --i) {
    if (values[static_cast<size_t>(i)] == value) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t StepClamp(int32_t current, int32_t step, int32_t upper, int32_t lower) {
  const int64_t v = std::min<int64_t>(int64_t{current} + step, upper);
  return static_cast<int32_t>(std::max<int64_t>(v, lower));
}

int32_t StepToward(int32_t current, int32_t target, int32_t step) {
  const int64_t s = std::llabs(int64_t{step});
  if (current < target) return static_cast<int32_t>(std::min<int64_t>(int64_t{current} + s, target));
  if (current > target) return static_cast<int32_t>(std::max<int64_t>(int64_t{current} - s, target));
  return current;
}

bool MoveControlToward(TVXCustomControl* control, int32_t targetTop, int32_t targetLeft, int32_t step) {
  if (control == nullptr) return true;
  vx::WeakRef<TVXCustomControl> alive(control);
  if (control->Top() != targetTop) control->SetTop(StepToward(control->Top(), targetTop, step));
  if (!alive) return true;
  if (control->Left() != targetLeft) control->SetLeft(StepToward(control->Left(), targetLeft, step));
  if (!alive) return true;
  return control->Top() == targetTop && control->Left() == targetLeft;
}

int32_t StepByte(int32_t current, int32_t target, int32_t step) {
  return std::clamp(StepToward(current, target, step), 0, 255);
}

uint32_t StepColor(uint32_t colour, uint32_t target, int32_t step) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t c = static_cast<int32_t>((colour >> shift) & 0xFFu);
    const int32_t t = static_cast<int32_t>((target >> shift) & 0xFFu);
    out |= static_cast<uint32_t>(StepByte(c, t, step)) << shift;
  }
  return out;
}

void StepColor4(const TColor4& colours, const TColor4& targets, int32_t step, TColor4& out) {
  for (size_t i = 0; i < 4; ++i) out[i] = StepColor(colours[i], targets[i], step);
}

bool SameRGB4(const TColor4& a, const TColor4& b) {
  for (size_t i = 0; i < 4; ++i) {
    if (!SameRGB(a[i], b[i])) return false;
  }
  return true;
}
