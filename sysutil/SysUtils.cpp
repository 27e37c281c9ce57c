#include "sysutil/SysUtils.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "core/StrUtils.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/TempFolder.h"

namespace vx {
namespace {

// "Key:    1234 kB" -> bytes; nullopt when the key is missing or malformed.
std::optional<uint64_t> StatusKb(const std::string& status, const std::string& key) {
  const std::string tag = key + ":";
  size_t pos = 0;
  while (pos < status.size()) {
    size_t end = status.find('\n', pos);
    if (end == std::string::npos) end = status.size();
    std::string_view line(status.data() + pos, end - pos);
    if (line.substr(0, tag.size()) == tag) {
      std::string value = Trim(line.substr(tag.size()));
      size_t sp = value.find(' ');
      std::string number = value.substr(0, sp);
      if (number.empty() || number.size() > 15) return std::nullopt;
      uint64_t v = 0;
      for (char c : number) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
      }
      return v * 1024;
    }
    pos = end + 1;
  }
  return std::nullopt;
}

// Whole decimal fields of a text separated by blanks.
bool NumberAt(const std::vector<std::string>& fields, size_t index, uint64_t& out) {
  if (index >= fields.size() || fields[index].empty() || fields[index].size() > 19) return false;
  uint64_t v = 0;
  for (char c : fields[index]) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  out = v;
  return true;
}

std::vector<std::string> Fields(std::string_view text) {
  std::vector<std::string> out;
  std::istringstream in{std::string(text)};
  std::string f;
  while (in >> f) out.push_back(f);
  return out;
}

}  // namespace

std::string GetWindowsTempFolder() {
  std::string dir = UserTempFolder();
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string GetModuleFileName() { return ProgramFilePath(); }

bool ParseProcessMemoryInfo(const std::string& status, const std::string& statm, const std::string& stat,
                            uint64_t pageSize, TProcessMemoryCounters& counters) {
  auto rss = StatusKb(status, "VmRSS");
  auto hwm = StatusKb(status, "VmHWM");
  auto peak = StatusKb(status, "VmPeak");
  if (!rss || !hwm) return false;

  // statm: size resident shared text lib data dirty (pages).
  const auto m = Fields(statm);
  uint64_t dataPages = 0;
  if (!NumberAt(m, 5, dataPages) || pageSize == 0 || dataPages > UINT64_MAX / pageSize) return false;

  // stat: the command name is in parentheses and may hold blanks; count fields after the
  // last ")". Fields 10 (minflt) and 12 (majflt) of the whole line are 8 and 10 after it.
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return false;
  const auto s = Fields(std::string_view(stat).substr(close + 1));
  uint64_t minflt = 0, majflt = 0;
  if (!NumberAt(s, 7, minflt) || !NumberAt(s, 9, majflt)) return false;

  TProcessMemoryCounters c;
  c.PageFaultCount = minflt + majflt;
  c.WorkingSetSize = *rss;
  // The high-water mark is updated lazily by the system; it can trail the current value.
  c.PeakWorkingSetSize = std::max(*hwm, *rss);
  c.QuotaPagedPoolUsage = StatusKb(status, "VmPTE").value_or(0);
  c.QuotaPeakPagedPoolUsage = c.QuotaPagedPoolUsage;
  c.QuotaNonPagedPoolUsage = StatusKb(status, "VmLck").value_or(0) + StatusKb(status, "VmPin").value_or(0);
  c.QuotaPeakNonPagedPoolUsage = c.QuotaNonPagedPoolUsage;
  c.PagefileUsage = dataPages * pageSize;
  c.PeakPagefileUsage = std::max(peak.value_or(0), c.PagefileUsage);
  counters = c;
  return true;
}

bool GetProcessMemoryInfo(TProcessMemoryCounters& counters) {
  std::string status, statm, stat;
  if (!ReadWholeFile("/proc/self/status", status, nullptr, 1 << 20) ||
      !ReadWholeFile("/proc/self/statm", statm, nullptr, 1 << 16) ||
      !ReadWholeFile("/proc/self/stat", stat, nullptr, 1 << 16))
    return false;
  return ParseProcessMemoryInfo(status, statm, stat, PageSize(), counters);
}

}  // namespace vx
