// The linter's own checks, on a small program folder made here: one scene with one control of
// each kind, a clean theme and its pictures, then one fault at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "LintWorld.h"
#include "SceneRegistry.h"
#include "ThemeLint.h"
#include "core/Log.h"
#include "framework/VXEngine.h"
#include "framework/VXComboBox.h"
#include "framework/VXMenus.h"
#include "framework/VXPageControl.h"
#include "framework/VXParticles.h"
#include "framework/VXScrollControl.h"
#include "framework/VXScene.h"
#include "framework/VXWidgets.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

using namespace themelint;
namespace fs = std::filesystem;

namespace {

class TestScene : public TVXScene {
public:
  TestScene(TVXComponent* owner, bool memoBar) : TVXScene(owner) {
    SetSceneName("LINTTEST");
    // A scroll box whose bar (with its two buttons, pictures of nobody's) the scene hides.
    Add<TVXScrollBox>("MEMO")->ScrollBar()->SetVisible(memoBar);
    Add<TVXImage>("IMG_LOGO");
    Add<TVXLabel>("LBL_TITLE")->SetText("Title");
    Add<TVXButton>("BTN_GO")->SetText("GO");
    Add<TVXCheckBox>("CB_SOUND");
    Add<TVXComboBox>("CBO_NAME");
    Add<TVXPanel>("PNL_AREA");
    LoadTheme("");
  }

private:
  template <class T>
  T* Add(const std::string& name) {
    T* c = new T(this);
    c->SetName(name);
    AddControl(c);
    return c;
  }
};

const char* const kCleanTheme = R"([IMG_BACKGROUND]
Left=0
Top=0
Width=800
Height=600

[IMG_LOGO]
Left=10
Top=10
Width=100
Height=50

[LBL_TITLE]
Left=120
Top=10
Width=200
Height=30
FontDXName=ArialBold
FontColor=12773107
Alignment=2

[BTN_GO]
Left=10
Top=100
Width=120
Height=34
FontDXName=ArialBlack
RollOverEffect_ColorEnabled=1
RollOverEffect_Color=1_2_3_4

[CB_SOUND]
Left=10
Top=150
Width=22
Height=22

[CBO_NAME]
Left=10
Top=200
Width=200
Height=26
SelectionColor4=1_2_3_4
ItemHeight=20

[MEMO]
Left=10
Top=400
Width=300
Height=60

[PNL_AREA]
Left=300
Top=300
Width=100
Height=100
Color4=255_255_255_255
)";

class LintChecks : public ::testing::Test {
protected:
  LintChecks() {
    const fs::path generated(GeneratedProgramFolder());
    fs::create_directories(Pak());
    fs::copy_file(generated / "Data" / "fonts.vxr", ProgramDir() / "Data" / "fonts.vxr");
    fs::copy_file(generated / "Data" / "Pak" / "default.vxr", Pak() / "default.vxr");
    fs::create_directories(dir.Path() / "temp");
    for (const char* p : {"background", "IMG_LOGO", "CB_SOUND", "CB_SOUND_checked"}) Picture(p);
    theme = kCleanTheme;
  }

  fs::path ProgramDir() const { return dir.Path() / "program"; }
  fs::path Pak() const { return ProgramDir() / "Data" / "Pak"; }
  void Picture(const std::string& name) {
    fs::create_directories(Pak() / "LINTTEST");
    vxtest::TempDir::WriteFile((Pak() / "LINTTEST" / (name + ".bmp")).string(),
                               vx::EncodeScreenshotBmp(4, 4, std::vector<uint32_t>(16, 0xFF336699u)));
  }
  void RemovePicture(const std::string& name) { fs::remove(Pak() / "LINTTEST" / (name + ".bmp")); }
  // Replaces the first occurrence of `from` in the theme.
  void Edit(const std::string& from, const std::string& to) {
    const auto at = theme.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    theme.replace(at, from.size(), to);
  }

  std::vector<Finding> Lint(bool writeTheme = true, std::vector<std::string> themeKeys = {"LINTTEST\\theme.scn"},
                            std::string awaitsArt = {}) {
    if (writeTheme) vxtest::TempDir::WriteFile((Pak() / "LINTTEST" / "theme.scn").string(), theme);
    LintWorld world(ProgramDir().string() + "/", (dir.Path() / "temp").string(),
                    std::make_unique<vxtest::RecordingDevice>());
    EXPECT_TRUE(world.Started());
    const std::vector<SceneEntry> entries = {
        {"test scene",
         [this](LintContext& ctx) -> TVXScene* { return ctx.Own(new TestScene(ctx.Root(), memoBar)); }, awaitsArt}};
    const LintRun run = LintScenes(world, entries, exemptions, themeKeys);
    waiting = run.Waiting;
    return run.Findings;
  }

  static std::string All(const std::vector<Finding>& findings) {
    std::string s;
    for (const auto& f : findings) s += "\n  " + f.ToString();
    return s;
  }
  // The findings about one control and key whose problem mentions `words`.
  static int Count(const std::vector<Finding>& findings, const std::string& control, const std::string& key,
                   const std::string& words) {
    int n = 0;
    for (const auto& f : findings)
      if (f.Control == control && f.Key == key && f.Problem.find(words) != std::string::npos) ++n;
    return n;
  }

  vxtest::TempDir dir;
  std::string theme;
  std::vector<Exemption> exemptions;
  std::vector<std::string> waiting;
  bool memoBar = false;
};

}  // namespace

TEST_F(LintChecks, ACleanSceneHasNothingToReport) {
  const auto findings = Lint();
  EXPECT_TRUE(findings.empty()) << All(findings);
}

TEST_F(LintChecks, MisspeltMisplacedAndRepeatedKeysAreReportedWithSceneControlKeyAndFile) {
  Edit("Width=100\nHeight=50", "Widht=100\nHeight=50\nTextureScaleMode=1\nLeft=12");
  Edit("[IMG_BACKGROUND]", "Stray=1\n[IMG_BACKGROUND]");
  Edit("Alignment=2", "Alignment=2\nSomething without an equals sign");
  const auto findings = Lint();
  EXPECT_EQ(Count(findings, "IMG_LOGO", "Widht", "unknown key"), 1) << All(findings);
  // The key exists, but the reader takes it only for text controls.
  EXPECT_EQ(Count(findings, "IMG_LOGO", "TextureScaleMode", "not read for this image"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "", "", "key Left again"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "", "", "before any section"), 1) << All(findings);
  // The reader takes a line without "=" as a key without a value: reported both ways.
  EXPECT_EQ(Count(findings, "", "", "not a Key=Value line"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITLE", "Something without an equals sign", "unknown key"), 1) << All(findings);
  EXPECT_EQ(findings.size(), 6u) << All(findings);
  for (const auto& f : findings) {
    if (f.Key != "Widht") continue;
    EXPECT_EQ(f.ToString(),
              "test scene [IMG_LOGO] Widht: unknown key: the theme reader never reads it (LINTTEST\\theme.scn)");
  }
}

TEST_F(LintChecks, ValuesTheReaderCannotTakeAreReported) {
  Edit("Top=10\nWidth=100", "Top=12px\nAlpha4=255_255\nFlyIn=7\nBorder=yes\nWidth=100");
  Edit("Alignment=2", "Alignment=5\nColor4=1_2_3_4_5\nFontSize=$1A");
  Edit("Height=22", "Height=22\nAlpha4=0_0_0_300");
  const auto findings = Lint();
  EXPECT_EQ(Count(findings, "IMG_LOGO", "Top", "not an integer"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "IMG_LOGO", "Alpha4", "not four alphas"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "IMG_LOGO", "FlyIn", "outside 0..4"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "IMG_LOGO", "Border", "not 0 or 1"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITLE", "Alignment", "outside 0..2"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITLE", "Color4", "not four integers"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "CB_SOUND", "Alpha4", "not four alphas"), 1) << All(findings);
  // A hexadecimal number is a number to the reader.
  EXPECT_EQ(Count(findings, "LBL_TITLE", "FontSize", ""), 0) << All(findings);
}

TEST_F(LintChecks, ControlsWithoutSectionsAndSectionsWithoutControlsAreReported) {
  Edit("[LBL_TITLE]", "[LBL_TITEL]");
  auto findings = Lint(true, {"LINTTEST\\theme.scn", "OTHER\\theme.scn"});
  EXPECT_EQ(Count(findings, "LBL_TITLE", "", "no section for this label"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITEL", "", "no registered scene creates"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "", "", "no registered scene reads this theme"), 1) << All(findings);

  // An exempted control needs no section; the stray section is still stray.
  exemptions.push_back({[](const TVXScene& scene, const TVXCustomControl& control) {
                          return scene.SceneName() == "LINTTEST" && control.Name() == "LBL_TITLE";
                        },
                        "placed by its scene's code"});
  findings = Lint();
  EXPECT_EQ(Count(findings, "LBL_TITLE", "", "no section"), 0) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITEL", "", "no registered scene creates"), 1) << All(findings);
}

TEST_F(LintChecks, PicturesThatWouldLeaveAColourBoxAreReported) {
  RemovePicture("IMG_LOGO");
  RemovePicture("CB_SOUND_checked");
  Edit("Color4=255_255_255_255\n", "");
  auto findings = Lint();
  EXPECT_EQ(Count(findings, "IMG_LOGO", "LINTTEST\\IMG_LOGO.bmp", "draws an opaque colour box (10,10 100x50)"), 1)
      << All(findings);
  EXPECT_EQ(Count(findings, "CB_SOUND", "LINTTEST\\CB_SOUND_checked.bmp", "other state"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "PNL_AREA", "LINTTEST\\PNL_AREA.bmp", "no picture"), 1) << All(findings);
  // The button falls back to the shared button picture; the label and the combo box are
  // text on colours; none of them is reported.
  EXPECT_EQ(findings.size(), 3u) << All(findings);

  // A see-through image shows nothing without its picture, until an alpha effect raises it;
  // a picture that exists but is no picture is as bad as none.
  Edit("Width=100\nHeight=50", "Width=100\nHeight=50\nAlpha4=0_0_0_0");
  Edit("Width=100\nHeight=100", "Width=100\nHeight=100\nColor4=1_2_3_4");
  vxtest::TempDir::WriteFile((Pak() / "LINTTEST" / "CB_SOUND_checked.bmp").string(), "BM not really a picture");
  RemovePicture("CB_SOUND");
  vxtest::TempDir::WriteFile((Pak() / "LINTTEST" / "CB_SOUND.bmp").string(), "BM not really a picture");
  findings = Lint();
  EXPECT_EQ(Count(findings, "IMG_LOGO", "LINTTEST\\IMG_LOGO.bmp", ""), 0) << All(findings);
  EXPECT_EQ(Count(findings, "PNL_AREA", "LINTTEST\\PNL_AREA.bmp", ""), 0) << All(findings);
  EXPECT_EQ(Count(findings, "CB_SOUND", "LINTTEST\\CB_SOUND.bmp", "exists but did not load"), 1) << All(findings);

  Edit("Alpha4=0_0_0_0", "Alpha4=0_0_0_0\nCustomEffect_AlphaEnabled=1\nCustomEffect_AlphaBlendValue=200");
  findings = Lint();
  EXPECT_EQ(Count(findings, "IMG_LOGO", "LINTTEST\\IMG_LOGO.bmp", "colour box"), 1) << All(findings);
}

TEST_F(LintChecks, InnerPartsAreCheckedUnlessTheirWidgetKeepsThemHidden) {
  // The scroll box's bar shows: its buttons have no picture and would be two white squares.
  memoBar = true;
  auto findings = Lint();
  EXPECT_EQ(Count(findings, "(inner button of MEMO)", "\\.bmp", "opaque colour box"), 2) << All(findings);
  // Hidden by its scene, the bar and its buttons are never drawn. The combo box's list is
  // hidden as well, but only until it drops down: its parts were checked all along (and
  // have their pictures).
  memoBar = false;
  findings = Lint();
  EXPECT_TRUE(findings.empty()) << All(findings);
}

TEST_F(LintChecks, UnbakedFontsAndControlsOffTheScreenAreReported) {
  Edit("FontDXName=ArialBold", "FontDXName=ComicSans");
  Edit("Left=10\nTop=10", "Left=750\nTop=10");
  Edit("Top=200", "Top=500");
  const auto findings = Lint();
  EXPECT_EQ(Count(findings, "LBL_TITLE", "FontDXName", "font \"ComicSans\" is not in fonts.vxr"), 1)
      << All(findings);
  EXPECT_EQ(Count(findings, "IMG_LOGO", "", "leaves the 800x600 screen at (750,10 100x50)"), 1) << All(findings);
  // The combo box fits; the list it drops does not.
  EXPECT_EQ(Count(findings, "CBO_NAME", "", "leaves"), 0) << All(findings);
  EXPECT_EQ(Count(findings, "(drop-down list of CBO_NAME)", "", "leaves the 800x600 screen at (10,526 200x200)"), 1)
      << All(findings);
}

TEST_F(LintChecks, AFontNoThemeNamesMustBeBakedToo) {
  // Without "ArialBlack" the combo box, which names no font, gets the reader's default in
  // vain; the button names it in its theme.
  vxtest::TempDir::WriteFile((Pak() / "LINTTEST" / "theme.scn").string(), theme);
  LintWorld world(ProgramDir().string() + "/", (dir.Path() / "temp").string(),
                  std::make_unique<vxtest::RecordingDevice>());
  LintContext ctx(world);
  TestScene* scene = ctx.Own(new TestScene(ctx.Root(), false));
  Linter linter(world.Resources(), {"ArialBold"}, {});
  linter.LintScene("test scene", *scene);
  const auto& findings = linter.Findings();
  EXPECT_EQ(Count(findings, "CBO_NAME", "ArialBlack", "the reader's default or set in code"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "BTN_GO", "FontDXName", "font \"ArialBlack\" is not in fonts.vxr"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "LBL_TITLE", "", "font"), 0) << All(findings);
}

TEST_F(LintChecks, AMissingThemeIsReportedOrWaitedForAsRegistered) {
  auto findings = Lint(false);
  EXPECT_EQ(Count(findings, "", "", "no theme file"), 1) << All(findings);
  EXPECT_EQ(Count(findings, "", "", "logged \"ERROR: Cannot load theme-config for scene LINTTEST\""), 1)
      << All(findings);
  EXPECT_TRUE(waiting.empty());

  findings = Lint(false, {}, "LINTTEST\\theme.scn");
  EXPECT_TRUE(findings.empty()) << All(findings);
  EXPECT_EQ(waiting, std::vector<std::string>{"test scene (LINTTEST\\theme.scn)"});

  // Once the art exists, the entry is linted like any other.
  Edit("[LBL_TITLE]", "[LBL_TITEL]");
  findings = Lint(true, {"LINTTEST\\theme.scn"}, "LINTTEST\\theme.scn");
  EXPECT_TRUE(waiting.empty());
  EXPECT_EQ(Count(findings, "LBL_TITLE", "", "no section"), 1) << All(findings);
}

TEST(KnownFaults, MatchTheirSceneTheirControlsAndTheirWordsOnly) {
  const KnownFault cards{"*", "CARD_MAIN_*", "no picture", "owner"};
  const KnownFault logo{"test scene", "IMG_LOGO", "colour box", "owner"};
  const Finding card{"video poker, game 1", "CARD_MAIN_3", "CardSet2\\CARD_MAIN_3.bmp", "VP01\\theme.scn",
                     "no picture (neither a loose file nor an archive record)"};
  EXPECT_TRUE(cards.Matches(card));
  EXPECT_FALSE(cards.Matches({card.Scene, "CARD_DUP_3", card.Key, card.File, card.Problem}));
  EXPECT_FALSE(cards.Matches({card.Scene, card.Control, card.Key, card.File, "no section for this control"}));
  EXPECT_TRUE(logo.Matches({"test scene", "IMG_LOGO", "", "", "draws an opaque colour box"}));
  EXPECT_FALSE(logo.Matches({"other scene", "IMG_LOGO", "", "", "draws an opaque colour box"}));
  EXPECT_FALSE(logo.Matches({"test scene", "IMG_LOGO2", "", "", "draws an opaque colour box"}));
}

// Every key of every theme class, as the linter and the scene see it: found once for its
// class, its range accepted at both ends and refused just outside, and any value applied to a
// control of its class without harm (the sanitizers watch the setters).
TEST(ThemeClasses, EveryKeyIsFoundCheckedAndAppliedForItsClass) {
  TVXScene scene(nullptr);
  std::vector<TVXControl*> samples = {new TVXImage(&scene),    new TVXLabel(&scene),         new TVXButton(&scene),
                                      new TVXCheckBox(&scene), new TVXTabSheetButton(&scene), new TVXMenuItem(&scene),
                                      new TVXListBox(&scene),  new TVXComboBox(&scene),      new TVXPageControl(&scene),
                                      new TVXParticleSystem(&scene)};
  std::set<const TVXThemeClass*> covered;
  for (TVXControl* c : samples) {
    c->SetName("C");
    covered.insert(&c->ThemeClass());
  }
  EXPECT_EQ(covered, std::set<const TVXThemeClass*>(vx::ThemeClasses().begin(), vx::ThemeClasses().end()))
      << "a theme class without a sample control here, or missing from vx::ThemeClasses()";
  for (TVXControl* c : samples) {
    std::vector<const TVXThemeKey*> keys;
    for (const TVXThemeKey& k : c->ThemeClass().Keys) keys.push_back(&k);
    for (const TVXThemeKey& k : vx::EffectThemeKeys()) keys.push_back(&k);
    for (const TVXThemeKey* key : keys) {
      const std::string where = c->ThemeClass().ClassName + " " + key->Name;
      EXPECT_EQ(FindKey(*c, key->Name), key) << where << ": declared twice";
      EXPECT_NE(vx::FindAnyThemeKey(key->Name), nullptr) << where;
      std::vector<std::string> values = {"", "x", "1_2_3_4", "-1_256_0_0", "1_2", "ArialBold"};
      if (key->Kind != TVXThemeKind::FourPart && key->Kind != TVXThemeKind::Text) {
        const bool alphas = key->Kind == TVXThemeKind::Alphas;
        auto text = [&](int64_t v) { return alphas ? "0_0_0_" + std::to_string(v) : std::to_string(v); };
        EXPECT_EQ(CheckValue(*key, text(key->Min)), "") << where;
        EXPECT_EQ(CheckValue(*key, text(key->Max)), "") << where;
        EXPECT_NE(CheckValue(*key, text(key->Min - 1)), "") << where;
        EXPECT_NE(CheckValue(*key, text(key->Max + 1)), "") << where;
        for (int64_t v : {key->Min - 1, key->Min, key->Max, key->Max + 1}) values.push_back(text(v));
      }
      for (const std::string& v : values) {
        TVXStore store;
        store.SetText("[C]\n" + key->Name + "=" + v + "\n");
        scene.ApplyThemeKeys(store, c);
        scene.ApplyEffects(store, c);
      }
    }
  }
}
