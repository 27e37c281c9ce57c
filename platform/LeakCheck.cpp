#include "platform/LeakCheck.h"

// Present only when the leak checker is linked in.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

// The GL driver's own blocks that outlive the display (see the window surface); a leak in our
// code or in any other library is still reported.
extern "C" const char* __lsan_default_suppressions() { return "leak:_dri.so\n"; }

namespace vx {

ThirdPartyAllocations::ThirdPartyAllocations() {
  if (&__lsan_disable) __lsan_disable();
}

ThirdPartyAllocations::~ThirdPartyAllocations() {
  if (&__lsan_enable) __lsan_enable();
}

}  // namespace vx
