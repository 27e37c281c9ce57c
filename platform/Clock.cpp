#include "platform/Clock.h"

#include <time.h>

#include <atomic>

namespace vx {
namespace {

uint64_t MonotonicNs() {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

SystemClock& TheSystemClock() {
  static SystemClock clock;
  return clock;
}

std::atomic<IClock*> g_clock{nullptr};

}  // namespace

uint64_t SystemClock::TickCount() { return MonotonicNs() / 1000000ull; }
uint64_t SystemClock::Counter() { return MonotonicNs(); }
uint64_t SystemClock::CounterFrequency() { return 1000000000ull; }

void SetClock(IClock* clock) { g_clock.store(clock); }

IClock& Clock() {
  IClock* c = g_clock.load();
  return c ? *c : TheSystemClock();
}

}  // namespace vx
