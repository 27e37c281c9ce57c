// The per-channel gain stage runs on the audio thread for every sounding effect. Reference:
// SDL's own volume mix of the same buffer (SDL_MixAudioFormat into silence), in this run.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/audio/AudioMix.h"

#include "bench/BenchRatio.h"

namespace {

constexpr size_t kFrames = 4096;

std::vector<int16_t> Source() {
  std::vector<int16_t> s(kFrames * 2);
  uint32_t x = 12345;
  for (auto& v : s) {
    x = x * 1664525u + 1013904223u;
    v = int16_t(x >> 16);
  }
  return s;
}

double g_ours = 0, g_reference = 0;

void BM_GainStage(benchmark::State& state) {
  const auto src = Source();
  std::vector<int16_t> buf(src.size());
  for (auto _ : state) {
    std::memcpy(buf.data(), src.data(), src.size() * 2);
    vx::audio::ApplyGainS16Stereo(buf.data(), kFrames, 0.316f, 0.2f, false);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.size() * 2));
}

void BM_SdlMixVolume(benchmark::State& state) {
  const auto src = Source();
  std::vector<int16_t> buf(src.size());
  for (auto _ : state) {
    std::memset(buf.data(), 0, buf.size() * 2);
    SDL_MixAudioFormat(reinterpret_cast<Uint8*>(buf.data()), reinterpret_cast<const Uint8*>(src.data()),
                       AUDIO_S16SYS, Uint32(src.size() * 2), 40);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.size() * 2));
}

}  // namespace

BENCHMARK(BM_GainStage);
BENCHMARK(BM_SdlMixVolume);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  g_ours = reporter.Time("BM_GainStage");
  g_reference = reporter.Time("BM_SdlMixVolume");
  if (g_ours > 0 && g_reference > 0) {
    std::printf("gain stage / SDL_MixAudioFormat time ratio: %.2f (below 1 is faster; %s)\n", g_ours / g_reference,
                reporter.Note({"BM_GainStage", "BM_SdlMixVolume"}).c_str());
    std::printf("one 4096-frame buffer (%.1f ms of audio) takes %.2f us\n", kFrames * 1000.0 / 44100, g_ours / 1000);
  }
  benchmark::Shutdown();
  return 0;
}
