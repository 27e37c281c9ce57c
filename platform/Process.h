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
class FolderLock {
public:
  FolderLock() = default;
  ~FolderLock() { Release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // False (with the reason) when another holder has the folder or it cannot be opened.
  bool Acquire(const std::string& folder, std::string* error = nullptr);
  void Release();
  bool Held() const { return fd_ >= 0; }

private:
  int fd_ = -1;
};

}  // namespace vx
