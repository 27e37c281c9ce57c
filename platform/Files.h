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

// "\" -> "/" in the names the program builds. A path that starts with a folder given to
// KeepFolderVerbatim keeps that start as it is: on Linux a "\" there is part of a name.
std::string ToNativePath(std::string_view path);
// The program's own folders (native paths, as the system gave them): their "\" are never
// mapped. Calling again with the same folder changes nothing.
void KeepFolderVerbatim(std::string_view folder);

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
// Anything by that name: a file, a folder, a pipe, a link (even one that leads nowhere).
bool PathExists(std::string_view path);
// Size in bytes of a regular file; -1 when it does not exist or is not a file.
int64_t FileSize(std::string_view path);
// Size and modification time (nanoseconds) of a regular file in one look at the disk when
// the name exists as written; false when it does not exist or is not a file.
bool FileSizeAndTime(std::string_view path, uint64_t& size, int64_t& modified);

// Creates the folder and every missing parent. True when the folder exists afterwards.
bool ForceDirectories(std::string_view path, std::string* error = nullptr);
// The same, for folders that hold the players' data: every folder it creates, and the last
// one, are left open to their owner only (0700) whatever the umask.
bool ForceOwnerOnlyDirectories(std::string_view path, std::string* error = nullptr);

// Reads a whole regular file. Fails (false, `out` emptied) when the file is missing, is
// not a regular file, cannot be read, or is larger than `maxBytes`.
bool ReadWholeFile(std::string_view path, std::string& out, std::string* error = nullptr,
                   uint64_t maxBytes = kDefaultMaxFileBytes);

// Replaces the file's content atomically: the bytes go to a temporary sibling, which is
// flushed to disk and renamed over the target. On any failure the old file (if any) is left
// exactly as it was and the temporary is removed. With `ownerOnly` the new file may be read
// and written by its owner only (0600), whatever the umask and the old file's mode;
// otherwise it keeps the old file's mode.
bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error = nullptr,
                     bool ownerOnly = false);

// Several files replaced as one, through a journal: each new content goes to a temporary
// sibling and is flushed; then the journal, naming every temporary and its target, is
// written and flushed (from then on the change is decided); then the temporaries are renamed
// over their targets and the journal removed. A crash at any moment leaves either every old
// file or, once RecoverFileJournal has run at the next start, every new one. Files are
// owner-only (0600). A journal left by an earlier run is finished first.
struct FileWrite {
  std::string Path;
  std::string Bytes;
};
bool WriteFilesAtomic(std::string_view journal, const std::vector<FileWrite>& files, std::string* error = nullptr);
// At start: a complete journal has its renames finished; an incomplete one (the crash came
// before it was decided) is removed with its temporaries. True when nothing was left undone.
bool RecoverFileJournal(std::string_view journal, std::string* error = nullptr);
// Removes the temporaries that interrupted saves left in the folder (not in its
// sub-folders); returns how many. Only for folders no other process is saving into.
int RemoveStaleTemporaries(std::string_view folder);
// True for the name of a temporary of the saving helpers.
bool IsSaveTemporaryName(std::string_view name);

bool DeleteFile(std::string_view path, std::string* error = nullptr);
// Renames a file or folder; an existing target file is replaced.
bool RenameFile(std::string_view from, std::string_view to, std::string* error = nullptr);
// Renames a file only when nothing has the target's name; never replaces anything.
bool RenameFileNoReplace(std::string_view from, std::string_view to, std::string* error = nullptr);

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
// Crash injection for tests of the saves: every flush (fsync) and every rename of the
// helpers above counts as one step. With a limit set, the steps up to the limit happen and
// from then on the process is taken as killed: that step and every later write, flush,
// rename or removal fails without touching the disk. A negative limit turns it off (and
// resets the count). FileStepsForTests tells how many steps have happened since.
void StopFilesAfterStepsForTests(int steps);
int FileStepsForTests();

}  // namespace vx
