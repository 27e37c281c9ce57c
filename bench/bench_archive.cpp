// Reading every record of a 2,000-record archive against the least any reader must do: one
// sequential read of the file and zlib's uncompress of every record. CRC-32 against zlib's
// crc32. Prints the ratios.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "render/DataStreams.h"
#include "render/RecDb.h"
#include "tools/common/ArchiveWriter.h"

#include "bench/BenchRatio.h"

namespace {

constexpr int kRecords = 2000;

struct Fixture {
  std::string path;
  std::vector<std::string> keys;
  std::vector<uint32_t> offsets, packed, sizes;
  uint64_t bytesOut = 0;
  Fixture() {
    path = (std::filesystem::temp_directory_path() / "vx_bench_archive.vxr").string();
    std::vector<vxtools::TArchiveItem> items;
    uint32_t seed = 7;
    for (int i = 0; i < kRecords; ++i) {
      // Picture-like records of 2 to 14 KB: smooth gradients with a little noise.
      vxtools::TArchiveItem item;
      item.Key = "Pak\\Folder" + std::to_string(i % 20) + "\\Picture" + std::to_string(i) + ".bmp";
      const size_t n = 2048 + static_cast<size_t>(i % 7) * 2048;
      item.Data.resize(n);
      for (size_t k = 0; k < n; ++k) {
        seed = seed * 1103515245u + 12345u;
        item.Data[k] = static_cast<uint8_t>((k / 4) + ((seed >> 16) & 3));
      }
      bytesOut += n;
      keys.push_back(item.Key);
      items.push_back(std::move(item));
    }
    vxtools::TArchiveLayout layout;
    auto bytes = vxtools::BuildArchive(items, 9, &layout);
    offsets = layout.RecordOffsets;
    packed = layout.PackedSizes;
    for (const auto& item : items) sizes.push_back(static_cast<uint32_t>(item.Data.size()));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  ~Fixture() { std::filesystem::remove(path); }
};

Fixture& F() {
  static Fixture f;
  return f;
}

void BM_ArchiveReadAll(benchmark::State& s) {
  Fixture& f = F();
  TRecDb db;
  db.SetFileName(f.path);
  db.SetOpenMode(opReadOnly);
  if (db.Open() != 0) s.SkipWithError("open failed");
  std::vector<uint8_t> buffer;
  uint32_t size;
  for (auto _ : s) {
    for (const std::string& key : f.keys) {
      if (db.ReadRecord(key, buffer, size) != 0) s.SkipWithError("read failed");
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * f.bytesOut));
}

void BM_FileReadAndZlibUncompress(benchmark::State& s) {
  Fixture& f = F();
  std::vector<uint8_t> file(std::filesystem::file_size(f.path));
  std::vector<uint8_t> out(16384);
  for (auto _ : s) {
    std::FILE* in = std::fopen(f.path.c_str(), "rb");
    if (std::fread(file.data(), 1, file.size(), in) != file.size()) s.SkipWithError("read failed");
    std::fclose(in);
    for (size_t i = 0; i < f.keys.size(); ++i) {
      uLongf n = static_cast<uLongf>(out.size());
      if (uncompress(out.data(), &n, file.data() + f.offsets[i] + 22, f.packed[i]) != Z_OK || n != f.sizes[i]) {
        s.SkipWithError("uncompress failed");
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * f.bytesOut));
}

const std::vector<uint8_t>& CrcData() {
  static std::vector<uint8_t> d = [] {
    std::vector<uint8_t> v(16 << 20);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    return v;
  }();
  return d;
}

void BM_Crc32(benchmark::State& s) {
  const auto& d = CrcData();
  for (auto _ : s) benchmark::DoNotOptimize(Crc32(d.data(), static_cast<int64_t>(d.size())));
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * d.size()));
}

void BM_ZlibCrc32(benchmark::State& s) {
  const auto& d = CrcData();
  for (auto _ : s) benchmark::DoNotOptimize(crc32(0, d.data(), static_cast<uInt>(d.size())));
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * d.size()));
}

BENCHMARK(BM_ArchiveReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileReadAndZlibUncompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  auto& m = reporter.times;
  const double read = m["BM_ArchiveReadAll"], ref = m["BM_FileReadAndZlibUncompress"];
  const double crc = m["BM_Crc32"], zcrc = m["BM_ZlibCrc32"];
  std::printf("\nratios (ours / reference; below 1 is faster):\n");
  if (read > 0 && ref > 0) {
    std::printf("  read all %d records: %.2f ms vs one file read + zlib uncompress %.2f ms, ratio %.2f (%s)\n", kRecords,
                read, ref, read / ref, reporter.Note({"BM_ArchiveReadAll", "BM_FileReadAndZlibUncompress"}).c_str());
  }
  if (crc > 0 && zcrc > 0)
    std::printf("  CRC-32 of 16 MB: %.2f ms vs zlib crc32 %.2f ms, ratio %.2f (%s)\n", crc, zcrc, crc / zcrc,
                reporter.Note({"BM_Crc32", "BM_ZlibCrc32"}).c_str());
  return 0;
}
