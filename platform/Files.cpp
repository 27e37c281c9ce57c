#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "core/StrUtils.h"

namespace vx {
namespace {

std::atomic<FileFault> g_fault{FileFault::None};
std::atomic<int> g_stopAfter{-1};
std::atomic<int> g_steps{0};

// True once a test's crash point has been reached: nothing more reaches the disk.
bool Killed() { return g_stopAfter.load() >= 0 && g_steps.load() >= g_stopAfter.load(); }

// One flush or rename: false when the test's crash point stops it.
bool Step() {
  if (Killed()) return false;
  ++g_steps;
  return true;
}

std::mutex g_verbatimMutex;
std::vector<std::string>& VerbatimFolders() {
  static std::vector<std::string> folders;
  return folders;
}

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

void KeepFolderVerbatim(std::string_view folder) {
  std::string f(folder);
  if (f.empty()) return;
  if (f.back() != '/') f += '/';
  std::lock_guard<std::mutex> lock(g_verbatimMutex);
  auto& folders = VerbatimFolders();
  if (std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
}

std::string ToNativePath(std::string_view path) {
  size_t keep = 0;
  {
    std::lock_guard<std::mutex> lock(g_verbatimMutex);
    for (const std::string& f : VerbatimFolders()) {
      const std::string_view bare(f.data(), f.size() - 1);
      if (path.starts_with(f) && f.size() > keep) keep = f.size();
      else if (path == bare && bare.size() > keep) keep = bare.size();
    }
  }
  std::string r(path);
  std::replace(r.begin() + static_cast<std::ptrdiff_t>(keep), r.end(), '\\', '/');
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

bool PathExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat st;
  return ::lstat(ResolvePath(path).c_str(), &st) == 0;
}

int64_t FileSize(std::string_view path) {
  if (path.empty()) return -1;
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileSizeAndTime(std::string_view path, uint64_t& size, int64_t& modified) {
  if (path.empty()) return false;
  struct stat st;
  // A name that exists as written is what ResolvePath would give; only others need the search.
  if (::stat(ToNativePath(path).c_str(), &st) != 0 && ::stat(ResolvePath(path).c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) return false;
  size = static_cast<uint64_t>(st.st_size);
  modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

namespace {

bool MakeDirectories(std::string_view path, std::string* error, bool ownerOnly) {
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
    if (Killed()) {
      SetError(error, "cannot create folder", prefix, EIO);
      return false;
    }
    if (::mkdir(prefix.c_str(), ownerOnly ? 0700 : 0777) != 0 && errno != EEXIST) {
      SetError(error, "cannot create folder", prefix, errno);
      return false;
    }
    // The umask may have taken more than the group's and others' rights.
    if (ownerOnly) ::chmod(prefix.c_str(), 0700);
  }
  if (ownerOnly) {
    // The last folder is ours to close to others even when it was there before.
    struct stat st;
    if (::lstat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 07777) != 0700)
      ::chmod(resolved.c_str(), 0700);
  }
  return DirectoryExists(resolved);
}

}  // namespace

bool ForceDirectories(std::string_view path, std::string* error) { return MakeDirectories(path, error, false); }

bool ForceOwnerOnlyDirectories(std::string_view path, std::string* error) {
  return MakeDirectories(path, error, true);
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

namespace {

std::string TemporaryFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return ExtractFilePath(target) + "." + ExtractFileName(target) + ".tmp" + std::to_string(::getpid()) + "_" +
         std::to_string(counter++);
}

bool SyncFolder(const std::string& dir) {
  if (!Step()) return false;
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return false;
  const bool ok = ::fsync(dfd) == 0;
  ::close(dfd);
  return ok;
}

// Writes and flushes a new temporary beside the target. Empty on failure.
std::string WriteTemporary(const std::string& target, std::string_view bytes, bool ownerOnly, FileFault fault,
                           std::string* error) {
  if (target.empty() || target.back() == '/') {
    if (error) *error = "not a file name \"" + target + "\"";
    return {};
  }
  const std::string tmp = TemporaryFor(target);
  if (Killed()) {
    SetError(error, "cannot create", tmp, EIO);
    return {};
  }
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, ownerOnly ? 0600 : 0666);
  if (fd < 0) {
    SetError(error, "cannot create", tmp, errno);
    return {};
  }
  struct stat old;
  if (ownerOnly) ::fchmod(fd, 0600);
  else if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  auto fail = [&](const char* what, int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    SetError(error, what, target, err);
    return std::string();
  };
  if (fault == FileFault::Write) {
    // A partial write, as when the disk fills up half-way.
    WriteAll(fd, bytes.data(), bytes.size() / 2);
    return fail("cannot write", ENOSPC);
  }
  if (!WriteAll(fd, bytes.data(), bytes.size())) return fail("cannot write", errno);
  if (fault == FileFault::Sync) return fail("cannot flush", EIO);
  if (!Step()) {
    ::close(fd);  // a killed process removes nothing
    SetError(error, "cannot flush", target, EIO);
    return {};
  }
  if (::fsync(fd) != 0) return fail("cannot flush", errno);
  int rc = ::close(fd);
  fd = -1;
  if (rc != 0) return fail("cannot write", errno);
  return tmp;
}

bool RenameStep(const std::string& from, const std::string& to, std::string* error) {
  if (!Step()) {
    SetError(error, "cannot replace", to, EIO);
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) != 0) {
    SetError(error, "cannot replace", to, errno);
    return false;
  }
  return true;
}

uint64_t Fnv1a(std::string_view s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

void AppendField(std::string& out, const std::string& s) { out += std::to_string(s.size()) + ":" + s + "\n"; }

bool ReadField(std::string_view text, size_t& pos, std::string& out) {
  const size_t colon = text.find(':', pos);
  if (colon == std::string_view::npos || colon == pos || colon - pos > 9) return false;
  size_t len = 0;
  for (size_t i = pos; i < colon; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    len = len * 10 + static_cast<size_t>(text[i] - '0');
  }
  if (colon + 1 + len + 1 > text.size() || text[colon + 1 + len] != '\n') return false;
  out.assign(text.substr(colon + 1, len));
  pos = colon + 1 + len + 1;
  return true;
}

constexpr std::string_view kJournalHead = "VXJOURNAL 1\n";

// The pairs (temporary, target) of a whole journal; false when it is not one.
bool ParseJournal(std::string_view text, std::vector<std::pair<std::string, std::string>>& pairs) {
  const size_t end = text.rfind("END ");
  if (!text.starts_with(kJournalHead) || end == std::string_view::npos) return false;
  char sum[32];
  std::snprintf(sum, sizeof sum, "END %016llx\n", static_cast<unsigned long long>(Fnv1a(text.substr(0, end))));
  if (text.substr(end) != sum) return false;
  size_t pos = kJournalHead.size();
  while (pos < end) {
    std::string tmp, target;
    if (!ReadField(text, pos, tmp) || !ReadField(text, pos, target) || pos > end) return false;
    pairs.emplace_back(std::move(tmp), std::move(target));
  }
  return pos == end;
}

}  // namespace

bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error, bool ownerOnly) {
  const FileFault fault = g_fault.exchange(FileFault::None);
  const std::string target = ResolvePath(path);
  const std::string dir = ExtractFilePath(target);
  const std::string tmp = WriteTemporary(target, bytes, ownerOnly, fault, error);
  if (tmp.empty()) return false;
  int fd = -1;

  auto fail = [&](const char* what, int err) {
    if (fd >= 0) ::close(fd);
    if (!Killed()) ::unlink(tmp.c_str());
    SetError(error, what, target, err);
    return false;
  };
  if (fault == FileFault::Rename) return fail("cannot replace", EACCES);
  if (!RenameStep(tmp, target, error)) return fail("cannot replace", Killed() ? EIO : errno);
  // Make the rename itself durable; a failure here leaves a complete file either way.
  SyncFolder(dir);
  return true;
}

bool WriteFilesAtomic(std::string_view journal, const std::vector<FileWrite>& files, std::string* error) {
  if (!RecoverFileJournal(journal, error)) return false;
  const FileFault fault = g_fault.exchange(FileFault::None);
  std::vector<std::pair<std::string, std::string>> pairs;
  auto dropTemporaries = [&] {
    if (Killed()) return;
    for (const auto& p : pairs) ::unlink(p.first.c_str());
  };
  for (const FileWrite& f : files) {
    const std::string target = ResolvePath(f.Path);
    const std::string tmp = WriteTemporary(target, f.Bytes, true, fault, error);
    if (tmp.empty()) {
      dropTemporaries();
      return false;
    }
    pairs.emplace_back(tmp, target);
  }
  if (pairs.empty()) return true;
  std::string text(kJournalHead);
  for (const auto& [tmp, target] : pairs) {
    AppendField(text, tmp);
    AppendField(text, target);
  }
  char sum[32];
  std::snprintf(sum, sizeof sum, "END %016llx\n", static_cast<unsigned long long>(Fnv1a(text)));
  text += sum;
  if (fault == FileFault::Rename || !WriteFileAtomic(journal, text, error, true)) {
    if (fault == FileFault::Rename && error) *error = "cannot replace \"" + std::string(journal) + "\"";
    dropTemporaries();
    return false;
  }
  // Decided: from here a crash is finished by the next start.
  return RecoverFileJournal(journal, error);
}

bool RecoverFileJournal(std::string_view journal, std::string* error) {
  const std::string path = ResolvePath(journal);
  if (!FileExists(path)) return true;
  std::string text, reason;
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!ReadWholeFile(path, text, &reason, 1 << 20) || !ParseJournal(text, pairs)) {
    // Never written whole (it is renamed into place complete), so never decided: the
    // temporaries it might name are stale and the old files stand.
    if (Killed() || ::unlink(path.c_str()) != 0) {
      SetError(error, "cannot remove the damaged journal", path, Killed() ? EIO : errno);
      return false;
    }
    return true;
  }
  std::set<std::string> folders;
  for (const auto& [tmp, target] : pairs) {
    struct stat st;
    // A temporary that is gone was renamed before the interruption.
    if (::lstat(tmp.c_str(), &st) != 0) continue;
    if (!RenameStep(tmp, target, error)) return false;
    folders.insert(ExtractFilePath(target));
  }
  for (const std::string& dir : folders) SyncFolder(dir);
  // The removal needs no flush of its own: a journal that comes back names temporaries that
  // are gone, and replaying it changes nothing.
  if (!Step() || ::unlink(path.c_str()) != 0) {
    SetError(error, "cannot remove", path, Killed() ? EIO : errno);
    return false;
  }
  return true;
}

bool IsSaveTemporaryName(std::string_view name) {
  if (name.size() < 8 || name.front() != '.') return false;
  const size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp < 2) return false;
  const std::string_view tail = name.substr(tmp + 4);
  const size_t bar = tail.find('_');
  if (bar == std::string_view::npos || bar == 0 || bar + 1 == tail.size()) return false;
  auto digits = [](std::string_view d) { return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; }); };
  return digits(tail.substr(0, bar)) && digits(tail.substr(bar + 1));
}

int RemoveStaleTemporaries(std::string_view folder) {
  int removed = 0;
  const std::string dir = ResolvePath(folder);
  for (const std::string& name : ListDirectory(folder, true, false)) {
    if (!IsSaveTemporaryName(name)) continue;
    struct stat st;
    const std::string path = Join(dir, name);
    // Only plain files of ours: a link planted under such a name is not followed or removed.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

bool DeleteFile(std::string_view path, std::string* error) {
  const std::string resolved = ResolvePath(path);
  if (Killed()) {
    SetError(error, "cannot delete", resolved, EIO);
    return false;
  }
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

bool RenameFileNoReplace(std::string_view from, std::string_view to, std::string* error) {
  const std::string src = ResolvePath(from);
  const std::string dst = ResolvePath(to);
  if (Killed()) {
    SetError(error, "cannot rename", src, EIO);
    return false;
  }
  if (::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) {
    SetError(error, "cannot rename", src, errno);
    return false;
  }
  // A file system without the flag: a hard link fails on an existing name just the same.
  if (::link(src.c_str(), dst.c_str()) != 0) {
    SetError(error, "cannot rename", src, errno);
    return false;
  }
  ::unlink(src.c_str());
  return true;
}

bool RenameFile(std::string_view from, std::string_view to, std::string* error) {
  const std::string src = ResolvePath(from);
  const std::string dst = ResolvePath(to);
  if (Killed()) {
    SetError(error, "cannot rename", src, EIO);
    return false;
  }
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

void StopFilesAfterStepsForTests(int steps) {
  g_steps.store(0);
  g_stopAfter.store(steps);
}

int FileStepsForTests() { return g_steps.load(); }

}  // namespace vx
