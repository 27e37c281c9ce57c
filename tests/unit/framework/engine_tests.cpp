// The engine on a recording device: fonts from the fonts archive, pictures into (tiled)
// textures through the resource manager, the screenshot command, the full-screen switch and a
// small hand-built scene drawn through the whole chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FrameworkFakes.h"
#include "core/Log.h"
#include "framework/VXContext.h"
#include "framework/VXEngine.h"
#include "framework/VXResources.h"
#include "platform/Files.h"
#include "render/GfxFonts.h"
#include "support/TempDir.h"
#include "tools/common/ArchiveWriter.h"
#include "tools/common/BmpWriter.h"
#include "tools/common/FontBaker.h"

namespace fs = std::filesystem;
using vxtest::MemoryImage;
using vxtest::RecordingDevice;

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class Form : public TGfxForm {};

std::vector<uint8_t> FontRecord() {
  vxtools::TFontBakeOptions options;
  options.FontFile = kFontFile;
  options.PixelSize = 12;
  options.LastChar = 127;
  vxtools::TBakedFont baked;
  std::string error;
  EXPECT_TRUE(vxtools::BakeFont(options, baked, &error)) << error;
  return baked.Record;
}

// Pixels whose value tells where they came from.
uint32_t SourcePixel(int32_t x, int32_t y) {
  return 0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) | (static_cast<uint32_t>(y & 0xFF) << 8) |
         static_cast<uint32_t>(((x >> 8) + 1) * 16 + (y >> 8));
}

std::vector<uint8_t> Bmp(int32_t w, int32_t h) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) pixels[static_cast<size_t>(y * w + x)] = SourcePixel(x, y);
  return vxtools::EncodeBmp(w, h, pixels.data(), 32);
}

// A program folder with fonts and pictures, an engine on a recording device and the host
// services the controls use.
struct EngineFixture {
  explicit EngineFixture(int32_t initializeResult = 0) {
    const fs::path data = dir.Path() / "Data";
    const fs::path pak = data / "Pak";
    fs::create_directories(pak);
    std::vector<vxtools::TArchiveItem> fonts;
    fonts.push_back({"Tahoma.font", 5, FontRecord(), 0});
    fonts.push_back({"Broken.font", 5, {1, 2, 3, 4, 5}, 0});
    fonts.push_back({"ArialBlack.font", 5, FontRecord(), 0});
    EXPECT_TRUE(vxtools::WriteArchiveFile((data / "fonts.vxr").string(), fonts));
    std::vector<vxtools::TArchiveItem> items;
    items.push_back({"T\\WIDE.bmp", 0, Bmp(257, 10), 0});
    items.push_back({"T\\SQUARE.bmp", 0, Bmp(256, 256), 0});
    items.push_back({"T\\SMALL.bmp", 0, Bmp(20, 10), 0});
    items.push_back({"T\\HUGE.bmp", 0, Bmp(5000, 2), 0});
    items.push_back({"T\\BACKGROUND.bmp", 0, Bmp(800, 600), 0});
    EXPECT_TRUE(vxtools::WriteArchiveFile((pak / "default.vxr").string(), items));
    resources = std::make_unique<TVXResourceManager>(data.string(), pak.string(), dir.File("tmp"));

    auto device = std::make_unique<RecordingDevice>();
    device->InitializeResult = initializeResult;
    recorder = device.get();
    engine = std::make_unique<TVXEngine>(&form, nullptr, false, std::move(device));
    engine->SetWidth(800);
    engine->SetHeight(600);
    engine->ResourceManager = resources.get();
    engine->OnTerminate = [this] { ++terminations; };
    host.Engine = engine.get();
    context.Host = &host;
  }
  vxtest::TempDir dir;
  Form form;
  std::unique_ptr<TVXResourceManager> resources;
  RecordingDevice* recorder = nullptr;
  std::unique_ptr<TVXEngine> engine;
  TVXEngineHost host;
  // Controls given it draw through the engine's host.
  TVXContext context;
  int terminations = 0;
};

}  // namespace

TEST(Engine, LoadsEveryGoodFontAndFindsThemByName) {
  EngineFixture f;
  EXPECT_EQ(f.engine->FindFont("Tahoma"), nullptr);  // not before the engine runs
  vx::ClearLog();
  f.engine->LoadFonts();
  ASSERT_TRUE(f.engine->Started());
  EXPECT_EQ(f.terminations, 0);
  ASSERT_EQ(f.engine->FontCount(), 2);  // the broken record is left out, the rest loads
  const auto lines = vx::LogLines();
  const auto at = std::find(lines.begin(), lines.end(), "2 FONTS LOADED");
  ASSERT_NE(at, lines.end());
  ASSERT_NE(at + 1, lines.end());
  EXPECT_EQ(*(at + 1), "Tahoma.font FONT");
  EXPECT_EQ(f.engine->FindFont("arialBLACK")->Name, "ArialBlack.font");
  EXPECT_EQ(f.engine->FindFont(""), f.engine->GetFont(0));
  EXPECT_EQ(f.engine->FindFont("Courier"), f.engine->GetFont(0));
  EXPECT_EQ(f.engine->FindFont("ArialBlack.font"), f.engine->GetFont(0));  // the name gets ".font"

  // A control's font takes its engine font at once.
  TVXControl c(nullptr);
  c.SetContext(&f.context);
  c.Font.SetName("ArialBlack");
  EXPECT_EQ(c.Font.EngineFont(), f.engine->GetFont(1));
}

TEST(Engine, ADeviceThatCannotStartIsLoggedAndEndsTheProgram) {
  EngineFixture f(errDeviceCreate);
  vx::ClearLog();
  f.engine->LoadFonts();
  EXPECT_FALSE(f.engine->Started());
  EXPECT_EQ(f.terminations, 1);
  EXPECT_TRUE(vx::LogContains("Failed to initialize Direct3D"));
  const auto lines = vx::LogLines();
  EXPECT_EQ(lines.back(), "0 FONTS LOADED");
  EXPECT_EQ(f.engine->FontCount(), 0);
  EXPECT_EQ(f.engine->FindFont(""), nullptr);
}

TEST(Engine, LargePicturesArePaddedToTransparentTiles) {
  EngineFixture f;
  f.engine->LoadFonts();
  TVXControl c(nullptr);
  c.SetContext(&f.context);
  c.SetBounds(0, 0, 600, 600);
  c.TextureInfo.SetFolder("T");
  c.TextureInfo.SetNameAndNotify("WIDE");
  ASSERT_TRUE(c.TextureLoaded());
  TVXGfxTexture* t = c.TextureInfo.Texture();
  EXPECT_EQ(t->PictureWidth, 512);
  EXPECT_EQ(t->PictureHeight, 256);
  auto* image = dynamic_cast<MemoryImage*>(t->Image());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->TextureCount(), 2);
  EXPECT_EQ(image->PatternCount(), 2);
  EXPECT_EQ(image->Format(), COLOR_A8R8G8B8);
  EXPECT_EQ(c.TilesX, 2);
  EXPECT_EQ(c.TilesY, 1);
  for (int32_t y : {0, 9}) {
    for (int32_t x : {0, 100, 255}) EXPECT_EQ(image->Texel(x, y, 0), SourcePixel(x, y)) << x << "," << y;
    EXPECT_EQ(image->Texel(0, y, 1), SourcePixel(256, y));
    EXPECT_EQ(image->Texel(1, y, 1), 0u);  // padding on the right
  }
  EXPECT_EQ(image->Texel(5, 10, 0), 0u);  // padding at the bottom

  f.recorder->ClearCalls();
  c.Update();
  EXPECT_EQ(f.recorder->CallsOf("TextureMap").size(), 2u);

  c.TextureInfo.SetNameAndNotify("SQUARE");
  EXPECT_EQ(c.TextureInfo.Texture()->Image()->TextureCount(), 1);
  EXPECT_EQ(c.TilesX, 1);
  c.TextureInfo.SetNameAndNotify("SMALL");
  EXPECT_EQ(c.TextureInfo.Texture()->Image()->PatternSize(), (TGfxSize{20, 10}));
  EXPECT_EQ(c.TextureInfo.Texture()->Image()->TextureSize(), (TGfxSize{256, 256}));
}

TEST(Engine, PicturesThatCannotBecomeTexturesLeaveTheColourRectangle) {
  EngineFixture f;
  f.engine->LoadFonts();
  TVXControl c(nullptr);
  c.SetContext(&f.context);
  c.SetBounds(0, 0, 10, 10);
  c.TextureInfo.SetFolder("T");
  vx::ClearLog();
  c.TextureInfo.SetNameAndNotify("HUGE");
  EXPECT_FALSE(c.TextureLoaded());
  EXPECT_TRUE(vx::LogContains("ERROR: T\\HUGE.bmp picture too large"));
  c.TextureInfo.SetNameAndNotify("MISSING");
  EXPECT_FALSE(c.TextureLoaded());
  EXPECT_EQ(f.engine->Textures()->Count(), 0);

  f.recorder->CanCreateImages = false;
  c.TextureInfo.SetNameAndNotify("SMALL");
  EXPECT_FALSE(c.TextureLoaded());
  EXPECT_TRUE(vx::LogContains("ERROR: GFXTEXTURE NIL"));
  f.recorder->ClearCalls();
  c.Update();
  EXPECT_EQ(f.recorder->CallsOf("FillQuad").size(), 1u);
}

TEST(Engine, ScreenshotTakesTheFirstFreeNameAndWritesTheFrame) {
  EngineFixture f;
  f.engine->SetWidth(6);
  f.engine->SetHeight(4);
  f.engine->LoadFonts();
  for (int i = 0; i < 24; ++i) f.recorder->FramePixels.push_back(0xFF000000u | static_cast<uint32_t>(i * 0x010203));
  vxtest::ScopedCurrentFolder here(f.dir.Path());
  for (int n = 1; n <= 9; ++n) vxtest::TempDir::WriteFile("screenshot_0" + std::to_string(n) + ".bmp", "x");
  vx::ClearLog();
  const std::string name = f.engine->ScreenShot();
  TBitmapEx shot;
  std::string bytes;
  const bool read = vx::ReadWholeFile(name, bytes);
  if (read) shot.LoadFromFile(name, pkBmp);
  EXPECT_EQ(name, "screenshot_10.bmp");
  EXPECT_TRUE(vx::LogContains("INFO: ScreenShot : screenshot_10.bmp"));
  ASSERT_TRUE(read);
  ASSERT_EQ(shot.Width(), 6);
  ASSERT_EQ(shot.Height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(shot.Pixel(x, y) & 0xFFFFFFu, f.recorder->FramePixels[static_cast<size_t>(y * 6 + x)] & 0xFFFFFFu);
}

TEST(Engine, FullScreenSwitchResumesRenderingEvenWhenItFails) {
  EngineFixture f;
  f.engine->LoadFonts();
  EXPECT_FALSE(f.engine->GetFullScreen());
  bool renderingDuringSwitch = true;
  f.recorder->OnParamsChanged = [&] {
    renderingDuringSwitch = f.engine->Timer()->MayRender();
    throw Exception("the display refused the mode");
  };
  vx::ClearLog();
  f.engine->SetFullScreen(true);
  EXPECT_FALSE(renderingDuringSwitch);
  EXPECT_TRUE(f.engine->Timer()->MayRender());
  EXPECT_TRUE(vx::LogContains("ERROR: the display refused the mode"));
  f.recorder->OnParamsChanged = nullptr;
  f.engine->SetFullScreen(false);
  EXPECT_FALSE(f.engine->GetFullScreen());
  EXPECT_TRUE(f.engine->Timer()->MayRender());
}

namespace {
// A minimal text control: its caption in its font, as labels draw theirs.
class Caption : public TVXControl {
public:
  using TVXControl::TVXControl;
  std::string Text;
  void Update() override {
    if (Font.EngineFont() == nullptr) return;
    Font.EngineFont()->Font->TextOut(Text, Left(), Top(), Font.Color() | 0xFF000000u, 5);
  }
};
}  // namespace

TEST(Engine, AHandBuiltSceneOfImagesPanelsAndTextDrawsThroughTheEngine) {
  EngineFixture f;
  f.engine->LoadFonts();
  vxtest::RootOf<TVXControl> scene(nullptr);
  scene.SetContext(&f.context);
  scene.NoRender = true;
  scene.SetBounds(0, 0, 800, 600);
  auto* background = new TVXControl(&scene);
  background->SetParent(&scene);
  background->SetAutoSize(true);
  background->TextureInfo.SetFolder("T");
  background->TextureInfo.SetNameAndNotify("BACKGROUND");
  auto* panel = new TVXControl(&scene);
  panel->SetParent(&scene);
  panel->SetBounds(100, 100, 300, 200);
  panel->SetColor(0x00204020u);
  panel->Border = true;
  auto* icon = new TVXControl(&scene);
  icon->SetParent(panel);
  icon->SetBounds(120, 120, 20, 10);
  icon->TextureInfo.SetFolder("T");
  icon->TextureInfo.SetNameAndNotify("SMALL");
  auto* text = new Caption(&scene);
  text->SetParent(panel);
  text->SetBounds(150, 120, 200, 20);
  text->Font.SetName("Tahoma");
  text->Text = "Hi";

  f.recorder->ClearCalls();
  scene.Process();
  const auto& calls = f.recorder->Calls;
  // Background in 4x3 tiles, the panel with its border, the icon, then the two glyphs.
  ASSERT_EQ(calls.size(), 12u + 2u + 1u + 2u) << f.recorder->Dump();
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(calls[i].Pattern, static_cast<int32_t>(i));
  EXPECT_EQ(calls[11].Bounds(), (TGfxRect{768, 512, 1024, 768}));
  EXPECT_EQ(calls[12].Op, "FillQuad");
  EXPECT_EQ(calls[13].Op, "WireQuad");
  EXPECT_EQ(calls[14].Bounds(), (TGfxRect{120, 120, 140, 130}));
  EXPECT_EQ(calls[15].Op, "TextureMap");
  EXPECT_EQ(calls[15].Bounds().Left, 150);
  EXPECT_EQ(f.engine->Textures()->Count(), 2);
}
