#include "tools/common/ArchiveWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/Files.h"
#include "render/DataStreams.h"

namespace vxtools {

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void SetU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Offset(size_t v) {
  if (v > 0xFFFFFFFFu) throw std::length_error("archive larger than 4 GiB");
  return static_cast<uint32_t>(v);
}

// A zlib stream of stored blocks: level 0 without setting up a deflate state each time.
std::vector<uint8_t> StoreStream(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out{0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(data.size() - pos, 65535);
    const bool last = pos + n == data.size();
    out.push_back(last ? 1 : 0);
    PutU16(out, static_cast<uint16_t>(n));
    PutU16(out, static_cast<uint16_t>(~n));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
               data.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < data.size());
  const uint32_t check = static_cast<uint32_t>(adler32(1, data.data(), static_cast<uInt>(data.size())));
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(check >> (8 * i)));
  return out;
}

}  // namespace

std::vector<uint8_t> BuildArchive(const std::vector<TArchiveItem>& items, int level, TArchiveLayout* layout) {
  std::vector<uint8_t> out(32, 0);
  std::memcpy(out.data(), "rcdm", 4);
  std::vector<uint32_t> offsets;
  if (layout) *layout = TArchiveLayout{};
  for (const TArchiveItem& item : items) {
    std::vector<uint8_t> packed;
    uLongf packedSize;
    if (level == 0) {
      packed = StoreStream(item.Data);
      packedSize = packed.size();
    } else {
      packedSize = compressBound(static_cast<uLong>(item.Data.size()));
      packed.resize(packedSize);
      if (compress2(packed.data(), &packedSize, item.Data.data(), static_cast<uLong>(item.Data.size()), level) !=
          Z_OK) {
        throw std::runtime_error("zlib could not compress record " + item.Key);
      }
    }
    const uint32_t at = Offset(out.size());
    offsets.push_back(at);
    PutU16(out, item.Type);
    PutU32(out, Offset(item.Data.size()));
    PutU32(out, Offset(packedSize));
    PutU32(out, Crc32(item.Data.data(), static_cast<int64_t>(item.Data.size())));
    uint8_t stamp[8];
    std::memcpy(stamp, &item.Stamp, 8);
    out.insert(out.end(), stamp, stamp + 8);
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    if (layout) {
      layout->RecordOffsets.push_back(at);
      layout->PackedSizes.push_back(static_cast<uint32_t>(packedSize));
    }
  }
  const uint32_t table = Offset(out.size());
  for (size_t i = 0; i < items.size(); ++i) {
    PutU32(out, Offset(items[i].Key.size()));
    out.insert(out.end(), items[i].Key.begin(), items[i].Key.end());
    PutU32(out, offsets[i]);
  }
  SetU32(out, 4, Offset(items.size()));
  SetU32(out, 8, table);
  if (layout) layout->TableOffset = table;
  return out;
}

bool WriteArchiveFile(const std::string& path, const std::vector<TArchiveItem>& items, std::string* error,
                      int level) {
  std::vector<uint8_t> bytes;
  try {
    bytes = BuildArchive(items, level);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return vx::WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                             error);
}

std::string ArchiveKeyForPath(const std::string& base, const std::string& file) {
  std::string rel = base.empty() ? file : std::filesystem::path(file).lexically_relative(base).generic_string();
  if (rel.empty() || rel.rfind("..", 0) == 0) rel = std::filesystem::path(file).filename().string();
  std::replace(rel.begin(), rel.end(), '/', '\\');
  return rel;
}

}  // namespace vxtools
