// The slot machines' screens drawn for real after a spin: the game builds its screen, the
// repository's theme and the generator's pictures dress it, a seeded spin runs to its end and
// the results loop marks its count wins; the engine draws on the GPU device (Mesa's software
// GL, headless) and the frame is compared with its golden picture (tests/golden/slots/).
// With VX_SCREENSHOT_DIR set, the frames are kept as PNG too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Random.h"
#include "framework/VXApplication.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/Slots.h"
#include "games/SlotsAnims.h"
#include "games/SlotsScene.h"
#include "games/VXReel.h"
#include "ScreenRig.h"
#include "platform/Files.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"
#include "tools/datagen/Preview.h"

namespace fs = std::filesystem;

namespace {


// The slot screens' share of the program folder.
class ProgramData : public screenrig::ProgramData {
public:
  ProgramData()
      : screenrig::ProgramData([](const std::string& folder) {
          bool wanted = folder.rfind("SLOTS", 0) == 0;
          for (const char* f : {"REELS", "COMMON", "SERIES", "CardSet1"}) wanted = wanted || folder == f;
          return wanted;
        }) {}
};

class SlotScreens : public ::testing::TestWithParam<int32_t> {
protected:
  static void SetUpTestSuite() { data_ = new ProgramData(); }
  static void TearDownTestSuite() {
    delete data_;
    data_ = nullptr;
  }
  SlotScreens()
      : settings(*(window.Context.Setting = std::make_unique<TVXSetting>(data_->dir.Str() + "/", data_->dir.Str() + "/systemtemp"))),
        resources(*(window.Context.Resources = std::make_unique<TVXResourceManager>(
                        data_->dir.File("data"), data_->dir.File("pak"), data_->dir.Str() + "/systemtemp"))) {
    vx::SetRng(std::make_unique<vx::DefaultRandom>(20261209));
    engine.SetWidth(800);
    engine.SetHeight(600);
    engine.ResourceManager = &resources;
    engine.LoadFonts();
  }
  ~SlotScreens() override {
    window.OnFrame = nullptr;
    game.reset();
    window.Reset();
    vx::SetRng(nullptr);
  }

  static ProgramData* data_;
  TGfxForm form;
  TVXEngine engine{&form, nullptr, false};
  TVXEngineHost host{&engine};
  screenrig::ScreenWindow window{&host};
  TVXSetting& settings;
  TVXResourceManager& resources;
  TVXGameManager catalogue;
  std::unique_ptr<TSlots> game;
  std::vector<uint32_t> pixels;
};

ProgramData* SlotScreens::data_ = nullptr;

TEST_P(SlotScreens, ForcedSpinShowsCabinetReelsSymbolsAndWins) {
  if (!engine.Started() || engine.FontCount() == 0) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  game = std::make_unique<TSlots>(catalogue.FindGameByID(GetParam()), &window.Context, nullptr);
  TSlots& g = *game;
  TSlotsScene& s = *g.SlotsScene;
  s.LoadTheme("");
  s.Show();
  g.StopDemo();
  window.OnFrame = [&] {
    for (TVXReel* r : s.Reels) r->StepMotion();
  };
  g.Data->Money.Reset(1000);
  g.Spin();
  ASSERT_TRUE(g.ReelsStill());
  // The results loop's first marks: the count wins' boxes light, the message blinks.
  g.StopResults();
  g.Results->Start();
  for (int i = 0; i < 3; ++i) g.Results->Step();
  for (TVXLine* m : g.Lines[1].Markers) m->SetVisible(true);
  // Nothing is left unsized or without its picture: a cell shows its symbols.
  for (TVXReel* r : s.Reels) {
    EXPECT_TRUE(r->TextureLoaded()) << r->Name();
    ASSERT_NE(r->CurrentSymbol(), nullptr);
    EXPECT_EQ(r->SymbolHeight, 80);
    EXPECT_EQ(r->Offset, r->RestOffset);
  }
  // However long the running text grows, the info line shows whole rows: the first, and no
  // part of another beside the buttons.
  const std::string shown = s.LblInfo->Caption();
  s.LblInfo->SetText("Win: Line:Bell Line:Bell Line (2):Cherry Line (2):Cherry Cherryx9 x3 Line:Bell Line:Bell "
                     "Line (2):Cherry Line (2):Cherry Line:Melon Line:Melon Line:Plum Line:Plum Line:Orange");
  const auto rows = static_cast<int32_t>(s.LblInfo->Rows().size());
  ASSERT_GT(rows, 1);
  const int32_t rowHeight = (s.LblInfo->TextHeight() - 2 * (rows - 1)) / rows;
  EXPECT_GE(s.LblInfo->Rows()[0].Y, 0);
  for (const TVXStringLine& row : s.LblInfo->Rows())
    EXPECT_TRUE(row.Y >= s.LblInfo->Height() || row.Y + rowHeight <= s.LblInfo->Height()) << row.Text;
  s.LblInfo->SetText(shown);
  for (const auto& sym : g.Symbols) {
    if (sym->Id != 0) {
      EXPECT_TRUE(resources.FileExists(sym->TextureInfo.Key())) << sym->TextureInfo.Key();
    }
  }

  TGfxDevice* device = engine.Device();
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(device->Clear(0xFF000000u), 0);
    ASSERT_EQ(device->BeginScene(), 0);
    window.MainScene()->Process();
    ASSERT_EQ(device->EndScene(), 0);
  }
  int32_t w = 0, h = 0;
  ASSERT_EQ(device->ReadFrame(pixels, w, h), 0);
  const std::string name = s.SceneName() + (GetParam() == 34 ? "_CARDS" : "");
  if (const char* keep = std::getenv("VX_SCREENSHOT_DIR")) {
    fs::create_directories(keep);
    vx::datagen::Picture pic(800, 600);
    for (size_t i = 0; i < pixels.size(); ++i) pic.pixels[i] = pixels[i] | 0xFF000000u;
    vx::datagen::WritePng(pic, std::string(keep) + "/" + name + ".png");
  }
  vxtest::GoldenRules rules;
  rules.Tolerance = 2;
  EXPECT_EQ(vxtest::CompareWithGolden("slots/" + name, vxtest::Shot{800, 600, pixels}, rules), "");
}

INSTANTIATE_TEST_SUITE_P(Layouts, SlotScreens, ::testing::Values(31, 32, 33, 34),
                         [](const ::testing::TestParamInfo<int32_t>& p) { return "Game" + std::to_string(p.param); });

}  // namespace
