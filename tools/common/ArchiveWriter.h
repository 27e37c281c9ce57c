#pragma once
// Writes record archives ("rcdm"): a 32-byte header, the records (22-byte header + one zlib
// stream each) and the record table at the end.
#include <cstdint>
#include <string>
#include <vector>

namespace vxtools {

struct TArchiveItem {
  std::string Key;
  uint16_t Type = 0;
  std::vector<uint8_t> Data;
  double Stamp = 0;  // nothing reads it; 0 keeps builds reproducible
};

// Where things landed in a built archive (tests damage records on purpose).
struct TArchiveLayout {
  std::vector<uint32_t> RecordOffsets;  // of each record header, in item order
  std::vector<uint32_t> PackedSizes;    // stored bytes after each record header
  uint32_t TableOffset = 0;
};

// The archive's bytes. Keys are stored as given (the reader folds case when looking up).
// Level 0 stores the records uncompressed (still as zlib streams).
std::vector<uint8_t> BuildArchive(const std::vector<TArchiveItem>& items, int level = 9,
                                  TArchiveLayout* layout = nullptr);
// Builds and writes the archive atomically. False with a reason on failure.
bool WriteArchiveFile(const std::string& path, const std::vector<TArchiveItem>& items, std::string* error = nullptr,
                      int level = 9);

// The key of a file below a base folder: its relative path with "\" separators, the way the
// program names resources ("Lobby\table.bmp").
std::string ArchiveKeyForPath(const std::string& base, const std::string& file);

}  // namespace vxtools
