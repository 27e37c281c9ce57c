#pragma once
// Files that hold private data (the players' passwords) are created readable and writable
// by their owner only. The atomic write keeps the permissions of the file it replaces, so
// creating the file once this way is enough.
#include <string>
#include <string_view>

namespace vx {

// Creates an empty file with owner-only permissions when none exists. `created` tells
// whether this call made it (so that a caller whose write then fails can remove it again).
// True when the file exists afterwards.
bool CreateOwnerOnlyFile(std::string_view path, bool* created = nullptr, std::string* error = nullptr);

// True when the regular file exists and nobody but its owner may read or write it.
bool IsOwnerOnlyFile(std::string_view path);

}  // namespace vx
