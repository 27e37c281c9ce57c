#pragma once
// Time sources of the program: a 64-bit millisecond tick count (waits, timers, FPS samples)
// and a high-resolution counter with its frequency (the frame timer). Both are read through
// one replaceable clock so tests run on virtual time.
#include <cstdint>

namespace vx {

class IClock {
public:
  virtual ~IClock() = default;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual uint64_t TickCount() = 0;
  // High-resolution counter value and its counts per second (0 when there is no counter).
  virtual uint64_t Counter() = 0;
  virtual uint64_t CounterFrequency() = 0;
};

// The monotonic system clock (nanosecond counter).
class SystemClock : public IClock {
public:
  uint64_t TickCount() override;
  uint64_t Counter() override;
  uint64_t CounterFrequency() override;
};

// Installs the clock everyone reads; nullptr restores the system clock. The caller keeps
// ownership and must restore before destroying it.
void SetClock(IClock* clock);
IClock& Clock();

// Shorthands named after the calls the timing code was written against.
inline uint64_t GetTickCount64() { return Clock().TickCount(); }
// False when there is no high-resolution counter.
inline bool QueryPerformanceFrequency(uint64_t& frequency) {
  frequency = Clock().CounterFrequency();
  return frequency != 0;
}
inline bool QueryPerformanceCounter(uint64_t& count) {
  count = Clock().Counter();
  return Clock().CounterFrequency() != 0;
}

}  // namespace vx
