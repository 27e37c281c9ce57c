// Fireworks of 2,000 trails: one frame's integration (two advances) and one whole frame
// (integration, then every trail drawn through the line control on the recording device),
// each against a bare loop over the same points that does the same arithmetic and, for the
// frame, issues the same device line calls straight. Prints the ratios and the frame time
// against the 16.7 ms budget.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/Random.h"
#include "framework/VXContext.h"
#include "framework/VXHost.h"
#include "framework/VXParticles.h"
#include "support/RecordingDevice.h"

#include "bench/BenchRatio.h"

namespace {

class Host : public TVXHostBase {
public:
  vxtest::RecordingDevice Recorder;
  TGfxDevice* Device() override { return &Recorder; }
};

struct Fireworks {
  Fireworks() {
    vx::Rng().Seed(42);
    context.Host = &host;
    ps = std::make_unique<TVXParticleSystem>(nullptr);
    ps->SetContext(&context);
    ps->SetBounds(400, 400, 1, 1);
    ps->SetEffectType(pkFireworks);
    start = ps->Particles();
  }
  Host host;
  TVXContext context;
  std::unique_ptr<TVXParticleSystem> ps;
  std::vector<TVXParticle> start;  // the burst as spawned, for the bare loop
};

// The bare loop's move: the same integration without the control.
void BareAdvance(std::vector<TVXParticle>& cloud, double s) {
  for (TVXParticle& p : cloud) {
    p.Age += static_cast<uint32_t>(s);
    p.PrevPosition = p.Position;
    p.Position.x += p.Velocity.x * s;
    p.Position.y += p.Velocity.y * s;
    p.Position.z += p.Velocity.z * s;
    p.Velocity.x += p.Acceleration.x;
    p.Velocity.y += p.Acceleration.y;
    p.Velocity.z += p.Acceleration.z;
  }
}

// Both restart the burst every 200 frames, so they walk the same points.
void BareFrame(std::vector<TVXParticle>& cloud, const std::vector<TVXParticle>& start, int& frame) {
  if (frame++ == 200) {
    cloud = start;
    frame = 1;
  }
  BareAdvance(cloud, 150);
  BareAdvance(cloud, 150);
}

void BM_FireworksAdvance(benchmark::State& state) {
  Fireworks f;
  for (auto _ : state) {
    f.ps->Advance(150);
    f.ps->Advance(150);
    benchmark::DoNotOptimize(f.ps->Particles().data());
  }
}

void BM_BareAdvance(benchmark::State& state) {
  Fireworks f;
  std::vector<TVXParticle> cloud = f.start;
  int frame = 1;
  for (auto _ : state) {
    BareFrame(cloud, f.start, frame);
    benchmark::DoNotOptimize(cloud.data());
  }
}

void BM_FireworksFrame(benchmark::State& state) {
  Fireworks f;
  double lines = 0;
  for (auto _ : state) {
    f.host.Recorder.ClearCalls();
    f.ps->Process();
    lines += static_cast<double>(f.host.Recorder.Calls.size());
  }
  state.counters["lines"] = benchmark::Counter(lines, benchmark::Counter::kAvgIterations);
}

void BM_BareFrame(benchmark::State& state) {
  Fireworks f;
  std::vector<TVXParticle> cloud = f.start;
  int frame = 1;
  TGfxDevice& device = f.host.Recorder;
  double lines = 0;
  for (auto _ : state) {
    f.host.Recorder.ClearCalls();
    BareFrame(cloud, f.start, frame);
    for (const TVXParticle& p : cloud) {
      const double x1 = 400 + p.PrevPosition.x, y1 = 400 - p.PrevPosition.y, x2 = 400 + p.Position.x, y2 = 400 - p.Position.y;
      if (x1 < 0 || x1 > 799 || x2 < 0 || x2 > 799 || y1 < 0 || y1 > 599 || y2 < 0 || y2 > 599) continue;
      device.Line(TGfxPoint{static_cast<int32_t>(std::ceil(x1)), static_cast<int32_t>(std::ceil(y1))},
                  TGfxPoint{static_cast<int32_t>(std::ceil(x2)), static_cast<int32_t>(std::ceil(y2))}, 0xFFF0C020u,
                  0xFFF0C020u, 0);
    }
    lines += static_cast<double>(f.host.Recorder.Calls.size());
  }
  state.counters["lines"] = benchmark::Counter(lines, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_FireworksAdvance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareAdvance)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FireworksFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  std::printf("\nfireworks of 2,000 trails, one frame (ratio = ours / bare loop over the same points):\n");
  reporter.Ratio("integration (two advances)", "BM_FireworksAdvance", "BM_BareAdvance");
  reporter.Ratio("integration and drawing on the recording device", "BM_FireworksFrame", "BM_BareFrame");
  if (const double t = reporter.Time("BM_FireworksFrame"); t > 0)
    std::printf("  one frame uses %.2f%% of the 16.7 ms budget (%s)\n", t / 16.7e6 * 100.0,
                reporter.Note({"BM_FireworksFrame"}).c_str());
  return 0;
}
