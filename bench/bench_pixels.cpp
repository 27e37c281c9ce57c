// The line converters of every pixel format, narrowing from and widening to the working
// colour, in MB/s of 32-bit pixels against memcpy of the same rows; the table-driven reference
// shows what the per-format loops gain. Prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "render/GfxFormats.h"

#include "bench/BenchRatio.h"

namespace {

constexpr int32_t kWidth = 1024, kRows = 256;  // 1 MB of 32-bit pixels

const std::vector<uint32_t>& Source() {
  static std::vector<uint32_t> v = [] {
    std::vector<uint32_t> p(static_cast<size_t>(kWidth) * kRows);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint32_t>(i * 2654435761u);
    return p;
  }();
  return v;
}

void BM_Narrow(benchmark::State& s) {
  const TColorFormat f = static_cast<TColorFormat>(s.range(0));
  const auto& src = Source();
  std::vector<uint8_t> dst(src.size() * 4);
  const TLineConverter convert = GetLineConverter(f);
  const size_t row = static_cast<size_t>(kWidth) * ColorFormatBytes[f];
  for (auto _ : s) {
    for (int32_t y = 0; y < kRows; ++y) convert(src.data() + static_cast<size_t>(y) * kWidth, dst.data() + y * row, kWidth);
    benchmark::DoNotOptimize(dst.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kWidth * kRows * 4);
}

void BM_NarrowGeneric(benchmark::State& s) {
  const TColorFormat f = static_cast<TColorFormat>(s.range(0));
  const auto& src = Source();
  std::vector<uint8_t> dst(src.size() * 4);
  const size_t row = static_cast<size_t>(kWidth) * ColorFormatBytes[f];
  for (auto _ : s) {
    for (int32_t y = 0; y < kRows; ++y) {
      vx::ConvertLineGeneric(src.data() + static_cast<size_t>(y) * kWidth, dst.data() + y * row, kWidth, f);
    }
    benchmark::DoNotOptimize(dst.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kWidth * kRows * 4);
}

void BM_Widen(benchmark::State& s) {
  const TColorFormat f = static_cast<TColorFormat>(s.range(0));
  const auto& src = Source();  // any bytes are a valid picture in every format
  std::vector<uint32_t> dst(src.size());
  const size_t row = static_cast<size_t>(kWidth) * ColorFormatBytes[f];
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(src.data());
  for (auto _ : s) {
    for (int32_t y = 0; y < kRows; ++y) ConvertLineToARGB(bytes + y * row, dst.data() + static_cast<size_t>(y) * kWidth, kWidth, f);
    benchmark::DoNotOptimize(dst.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kWidth * kRows * 4);
}

void BM_MemcpyRows(benchmark::State& s) {
  const auto& src = Source();
  std::vector<uint32_t> dst(src.size());
  for (auto _ : s) {
    for (int32_t y = 0; y < kRows; ++y) {
      std::memcpy(dst.data() + static_cast<size_t>(y) * kWidth, src.data() + static_cast<size_t>(y) * kWidth, kWidth * 4);
    }
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * kWidth * kRows * 4);
}

void Formats(benchmark::internal::Benchmark* b) {
  for (int f = 0; f < ColorFormatCount; ++f) b->Arg(f);
  b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Narrow)->Apply(Formats);
BENCHMARK(BM_NarrowGeneric)->Apply(Formats);
BENCHMARK(BM_Widen)->Apply(Formats);
BENCHMARK(BM_MemcpyRows)->Unit(benchmark::kMicrosecond);

const char* const kNames[ColorFormatCount] = {"R3G3B2",   "R5G6B5",   "X8R8G8B8", "X1R5G5B5", "X4R4G4B4",
                                               "A8R8G8B8", "A1R5G5B5", "A4R4G4B4", "A8R3G3B2", "A2R2G2B2"};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMicroseconds);
  reporter.RunSteady();
  const double copy = reporter.times["BM_MemcpyRows"];
  if (copy <= 0) return 0;
  const double mb = kWidth * kRows * 4 / 1e6;
  std::printf("\nline converters on 1 MB of 32-bit pixels; memcpy %.0f MB/s (ratio = time / memcpy time):\n", mb / copy * 1e6);
  for (int f = 0; f < ColorFormatCount; ++f) {
    const std::string arg = "/" + std::to_string(f);
    const double n = reporter.times["BM_Narrow" + arg], g = reporter.times["BM_NarrowGeneric" + arg], w = reporter.times["BM_Widen" + arg];
    if (n <= 0 || g <= 0 || w <= 0) continue;
    std::printf("  %-9s narrow %6.0f MB/s (ratio %5.2f, table-driven %5.2f)  widen %6.0f MB/s (ratio %5.2f)  %s\n",
                kNames[f], mb / n * 1e6, n / copy, g / copy, mb / w * 1e6, w / copy,
                reporter.Note({"BM_Narrow" + arg, "BM_NarrowGeneric" + arg, "BM_Widen" + arg, "BM_MemcpyRows"}).c_str());
  }
  return 0;
}
