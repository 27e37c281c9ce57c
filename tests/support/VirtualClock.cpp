#include "support/VirtualClock.h"

namespace vxtest {

VirtualClock::VirtualClock(uint64_t startMs) : nowUs_(startMs * 1000) { vx::SetClock(this); }

VirtualClock::~VirtualClock() {
  if (&vx::Clock() == this) vx::SetClock(nullptr);
}

}  // namespace vxtest
