#include "platform/LeakCheck.h"

// Present only when the leak checker is linked in.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace vx {

ThirdPartyAllocations::ThirdPartyAllocations() {
  if (&__lsan_disable) __lsan_disable();
}

ThirdPartyAllocations::~ThirdPartyAllocations() {
  if (&__lsan_enable) __lsan_enable();
}

}  // namespace vx
