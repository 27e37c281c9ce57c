#include "platform/Process.h"

#include <unistd.h>

#include "platform/Files.h"

namespace vx {

std::string ProgramFilePath() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
  buf.resize(static_cast<size_t>(n));
  return buf;
}

std::string ProgramFolder() { return ExtractFilePath(ProgramFilePath()); }

bool CurrentFolderFileExists(const std::string& name) {
  if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." || name == "..") return false;
  return FileExists(name);
}

size_t PageSize() {
  long n = ::sysconf(_SC_PAGESIZE);
  return n > 0 ? static_cast<size_t>(n) : 4096;
}

unsigned UserId() { return static_cast<unsigned>(::getuid()); }

}  // namespace vx
