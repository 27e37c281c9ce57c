// Memory-counter parsing of the system's process texts: the input is split at NUL bytes
// into the status, statm and stat texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Log.h"
#include "sysutil/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  std::string in(reinterpret_cast<const char*>(data), size);
  std::string parts[3];
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    size_t end = in.find('\0', start);
    if (end == std::string::npos) end = in.size();
    parts[i] = in.substr(start < in.size() ? start : in.size(), end - (start < in.size() ? start : in.size()));
    start = end + 1;
  }
  vx::TProcessMemoryCounters c;
  if (vx::ParseProcessMemoryInfo(parts[0], parts[1], parts[2], 4096, c)) {
    if (c.WorkingSetSize > c.PeakWorkingSetSize || c.PagefileUsage > c.PeakPagefileUsage) std::abort();
  }
  return 0;
}
