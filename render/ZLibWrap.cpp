#include "render/ZLibWrap.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

// inflateEnd on every path out.
struct Inflater {
  z_stream z{};
  bool live = false;
  Inflater() { live = inflateInit(&z) == Z_OK; }
  ~Inflater() {
    if (live) inflateEnd(&z);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
};

std::string ZText(int code) {
  const char* t = zError(code);
  return t ? t : "zlib error";
}

}  // namespace

namespace vx {

int64_t InflateInto(const void* input, size_t inputSize, void* output, size_t capacity) {
  if (inputSize > std::numeric_limits<uInt>::max() || capacity > std::numeric_limits<uInt>::max()) return -1;
  Inflater inf;
  if (!inf.live) return -1;
  unsigned char dummy = 0;  // zlib refuses a null output even when no room is wanted
  inf.z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
  inf.z.avail_in = static_cast<uInt>(inputSize);
  inf.z.next_out = capacity ? static_cast<Bytef*>(output) : &dummy;
  inf.z.avail_out = static_cast<uInt>(capacity);
  for (;;) {
    int rc = inflate(&inf.z, Z_FINISH);
    if (rc == Z_STREAM_END) return static_cast<int64_t>(inf.z.total_out);
    // Z_OK without progress, or Z_BUF_ERROR: the input ended early or the output is full
    // with more to come. Everything else is a failure of its own.
    if (rc != Z_OK || inf.z.avail_out == 0 || inf.z.avail_in == 0) return -1;
  }
}

}  // namespace vx

std::vector<uint8_t> DecompressBuffer(const void* input, size_t inputSize, size_t estimate,
                                      size_t maxOutput) {
  maxOutput = std::min(maxOutput, vx::MaxInflatedSize);
  if (inputSize > std::numeric_limits<uInt>::max()) throw EZDecompressionError(ZText(Z_BUF_ERROR));
  size_t cap = estimate ? estimate : ((inputSize + 255) / 256) * 256;
  cap = std::clamp<size_t>(cap, 256, std::max<size_t>(maxOutput, 1));
  std::vector<uint8_t> out(cap);
  Inflater inf;
  if (!inf.live) throw EZDecompressionError(ZText(Z_MEM_ERROR));
  inf.z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
  inf.z.avail_in = static_cast<uInt>(inputSize);
  for (;;) {
    size_t produced = inf.z.total_out;
    inf.z.next_out = out.data() + produced;
    inf.z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, std::numeric_limits<uInt>::max()));
    int rc = inflate(&inf.z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) break;
    if (rc == Z_NEED_DICT) throw EZDecompressionError(ZText(Z_DATA_ERROR));
    if (rc < 0 && rc != Z_BUF_ERROR) throw EZDecompressionError(ZText(rc));
    if (inf.z.avail_out == 0) {
      // Room ran out: grow geometrically so the total copying stays linear.
      if (out.size() >= maxOutput) throw EZDecompressionError(ZText(Z_BUF_ERROR));
      out.resize(std::min(out.size() * 2, maxOutput));
    } else if (inf.z.avail_in == 0) {
      throw EZDecompressionError(ZText(Z_BUF_ERROR));  // the stream ends before its end marker
    }
  }
  out.resize(inf.z.total_out);
  return out;
}
