#include "platform/Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

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

namespace {

// Canonical paths of the folders held by this process: a record lock does not keep the same
// process out, and opening the lock file again only to be refused would close the holder's lock.
std::mutex& HeldMutex() {
  static std::mutex m;
  return m;
}
std::set<std::string>& HeldFolders() {
  static std::set<std::string> held;
  return held;
}

}  // namespace

bool FolderLock::Acquire(const std::string& folder, std::string* error) {
  Release();
  busy_ = unwritable_ = false;
  holderPid_ = 0;
  const std::string path = ResolvePath(folder.empty() ? "." : folder);
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    if (error) *error = "cannot open \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  const std::string key = real;
  std::free(real);
  std::lock_guard<std::mutex> guard(HeldMutex());
  if (HeldFolders().count(key) != 0) {
    busy_ = true;
    holderPid_ = static_cast<long>(::getpid());
    if (error) *error = "another copy of the game (process " + std::to_string(holderPid_) + ") is using \"" + path + "\"";
    return false;
  }
  const std::string file = key + "/" + kLockFileName;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    unwritable_ = errno == EROFS || errno == EACCES || errno == EPERM;
    if (error) *error = "cannot open the lock file \"" + file + "\": " + std::strerror(errno);
    return false;
  }
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_SETLK, &lock) != 0) {
    const int failure = errno;
    if (failure == EACCES || failure == EAGAIN) {
      busy_ = true;
      // A dead process holds nothing: whoever is named here is alive.
      struct flock probe {};
      probe.l_type = F_WRLCK;
      probe.l_whence = SEEK_SET;
      if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) holderPid_ = static_cast<long>(probe.l_pid);
      if (error)
        *error = "another copy of the game" +
                 (holderPid_ > 0 ? " (process " + std::to_string(holderPid_) + ")" : std::string()) +
                 " is using \"" + path + "\"";
    } else if (error) {
      *error = "cannot lock \"" + file + "\": " + std::strerror(failure);
    }
    ::close(fd);
    return false;
  }
  // For whoever looks at the folder by hand: who holds it.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
    // Only a note; the lock holds without it.
  }
  fd_ = fd;
  key_ = key;
  HeldFolders().insert(key_);
  return true;
}

void FolderLock::Release() {
  if (fd_ < 0) return;
  std::lock_guard<std::mutex> guard(HeldMutex());
  HeldFolders().erase(key_);
  ::close(fd_);  // lets go of the record lock
  fd_ = -1;
  key_.clear();
}

}  // namespace vx
