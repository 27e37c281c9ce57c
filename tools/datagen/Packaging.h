#pragma once
// The generator's use of the shared writers: BMP files, the record archive and baked font
// records. Kept in one place so the rest of the generator deals only in pictures and bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datagen/FontPlan.h"
#include "tools/datagen/Picture.h"

namespace vx::datagen {

struct ArchiveRecord {
  std::string key;
  uint16_t type = 0;
  std::string bytes;  // uncompressed content
};

// Record types of our archives (5 is fixed for font records; the others are ours).
constexpr uint16_t kRecordPicture = 1;
constexpr uint16_t kRecordText = 2;
constexpr uint16_t kRecordSound = 3;
constexpr uint16_t kRecordFont = 5;

// True when the shared writers are built into this generator.
bool HavePackaging();
// A BMP file: 24 bits when the picture is opaque, 32 bits with its alpha otherwise.
std::string EncodeBmp(const Picture& pic);
// A whole archive file, records in the given order, with fixed time stamps (so the same
// records give the same bytes).
std::string PackArchive(const std::vector<ArchiveRecord>& records);
// One baked font record (type 5) under the font's record key.
ArchiveRecord BakeFont(const EngineFont& font);

}  // namespace vx::datagen
