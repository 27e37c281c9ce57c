#pragma once
// CRC-32 and buffer inflation for the record archive.
#include <cstddef>
#include <cstdint>

// The standard reflected CRC-32 (polynomial 0xEDB88320, initial 0xFFFFFFFF, final
// complement). A count below 1 gives 0.
uint32_t Crc32(const void* buffer, int64_t count);
// Continues a CRC over more bytes (start from 0).
uint32_t Crc32Update(uint32_t crc, const void* buffer, size_t count);

// The number of bytes `input` inflates to, when that fits in `capacity`; 0 when zlib fails
// or the stream would produce more (nothing is ever written past `capacity`).
int64_t DecompressToBuffer(const void* input, int64_t inputSize, void* output, int64_t capacity);
