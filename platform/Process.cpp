#include "platform/Process.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

bool FolderLock::Acquire(const std::string& folder, std::string* error) {
  Release();
  const std::string path = ResolvePath(folder.empty() ? "." : folder);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = "cannot open \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (error) *error = errno == EWOULDBLOCK ? "another copy of the game is using \"" + path + "\""
                                            : "cannot lock \"" + path + "\": " + std::strerror(errno);
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void FolderLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor lets go of the lock
  fd_ = -1;
}

}  // namespace vx
