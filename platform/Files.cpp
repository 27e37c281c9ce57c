#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "core/StrUtils.h"

namespace vx {
namespace {

std::atomic<FileFault> g_fault{FileFault::None};

void SetError(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " \"" + path + "\": " + std::strerror(err);
}

bool NameExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` matching `name` ignoring case; empty when there is none.
std::string FindCaseInsensitive(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (dirent* e = ::readdir(d)) {
    std::string_view n(e->d_name);
    if (n == "." || n == "..") continue;
    if (SameText(n, name) && (best.empty() || n < best)) best.assign(n);
  }
  ::closedir(d);
  return best;
}

std::string Join(const std::string& a, const std::string& b) {
  std::string r;
  r.reserve(a.size() + b.size() + 1);
  r.append(a);
  if (!a.empty() && a.back() != '/') r.push_back('/');
  r.append(b);
  return r;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string ToNativePath(std::string_view path) {
  std::string r(path);
  std::replace(r.begin(), r.end(), '\\', '/');
  return r;
}

std::string ResolvePath(std::string_view path, std::string_view root) {
  const std::string native = ToNativePath(path);
  const bool absolute = !native.empty() && native.front() == '/';
  const bool trailing = !native.empty() && native.back() == '/';

  std::string base;  // the physical folder the components are resolved in
  std::string out;   // the path handed back
  if (absolute) {
    base.push_back('/');
    out.push_back('/');
  } else if (!root.empty()) {
    base = ToNativePath(root);
    out = base;
  }

  // Most names exist exactly as written: one lookup instead of one per component.
  bool resolving = !NameExists(absolute ? native : Join(base, native));
  for (const std::string& comp : Split(native, '/')) {
    if (comp.empty() || comp == ".") continue;
    std::string name = comp;
    if (resolving) {
      std::string candidate = Join(base, comp);
      if (!NameExists(candidate)) {
        std::string found = (comp == "..") ? std::string() : FindCaseInsensitive(base, comp);
        if (found.empty()) {
          resolving = false;  // nothing further can exist below a missing folder
        } else {
          name = found;
        }
      }
      base = Join(base, name);
    }
    out = Join(out, name);
  }
  if (trailing && !out.empty() && out.back() != '/') out += '/';
  if (out.empty() && !native.empty()) out.push_back('.');
  return out;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize(std::string_view path) {
  if (path.empty()) return -1;
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool ForceDirectories(std::string_view path, std::string* error) {
  if (path.empty()) {
    if (error) *error = "empty folder name";
    return false;
  }
  const std::string resolved = ResolvePath(path);
  std::string prefix = (resolved.front() == '/') ? "/" : "";
  for (const std::string& comp : Split(resolved, '/')) {
    if (comp.empty()) continue;
    prefix = Join(prefix, comp);
    struct stat st;
    if (::stat(prefix.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      if (error) *error = "not a folder \"" + prefix + "\"";
      return false;
    }
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
      SetError(error, "cannot create folder", prefix, errno);
      return false;
    }
  }
  return DirectoryExists(resolved);
}

bool ReadWholeFile(std::string_view path, std::string& out, std::string* error, uint64_t maxBytes) {
  out.clear();
  const std::string resolved = ResolvePath(path);
  // Non-blocking open: a FIFO planted under a file's name must not hang the reader (it is
  // refused below); regular files read the same either way.
  int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    SetError(error, "cannot open", resolved, errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (error) *error = "not a regular file \"" + resolved + "\"";
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    if (error) *error = "file too large \"" + resolved + "\"";
    return false;
  }
  // The reported size is only a hint (files under /proc report 0): read to the end, but
  // never past the cap.
  out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, "cannot read", resolved, errno);
      ::close(fd);
      out.clear();
      return false;
    }
    if (n == 0) break;
    if (out.size() + static_cast<uint64_t>(n) > maxBytes) {
      ::close(fd);
      out.clear();
      if (error) *error = "file too large \"" + resolved + "\"";
      return false;
    }
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error) {
  const FileFault fault = g_fault.exchange(FileFault::None);
  const std::string target = ResolvePath(path);
  if (target.empty() || target.back() == '/') {
    if (error) *error = "not a file name \"" + std::string(path) + "\"";
    return false;
  }
  static std::atomic<unsigned> counter{0};
  const std::string dir = ExtractFilePath(target);
  const std::string tmp = dir + "." + ExtractFileName(target) + ".tmp" + std::to_string(::getpid()) + "_" +
                          std::to_string(counter++);

  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetError(error, "cannot create", tmp, errno);
    return false;
  }
  // Keep the permissions of the file being replaced.
  struct stat old;
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);

  auto fail = [&](const char* what, int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    SetError(error, what, target, err);
    return false;
  };
  if (fault == FileFault::Write) {
    // A partial write, as when the disk fills up half-way.
    WriteAll(fd, bytes.data(), bytes.size() / 2);
    return fail("cannot write", ENOSPC);
  }
  if (!WriteAll(fd, bytes.data(), bytes.size())) return fail("cannot write", errno);
  if (fault == FileFault::Sync) return fail("cannot flush", EIO);
  if (::fsync(fd) != 0) return fail("cannot flush", errno);
  int rc = ::close(fd);
  fd = -1;
  if (rc != 0) return fail("cannot write", errno);
  if (fault == FileFault::Rename) return fail("cannot replace", EACCES);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return fail("cannot replace", errno);
  // Make the rename itself durable; a failure here leaves a complete file either way.
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool DeleteFile(std::string_view path, std::string* error) {
  const std::string resolved = ResolvePath(path);
  struct stat st;
  if (::lstat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (error) *error = "is a folder \"" + resolved + "\"";
    return false;
  }
  if (::unlink(resolved.c_str()) != 0) {
    SetError(error, "cannot delete", resolved, errno);
    return false;
  }
  return true;
}

bool RenameFile(std::string_view from, std::string_view to, std::string* error) {
  const std::string src = ResolvePath(from);
  const std::string dst = ResolvePath(to);
  if (::rename(src.c_str(), dst.c_str()) != 0) {
    SetError(error, "cannot rename", src, errno);
    return false;
  }
  return true;
}

std::vector<std::string> ListDirectory(std::string_view path, bool wantFiles, bool wantFolders) {
  std::vector<std::string> names;
  const std::string dir = ResolvePath(path);
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string_view n(e->d_name);
    if (n == "." || n == "..") continue;
    struct stat st;
    if (::stat(Join(dir, std::string(n)).c_str(), &st) != 0) continue;
    if ((wantFolders && S_ISDIR(st.st_mode)) || (wantFiles && S_ISREG(st.st_mode))) names.emplace_back(n);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string ExtractFilePath(std::string_view path) {
  size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t p = path.find_last_of("\\/");
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

void InjectFileFaultForTests(FileFault fault) { g_fault.store(fault); }

}  // namespace vx
