#include "render/StreamEx.h"

#include <cstring>

uint32_t StreamReadU32(TStream& stream) {
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  return GetU32LE(b);
}

int32_t StreamReadI32(TStream& stream) { return static_cast<int32_t>(StreamReadU32(stream)); }

uint8_t StreamReadU8(TStream& stream) {
  uint8_t b;
  stream.ReadBuffer(&b, 1);
  return b;
}

uint16_t StreamReadU16(TStream& stream) {
  uint8_t b[2];
  stream.ReadBuffer(b, 2);
  return GetU16LE(b);
}

double StreamReadF64(TStream& stream) {
  uint8_t b[8];
  stream.ReadBuffer(b, 8);
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string StreamReadString(TStream& stream, uint32_t maxLength) {
  uint32_t len = StreamReadU32(stream);
  if (len > maxLength || static_cast<int64_t>(len) > stream.Remaining()) {
    throw EReadError("Stream read error: string length " + std::to_string(len) + " out of range");
  }
  std::string s(len, '\0');
  stream.ReadBuffer(s.data(), len);
  return s;
}
