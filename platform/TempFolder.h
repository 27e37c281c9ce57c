#pragma once
// The per-user temporary folder: "<base>/vxcasino-<uid>", where the base is $TMPDIR when it
// is an absolute path and /tmp otherwise. The folder is created with mode 0700. What is
// already there is accepted only when it is a real folder (not a symbolic link) owned by
// this user; its mode is then tightened to 0700. Anything else is refused: the result is
// empty and the reason is logged, so the caller falls back to a folder of its own.
#include <string>

namespace vx {

std::string UserTempFolder(std::string* error = nullptr);
// The same rule under a given base folder.
std::string UserTempFolderIn(const std::string& base, std::string* error = nullptr);

}  // namespace vx
