#include "platform/TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"

namespace vx {
namespace {

std::string Refuse(const std::string& reason, std::string* error) {
  Log("ERROR: temporary folder refused: " + reason);
  if (error) *error = reason;
  return {};
}

}  // namespace

std::string UserTempFolderIn(const std::string& base, std::string* error) {
  std::string root = base;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root.empty() || root.front() != '/') return Refuse("base folder \"" + base + "\" is not absolute", error);
  const uid_t uid = ::geteuid();
  const std::string dir = (root == "/" ? "" : root) + "/vxcasino-" + std::to_string(uid);

  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
    return Refuse("cannot create \"" + dir + "\": " + std::strerror(errno), error);
  // Open without following a link, then check what was opened: no window between check
  // and use for someone to swap the folder.
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    struct stat st;
    if (::lstat(dir.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      return Refuse("\"" + dir + "\" is a symbolic link", error);
    return Refuse("\"" + dir + "\" is not a usable folder: " + std::strerror(err), error);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Refuse("\"" + dir + "\" is not a folder", error);
  }
  if (st.st_uid != uid) {
    ::close(fd);
    return Refuse("\"" + dir + "\" belongs to user " + std::to_string(st.st_uid), error);
  }
  if ((st.st_mode & 07777) != 0700 && ::fchmod(fd, 0700) != 0) {
    ::close(fd);
    return Refuse("cannot restrict \"" + dir + "\" to its owner", error);
  }
  ::close(fd);
  return dir;
}

std::string UserTempFolder(std::string* error) {
  const char* env = std::getenv("TMPDIR");
  std::string base = (env && env[0] == '/') ? env : "/tmp";
  return UserTempFolderIn(base, error);
}

}  // namespace vx
