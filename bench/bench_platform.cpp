// Platform hot paths against plain system calls doing the same job, in the same run:
// path resolution (against stat/realpath), whole-file reads (against std::ifstream), atomic
// saves (against an in-place write with fsync) and one idle pass of the message pump
// (against calling the idle handler directly). Prints each ratio at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/Files.h"
#include "platform/MessagePump.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

struct Tree {
  std::string root;
  std::string exact;  // an existing file, exact case
  std::string folded;  // the same file, wrong case in every component
  std::string big;     // 1 MiB file
  Tree() {
    root = (fs::temp_directory_path() / ("vx_bench_platform_" + std::to_string(::getpid()))).string();
    fs::create_directories(root + "/data/pak/common");
    for (int i = 0; i < 40; ++i) vx::WriteFileAtomic(root + "/data/pak/common/file" + std::to_string(i) + ".bmp", "x");
    exact = root + "/data/pak/common/file7.bmp";
    folded = root + "\\DATA\\Pak\\COMMON\\FILE7.BMP";
    big = root + "/big.bin";
    vx::WriteFileAtomic(big, std::string(1 << 20, 'b'));
  }
  ~Tree() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

Tree& T() {
  static Tree tree;
  return tree;
}

void BM_ResolveExact(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(vx::FileExists(T().exact));
}
void BM_RefStat(benchmark::State& s) {
  struct stat st;
  for (auto _ : s) benchmark::DoNotOptimize(::stat(T().exact.c_str(), &st));
}
void BM_ResolveFolded(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(vx::FileExists(T().folded));
}
void BM_RefRealpath(benchmark::State& s) {
  char buf[PATH_MAX];
  for (auto _ : s) benchmark::DoNotOptimize(::realpath(T().exact.c_str(), buf));
}
void BM_ReadWholeFile(benchmark::State& s) {
  std::string out;
  for (auto _ : s) {
    vx::ReadWholeFile(T().big, out);
    benchmark::DoNotOptimize(out.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * (1 << 20));
}
void BM_RefIfstream(benchmark::State& s) {
  for (auto _ : s) {
    std::ifstream f(T().big, std::ios::binary | std::ios::ate);
    std::string out(static_cast<size_t>(f.tellg()), '\0');
    f.seekg(0);
    f.read(out.data(), static_cast<std::streamsize>(out.size()));
    benchmark::DoNotOptimize(out.data());
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * (1 << 20));
}
const std::string kSave(64 * 1024, 's');
void BM_WriteAtomic(benchmark::State& s) {
  const std::string file = T().root + "/save.xml";
  for (auto _ : s) benchmark::DoNotOptimize(vx::WriteFileAtomic(file, kSave));
}
void BM_RefWriteInPlace(benchmark::State& s) {
  const std::string file = T().root + "/inplace.xml";
  for (auto _ : s) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, kSave.data(), kSave.size()));
    ::fsync(fd);
    ::close(fd);
  }
}

class EmptySource : public vx::IEventSource {
public:
  bool Poll(vx::PlatformEvent&) override { return false; }
  bool Wait(vx::PlatformEvent&, uint32_t) override { return false; }
};

void BM_PumpIdlePass(benchmark::State& s) {
  vx::MessagePump pump;
  EmptySource src;
  pump.SetEventSource(&src);
  uint64_t frames = 0;
  pump.OnIdle = [&](bool& done) {
    ++frames;
    done = false;
  };
  pump.SetTimer(1000000, [] {});  // one pending timer, as the program has
  for (auto _ : s) pump.PumpOne();
  benchmark::DoNotOptimize(frames);
}
void BM_RefIdleCall(benchmark::State& s) {
  uint64_t frames = 0;
  std::function<void(bool&)> idle = [&](bool& done) {
    ++frames;
    done = false;
  };
  for (auto _ : s) {
    bool done = true;
    idle(done);
    benchmark::DoNotOptimize(done);
  }
  benchmark::DoNotOptimize(frames);
}

BENCHMARK(BM_ResolveExact);
BENCHMARK(BM_RefStat);
BENCHMARK(BM_ResolveFolded);
BENCHMARK(BM_RefRealpath);
BENCHMARK(BM_ReadWholeFile);
BENCHMARK(BM_RefIfstream);
BENCHMARK(BM_WriteAtomic)->UseRealTime();  // the disk's wait is the cost
BENCHMARK(BM_RefWriteInPlace)->UseRealTime();
BENCHMARK(BM_PumpIdlePass);
BENCHMARK(BM_RefIdleCall);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  const std::pair<const char*, const char*> pairs[] = {
      {"BM_ResolveExact", "BM_RefStat"},       {"BM_ResolveFolded", "BM_RefRealpath"},
      {"BM_ReadWholeFile", "BM_RefIfstream"},  {"BM_WriteAtomic/real_time", "BM_RefWriteInPlace/real_time"},
      {"BM_PumpIdlePass", "BM_RefIdleCall"},
  };
  std::printf("\nratio (ours / reference, time per operation; below 1 is faster):\n");
  for (auto [ours, ref] : pairs) {
    auto a = reporter.times.find(ours), b = reporter.times.find(ref);
    if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0) continue;
    std::printf("  %-18s / %-20s = %.3g (%s)\n", ours, ref, a->second / b->second, reporter.Note({ours, ref}).c_str());
  }
  T();  // the tree is removed at exit
  return 0;
}
