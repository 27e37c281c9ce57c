// Scenes and their theme files: the builder rules of AddControl, the texture preparation with
// its class defaults, every key of a theme section with its default, the edge cases of
// four-part values and out-of-range values, failures confined to one control, the progress
// hook, and a golden snapshot of every themed property of one control of each class.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "FrameworkFakes.h"
#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXComboBox.h"
#include "framework/VXContext.h"
#include "framework/VXListBox.h"
#include "framework/VXPageControl.h"
#include "framework/VXProgressBar.h"
#include "framework/VXScrollControl.h"
#include "framework/VXMenus.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A program folder with loose theme files and pictures, a context holding its settings and
// resource manager, and a toolkit host whose texture cache knows
// the pictures.
struct ThemeFixture {
  vxtest::TempDir dir;
  TVXContext context;
  TVXSetting* setting = nullptr;
  vxtest::FakeHost host;
  // Scenes made in a test are given the context.
  void Hold(TVXComponent& root) { root.SetContext(&context); }
  vxtest::FakeTextureSource source;
  TVXTextureList textures{&source};

  ThemeFixture() {
    fs::create_directories(dir.Path() / "program" / "Data" / "Pak");
    fs::create_directories(dir.Path() / "systemp");
    context.Setting = std::make_unique<TVXSetting>(dir.Str() + "/program/", dir.File("systemp"));
    setting = context.Setting.get();
    context.Resources =
        std::make_unique<TVXResourceManager>(setting->DataFolder, setting->PakFolder, setting->TempFolder);
    host.TextureList = &textures;
    context.Host = &host;
    vx::ClearLog();
  }
  void Theme(const std::string& scene, const std::string& text) {
    fs::create_directories(dir.Path() / "program" / "Data" / "Pak" / scene);
    vxtest::TempDir::WriteFile((dir.Path() / "program" / "Data" / "Pak" / scene / "theme.scn").string(), text);
  }
  // A loose picture (only its existence matters) that the texture cache can load.
  void Picture(const std::string& folder, const std::string& name, int32_t w = 10, int32_t h = 10) {
    fs::create_directories(dir.Path() / "program" / "Data" / "Pak" / folder);
    vxtest::TempDir::WriteFile((dir.Path() / "program" / "Data" / "Pak" / folder / (name + ".bmp")).string(), "BM");
    source.Pictures[folder + "\\" + name + ".bmp"] = {w, h};
  }
};

template <class T>
T* Add(TVXScene& scene, const std::string& name) {
  auto* c = new T(&scene);
  c->SetName(name);
  scene.AddControl(c);
  return c;
}

std::string Hex(uint32_t v) {
  std::ostringstream s;
  s << std::hex << std::uppercase << v;
  return s.str();
}

std::string Four(const std::array<uint32_t, 4>& v) {
  return Hex(v[0]) + "_" + Hex(v[1]) + "_" + Hex(v[2]) + "_" + Hex(v[3]);
}

std::string Four(const std::array<int32_t, 4>& v) {
  return std::to_string(v[0]) + "_" + std::to_string(v[1]) + "_" + std::to_string(v[2]) + "_" + std::to_string(v[3]);
}

// Every property the theme sets, as text.
std::string Snapshot(const TVXControl& c) {
  std::ostringstream o;
  o << "[" << c.Name() << "] " << typeid(c).name() << "\n";
  o << "  bounds " << c.Left() << "," << c.Top() << " " << c.Width() << "x" << c.Height() << "\n";
  o << "  DisableRenderTheme " << c.DisableRenderTheme() << " NoRender " << c.NoRender << " AutoSize " << c.AutoSize()
    << "\n";
  o << "  Alpha4 " << Four(c.Alpha4()) << " Color4 " << Four(c.Color4()) << " SavedColor4 " << Four(c.SavedColor4)
    << "\n";
  o << "  Border " << c.Border << " BorderColor4 " << Four(c.BorderColor4()) << "\n";
  o << "  Font '" << c.Font.Name() << "' " << c.Font.Size() << " " << Hex(c.Font.Color()) << " Alignment "
    << c.Alignment() << " Layout " << c.Layout() << " TextureScaleMode " << c.TextureScaleMode() << "\n";
  o << "  FadeIn " << c.FadeIn() << " FadeOut " << c.FadeOut() << " FadeSpeed " << c.FadeSpeed() << " FlyIn "
    << c.FlyIn() << " FlyOut " << c.FlyOut() << " FlySpeed " << c.FlySpeed() << "\n";
  o << "  Texture '" << c.TextureInfo.Folder() << "' '" << c.TextureInfo.Name() << "' loaded " << c.TextureLoaded()
    << "\n";
  if (auto* item = dynamic_cast<const TVXMenuItem*>(&c))
    o << "  RelativeToMenu " << item->TopRelativeToMenu() << "," << item->LeftRelativeToMenu() << "\n";
  if (auto* list = dynamic_cast<const TVXListBox*>(&c))
    o << "  Selection " << Four(list->SelectionColor4()) << " HeaderHeight " << list->ColumnHeaderHeight()
      << " ItemHeight " << list->ItemHeight() << "\n";
  if (auto* combo = dynamic_cast<const TVXComboBox*>(&c))
    o << "  Selection " << Four(combo->List()->SelectionColor4()) << " ItemHeight " << combo->ItemHeight() << "\n";
  for (size_t i = 0; i < 5; ++i) {
    const TVXEffects& e = c.Effects[i];
    o << "  effect" << i << " colour " << e.ColorEnabled << e.ColorContinuous << " " << Four(e.Color) << " "
      << e.ColorChangeSpeed << " text " << e.TextColorEnabled << e.TextColorContinuous << " " << Hex(e.TextColor)
      << " " << e.TextColorChangeSpeed << " alpha " << e.AlphaEnabled << e.AlphaContinuous << " "
      << e.AlphaBlendValue << " " << e.AlphaChangeSpeed << " scroll " << e.ScrollEnabled << " " << e.ScrollOptions
      << " " << e.ScrollDistance << " " << e.ScrollSpeed << " grow " << e.GrowEnabled << " " << e.GrowDistance
      << "\n";
  }
  o << "  running colour " << int(c.RunningEffect.ColorState.Phase) << " alpha " << int(c.RunningEffect.AlphaState.Phase)
    << "\n";
  return o.str();
}

constexpr const char* kFixtureTheme = R"([IMG_LOGO]
Left=10
Top=20
Width=30
Height=40
Alpha4=255_128_64_0
Color4=1_2_3_4
Border=1
BorderColor4=16711680_65280_255_0
FadeIn=1
FadeOut=1
FadeSpeed=3
FlyIn=2
FlyOut=4
FlySpeed=1
MouseCross=1
MouseCrossColor=255
FontDXName=Tahoma
NormalEffect_ColorEnabled=1
NormalEffect_Color=100_200_300_400
NormalEffect_ColorChangeSpeed=4
RollOverEffect_AlphaEnabled=1
RollOverEffect_AlphaBlendValue=128
CustomEffect3_GrowEnabled=1
CustomEffect3_GrowDistance=12

[PNL_BOX]
Left=5
Top=6
Width=700
Height=50
DisableRenderTheme=1
Color4=10_20

[LBL_TEXT]
Left=100
Top=110
Width=200
Height=30
FontSize=14
FontColor=255
Alignment=2
Layout=0
TextureScaleMode=2
CustomEffect_TextColorEnabled=1
CustomEffect_TextColor=65535
CustomEffect_TextColorContinuous=1

[BTN_GO]
Left=300
Top=400
Width=120
Height=34
FontDXName=ArialBold
RollOverEffect_ColorEnabled=1
RollOverEffect_Color=16777215
RollOverEffect_ScrollEnabled=1
RollOverEffect_ScrollOptions=3
RollOverEffect_ScrollDistance=8
RollOverEffect_ScrollSpeed=2

[TSBTN_TAB]
Width=90
Height=20

[EDT_NAME]
Left=50
Top=60
Width=150
Height=22
FontColor=-1
Alignment=1

[CB_PICK]
Left=400
Top=60
Width=150
Height=22
SelectionColor4=7_7_7_7
ItemHeight=18

[CB_CHECK]
Left=10
Top=500
FontDXName=Tiny
FontSize=9

[LB_LIST]
Left=20
Top=200
Width=300
Height=150
SelectionColor4=1_1_1_1
ColumnHeaderHeight=30
ItemHeight=16

[SB_SCROLL]
Left=330
Top=200
Width=100
Height=100

[PC_PAGES]
Left=450
Top=200
Width=300
Height=200

[PB_PROGRESS]
Left=20
Top=560
Width=400
Height=12
Color4=-16777216_-1_0_1

[MENU_FILE]
Left=0
Top=0
Width=80
Height=20

[MENU_OPEN]
TopRelativeToMenu=20
LeftRelativeToMenu=4
Width=80
Height=20

[LINE_RULE]
Left=0
Top=590
Width=800
Height=1

[IMG_REEL]
Left=600
Top=10
Width=64
Height=192
Autosize=0
)";

}  // namespace

// ---------------------------------------------------------------------------------------

TEST(SceneBuilder, AddControlParentsNamesAndFoldersAsScreensExpect) {
  ThemeFixture fx;
  TVXScene scene(nullptr, &fx.context);
  EXPECT_TRUE(scene.Hidden);
  EXPECT_FALSE(scene.Visible());
  EXPECT_TRUE(scene.NoRender);
  EXPECT_EQ(scene.ControlCount(), 1);
  EXPECT_EQ(scene.GetControl(0), scene.Background);
  EXPECT_EQ(scene.Background->Name(), "IMG_BACKGROUND");
  EXPECT_EQ(scene.Background->TextureInfo.Name(), "background");
  EXPECT_EQ(scene.Background->Width(), 800);
  EXPECT_EQ(scene.NoImageFile, fx.setting->ProgramFolder + "Editor\\noimage.bmp");

  scene.SetSceneName("LOBBY");
  EXPECT_EQ(scene.Name(), "LOBBY");
  auto* img = Add<TVXImage>(scene, "IMG_A");
  EXPECT_EQ(img->Parent(), &scene);
  EXPECT_EQ(img->TextureInfo.Name(), "IMG_A");
  EXPECT_EQ(img->TextureInfo.Folder(), "LOBBY");
  auto* panel = Add<TVXPanel>(scene, "PNL_HOLDER");
  auto* inner = new TVXImage(&scene);
  inner->SetName("IMG_INNER");
  inner->SetParent(panel);
  inner->TextureInfo.SetName("shared");
  inner->TextureInfo.SetFolder("COMMON");
  scene.AddControl(inner);
  EXPECT_EQ(inner->Parent(), panel);  // a parent set in code stays
  EXPECT_EQ(inner->TextureInfo.Name(), "shared");
  EXPECT_EQ(inner->TextureInfo.Folder(), "COMMON");
  scene.Client = panel;
  auto* late = Add<TVXImage>(scene, "IMG_LATE");
  EXPECT_EQ(late->Parent(), panel);
  // In one call: a label takes the text, a check box the caption; a parent given stays.
  auto* label = scene.AddControl<TVXLabel>("LBL_T", "Text", &scene);
  EXPECT_EQ(label->Parent(), &scene);
  EXPECT_EQ(label->Caption(), "Text");
  EXPECT_EQ(scene.AddControl<TVXCheckBox>("CHK_T", "Box")->Parent(), panel);
  EXPECT_EQ(dynamic_cast<TVXCheckBox*>(scene.FindControl("CHK_T"))->Caption(), "Box");

  EXPECT_EQ(scene.FindControl("IMG_A"), img);
  EXPECT_EQ(scene.FindControl("img_a"), nullptr);  // exact names
  delete img;  // a control freed elsewhere drops out of the list
  EXPECT_EQ(scene.FindControl("IMG_A"), nullptr);
  EXPECT_EQ(scene.GetControl(1), nullptr);

  scene.Show();
  EXPECT_FALSE(scene.Hidden);
  EXPECT_TRUE(scene.Visible());
  scene.Hide();
  EXPECT_TRUE(scene.Hidden);
  EXPECT_FALSE(scene.Visible());
}

TEST(SceneBuilder, FreeingASceneClearsTheFocusWhenItHeldIt) {
  ThemeFixture fx;
  auto* scene = new TVXScene(nullptr);
  fx.Hold(*scene);
  auto* edit = Add<TVXEdit>(*scene, "EDT_X");
  edit->SetFocused(true);
  EXPECT_EQ(fx.host.ActiveControl(), edit);
  vx::ClearLog();
  delete scene;
  EXPECT_EQ(fx.host.ActiveControl(), nullptr);
  EXPECT_TRUE(vx::LogContains("INFO: ACTIVECONTROL IS: NONE"));
}

TEST(SceneBuilder, TheRootSceneIsShownEndsTheEnabledChainAndDoesNotDrawItsBackground) {
  ThemeFixture fx;
  TVXMainScene root(nullptr);
  fx.Hold(root);
  EXPECT_TRUE(root.Visible());
  EXPECT_TRUE(root.IsEnabled());
  EXPECT_TRUE(root.Background->NoRender);
  root.SetVisible(false);
  EXPECT_TRUE(root.IsEnabled());
}

// ---------------------------------------------------------------------------------------

TEST(ThemeKeys, FourPartColoursFillFromTheEndsAndBecomeTheEffectsBase) {
  ThemeFixture fx;
  fx.Theme("T", "[A]\nColor4=10_20\n[B]\nColor4=5\n[C]\nColor4=1_2_3_4_5\n[D]\nColor4=junk\n");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  const TColor4 current{0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};
  for (const char* n : {"A", "B", "C", "D"}) Add<TVXPanel>(scene, n)->SetColor4(current);
  scene.LoadTheme("x");
  auto colours = [&](const char* n) { return dynamic_cast<TVXControl*>(scene.FindControl(n))->Color4(); };
  // The alpha bytes come from Alpha4 (255): only the colour parts are compared.
  auto rgb = [](TColor4 c) {
    for (auto& v : c) v &= 0xFFFFFFu;
    return c;
  };
  EXPECT_EQ(rgb(colours("A")), (TColor4{10, 2, 3, 20}));
  EXPECT_EQ(rgb(colours("B")), (TColor4{1, 2, 3, 5}));
  EXPECT_EQ(rgb(colours("C")), (TColor4{1, 2, 3, 4}));
  EXPECT_EQ(rgb(colours("D")), (TColor4{1, 2, 3, 4}));
  EXPECT_EQ(dynamic_cast<TVXControl*>(scene.FindControl("A"))->SavedColor4, colours("A"));
}

TEST(ThemeKeys, KeysWithATableDefaultResetWhatCodeSetAndOthersKeepIt) {
  ThemeFixture fx;
  fx.Theme("T", "[LBL_X]\nLeft=3\n[IMG_X]\nFontDXName=Courier\n");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* label = Add<TVXLabel>(scene, "LBL_X");
  label->Font.SetName("Tahoma");
  label->Font.SetSize(21);
  label->Border = true;
  label->SetFadeIn(true);
  label->SetFlyIn(3);
  label->SetTop(77);
  label->Effects[0].ColorContinuous = true;
  label->Effects[0].TextColorContinuous = true;
  label->Effects[0].ColorChangeSpeed = 3;
  auto* image = Add<TVXImage>(scene, "IMG_X");
  image->Font.SetName("Keep");
  scene.LoadTheme("x");
  EXPECT_EQ(label->Left(), 3);
  EXPECT_EQ(label->Top(), 77);          // no key: as coded
  EXPECT_EQ(label->Font.Size(), 21);    // no key: as coded
  EXPECT_EQ(label->Font.Name(), "ArialBlack");  // no key: the table's default
  EXPECT_FALSE(label->Border);
  EXPECT_FALSE(label->FadeIn());
  EXPECT_EQ(label->FlyIn(), 0);
  EXPECT_TRUE(label->Effects[0].ColorContinuous);       // default "current"
  EXPECT_FALSE(label->Effects[0].TextColorContinuous);  // default false, whatever was there
  EXPECT_EQ(label->Effects[0].ColorChangeSpeed, 0);
  EXPECT_EQ(image->Font.Name(), "Keep");  // no text keys for an image
}

TEST(ThemeKeys, ValuesOutOfRangeKeepTheCurrentValueAndGeometryIsClamped) {
  ThemeFixture fx;
  fx.Theme("T",
           "[PNL_X]\nLeft=99999999\nTop=-99999999\nWidth=-50\nHeight=2147483647\nAlpha4=999_10_-1_20\n"
           "FadeSpeed=300\nFlySpeed=-1\nFlyIn=9\nFlyOut=-2\n"
           "NormalEffect_ScrollOptions=12\nNormalEffect_ColorChangeSpeed=256\nNormalEffect_AlphaBlendValue=1000\n"
           "NormalEffect_ScrollDistance=-5\n"
           "[LBL_X]\nAlignment=-1\nLayout=256\nTextureScaleMode=1\n");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* panel = Add<TVXPanel>(scene, "PNL_X");
  panel->SetFadeSpeed(2);
  panel->SetFlySpeed(1);
  panel->SetFlyIn(1);
  panel->SetFlyOut(2);
  panel->SetAlpha4({1, 2, 3, 4});
  panel->Effects[0].ScrollOptions = sdUp;
  panel->Effects[0].ColorChangeSpeed = 2;
  panel->Effects[0].AlphaBlendValue = 40;
  auto* label = Add<TVXLabel>(scene, "LBL_X");
  label->SetAlignment(taCenter);
  label->SetLayout(tlBottom);
  scene.LoadTheme("x");
  EXPECT_EQ(panel->Left(), vx::kCoordinateLimit);
  EXPECT_EQ(panel->Top(), -vx::kCoordinateLimit);
  EXPECT_EQ(panel->Width(), 0);
  EXPECT_EQ(panel->Height(), vx::kCoordinateLimit);
  EXPECT_EQ(panel->Alpha4(), (TAlpha4{1, 10, 3, 20}));
  EXPECT_EQ(panel->FadeSpeed(), 2);
  EXPECT_EQ(panel->FlySpeed(), 1);
  EXPECT_EQ(panel->FlyIn(), 1);
  EXPECT_EQ(panel->FlyOut(), 2);
  EXPECT_EQ(panel->Effects[0].ScrollOptions, sdUp);
  EXPECT_EQ(panel->Effects[0].ColorChangeSpeed, 2);
  EXPECT_EQ(panel->Effects[0].AlphaBlendValue, 40);
  EXPECT_EQ(panel->Effects[0].ScrollDistance, 0);
  EXPECT_EQ(label->Alignment(), taCenter);
  EXPECT_EQ(label->Layout(), tlBottom);
  EXPECT_EQ(label->TextureScaleMode(), 1);
}

TEST(ThemeKeys, ScrollOptionsNameOneDirection) {
  ThemeFixture fx;
  std::string theme;
  for (int n = 1; n <= 4; ++n)
    theme += "[P" + std::to_string(n) + "]\nRollOverEffect_ScrollOptions=" + std::to_string(n) + "\n";
  fx.Theme("T", theme);
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  for (int n = 1; n <= 4; ++n) Add<TVXPanel>(scene, "P" + std::to_string(n));
  scene.LoadTheme("x");
  const uint32_t want[] = {sdRight, sdLeft, sdDown, sdUp};
  for (int n = 1; n <= 4; ++n)
    EXPECT_EQ(dynamic_cast<TVXControl*>(scene.FindControl("P" + std::to_string(n)))->Effects[1].ScrollOptions,
              want[n - 1]);
}

TEST(ThemeKeys, AControlWithoutANameIsPreparedButReadsNoKeys) {
  ThemeFixture fx;
  fx.Theme("T", "[]\nLeft=77\n");
  fx.Picture("T", "own");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* anonymous = new TVXImage(&scene);
  anonymous->TextureInfo.SetName("own");
  scene.AddControl(anonymous);
  scene.LoadTheme("x");
  EXPECT_EQ(anonymous->Left(), 0);
  EXPECT_TRUE(anonymous->TextureLoaded());
  EXPECT_EQ(anonymous->TextureInfo.Folder(), "T");
}

TEST(ThemeKeys, TwoControlsOfOneNameAreStyledAlikeAndFindControlGivesTheFirst) {
  ThemeFixture fx;
  fx.Theme("T", "[LBL_TWIN]\nLeft=44\nFontSize=17\n");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* first = Add<TVXLabel>(scene, "LBL_TWIN");
  auto* second = Add<TVXLabel>(scene, "LBL_TWIN");
  scene.LoadTheme("x");
  EXPECT_EQ(scene.FindControl("LBL_TWIN"), first);
  EXPECT_EQ(first->Left(), 44);
  EXPECT_EQ(second->Left(), 44);
  EXPECT_EQ(second->Font.Size(), 17);
}

TEST(ThemeTextures, MissingPicturesFallBackToTheClassDefaults) {
  ThemeFixture fx;
  fx.Theme("T", "");
  fx.Picture("COMMON", "BTN_ALL");
  fx.Picture("COMMON", "TSBTN_ALL");
  fx.Picture("COMMON", "CB_ALL");
  fx.Picture("T", "BTN_OWN");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* plain = Add<TVXButton>(scene, "BTN_PLAIN");
  auto* own = Add<TVXButton>(scene, "BTN_OWN");
  auto* tab = Add<TVXTabSheetButton>(scene, "TSBTN_X");
  auto* check = Add<TVXCheckBox>(scene, "CB_X");
  auto* image = Add<TVXImage>(scene, "IMG_NONE");
  scene.LoadTheme("x");
  auto where = [](TVXControl* c) { return c->TextureInfo.Folder() + "\\" + c->TextureInfo.Name(); };
  EXPECT_EQ(where(plain), "COMMON\\BTN_ALL");
  EXPECT_TRUE(plain->TextureLoaded());
  EXPECT_EQ(where(own), "T\\BTN_OWN");
  EXPECT_EQ(where(tab), "COMMON\\TSBTN_ALL");
  EXPECT_EQ(where(check), "COMMON\\CB_ALL");
  EXPECT_EQ(where(image), "T\\IMG_NONE");  // no default: it keeps its missing picture
  EXPECT_FALSE(image->TextureLoaded());
  // The texture names carry the casino folder as their prefix.
  EXPECT_EQ(plain->TextureInfo.Prefix(), fx.setting->CasinoFolder);
}

TEST(ThemeTextures, InnerControlsOfCompositeWidgetsGetTheSharedPictures) {
  ThemeFixture fx;
  fx.Theme("T", "");
  fx.Picture("COMMON", "BTN_SCROLLUP");
  fx.Picture("COMMON", "BTN_SCROLLDOWN");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* list = Add<TVXListBox>(scene, "LB_X");
  auto* combo = Add<TVXComboBox>(scene, "CB_COMBO");
  auto* pages = Add<TVXPageControl>(scene, "PC_X");
  pages->TextureInfo.SetFolder("PAGES");
  auto* sheet = new TVXTabSheet(pages);
  sheet->TextureInfo.SetName("SHEET");
  pages->AddPage(sheet, new TVXTabSheetButton(pages));
  scene.LoadTheme("x");
  EXPECT_EQ(list->ScrollBar()->UpButton()->TextureInfo.Name(), "BTN_SCROLLUP");
  EXPECT_EQ(list->ScrollBar()->UpButton()->TextureInfo.Folder(), "COMMON");
  EXPECT_EQ(list->ScrollBar()->DownButton()->TextureInfo.Name(), "BTN_SCROLLDOWN");
  EXPECT_EQ(combo->DropButton()->TextureInfo.Name(), "BTN_SCROLLDOWN");
  EXPECT_EQ(combo->DropButton()->TextureInfo.Folder(), "COMMON");
  EXPECT_EQ(combo->List()->TextureInfo.Folder(), "T");
  EXPECT_EQ(sheet->TextureInfo.Folder(), "PAGES");
  // Every one of them asked the texture cache for its picture.
  auto asked = [&](const std::string& key) {
    return std::find(fx.source.Requests.begin(), fx.source.Requests.end(), key) != fx.source.Requests.end();
  };
  EXPECT_TRUE(asked("COMMON\\BTN_SCROLLUP.bmp"));
  EXPECT_TRUE(asked("PAGES\\SHEET.bmp"));
}

TEST(ThemeFailures, AMissingThemeIsLoggedAndControlsKeepTheirCodedLook) {
  ThemeFixture fx;
  fx.Picture("NOTHEME", "IMG_A");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("NOTHEME");
  auto* image = Add<TVXImage>(scene, "IMG_A");
  image->SetBounds(1, 2, 3, 4);
  image->Border = true;
  scene.LoadTheme("x");
  EXPECT_TRUE(vx::LogContains("ERROR: Cannot load theme-config for scene NOTHEME"));
  EXPECT_EQ(image->Left(), 1);
  EXPECT_TRUE(image->Border);
  EXPECT_TRUE(image->TextureLoaded());  // still prepared
}

TEST(ThemeFailures, OneControlThatFailsLeavesTheRestOfTheSceneThemed) {
  ThemeFixture fx;
  fx.Theme("T", "[IMG_A]\nLeft=1\n[IMG_BAD]\nLeft=2\n[IMG_C]\nLeft=3\n");
  class Broken : public TVXImage {
  public:
    using TVXImage::TVXImage;
    int32_t LoadTexture() override { throw std::runtime_error("picture damaged"); }
  };
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  auto* a = Add<TVXImage>(scene, "IMG_A");
  Add<Broken>(scene, "IMG_BAD");
  auto* c = Add<TVXImage>(scene, "IMG_C");
  scene.LoadTheme("x");
  EXPECT_EQ(a->Left(), 1);
  EXPECT_EQ(c->Left(), 3);
  EXPECT_TRUE(vx::LogContains("ERROR: Theme of T\\IMG_BAD: picture damaged"));
}

TEST(ThemeProgress, TheHookSeesEachControlOnceAndIsGoneAfterTheLoad) {
  ThemeFixture fx;
  fx.Theme("T", "");
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  Add<TVXImage>(scene, "IMG_A");
  auto* b = Add<TVXLabel>(scene, "LBL_B");
  Add<TVXButton>(scene, "BTN_C");
  scene.MoveControlToEnd(b);
  std::vector<std::string> seen;
  scene.LoadThemeWithProgress("x", [&](TVXScene* s, int32_t kind, const std::string& name, int32_t index) {
    EXPECT_EQ(s, &scene);
    EXPECT_EQ(kind, 1);
    seen.push_back(name + "@" + std::to_string(index));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"IMG_BACKGROUND@0", "IMG_A@1", "BTN_C@2", "LBL_B@3"}));
  EXPECT_FALSE(scene.OnLoadControl);

  // A hook that fails, or that frees a control still to come, is survived; the hook is gone
  // afterwards all the same.
  seen.clear();
  scene.LoadThemeWithProgress("x", [&](TVXScene*, int32_t, const std::string& name, int32_t) {
    seen.push_back(name);
    if (name == "IMG_A") delete scene.FindControl("BTN_C");
    if (name == "LBL_B") throw std::runtime_error("progress bar gone");
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"IMG_BACKGROUND", "IMG_A", "LBL_B"}));
  EXPECT_TRUE(vx::LogContains("progress bar gone"));
  EXPECT_FALSE(scene.OnLoadControl);
}

TEST(ThemeProgress, DeveloperModeLogsTheTextureCount) {
  ThemeFixture fx;
  fx.Theme("T", "");
  fx.context.AppInfo = std::make_unique<TVXApplicationInfo>();
  fx.context.AppInfo->DeveloperMode = true;
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("T");
  scene.LoadTheme("x");
  fx.context.AppInfo.reset();
  EXPECT_TRUE(vx::LogContains("INFO: TextureCount: 0"));
}

// ---------------------------------------------------------------------------------------

TEST(ThemeSnapshot, EveryThemedPropertyOfOneControlOfEachClass) {
  ThemeFixture fx;
  fx.Theme("FIXTURE", kFixtureTheme);
  fx.Picture("FIXTURE", "IMG_LOGO", 48, 24);
  fx.Picture("COMMON", "BTN_ALL", 120, 34);
  TVXScene scene(nullptr);
  fx.Hold(scene);
  scene.SetSceneName("FIXTURE");
  Add<TVXImage>(scene, "IMG_LOGO");
  Add<TVXPanel>(scene, "PNL_BOX");
  Add<TVXLabel>(scene, "LBL_TEXT")->SetText("Text");
  Add<TVXButton>(scene, "BTN_GO")->SetText("GO");
  Add<TVXTabSheetButton>(scene, "TSBTN_TAB");
  Add<TVXEdit>(scene, "EDT_NAME");
  Add<TVXComboBox>(scene, "CB_PICK");
  Add<TVXCheckBox>(scene, "CB_CHECK");
  Add<TVXListBox>(scene, "LB_LIST");
  Add<TVXScrollBox>(scene, "SB_SCROLL");
  Add<TVXPageControl>(scene, "PC_PAGES");
  Add<TVXProgressBar>(scene, "PB_PROGRESS");
  auto* menu = Add<TVXMenu>(scene, "MENU_FILE");
  auto* item = Add<TVXMenuItem>(scene, "MENU_OPEN");
  menu->Add(item);
  Add<TVXLine>(scene, "LINE_RULE");
  Add<TVXScrollingImage>(scene, "IMG_REEL");
  scene.LoadTheme("MakeDefault");

  std::string text;
  for (int32_t i = 0; i < scene.ControlCount(); ++i) {
    if (auto* c = dynamic_cast<TVXControl*>(scene.GetControl(i))) text += Snapshot(*c);
  }
  const std::string golden = std::string(VX_SOURCE_DIR) + "/tests/golden/shell/theme_snapshot.txt";
  if (std::getenv("VX_UPDATE_GOLDEN") != nullptr) {
    fs::create_directories(fs::path(golden).parent_path());
    vxtest::TempDir::WriteFile(golden, text);
  }
  ASSERT_TRUE(fs::exists(golden)) << "no golden file; run once with VX_UPDATE_GOLDEN=1 and review it";
  EXPECT_EQ(text, vxtest::TempDir::ReadFile(golden));
}
