#pragma once
// Thin wrappers over system services the framework relies on. None of them throws: failure
// is an empty string, false or 0.
#include <cstdint>
#include <string>

namespace vx {

// The system temporary folder without a trailing separator: the per-user folder of the
// platform layer. Empty when it cannot be had safely (the caller then uses its fallback).
std::string GetWindowsTempFolder();

// Full path of the program file; empty when unknown.
std::string GetModuleFileName();

// Process memory counters, every value 64-bit and in bytes (page faults in faults):
//   PageFaultCount               minor + major faults so far;
//   WorkingSetSize               resident memory; PeakWorkingSetSize its high-water mark
//                                (never below the current value);
//   QuotaPagedPoolUsage          kernel memory for the page tables (no peak is kept by
//                                the system, so the peak is the current value);
//   QuotaNonPagedPoolUsage       memory locked or pinned in RAM (same for the peak);
//   PagefileUsage                private committed memory (data and stack);
//   PeakPagefileUsage            the peak virtual size (the nearest peak the system
//                                keeps; never below PagefileUsage).
struct TProcessMemoryCounters {
  uint32_t cb = sizeof(TProcessMemoryCounters);
  uint64_t PageFaultCount = 0;
  uint64_t PeakWorkingSetSize = 0;
  uint64_t WorkingSetSize = 0;
  uint64_t QuotaPeakPagedPoolUsage = 0;
  uint64_t QuotaPagedPoolUsage = 0;
  uint64_t QuotaPeakNonPagedPoolUsage = 0;
  uint64_t QuotaNonPagedPoolUsage = 0;
  uint64_t PagefileUsage = 0;
  uint64_t PeakPagefileUsage = 0;
};

// Fills the counters of the running process. False, counters untouched, when the system
// will not tell.
bool GetProcessMemoryInfo(TProcessMemoryCounters& counters);

// The same from given texts of /proc/<pid>/status, statm and stat (tests, diagnostics).
bool ParseProcessMemoryInfo(const std::string& status, const std::string& statm, const std::string& stat,
                            uint64_t pageSize, TProcessMemoryCounters& counters);

}  // namespace vx
