#include "platform/audio/AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vx::audio {

bool ReadSoundFile(const std::string& path, std::vector<uint8_t>& out, std::string* error) {
  out.clear();
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    out.clear();
    return false;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return fail(std::string("cannot open: ") + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(std::string("cannot stat: ") + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail("not a regular file");
  if (st.st_uid != ::geteuid() && st.st_uid != 0) return fail("file belongs to another user");
  if (st.st_mode & S_IWOTH) return fail("file is writable by other users");
  if ((st.st_mode & S_IWGRP) && st.st_gid != ::getegid()) return fail("file is writable by another group");
  if (uint64_t(st.st_size) > kMaxSoundFileBytes) return fail("file is too large");
  out.resize(size_t(st.st_size));
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::string("read error: ") + std::strerror(errno));
    if (n == 0) break;  // the file shrank meanwhile: keep what is there
    done += size_t(n);
  }
  out.resize(done);
  return true;
}

}  // namespace vx::audio
