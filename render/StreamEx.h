#pragma once
// Typed little-endian reads from a stream. Each raises EReadError when the stream ends
// before the value is complete, so a truncated file can never yield a half-read value.
#include <cstdint>
#include <string>

#include "render/Streams.h"

uint32_t StreamReadU32(TStream& stream);
int32_t StreamReadI32(TStream& stream);
uint8_t StreamReadU8(TStream& stream);
uint16_t StreamReadU16(TStream& stream);
double StreamReadF64(TStream& stream);
// A u32 length, then that many bytes. A length beyond maxLength or beyond what is left in
// the stream raises EReadError before anything is allocated.
std::string StreamReadString(TStream& stream, uint32_t maxLength = 1u << 20);

// Little-endian decoding of bytes already in memory.
inline uint16_t GetU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t GetU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline int32_t GetI32LE(const uint8_t* p) { return static_cast<int32_t>(GetU32LE(p)); }
