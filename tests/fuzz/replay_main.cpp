// Without libFuzzer, a fuzz target replays its seed corpus and a deterministic set of
// mutations of each seed, so the normal test run exercises it under the sanitizers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::vector<uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(p, ec)) {
      for (auto& e : std::filesystem::recursive_directory_iterator(p, ec)) {
        if (!e.is_regular_file()) continue;
        std::ifstream f(e.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
      }
    } else if (std::filesystem::is_regular_file(p, ec)) {
      std::ifstream f(p, std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
  }
  seeds.push_back({});
  uint64_t state = 0x243F6A8885A308D3ull;
  auto next = [&state]() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  size_t runs = 0;
  for (auto& seed : seeds) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    ++runs;
    for (int m = 0; m < 200 && !seed.empty(); ++m) {
      std::vector<uint8_t> d = seed;
      int flips = 1 + static_cast<int>(next() % 4);
      for (int k = 0; k < flips; ++k) d[next() % d.size()] = static_cast<uint8_t>(next());
      if (next() % 4 == 0) d.resize(next() % (d.size() + 1));
      LLVMFuzzerTestOneInput(d.data(), d.size());
      ++runs;
    }
  }
  std::printf("replayed %zu inputs\n", runs);
  return 0;
}
