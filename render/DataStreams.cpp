#include "render/DataStreams.h"

#include <array>

#include "render/ZLibWrap.h"

namespace {

// Sixteen tables for slicing-by-16: table 0 is the standard byte table, table k advances a
// byte that lies k positions further back.
using CrcTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr CrcTables MakeTables() {
  CrcTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (int k = 1; k < 16; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
  return t;
}

constexpr CrcTables kCrc = MakeTables();

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* buffer, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  uint32_t c = ~crc;
  while (count >= 16) {
    const uint32_t lo = c ^ (static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                             static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
    c = kCrc[15][lo & 0xFF] ^ kCrc[14][(lo >> 8) & 0xFF] ^ kCrc[13][(lo >> 16) & 0xFF] ^ kCrc[12][lo >> 24] ^
        kCrc[11][p[4]] ^ kCrc[10][p[5]] ^ kCrc[9][p[6]] ^ kCrc[8][p[7]] ^ kCrc[7][p[8]] ^ kCrc[6][p[9]] ^
        kCrc[5][p[10]] ^ kCrc[4][p[11]] ^ kCrc[3][p[12]] ^ kCrc[2][p[13]] ^ kCrc[1][p[14]] ^ kCrc[0][p[15]];
    p += 16;
    count -= 16;
  }
  while (count--) c = kCrc[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return ~c;
}

uint32_t Crc32(const void* buffer, int64_t count) {
  if (count < 1) return 0;
  return Crc32Update(0, buffer, static_cast<size_t>(count));
}

int64_t DecompressToBuffer(const void* input, int64_t inputSize, void* output, int64_t capacity) {
  if (inputSize < 0 || capacity < 0) return 0;
  int64_t n = vx::InflateInto(input, static_cast<size_t>(inputSize), output, static_cast<size_t>(capacity));
  return n < 0 ? 0 : n;
}
