#pragma once
// Facts about the running process.
#include <cstddef>
#include <string>

namespace vx {

// Full path of the program file (from /proc/self/exe); empty when it cannot be read.
std::string ProgramFilePath();
// The program's folder with a trailing "/"; empty when unknown.
std::string ProgramFolder();
// True when a regular file of this bare name exists in the current folder (names with a
// separator are refused). Used for the developer-mode marker "dev.id".
bool CurrentFolderFileExists(const std::string& name);
// Size of a memory page in bytes.
size_t PageSize();
// Real user id of the process.
unsigned UserId();

// An exclusive hold on a folder for as long as the object lives: a second holder of the
// same folder, in this process or another, is refused until the first lets go.
//
// The hold is a record lock on the file kLockFileName in the folder. Such a lock belongs to
// the process: a child forked without exec (a system dialog's helper) does not inherit it,
// and it ends with the process however the process ends. Nothing else may open that file
// in this process, since closing any descriptor of it would let go of the lock.
class FolderLock {
public:
  static constexpr const char* kLockFileName = ".vxcasino.lock";

  FolderLock() = default;
  ~FolderLock() { Release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // False (with the reason) when another holder has the folder or the lock file cannot be
  // opened or locked. Busy() then tells the first case from the others.
  bool Acquire(const std::string& folder, std::string* error = nullptr);
  void Release();
  bool Held() const { return fd_ >= 0; }
  // After a failed Acquire: the folder is held by another holder (a living process, or this
  // one), whose process id HolderPid() gives (0 when the system does not tell).
  bool Busy() const { return busy_; }
  long HolderPid() const { return holderPid_; }
  // After a failed Acquire: the lock file could not be made because the folder may not be
  // written to.
  bool Unwritable() const { return unwritable_; }

private:
  int fd_ = -1;
  std::string key_;  // the folder's canonical path while held
  bool busy_ = false;
  bool unwritable_ = false;
  long holderPid_ = 0;
};

}  // namespace vx
