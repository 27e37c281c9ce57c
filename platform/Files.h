#pragma once
// File-system boundary. The rest of the system writes paths with "\" separators and in
// whatever letter case its callers chose (the game was made for a case-insensitive file
// system). Every helper here maps "\" to "/" and resolves each path component
// case-insensitively when the exact name does not exist, so "Data\Pak\Common\X.BMP" finds
// data/pak/common/x.bmp. Helpers never throw: failures come back as false / empty values
// with an optional error text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Largest file ReadWholeFile accepts unless the caller asks for another cap.
constexpr uint64_t kDefaultMaxFileBytes = 256ull * 1024 * 1024;

// "\" -> "/"; nothing else changes.
std::string ToNativePath(std::string_view path);

// Maps the path and resolves it against what exists. Each component that does not exist
// with its exact name is matched ignoring ASCII case (an exact match always wins; among
// several case variants the byte-wise smallest name is taken). Components that match
// nothing, and everything after them, are kept as given, so the result is also the right
// name for creating a new file. A relative path is taken relative to `root` when one is
// given (the result then starts with `root`), otherwise to the current folder (the result
// stays relative).
std::string ResolvePath(std::string_view path, std::string_view root = {});

bool FileExists(std::string_view path);       // a regular file (or a link to one)
bool DirectoryExists(std::string_view path);  // a folder (or a link to one)
// Size in bytes of a regular file; -1 when it does not exist or is not a file.
int64_t FileSize(std::string_view path);

// Creates the folder and every missing parent. True when the folder exists afterwards.
bool ForceDirectories(std::string_view path, std::string* error = nullptr);

// Reads a whole regular file. Fails (false, `out` emptied) when the file is missing, is
// not a regular file, cannot be read, or is larger than `maxBytes`.
bool ReadWholeFile(std::string_view path, std::string& out, std::string* error = nullptr,
                   uint64_t maxBytes = kDefaultMaxFileBytes);

// Replaces the file's content atomically: the bytes go to a temporary sibling, which is
// flushed to disk and renamed over the target. On any failure the old file (if any) is left
// exactly as it was and the temporary is removed.
bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error = nullptr);

bool DeleteFile(std::string_view path, std::string* error = nullptr);
// Renames a file or folder; an existing target file is replaced.
bool RenameFile(std::string_view from, std::string_view to, std::string* error = nullptr);

// Names (not paths) of the entries of a folder, sorted byte-wise; "." and ".." excluded.
// Empty when the folder does not exist.
std::vector<std::string> ListDirectory(std::string_view path, bool wantFiles, bool wantFolders);

// The folder part of a path including its last separator ("\" or "/"), "" when none.
std::string ExtractFilePath(std::string_view path);
// The part after the last separator.
std::string ExtractFileName(std::string_view path);

// Fault injection for tests of the atomic write: the next atomic write fails at the given
// step as if the system had refused it. Reset to None after one use.
enum class FileFault { None, Write, Sync, Rename };
void InjectFileFaultForTests(FileFault fault);

}  // namespace vx
