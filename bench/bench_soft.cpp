// The software rasteriser's hot paths, each against an outside reference run in the same
// process: an 800x600 copy against memcpy, an 800x600 alpha blend (effect 5) against a plain
// scalar blend loop and against pixman's OVER, a turned 256x256 quad, a clear against memset;
// and the whole lobby drawn on the software device from the generated game data, against the
// 8 ms a frame may take on one core. Prints the ratios (time / reference time).
#include <benchmark/benchmark.h>
#if __has_include(<pixman.h>)
#include <pixman.h>
#define VX_HAVE_PIXMAN 1
#endif

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/BenchRatio.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXMainRoom.h"
#include "render/SoftRaster.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t W = 800, H = 600;

struct Buffers {
  std::vector<uint32_t> Dest = std::vector<uint32_t>(W * H);
  std::vector<uint32_t> Src = std::vector<uint32_t>(W * H);
  Buffers() {
    for (size_t i = 0; i < Src.size(); ++i) {
      const uint32_t v = static_cast<uint32_t>(i * 2654435761u);
      // Pictures are mostly opaque or clear, with soft edges between.
      const uint32_t a = (i % 97) < 60 ? 0xFFu : (i % 97) < 80 ? 0u : (v >> 24);
      Src[i] = a << 24 | (v & 0xFFFFFFu);
      Dest[i] = 0xFF000000u | (v >> 8);
    }
  }
  TSRSurface DestSurface() { return {reinterpret_cast<uint8_t*>(Dest.data()), W * 4, W, H}; }
  TSRSurface SrcSurface() { return {reinterpret_cast<uint8_t*>(Src.data()), W * 4, W, H}; }
};

Buffers& Data() {
  static Buffers b;
  return b;
}

const TGfxRect kAll{0, 0, W, H};
const TPoint4 kScreen{TGfxPoint{0, 0}, {W, 0}, {W, H}, {0, H}};
const TColor4 kWhite{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

// The whole screen drawn from an 800x600 picture with one effect (0 copy, 5 alpha blend).
void BM_Screen(benchmark::State& s) {
  Buffers& b = Data();
  const uint32_t flags = EffectToSoftwareFlags(static_cast<int32_t>(s.range(0)));
  for (auto _ : s) {
    SRQuad(b.DestSurface(), b.SrcSurface(), kAll, kScreen, kWhite, {0, 0, W, H}, flags);
    benchmark::ClobberMemory();
  }
}

void BM_Memcpy(benchmark::State& s) {
  Buffers& b = Data();
  for (auto _ : s) {
    std::memcpy(b.Dest.data(), b.Src.data(), b.Src.size() * 4);
    benchmark::ClobberMemory();
  }
}

// The loop anyone would write first: per pixel, per channel, S*a + D*(255-a).
void ScalarBlend(const uint32_t* src, uint32_t* dest, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t sp = src[i], dp = dest[i], a = sp >> 24;
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) out |= ((((sp >> sh) & 0xFF) * a + ((dp >> sh) & 0xFF) * (255 - a)) / 255) << sh;
    dest[i] = out | 0xFF000000u;
  }
}

void BM_ScalarBlend(benchmark::State& s) {
  Buffers& b = Data();
  const size_t count = static_cast<size_t>(s.range(0));
  for (auto _ : s) {
    ScalarBlend(b.Src.data(), b.Dest.data(), count);
    benchmark::ClobberMemory();
  }
}

void BM_PixmanOver(benchmark::State& s) {
#ifndef VX_HAVE_PIXMAN
  s.SkipWithError("pixman is not installed");
  return;
#else
  Buffers& b = Data();
  // pixman's OVER takes premultiplied colour: the same picture premultiplied once, outside.
  std::vector<uint32_t> pre(b.Src.size());
  for (size_t i = 0; i < pre.size(); ++i) {
    const uint32_t p = b.Src[i], a = p >> 24;
    pre[i] = a << 24 | (((p >> 16) & 0xFF) * a / 255) << 16 | (((p >> 8) & 0xFF) * a / 255) << 8 | (p & 0xFF) * a / 255;
  }
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, pre.data(), W * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, b.Dest.data(), W * 4);
  for (auto _ : s) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, W, H);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(src);
  pixman_image_unref(dst);
#endif
}

void BM_TurnedQuad256(benchmark::State& s) {
  Buffers& b = Data();
  std::vector<uint32_t> tex(256 * 256);
  for (size_t i = 0; i < tex.size(); ++i) tex[i] = 0xC0000000u | static_cast<uint32_t>(i * 40503u);
  const TSRSurface t{reinterpret_cast<uint8_t*>(tex.data()), 256 * 4, 256, 256};
  // 256 x 256 turned by 30 degrees about (400, 300).
  TPoint4 p;
  const double c = std::cos(0.5236), sn = std::sin(0.5236);
  const double corners[4][2] = {{-128, -128}, {128, -128}, {128, 128}, {-128, 128}};
  for (size_t i = 0; i < 4; ++i)
    p[i] = {400 + static_cast<int32_t>(std::lround(corners[i][0] * c - corners[i][1] * sn)),
            300 + static_cast<int32_t>(std::lround(corners[i][0] * sn + corners[i][1] * c))};
  for (auto _ : s) {
    SRQuad(b.DestSurface(), t, kAll, p, kWhite, {0, 0, 256, 256}, EffectToSoftwareFlags(5));
    benchmark::ClobberMemory();
  }
}

void BM_Clear(benchmark::State& s) {
  Buffers& b = Data();
  for (auto _ : s) {
    SRFillLongword(b.Dest.data(), W * H, 0xFF102030u);  // a colour of four different bytes
    benchmark::ClobberMemory();
  }
}

void BM_Memset(benchmark::State& s) {
  Buffers& b = Data();
  for (auto _ : s) {
    std::memset(b.Dest.data(), 0x20, b.Dest.size() * 4);
    benchmark::ClobberMemory();
  }
}

// ---- The lobby on the software device, from the generated game data.

class QuietWindow : public TVXMainWindow {
public:
  QuietWindow() {
    root_ = std::make_unique<TVXMainScene>(nullptr);
    root_->SetSceneName("MAINSCENE");
    root_->SetBounds(0, 0, W, H);
  }
  TVXMainScene* MainScene() override { return root_.get(); }
  TVXScene* InputScene() override { return root_.get(); }
  void SetInputScene(TVXScene*) override {}
  void AddAnim(TVXAnim*) override {}
  void RemoveAnim(TVXAnim*) override {}
  void RenderNow() override {}
  bool ProcessMessage() override { return true; }
  bool ProcessUntil(const std::function<bool()>&) override { return true; }
  bool Wait(uint64_t) override { return true; }
  bool Closing() override { return false; }
  int32_t MessageBox(const std::string&, int32_t, int32_t, int32_t) override { return 1; }
  void PopupMessage(const std::string&, int32_t) override {}
  void FadeIn() override {}
  void FadeOut() override {}

private:
  std::unique_ptr<TVXMainScene> root_;
};

void BM_LobbyFrameSoftware(benchmark::State& s) {
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "program";
  if (!fs::exists(program / "Data" / "fonts.vxr")) {
    s.SkipWithError("the game data is not generated");
    return;
  }
  const std::string folder = program.string() + "/";
  // The lobby finds the settings, resources, window and host in its context.
  TVXContext context;
  context.Setting = std::make_unique<TVXSetting>(folder, (fs::temp_directory_path() / "vx_bench_soft").string());
  TVXSetting& settings = *context.Setting;
  settings.SetCasino("VideoPokerCasino");
  context.Resources =
      std::make_unique<TVXResourceManager>(settings.DataFolder, settings.PakFolder, settings.TempFolder);
  TVXResourceManager& resources = *context.Resources;
  QuietWindow window;
  context.MainWindow = &window;
  {
    TGfxForm form;
    TVXEngine engine(&form, nullptr, false);
    engine.SetMode(rmSoftGDI);
    engine.SetWidth(W);
    engine.SetHeight(H);
    engine.ResourceManager = &resources;
    engine.LoadFonts();
    TVXEngineHost host(&engine);
    context.Host = &host;
    TVXGameManager catalogue;
    TVXCasino casino("VideoPokerCasino", settings.CasinosFolder, catalogue);
    {
      TMainRoomScene scene(nullptr, &casino, &context);
      scene.LoadTheme("VideoPokerCasino");
      scene.Show();
      TGfxDevice* device = engine.Device();
      for (int i = 0; i < 40; ++i) scene.Process();  // fades reach their targets
      for (auto _ : s) {
        device->Clear(0xFF000000u);
        device->BeginScene();
        scene.Process();
        device->EndScene();
        device->Present();
      }
    }
    context.Host = nullptr;
  }
}

BENCHMARK(BM_Screen)->Arg(0)->Arg(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
// The whole screen, and as many pixels as the turned quad covers (256 x 256).
BENCHMARK(BM_ScalarBlend)->Arg(W * H)->Arg(256 * 256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TurnedQuad256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clear)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memset)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LobbyFrameSoftware)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  // Ratios are time / reference time: below 1 is faster than the reference. The goals are
  // throughput ratios (copy at least half of memcpy's, effect 5 at least 0.8 of pixman's),
  // so time ratios of at most 2.0 and 1.25.
  std::printf("\nsoftware rasteriser, 800x600 (ratio = time / reference time):\n");
  reporter.Ratio("copy / memcpy (goal <= 2.0)", "BM_Screen/0", "BM_Memcpy");
  reporter.Ratio("effect 5 / scalar alpha blend loop", "BM_Screen/5", "BM_ScalarBlend/480000");
  reporter.Ratio("effect 5 / pixman OVER (goal <= 1.25)", "BM_Screen/5", "BM_PixmanOver");
  reporter.Ratio("turned 256x256 quad / scalar blend of as many", "BM_TurnedQuad256", "BM_ScalarBlend/65536");
  reporter.Ratio("clear / memset", "BM_Clear", "BM_Memset");
  const double frame = reporter.Time("BM_LobbyFrameSoftware");
  if (frame > 0)
    std::printf("  %-48s ratio %.2f (%.2f ms; %s)\n", "lobby frame in software / 8 ms", frame / 8e6, frame / 1e6,
                reporter.Note({"BM_LobbyFrameSoftware"}).c_str());
  return 0;
}
