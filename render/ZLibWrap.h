#pragma once
// The zlib wrapper: whole-buffer inflation with zlib's own error texts.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Exception.h"

class EZLibError : public Exception {
public:
  using Exception::Exception;
};
class EZDecompressionError : public EZLibError {
public:
  using EZLibError::EZLibError;
};

namespace vx {

// Largest output any inflation here may produce, whatever the caller asks.
constexpr size_t MaxInflatedSize = size_t{256} << 20;

// Inflates one zlib stream (RFC 1950) into exactly the given space. Returns the bytes
// produced when the stream ends within the space, -1 when zlib fails, the stream asks for a
// dictionary, ends early, or would produce more than `capacity` bytes. Never writes past it.
int64_t InflateInto(const void* input, size_t inputSize, void* output, size_t capacity);

}  // namespace vx

// Inflates one zlib stream into a new buffer. The output starts at `estimate` bytes (or the
// input size rounded up to 256) and doubles while inflation goes on, up to maxOutput
// (MaxInflatedSize at most). A zlib failure, a dictionary request, a stream that ends early
// or one that would pass maxOutput raises EZDecompressionError with zlib's text.
std::vector<uint8_t> DecompressBuffer(const void* input, size_t inputSize, size_t estimate = 0,
                                      size_t maxOutput = vx::MaxInflatedSize);
