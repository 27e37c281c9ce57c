#pragma once
// A clock that only moves when told to: installed for the lifetime of the object, so code
// that measures time, waits or fires timers runs on virtual time in tests.
#include <cstdint>

#include "platform/Clock.h"

namespace vxtest {

class VirtualClock : public vx::IClock {
public:
  // Installs itself as the program's clock; the destructor restores the system clock.
  explicit VirtualClock(uint64_t startMs = 1000);
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  uint64_t TickCount() override { return nowUs_ / 1000; }
  // The counter runs at 1 MHz so sub-millisecond steps are visible to the frame timer.
  uint64_t Counter() override { return nowUs_; }
  uint64_t CounterFrequency() override { return frequency_; }

  void AdvanceMs(uint64_t ms) { nowUs_ += ms * 1000; }
  void AdvanceUs(uint64_t us) { nowUs_ += us; }
  // Pretends the machine has no high-resolution counter.
  void SetNoCounter() { frequency_ = 0; }

private:
  uint64_t nowUs_;
  uint64_t frequency_ = 1000000;
};

}  // namespace vxtest
