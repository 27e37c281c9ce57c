// The lobby's hot paths. Showing the lobby themes its 60-odd controls and composes the preview
// strip from 17 pictures; the ratio is against reading the same picture files alone (what no
// lobby can avoid). Every frame walks and draws the whole lobby; it is measured on a device
// that only counts its calls, against the 16.7 ms budget of a frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchRatio.h"
#include "framework/VXApplication.h"
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
#include "render/BitmapEx.h"
#include "support/RecordingDevice.h"

namespace fs = std::filesystem;

namespace {

class CountingDevice : public vxtest::RecordingDevice {
public:
  int64_t Count = 0;
  void SetClipRect(const TGfxRect& rect) override {
    TGfxDevice::SetClipRect(rect);
    ++Count;
  }
  int32_t FillQuad(const TPoint4&, const TColor4&, int32_t) override { return static_cast<int32_t>(++Count & 0); }
  int32_t TextureMap(TGfxImage*, const TPoint4&, const TColor4&, int32_t, const TGfxPattern&) override {
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
    settings = std::make_unique<TVXSetting>(program.string() + "/", (dir / "tmp").string());
    settings->SetCasino("VideoPokerCasino");
    resources = std::make_unique<TVXResourceManager>(settings->DataFolder, settings->PakFolder, settings->TempFolder);
    vx::Program().Setting = settings.get();
    vx::Program().Resources = resources.get();
    catalogue = std::make_unique<TVXGameManager>();
    casino = std::make_unique<TVXCasino>("VideoPokerCasino", settings->CasinosFolder, *catalogue);
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
    vx::Program() = vx::TVXProgram{};
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
  std::vector<std::string> files;
  std::unique_ptr<TVXSetting> settings;
  std::unique_ptr<TVXResourceManager> resources;
  std::unique_ptr<TVXGameManager> catalogue;
  std::unique_ptr<TVXCasino> casino;
};

Host& TheHost() {
  static Host host;
  static vx::ScopedToolkitHost scope(&host);
  return host;
}

World& TheWorld() {
  static World world;
  return world;
}

void BM_LobbyThemeAndStrip(benchmark::State& s) {
  TheHost();
  World& w = TheWorld();
  TMainRoomScene scene(nullptr, w.casino.get());
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

void BM_LobbyFrame(benchmark::State& s) {
  Host& host = TheHost();
  World& w = TheWorld();
  TMainRoomScene scene(nullptr, w.casino.get());
  scene.LoadTheme("VideoPokerCasino");
  scene.Show();
  scene.PnlGamePreview->SetVisible(true);
  const int64_t before = host.Device_.Count;
  int64_t frames = 0;
  for (auto _ : s) {
    scene.Process();
    ++frames;
  }
  s.counters["device calls per frame"] =
      static_cast<double>(host.Device_.Count - before) / static_cast<double>(frames == 0 ? 1 : frames);
}

BENCHMARK(BM_LobbyThemeAndStrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadPreviewFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LobbyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nlobby:\n");
  reporter.Ratio("theme and preview strip / reading the pictures", "BM_LobbyThemeAndStrip", "BM_ReadPreviewFiles");
  const double frame = reporter.Time("BM_LobbyFrame");
  if (frame > 0) std::printf("  %-48s ratio %.4f (%.1f us)\n", "lobby frame / 16.7 ms budget", frame / 16.7e6, frame / 1000.0);
  return 0;
}
