#pragma once
// A tiny GIF writer for tests: logical screen, tables, graphic control and NETSCAPE blocks,
// and an LZW encoder that can be told to behave in the ways real encoders differ: clear at a
// full table or keep coding at 12 bits, runs of clear codes, interlaced row order, odd
// sub-block sizes.
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace giftest {

using Bytes = std::vector<uint8_t>;

enum class FullTable { Clear, KeepCoding };

struct LzwOptions {
  int minCodeSize = 8;
  FullTable full = FullTable::Clear;
  int clearEvery = 0;      // > 0: a run of clear codes after every so many codes
  int clearRun = 1;        // clear codes in each run (also at the start)
  bool emitEnd = true;
};

class BitWriter {
public:
  void Put(uint32_t code, int size) {
    acc_ |= static_cast<uint64_t>(code) << bits_;
    bits_ += size;
    while (bits_ >= 8) {
      out.push_back(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  Bytes Finish() {
    if (bits_ > 0) out.push_back(static_cast<uint8_t>(acc_));
    bits_ = 0;
    return out;
  }
  Bytes out;

private:
  uint64_t acc_ = 0;
  int bits_ = 0;
};

// Codes the indexes (already in the order they are sent). The code size grows when the
// next code to assign passes the current size's range, as decoders expect.
inline Bytes LzwEncode(const Bytes& pixels, const LzwOptions& o) {
  BitWriter w;
  const int clear = 1 << o.minCodeSize, end = clear + 1;
  int size = o.minCodeSize + 1, next = end + 1, sinceClear = 0;
  std::map<std::pair<int, int>, int> dict;
  auto emitClear = [&]() {
    // The first clear goes at the current size; the decoder reads the rest at the first.
    for (int i = 0; i < o.clearRun; ++i) {
      w.Put(static_cast<uint32_t>(clear), size);
      size = o.minCodeSize + 1;
    }
    dict.clear();
    next = end + 1;
    sinceClear = 0;
  };
  auto emit = [&](int code) {
    w.Put(static_cast<uint32_t>(code), size);
    ++sinceClear;
  };
  emitClear();
  if (pixels.empty()) {
    if (o.emitEnd) w.Put(static_cast<uint32_t>(end), size);
    return w.Finish();
  }
  int cur = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    const int k = pixels[i];
    auto it = dict.find({cur, k});
    if (it != dict.end()) {
      cur = it->second;
      continue;
    }
    emit(cur);
    if (next < 4096) {
      dict[{cur, k}] = next++;
      if (next > (1 << size) && size < 12) ++size;
    } else if (o.full == FullTable::Clear) {
      emitClear();
    }
    if (o.clearEvery > 0 && sinceClear >= o.clearEvery) emitClear();
    cur = k;
  }
  emit(cur);
  if (o.emitEnd) w.Put(static_cast<uint32_t>(end), size);
  return w.Finish();
}

// Rows in the order an interlaced image sends them.
inline Bytes InterlaceRows(const Bytes& pixels, int width, int height) {
  Bytes out;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int p = 0; p < 4; ++p) {
    for (int y = start[p]; y < height; y += step[p]) {
      out.insert(out.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y) * width,
                 pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    }
  }
  return out;
}

struct Frame {
  int left = 0, top = 0, width = 1, height = 1;
  Bytes pixels;             // width x height indexes, rows top-down
  std::vector<uint32_t> localTable;  // 0x00RRGGBB; empty: the global one
  bool interlaced = false;
  bool control = false;     // write a graphic control block
  int disposal = 0, delay = 0, transparent = -1;
  LzwOptions lzw;
  int maxSubBlock = 255;
};

class GifWriter {
public:
  GifWriter(int width, int height, std::vector<uint32_t> globalTable = {}, const char* signature = "GIF89a") {
    out.insert(out.end(), signature, signature + 6);
    Le16(width);
    Le16(height);
    out.push_back(static_cast<uint8_t>(globalTable.empty() ? 0 : 0x80 | 0x70 | SizeBits(globalTable.size())));
    out.push_back(0);
    out.push_back(0);
    Table(globalTable);
  }
  GifWriter& Loop(int count) {
    out.insert(out.end(), {0x21, 0xFF, 11});
    const char* id = "NETSCAPE2.0";
    out.insert(out.end(), id, id + 11);
    out.insert(out.end(), {3, 1, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8), 0});
    return *this;
  }
  GifWriter& Add(const Frame& f, std::mt19937* rng = nullptr) {
    if (f.control) {
      out.insert(out.end(), {0x21, 0xF9, 4});
      out.push_back(static_cast<uint8_t>((f.disposal & 7) << 2 | (f.transparent >= 0 ? 1 : 0)));
      Le16(f.delay);
      out.push_back(static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
      out.push_back(0);
    }
    out.push_back(0x2C);
    Le16(f.left);
    Le16(f.top);
    Le16(f.width);
    Le16(f.height);
    out.push_back(static_cast<uint8_t>((f.localTable.empty() ? 0 : 0x80 | SizeBits(f.localTable.size())) |
                                       (f.interlaced ? 0x40 : 0)));
    Table(f.localTable);
    out.push_back(static_cast<uint8_t>(f.lzw.minCodeSize));
    const Bytes order = f.interlaced ? InterlaceRows(f.pixels, f.width, f.height) : f.pixels;
    SubBlocks(LzwEncode(order, f.lzw), f.maxSubBlock, rng);
    return *this;
  }
  // The image data as given (for damaged or hand-made streams).
  GifWriter& RawImage(int width, int height, int minCodeSize, const Bytes& data) {
    out.push_back(0x2C);
    Le16(0);
    Le16(0);
    Le16(width);
    Le16(height);
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(minCodeSize));
    SubBlocks(data, 255);
    return *this;
  }
  Bytes Finish() {
    out.push_back(0x3B);
    return out;
  }
  Bytes out;

private:
  static int SizeBits(size_t entries) {
    int bits = 0;
    while ((2u << bits) < entries) ++bits;
    return bits;
  }
  void Le16(int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Table(const std::vector<uint32_t>& t) {
    if (t.empty()) return;
    const size_t n = 2u << SizeBits(t.size());
    for (size_t i = 0; i < n; ++i) {
      const uint32_t c = i < t.size() ? t[i] : 0;
      out.insert(out.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
  }
  void SubBlocks(const Bytes& data, int maxSize, std::mt19937* rng = nullptr) {
    size_t at = 0;
    while (at < data.size()) {
      const size_t n = std::min<size_t>(data.size() - at, rng ? 1 + (*rng)() % static_cast<unsigned>(maxSize)
                                                              : static_cast<size_t>(maxSize));
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                 data.begin() + static_cast<std::ptrdiff_t>(at + n));
      at += n;
    }
    out.push_back(0);
  }
};

}  // namespace giftest
