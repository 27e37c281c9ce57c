// The control tree's hot paths on the recording device: one frame's Process of a 300-control
// screen, and the hit test and routing of one mouse move, each against a flat pass that
// issues the same device calls (or the same rectangle tests) over the same nodes without the
// tree. Prints the ratios and the frame time against the 16.7 ms budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXContext.h"
#include "framework/VXControl.h"
#include "framework/VXHost.h"
#include "framework/VXTextures.h"
#include "render/GfxImg.h"
#include "support/RecordingDevice.h"

#include "bench/BenchRatio.h"

namespace {

class Host : public TVXHostBase {
public:
  vxtest::RecordingDevice Recorder;
  TVXTextureList* List = nullptr;
  TGfxDevice* Device() override { return &Recorder; }
  TVXTextureList* Textures() override { return List; }
};

// Every picture is a 64x32 single-tile texture.
class Source : public TVXTextureSource {
public:
  std::unique_ptr<TGfxImage> CreateTextureImage() override { return std::make_unique<vxtest::MemoryImage>(); }
  int32_t LoadTexture(TVXGfxTexture* t, const std::string&) override {
    t->PictureWidth = 64;
    t->PictureHeight = 32;
    t->Image()->SetTextureSize(TGfxSize{256, 256});
    t->Image()->SetPatternSize(TGfxSize{64, 32});
    return 0;
  }
  int32_t LoadTextureFromBitmap(TVXGfxTexture*, const TBitmapEx&, const std::string&) override { return 1; }
};

class Root : public TVXControl {
public:
  using TVXControl::TVXControl;
  bool IsEnabled() override { return Visible(); }
};

// A screen: a non-drawing root, 12 bordered panels in a grid, 24 children each (images,
// colour rectangles and a few hover-effect buttons): 1 + 12 + 288 = 301 controls.
struct Screen {
  Screen() : list(&source) {
    host.List = &list;
    context.Host = &host;
    root = std::make_unique<Root>(nullptr);
    root->SetContext(&context);
    root->NoRender = true;
    root->SetBounds(0, 0, 800, 600);
    for (int p = 0; p < 12; ++p) {
      auto* panel = new TVXControl(root.get());
      panel->SetParent(root.get());
      panel->SetBounds(10 + (p % 4) * 195, 10 + (p / 4) * 195, 190, 190);
      panel->Border = true;
      nodes.push_back(panel);
      for (int c = 0; c < 24; ++c) {
        auto* child = new TVXControl(root.get());
        child->SetParent(panel);
        child->SetBounds(panel->Left() + 4 + (c % 4) * 46, panel->Top() + 4 + (c / 4) * 30, 44, 28);
        if (c % 2 == 0) {
          child->TextureInfo.SetFolder("BENCH");
          child->TextureInfo.SetNameAndNotify("IMG_" + std::to_string(c % 6));
        }
        if (c % 5 == 0) {
          child->Effects[efRollOver].ColorEnabled = true;
          child->Effects[efRollOver].Color = ::Color4(0x00FF8040u);
        }
        nodes.push_back(child);
      }
    }
  }
  Host host;
  TVXContext context;
  Source source;
  TVXTextureList list;
  std::unique_ptr<Root> root;
  std::vector<TVXControl*> nodes;
};

// Reference: the same device calls, straight from a flat list of the nodes.
void FlatDraw(Screen& s) {
  TGfxDevice& d = s.host.Recorder;
  for (TVXControl* n : s.nodes) {
    const TGfxRect r = GfxBounds(n->Left(), n->Top(), n->Width(), n->Height());
    if (n->TextureLoaded()) {
      d.TextureMap(n->TextureInfo.Texture()->Image(), QuadFromRect(r), n->Color4(), 5, TGfxPattern(0));
    } else {
      d.FillRect(r, n->Color4(), 4);
    }
    if (n->Border) d.FrameRect(r, n->BorderColor4(), 0);
  }
}

void BM_ProcessTree(benchmark::State& state) {
  Screen s;
  for (auto _ : state) {
    s.host.Recorder.ClearCalls();
    s.root->Process();
    benchmark::DoNotOptimize(s.host.Recorder.Calls.data());
  }
  state.counters["calls"] = static_cast<double>(s.host.Recorder.Calls.size());
}

void BM_FlatDraw(benchmark::State& state) {
  Screen s;
  for (auto _ : state) {
    s.host.Recorder.ClearCalls();
    FlatDraw(s);
    benchmark::DoNotOptimize(s.host.Recorder.Calls.data());
  }
  state.counters["calls"] = static_cast<double>(s.host.Recorder.Calls.size());
}

// Pointer positions over the screen, on and off controls.
const int32_t kPoints[][2] = {{30, 30}, {400, 300}, {795, 595}, {215, 120}, {600, 450}, {5, 5}, {700, 50}, {123, 456}};

void BM_MouseMoveRouting(benchmark::State& state) {
  Screen s;
  size_t i = 0;
  for (auto _ : state) {
    const auto& p = kPoints[i++ % 8];
    s.root->MouseMove(s.root.get(), 0, p[0], p[1]);
  }
}

void BM_ControlAt(benchmark::State& state) {
  Screen s;
  size_t i = 0;
  for (auto _ : state) {
    const auto& p = kPoints[i++ % 8];
    benchmark::DoNotOptimize(s.root->ControlAt(p[0], p[1]));
  }
}

// Reference: one rectangle test per node, keeping the last one hit.
void BM_FlatHitTest(benchmark::State& state) {
  Screen s;
  size_t i = 0;
  for (auto _ : state) {
    const auto& p = kPoints[i++ % 8];
    TVXControl* hit = nullptr;
    for (TVXControl* n : s.nodes) {
      if (n->Enabled && n->HitTest(p[0], p[1])) hit = n;
    }
    benchmark::DoNotOptimize(hit);
  }
}

BENCHMARK(BM_ProcessTree)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlatDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MouseMoveRouting)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ControlAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlatHitTest)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  auto& t = reporter.times;
  auto ratio = [&](const char* ours, const char* ref) {
    if (t.count(ours) == 0 || t.count(ref) == 0 || t[ref] <= 0) return;
    std::printf("  %-22s %9.2f us, %-16s %9.2f us, ratio %.2f (%s)\n", ours, t[ours] / 1000.0, ref, t[ref] / 1000.0,
                t[ours] / t[ref], reporter.Note({ours, ref}).c_str());
  };
  std::printf("\ncontrol tree of 301 controls on the recording device (ratio = ours / flat reference):\n");
  ratio("BM_ProcessTree", "BM_FlatDraw");
  ratio("BM_MouseMoveRouting", "BM_FlatHitTest");
  ratio("BM_ControlAt", "BM_FlatHitTest");
  if (t.count("BM_ProcessTree") != 0) {
    std::printf("  one frame's Process uses %.3f%% of the 16.7 ms budget (%s)\n", t["BM_ProcessTree"] / 16.7e6 * 100.0,
                reporter.Note({"BM_ProcessTree"}).c_str());
  }
  return 0;
}
