#include "core/Rounding.h"

#include <atomic>
#include <cmath>
#include <limits>

namespace vx {
namespace {
std::atomic<bool> g_upward{false};

int64_t ClampToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}
}  // namespace

int64_t Round(double value) {
  if (g_upward.load(std::memory_order_relaxed)) return ClampToInt64(std::ceil(value));
  // nearbyint would follow the current FP mode; compute ties-to-even explicitly instead.
  double fl = std::floor(value);
  double diff = value - fl;
  double r;
  if (diff > 0.5) {
    r = fl + 1.0;
  } else if (diff < 0.5) {
    r = fl;
  } else {
    r = (std::fmod(fl, 2.0) == 0.0) ? fl : fl + 1.0;
  }
  return ClampToInt64(r);
}

int32_t Round32(double value) {
  int64_t r = Round(value);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

void SwitchRoundingUpward() { g_upward.store(true, std::memory_order_relaxed); }
bool RoundingIsUpward() { return g_upward.load(std::memory_order_relaxed); }
void ResetRoundingForTests() { g_upward.store(false, std::memory_order_relaxed); }

}  // namespace vx
