// The GPU device's hot paths on the headless software GL, each against an outside
// reference run in the same process:
//  - quads pushed through TextureMap into the batch, against the same vertex stream built
//    and sent by a minimal hand-written loop over the GL layer;
//  - a synthetic 800x600 frame of 2,000 textured quads, against the 16.7 ms frame budget;
//  - the upload of a 256x256 tile, against memcpy of the same bytes.
// Prints the ratios (ours / reference).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/GlRenderer.h"
#include "platform/gl/GlSurface.h"
#include "render/GfxDevice3.h"

#include "bench/BenchRatio.h"

namespace {

constexpr int kQuads = 2000;

struct DeviceRig {
  TGfxForm form;
  std::unique_ptr<TGfxDevice3> device;
  std::vector<std::unique_ptr<TGfxImage>> images;
  bool ok = false;

  DeviceRig(int32_t width, int32_t height, int textures) {
    device = std::make_unique<TGfxDevice3>(&form);
    device->SetWidth(width);
    device->SetHeight(height);
    ok = device->Initialize() == 0 && device->InitDevice() == 0;
    for (int t = 0; ok && t < textures; ++t) {
      auto image = device->CreateImage();
      image->SetFormat(COLOR_A8R8G8B8);
      image->SetTextureSize({256, 256});
      image->SetPatternSize({32, 32});
      image->SetVisibleSize({32, 32});
      image->SetTextureCount(1);
      image->SetPatternCount(64);
      ok = image->CreateTextures() == 0;
      std::vector<uint32_t> row(256);
      for (int y = 0; ok && y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
          row[static_cast<size_t>(x)] = 0x80000000u | static_cast<uint32_t>((x * 7 + y * 13 + t * 50) & 0xFFFFFF);
        int32_t code = 0;
        image->WriteScanline(row.data(), 256 * 4, code, y, 0);
      }
      images.push_back(std::move(image));
    }
  }
};

// Quad positions scattered over the frame, the same for every variant.
int32_t QuadX(int i, int32_t width) { return (i * 97) % (width - 32); }
int32_t QuadY(int i, int32_t height) { return (i * 61) % (height - 32); }

// Ours: 1x1 quads (rasterising costs next to nothing) through TextureMap.
void BM_TextureMapQuads(benchmark::State& s) {
  DeviceRig rig(800, 600, 1);
  if (!rig.ok) {
    s.SkipWithError("no headless GL");
    return;
  }
  TGfxDevice3& d = *rig.device;
  for (auto _ : s) {
    d.BeginScene();
    for (int i = 0; i < kQuads; ++i)
      d.TextureMap(rig.images[0].get(), QuadFromBounds(QuadX(i, 800), QuadY(i, 600), 1, 1), Color4(0xFFFFFFFFu), 5, i & 63);
    d.EndScene();
    d.Present();
  }
  s.SetItemsProcessed(s.iterations() * kQuads);
}

// Reference: the same vertices built by hand and sent in batches of the same size straight
// to the GL layer, with the state set once.
void BM_HandWrittenGLQuads(benchmark::State& s) {
  std::string error;
  auto renderer = vx::gl::Renderer::Create(vx::gl::CreateHeadlessSurface(error), 800, 600, error);
  if (!renderer) {
    s.SkipWithError("no headless GL");
    return;
  }
  const uint32_t texture = renderer->CreateTexture(256, 256);
  std::vector<uint32_t> texels(256 * 256, 0x80FFFFFFu);
  renderer->UploadTexture(texture, 256, 256, texels.data());
  std::vector<vx::gl::Vertex> batch(2046);
  for (auto _ : s) {
    renderer->BeginFrame();
    renderer->SetScissor(0, 0, 800, 600);
    renderer->SetTexture(texture);
    renderer->SetBlend(true, vx::gl::BlendFactor::SrcAlpha, vx::gl::BlendFactor::InvSrcAlpha);
    renderer->SetTextureMode(vx::gl::TextureMode::Modulate);
    size_t used = 0;
    for (int i = 0; i < kQuads; ++i) {
      if (used + 6 > batch.size()) {
        renderer->Draw(batch.data(), static_cast<int>(used));
        used = 0;
      }
      const float x = static_cast<float>(QuadX(i, 800)), y = static_cast<float>(QuadY(i, 600));
      const float u = static_cast<float>((i & 63) % 8 * 32) / 256.0f, v = static_cast<float>((i & 63) / 8 * 32) / 256.0f;
      const float du = 32.0f / 256.0f;
      const vx::gl::Vertex q[4] = {{x, y, 0xFFFFFFFFu, u, v}, {x + 1, y, 0xFFFFFFFFu, u + du, v},
                                   {x + 1, y + 1, 0xFFFFFFFFu, u + du, v + du}, {x, y + 1, 0xFFFFFFFFu, u, v + du}};
      for (int k : {0, 1, 2, 0, 2, 3}) batch[used++] = q[k];
    }
    renderer->Draw(batch.data(), static_cast<int>(used));
    renderer->Present();
  }
  s.SetItemsProcessed(s.iterations() * kQuads);
}

// A frame as the game draws it: 2,000 textured 32x32 quads from four textures, alpha
// blended, read back so that the software GL has finished it.
void BM_Frame2000Quads(benchmark::State& s) {
  DeviceRig rig(800, 600, 4);
  if (!rig.ok) {
    s.SkipWithError("no headless GL");
    return;
  }
  TGfxDevice3& d = *rig.device;
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  for (auto _ : s) {
    d.Clear(0xFF000000u);
    d.BeginScene();
    for (int i = 0; i < kQuads; ++i)
      d.TextureMap(rig.images[static_cast<size_t>((i / 50) % 4)].get(), QuadFromBounds(QuadX(i, 800), QuadY(i, 600), 32, 32),
                   Color4(0xFFFFFFFFu), 5, i & 63);
    d.EndScene();
    d.Present();
    d.ReadFrame(pixels, w, h);
  }
  s.counters["frame_budget_ms"] = 1000.0 / 60.0;
}

// The engine's budget for one frame, as a "benchmark" of fixed time.
void BM_FrameBudget(benchmark::State& s) {
  for (auto _ : s) s.SetIterationTime(1.0 / 60.0);
}

void BM_UploadTile(benchmark::State& s) {
  std::string error;
  auto renderer = vx::gl::Renderer::Create(vx::gl::CreateHeadlessSurface(error), 64, 64, error);
  if (!renderer) {
    s.SkipWithError("no headless GL");
    return;
  }
  const uint32_t texture = renderer->CreateTexture(256, 256);
  std::vector<uint32_t> texels(256 * 256);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint32_t>(i * 2654435761u);
  for (auto _ : s) {
    texels[0]++;
    renderer->UploadTexture(texture, 256, 256, texels.data());
  }
  s.SetBytesProcessed(s.iterations() * 256 * 256 * 4);
}

void BM_MemcpyTile(benchmark::State& s) {
  std::vector<uint32_t> from(256 * 256, 0x12345678u), to(256 * 256);
  for (auto _ : s) {
    from[0]++;
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  s.SetBytesProcessed(s.iterations() * 256 * 256 * 4);
}

// The software GL rasterises on threads of its own: these rows count every thread's CPU time.
BENCHMARK(BM_TextureMapQuads)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_HandWrittenGLQuads)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame2000Quads)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FrameBudget)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UploadTile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyTile)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  std::printf("\nGPU device against its references (ours / reference; below 1 is faster):\n");
  reporter.Ratio("TextureMap quads vs hand-written GL loop", "BM_TextureMapQuads/process_time",
                 "BM_HandWrittenGLQuads/process_time");
  reporter.Ratio("800x600 frame of 2,000 quads vs 16.7 ms budget", "BM_Frame2000Quads/process_time",
                 "BM_FrameBudget/iterations:10/manual_time");
  reporter.Ratio("256x256 tile upload vs memcpy", "BM_UploadTile", "BM_MemcpyTile");
  return 0;
}
