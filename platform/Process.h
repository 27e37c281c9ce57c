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

}  // namespace vx
