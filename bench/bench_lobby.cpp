// The lobby's hot paths. Showing the lobby themes its 60-odd controls and composes the preview
// strip from 17 pictures; the ratio is against reading the same picture files alone (what no
// lobby can avoid). Every frame walks and draws the whole lobby; it is measured on a device
// that only counts its calls, against the 16.7 ms budget of a frame. The same frame, taped and
// replayed on the GPU device over Mesa's software GL, is set against its quads drawn in a
// minimal GL loop (one draw per texture and blend run, no clipping); both read the frame back
// so the GPU's work is inside the time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchRatio.h"
#include "bench/MinimalGl.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXTextures.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXLobby.h"
#include "lobby/VXMainRoom.h"
#include "platform/Files.h"
#include "platform/gl/GlRenderer.h"
#include "platform/gl/GlSurface.h"
#include "render/GfxDevice3.h"
#include "render/BitmapEx.h"
#include "support/RecordingDevice.h"

namespace fs = std::filesystem;

namespace {

// One drawing call of a frame, as the scene made it.
struct Op {
  TGfxRect Clip;
  TPoint4 Points{};
  TColor4 Colours{};
  int32_t Effect = 0;
  TGfxImage* Image = nullptr;  // null: an untextured quad
  TGfxPattern Pattern;
};

class CountingDevice : public vxtest::RecordingDevice {
public:
  int64_t Count = 0;
  std::vector<Op>* Tape = nullptr;
  void SetClipRect(const TGfxRect& rect) override {
    TGfxDevice::SetClipRect(rect);
    ++Count;
  }
  int32_t FillQuad(const TPoint4& p, const TColor4& c, int32_t effect) override {
    if (Tape != nullptr) Tape->push_back(Op{GetClipRect(), p, c, effect, nullptr, {}});
    return static_cast<int32_t>(++Count & 0);
  }
  int32_t TextureMap(TGfxImage* image, const TPoint4& p, const TColor4& c, int32_t effect,
                     const TGfxPattern& pattern) override {
    if (Tape != nullptr) Tape->push_back(Op{GetClipRect(), p, c, effect, image, pattern});
    return static_cast<int32_t>(++Count & 0);
  }
};

// Textures shaped as the engine shapes them, without uploading anything.
class Source : public TVXTextureSource {
public:
  std::unique_ptr<TGfxImage> CreateTextureImage() override { return std::make_unique<vxtest::MemoryImage>(); }
  int32_t LoadTexture(TVXGfxTexture* texture, const std::string& key) override {
    return key.find("MAINROOM") != std::string::npos ? Shape(texture, 200, 100) : 1;
  }
  int32_t LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap, const std::string&) override {
    return Shape(texture, bitmap.Width(), bitmap.Height());
  }
  static int32_t Shape(TVXGfxTexture* texture, int32_t w, int32_t h) {
    if (texture->Image() == nullptr) return 1;
    texture->PictureWidth = (w + 255) / 256 * 256;
    texture->PictureHeight = (h + 255) / 256 * 256;
    texture->Image()->SetTextureSize(TGfxSize{256, 256});
    texture->Image()->SetPatternSize(TGfxSize{256, 256});
    return 0;
  }
};

class Host : public TVXHostBase {
public:
  CountingDevice Device_;
  Source Pictures;
  TVXTextureList List{&Pictures};
  TGfxDevice* Device() override { return &Device_; }
  TVXTextureList* Textures() override { return &List; }
};

Host& TheHost() {
  static Host host;
  return host;
}

// A program folder with the lobby's theme, the casino and its 17 preview pictures.
struct World {
  World() {
    dir = fs::temp_directory_path() / ("vx_bench_lobby_" + std::to_string(::getpid()));
    const fs::path program = dir / "program";
    fs::create_directories(program / "Casinos" / "VideoPokerCasino");
    fs::create_directories(program / "Data" / "Pak");
    fs::copy(fs::path(VX_SOURCE_DIR) / "data" / "themes", program / "Data" / "Pak", fs::copy_options::recursive);
    fs::copy_file(fs::path(VX_SOURCE_DIR) / "data" / "casinos" / "VideoPokerCasino" / "casino.dat",
                  program / "Casinos" / "VideoPokerCasino" / "casino.dat");
    context.Setting = std::make_unique<TVXSetting>(program.string() + "/", (dir / "tmp").string());
    TVXSetting& settings = *context.Setting;
    settings.SetCasino("VideoPokerCasino");
    context.Resources =
        std::make_unique<TVXResourceManager>(settings.DataFolder, settings.PakFolder, settings.TempFolder);
    context.Host = &TheHost();
    catalogue = std::make_unique<TVXGameManager>();
    casino = std::make_unique<TVXCasino>("VideoPokerCasino", settings.CasinosFolder, *catalogue);
    const fs::path pictures = program / "Data" / "Pak" / "MAINROOM";
    std::vector<uint32_t> pixels(200 * 150, 0xFF1E5A3Au);
    const std::string bmp = vx::EncodeScreenshotBmp(200, 150, pixels);
    auto write = [&](const std::string& name) {
      std::ofstream(pictures / name, std::ios::binary) << bmp;
      files.push_back((pictures / name).string());
    };
    write("IMG_GAMEPREVIEW.bmp");
    for (TGameInfo* g : casino->Games) write("IMG_SH_" + g->IDStr + ".bmp");
  }
  ~World() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
  std::vector<std::string> files;
  // The lobby's context: the settings, the resources and the host.
  TVXContext context;
  std::unique_ptr<TVXGameManager> catalogue;
  std::unique_ptr<TVXCasino> casino;
};

World& TheWorld() {
  static World world;
  return world;
}

void BM_LobbyThemeAndStrip(benchmark::State& s) {
  World& w = TheWorld();
  TMainRoomScene scene(nullptr, w.casino.get(), &w.context);
  for (auto _ : s) scene.LoadTheme("VideoPokerCasino");
}

// The reference: only reading the 17 picture files the strip is made of.
void BM_ReadPreviewFiles(benchmark::State& s) {
  World& w = TheWorld();
  size_t bytes = 0;
  for (auto _ : s) {
    for (const std::string& f : w.files) {
      std::ifstream in(f, std::ios::binary);
      std::string data(static_cast<size_t>(fs::file_size(f)), '\0');
      in.read(data.data(), static_cast<std::streamsize>(data.size()));
      bytes += static_cast<size_t>(in.gcount());
    }
  }
  benchmark::DoNotOptimize(bytes);
}

// The lobby as the player first sees it, preview strip showing.
std::unique_ptr<TMainRoomScene> ShownLobby() {
  auto scene = std::make_unique<TMainRoomScene>(nullptr, TheWorld().casino.get(), &TheWorld().context);
  scene->LoadTheme("VideoPokerCasino");
  scene->Show();
  scene->PnlGamePreview->SetVisible(true);
  return scene;
}

void BM_LobbyFrame(benchmark::State& s) {
  Host& host = TheHost();
  const std::unique_ptr<TMainRoomScene> lobby = ShownLobby();
  TMainRoomScene& scene = *lobby;
  const int64_t before = host.Device_.Count;
  int64_t frames = 0;
  for (auto _ : s) {
    scene.Process();
    ++frames;
  }
  s.counters["device calls per frame"] =
      static_cast<double>(host.Device_.Count - before) / static_cast<double>(frames == 0 ? 1 : frames);
}

// One lobby frame's drawing calls.
const std::vector<Op>& LobbyTape() {
  static std::vector<Op> tape = [] {
    Host& host = TheHost();
    const std::unique_ptr<TMainRoomScene> scene = ShownLobby();
    scene->Process();
    std::vector<Op> ops;
    host.Device_.Tape = &ops;
    scene->Process();
    host.Device_.Tape = nullptr;
    return ops;
  }();
  return tape;
}

constexpr int32_t kFrameW = 800;
constexpr int32_t kFrameH = 600;
constexpr int32_t kTextureSide = 256;

std::vector<uint32_t> Texels(size_t salt) {
  std::vector<uint32_t> texels(static_cast<size_t>(kTextureSide * kTextureSide));
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint32_t>((i + salt) * 2654435761u) | 0x80000000u;
  return texels;
}

class BenchForm : public TGfxForm {};

std::unique_ptr<TGfxImage> GpuImage(TGfxDevice& device, const std::vector<uint32_t>& texels) {
  std::unique_ptr<TGfxImage> image = device.CreateImage();
  image->SetFormat(COLOR_A8R8G8B8);
  image->SetTextureSize({kTextureSide, kTextureSide});
  image->SetPatternSize({kTextureSide, kTextureSide});
  image->SetVisibleSize({kTextureSide, kTextureSide});
  image->SetTextureCount(1);
  image->SetPatternCount(1);
  if (image->CreateTextures() != 0) return nullptr;
  int32_t code = 0;
  for (int32_t y = 0; y < kTextureSide; ++y)
    image->WriteScanline(texels.data() + static_cast<size_t>(y) * kTextureSide, kTextureSide * 4, code, y, 0);
  return image;
}

void BM_GpuLobbyFrame(benchmark::State& s) {
  const std::vector<Op>& tape = LobbyTape();
  BenchForm form;
  TGfxDevice3 device(&form);
  device.SetWidth(kFrameW);
  device.SetHeight(kFrameH);
  if (device.Initialize() != 0 || device.InitDevice() != 0) {
    s.SkipWithError("no GL");
    return;
  }
  std::map<TGfxImage*, std::unique_ptr<TGfxImage>> images;
  for (const Op& op : tape)
    if (op.Image != nullptr && images.count(op.Image) == 0)
      images[op.Image] = GpuImage(device, Texels(images.size()));
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  auto frame = [&] {
    device.ResetClipRect();
    device.Clear(0xFF000000u);
    device.BeginScene();
    for (const Op& op : tape) {
      device.SetClipRect(op.Clip);
      if (op.Image == nullptr)
        device.FillQuad(op.Points, op.Colours, op.Effect);
      else
        device.TextureMap(images[op.Image].get(), op.Points, op.Colours, op.Effect, 0);
    }
    device.EndScene();
    device.ReadFrame(pixels, w, h);
  };
  // The first frame compiles the GL's shaders and uploads the textures: hundreds of
  // milliseconds that the game pays once, not per frame. Both sides draw it untimed.
  frame();
  const int64_t drawsBefore = device.DrawCalls();
  int64_t frames = 0;
  for (auto _ : s) {
    frame();
    ++frames;
  }
  s.counters["quads per frame"] = static_cast<double>(tape.size());
  s.counters["draw calls per frame"] =
      static_cast<double>(device.DrawCalls() - drawsBefore) / static_cast<double>(frames == 0 ? 1 : frames);
}

// The reference: the same quads straight into GL, one draw per run of texture and blend.
void BM_MinimalGlLoop(benchmark::State& s) {
  const std::vector<Op>& tape = LobbyTape();
  std::string error;
  auto renderer = vx::gl::Renderer::Create(vx::gl::CreateHeadlessSurface(error), kFrameW, kFrameH, error);
  if (!renderer) {
    s.SkipWithError(error.c_str());
    return;
  }
  std::map<TGfxImage*, uint32_t> textures;
  std::vector<vxbench::GlQuad> quads;
  for (const Op& op : tape) {
    if (op.Image != nullptr && textures.count(op.Image) == 0) {
      const uint32_t id = renderer->CreateTexture(kTextureSide, kTextureSide);
      renderer->UploadTexture(id, kTextureSide, kTextureSide, Texels(textures.size()).data());
      textures[op.Image] = id;
    }
    quads.push_back(vxbench::GlQuad{op.Points, op.Colours, op.Effect, op.Image == nullptr ? 0 : textures[op.Image]});
  }
  std::vector<uint32_t> pixels;
  std::vector<vx::gl::Vertex> run;
  vxbench::DrawMinimalFrame(*renderer, quads, run, pixels);  // the first frame, untimed
  int64_t draws = 0;
  int64_t frames = 0;
  for (auto _ : s) {
    ++frames;
    draws += vxbench::DrawMinimalFrame(*renderer, quads, run, pixels);
  }
  s.counters["draw calls per frame"] = static_cast<double>(draws) / static_cast<double>(frames == 0 ? 1 : frames);
}

BENCHMARK(BM_GpuLobbyFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_MinimalGlLoop)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_LobbyThemeAndStrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadPreviewFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LobbyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  std::printf("\nlobby:\n");
  reporter.Ratio("theme and preview strip / reading the pictures", "BM_LobbyThemeAndStrip", "BM_ReadPreviewFiles");
  const double frame = reporter.Time("BM_LobbyFrame");
  if (frame > 0)
    std::printf("  %-48s ratio %.4f (%.1f us; %s)\n", "lobby frame / 16.7 ms budget", frame / 16.7e6, frame / 1000.0,
                reporter.Note({"BM_LobbyFrame"}).c_str());
  reporter.Ratio("GPU lobby frame / same quads in a minimal GL loop", "BM_GpuLobbyFrame/process_time",
                 "BM_MinimalGlLoop/process_time");
  const double gpu = reporter.Time("BM_GpuLobbyFrame/process_time");
  if (gpu > 0)
    std::printf("  %-48s ratio %.4f (%.1f us; %s)\n", "GPU lobby frame / 8 ms goal", gpu / 8e6, gpu / 1000.0,
                reporter.Note({"BM_GpuLobbyFrame/process_time"}).c_str());
  return 0;
}
