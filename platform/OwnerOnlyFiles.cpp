#include "platform/OwnerOnlyFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Files.h"

namespace vx {

bool CreateOwnerOnlyFile(std::string_view path, bool* created, std::string* error) {
  if (created) *created = false;
  const std::string target = ResolvePath(path);
  if (FileExists(target)) return true;
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    if (errno == EEXIST && FileExists(target)) return true;
    if (error) *error = "cannot create \"" + target + "\": " + std::strerror(errno);
    return false;
  }
  // The mode given to open is narrowed by the umask only, never widened; set it exactly.
  ::fchmod(fd, 0600);
  ::close(fd);
  if (created) *created = true;
  return true;
}

bool IsOwnerOnlyFile(std::string_view path) {
  struct stat st;
  const std::string target = ResolvePath(path);
  if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 077) == 0;
}

}  // namespace vx
