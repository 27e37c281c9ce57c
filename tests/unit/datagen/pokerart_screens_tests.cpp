// The six video-poker screens drawn for real: the game's own screen class themed from the
// repository's theme files, the generator's pictures and baked fonts, the engine on the GPU
// device (Mesa's software GL, headless), read back pixel by pixel. A missing picture would
// show as a white box; a lit pay row, the held plates, the meters and the double-up must be
// seen where the theme puts them. Each frame is compared with its golden picture
// (tests/golden/poker/); with VX_SCREENSHOT_DIR set, the frames are kept as PNG too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "framework/VXApplication.h"
#include "framework/VXEngine.h"
#include "framework/VXHost.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"
#include "framework/VXSettings.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/PokerScene.h"
#include "games/PokerVariants.h"
#include "games/VXCard.h"
#include "ScreenRig.h"
#include "platform/Files.h"
#include "support/Golden.h"
#include "support/TempDir.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"
#include "tools/datagen/PokerLook.h"
#include "tools/datagen/Preview.h"

namespace fs = std::filesystem;

namespace {

struct Rgb {
  int R = 0, G = 0, B = 0;
};

using screenrig::ScreenWindow;

// The poker screens' share of the program folder: their themes and pictures, the card sets
// and the shared look.
class ProgramData : public screenrig::ProgramData {
public:
  ProgramData()
      : screenrig::ProgramData([](const std::string& folder) {
          bool wanted = folder.rfind("VP", 0) == 0 || folder.rfind("CardSet", 0) == 0;
          for (const char* f : {"COMMON", "MAINROOM", "SERIES"}) wanted = wanted || folder == f;
          return wanted;
        }) {}
};

class PokerScreens : public ::testing::Test {
protected:
  static void SetUpTestSuite() { data_ = new ProgramData(); }
  static void TearDownTestSuite() {
    delete data_;
    data_ = nullptr;
  }

  PokerScreens()
      : settings(*(window.Context.Setting = std::make_unique<TVXSetting>(data_->dir.Str() + "/", data_->dir.Str() + "/systemtemp"))),
        resources(*(window.Context.Resources = std::make_unique<TVXResourceManager>(
                        data_->dir.File("data"), data_->dir.File("pak"), data_->dir.Str() + "/systemtemp"))) {
    engine.SetWidth(800);
    engine.SetHeight(600);
    engine.ResourceManager = &resources;
    engine.LoadFonts();
  }
  ~PokerScreens() override {
    delete scene;
    window.Reset();
  }

  bool Ready() const { return engine.Started() && engine.FontCount() > 0; }

  // Builds the screen of a game as the round shows it after a deal: a hand with two cards
  // held, the made hand lit in the pay list, the meters filled.
  void Build(int32_t gameID) {
    variant = vx::FindPokerVariant(gameID);
    ASSERT_NE(variant, nullptr);
    info = catalogue.FindGameByID(gameID);
    ASSERT_NE(info, nullptr);
    scene = new TPokerScene(nullptr, variant->Theme, info, variant->Options, &window.Context);
    scene->Columns = variant->Columns;
    scene->SetCardSet(variant->CardSet);
    scene->LoadTheme("");
    bets = {0};
    if (variant->BetListEnabled()) {
      std::string list = variant->BetList;
      for (size_t at = 0; (at = list.find(';')) != std::string::npos; list.erase(0, at + 1))
        bets.push_back(std::stoi(list.substr(0, at)));
    } else {
      bets.push_back(variant->MinBet);
    }
    const int32_t bet = bets[1];
    scene->PayoutList->Fill(bets, bet);
    scene->PayoutList->MarkBetColumn(bets, bet);
    scene->LblCreditV->SetText("1250");
    scene->LblBetV->SetText(std::to_string(bet));
    scene->LblWinV->SetText("0");
    scene->SetMessage("HOLD AND DRAW CARDS");
    const int hand[] = {13, 26, 33, 44, 37};  // a pair of kings
    for (int i = 0; i < 5; ++i) {
      TVXCard* c = scene->Cards[i];
      c->SetNumber(hand[i]);
      c->SetFaceDown(false);
      c->SetHeld(i < 2);
      c->UpdateImage();
      scene->HoldLabels[i]->SetVisible(i < 2);
    }
    // The lowest paying hand the table has: the row a player sees lit most often.
    for (const char* key : {"HAND_HIGHPAIR", "HAND_TWOPAIRS", "HAND_THREEOFAKIND"})
      if (madeRow < 1) madeRow = info->IndexOfHand(key) + 1;
    ASSERT_GE(madeRow, 1);
    ASSERT_TRUE(scene->PayoutList->Highlight(false, info->Hands().Items(madeRow - 1)->HandIDStr, bet, bets, false));
    scene->ShowOrvantaNumber(7);
    scene->ShowOrvantaValue(bet * 700);
    scene->ShowOrvantaStage(false, false, 3);
    scene->ShowMiniBonus(150, static_cast<int64_t>(bet) * 100, false);
    scene->ShowJackpot(2345);
    scene->ShowDealStage(1);
    scene->ImgAdv->SetVisible(false);
    scene->Show();
  }

  // The double-up's view: four cards played; BEAT THE DEALER's four to pick from face down.
  void ShowDoubleUp() {
    const bool dealer = variant->DoubleUpKind == vx::dkBeatTheDealer;
    const int played[] = {5, 40, 53, 12, 0};
    for (int p = 1; p <= 10; ++p) {
      TVXCard* c = scene->DupCards[p - 1];
      c->SetVisible(p <= 5);
      c->SetNumber(dealer ? (p == 1 ? 24 : 9) : (p <= 4 ? played[p - 1] : 2));
      c->SetFaceDown(dealer ? p != 1 : p == 5);
      c->UpdateImage();
    }
    scene->LblDupTitle->SetText(dealer ? "BEAT THE DEALER" : variant->DoubleUpKind == vx::dkRedBlack ? "RED/BLACK" : "BIG/SMALL");
    scene->LblDupHit->SetVisible(false);
    if (!dealer) {
      // The fourth card (the queen of spades) has just been turned and won: its word shows
      // beside it, where the double-up puts it, before the next card comes.
      TVXCard* won = scene->DupCards[3];
      scene->DupCards[4]->SetVisible(false);
      scene->LblDupHit->SetLeft(won->Left() + won->Width() + 2);
      scene->LblDupHit->SetTop(won->Top());
      scene->LblDupHit->SetText(variant->DoubleUpKind == vx::dkRedBlack ? "BLACK" : "BIG");
      scene->LblDupHit->SetVisible(true);
    }
    // The bonus bar, where the machine has one: a hand that starts it five segments up, and
    // the value it pays when full, the win (twice the bet) doubled 8 - 5 + 1 times.
    if (scene->PnlDupBarDup != nullptr) {
      for (int n = 1; n <= 5; ++n) scene->DupBar[n - 1]->StartEffect(1);
      scene->LblDupBarWinV->SetText(std::to_string(bets[1] * 2 * 16));
    }
    scene->ShowDoubleUp(true);
  }

  void Capture(const std::string& name) {
    TGfxDevice* device = engine.Device();
    // Long enough for every effect to reach its target (10 alpha units a frame).
    for (int i = 0; i < 40; ++i) {
      ASSERT_EQ(device->Clear(0xFF000000u), 0);
      ASSERT_EQ(device->BeginScene(), 0);
      window.MainScene()->Process();
      ASSERT_EQ(device->EndScene(), 0);
    }
    int32_t w = 0, h = 0;
    ASSERT_EQ(device->ReadFrame(pixels, w, h), 0);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);
    if (const char* keep = std::getenv("VX_SCREENSHOT_DIR")) {
      fs::create_directories(keep);
      vx::datagen::Picture pic(800, 600);
      for (size_t i = 0; i < pixels.size(); ++i) pic.pixels[i] = pixels[i] | 0xFF000000u;
      vx::datagen::WritePng(pic, std::string(keep) + "/" + name + ".png");
    }
    // The menu bar lies over the top strip of every screen: only the background shows there.
    const auto bg = data_->backgrounds.find(variant->Theme);
    ASSERT_NE(bg, data_->backgrounds.end());
    int covered = 0;
    const int tolerance = vxtest::SoftDeviceRun() ? vxtest::SoftRules({}).Tolerance : 2;
    for (int32_t y = 0; y < vx::datagen::poker::kMenuStripH; ++y)
      for (int32_t x = 0; x < 800; ++x) {
        const uint32_t want = bg->second.At(x, y), got = pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
        for (int sh = 0; sh <= 16; sh += 8)
          if (std::abs(static_cast<int>((want >> sh) & 0xFF) - static_cast<int>((got >> sh) & 0xFF)) > tolerance) {
            ++covered;
            break;
          }
      }
    EXPECT_EQ(covered, 0) << "pixels under the menu bar differ from the background";
    // Mesa's software GL may round a blend one step apart on another processor.
    vxtest::GoldenRules rules;
    rules.Tolerance = 2;
    EXPECT_EQ(vxtest::CompareWithGolden("poker/" + name, vxtest::Shot{800, 600, pixels}, rules), "");
  }

  Rgb At(int32_t x, int32_t y) const {
    const uint32_t p = pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  }
  template <class F>
  int Count(const TVXCustomControl* c, F match) const {
    int n = 0;
    for (int32_t y = std::max(0, c->Top()); y < std::min(600, c->Top() + c->Height()); ++y)
      for (int32_t x = std::max(0, c->Left()); x < std::min(800, c->Left() + c->Width()); ++x) n += match(At(x, y));
    return n;
  }
  // An 8x8 square of pure white outside the cards: what a picture that failed to load leaves.
  bool HasWhiteBoxOutsideCards() const {
    auto onCard = [&](int32_t x, int32_t y) {
      for (const TVXCard* c : scene->Cards)
        if (c->Visible() && x >= c->Left() && x < c->Left() + c->Width() && y >= c->Top() && y < c->Top() + c->Height())
          return true;
      for (const TVXCard* c : scene->DupCards)
        if (c->Visible() && scene->PnlDoubleUp->Visible() && x >= c->Left() && x < c->Left() + c->Width() &&
            y >= c->Top() && y < c->Top() + c->Height())
          return true;
      return false;
    };
    for (int32_t y = 0; y + 8 <= 600; y += 4)
      for (int32_t x = 0; x + 8 <= 800; x += 4) {
        if (onCard(x, y) || onCard(x + 7, y + 7)) continue;
        bool white = true;
        for (int32_t dy = 0; dy < 8 && white; ++dy)
          for (int32_t dx = 0; dx < 8 && white; ++dx) {
            const Rgb p = At(x + dx, y + dy);
            white = p.R == 255 && p.G == 255 && p.B == 255;
          }
        if (white) return true;
      }
    return false;
  }
  static bool IsGold(Rgb p) { return p.R > 150 && p.R > p.G && p.G > p.B + 30; }
  // A panel's rim: gold within its top three rows.
  bool GoldRimAt(int32_t x, int32_t top) const {
    for (int32_t y = top; y < top + 3; ++y)
      if (IsGold(At(x, y))) return true;
    return false;
  }
  static bool IsRed(Rgb p) { return p.R > 150 && p.G < 70 && p.B < 80; }
  static bool IsBright(Rgb p) { return p.R > 200 && p.G > 200 && p.B > 200; }

  static ProgramData* data_;
  TGfxForm form;
  TVXEngine engine{&form, nullptr, false};
  TVXEngineHost host{&engine};
  ScreenWindow window{&host};
  TVXSetting& settings;
  TVXResourceManager& resources;
  TVXGameManager catalogue;
  const vx::TPokerVariant* variant = nullptr;
  const TGameInfo* info = nullptr;
  TPokerScene* scene = nullptr;
  std::vector<int32_t> bets;
  int madeRow = 0;
  std::vector<uint32_t> pixels;
};

ProgramData* PokerScreens::data_ = nullptr;

class EachScreen : public PokerScreens, public ::testing::WithParamInterface<int32_t> {};

TEST_P(EachScreen, RoundViewShowsCabinetPayListHandAndMeters) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_NO_FATAL_FAILURE(Build(GetParam()));
  ASSERT_NO_FATAL_FAILURE(Capture(variant->Theme));
  EXPECT_FALSE(HasWhiteBoxOutsideCards());
  for (const TVXCard* c : scene->Cards) EXPECT_TRUE(c->TextureLoaded()) << c->Name();
  EXPECT_TRUE(scene->ImgGameLogo->TextureLoaded());
  // Panels sit in gold rims.
  for (const TVXControl* p : {static_cast<TVXControl*>(scene->PayoutList->Panel), static_cast<TVXControl*>(scene->PnlCredit)})
    EXPECT_TRUE(GoldRimAt(p->Left() + p->Width() / 2, p->Top())) << p->Name();
  // The made hand's row is lit: red behind the normal list, yellow in the compact one.
  const TVXLabel* title = scene->PayoutList->Titles[static_cast<size_t>(madeRow - 1)];
  const bool compact = vx::HasOption(variant->Options, vx::poCompactLayout);
  const int lit = Count(title, [&](Rgb p) { return compact ? (p.R > 220 && p.G > 180 && p.B < 80) : IsRed(p); });
  EXPECT_GT(lit, title->Width() * title->Height() / 2) << "the made hand's row is not lit";
  // An unlit row is not.
  const TVXLabel* other = scene->PayoutList->Titles[0];
  EXPECT_LT(Count(other, [](Rgb p) { return IsRed(p); }), other->Width() * other->Height() / 10);
  // The held cards carry their red plates with the word on them; the others none.
  for (int i = 0; i < 5; ++i) {
    const int red = Count(scene->HoldLabels[i], [](Rgb p) { return IsRed(p); });
    if (i < 2) {
      EXPECT_GT(red, 400) << "plate " << i + 1;
      EXPECT_GT(Count(scene->HoldLabels[i], [](Rgb p) { return IsBright(p); }), 20) << "the word HELD";
    } else {
      EXPECT_EQ(red, 0) << "plate " << i + 1;
    }
  }
  // The credit shows as red digits in its meter.
  EXPECT_GT(Count(scene->LblCreditV, [](Rgb p) { return p.R > 200 && p.G < 120; }), 40);
  // Face-up cards: paper with ink.
  const TVXCard* king = scene->Cards[0];
  EXPECT_GT(Count(king, [](Rgb p) { return p.R > 230 && p.G > 225; }), king->Width() * king->Height() / 4);
}

TEST_P(EachScreen, DoubleUpViewReplacesThePayListOrTheHand) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_NO_FATAL_FAILURE(Build(GetParam()));
  ShowDoubleUp();
  ASSERT_NO_FATAL_FAILURE(Capture(std::string(variant->Theme) + "_doubleup"));
  EXPECT_FALSE(HasWhiteBoxOutsideCards());
  for (const TVXCard* c : scene->DupCards) {
    if (c->Visible()) {
      EXPECT_TRUE(c->TextureLoaded()) << c->Name();
    }
  }
  EXPECT_TRUE(scene->ImgSeries->TextureLoaded());
  const TVXPanel* panel = scene->PnlDoubleUp;
  EXPECT_TRUE(GoldRimAt(panel->Left() + panel->Width() / 2, panel->Top()));
  // The glass is deep red velvet.
  const Rgb glass = At(panel->Left() + 10, panel->Top() + panel->Height() / 2);
  EXPECT_TRUE(glass.R > glass.G + 15 && glass.R > glass.B + 10) << glass.R << "," << glass.G << "," << glass.B;
  // The dealer's card or the first card played is face up: paper.
  const TVXCard* first = scene->DupCards[0];
  EXPECT_GT(Count(first, [](Rgb p) { return p.R > 230 && p.G > 225; }), 500);
  // The word of a won card stands out from the velvet beside it.
  if (scene->LblDupHit->Visible()) {
    const TVXLabel* hit = scene->LblDupHit;
    EXPECT_GT(Count(hit, [](Rgb p) { return p.R + p.G + p.B > 600; }), 60) << "the hit word";
    EXPECT_GE(hit->Left() + hit->Width(), scene->DupCards[3]->Left() + scene->DupCards[3]->Width());
  }
  // Nothing of the double-up reaches into the menu bar's strip.
  EXPECT_GE(panel->Top(), vx::datagen::poker::kMenuStripH);
  // The bonus bar shows its lit segments brighter than the ones still to come, and its value.
  if (scene->PnlDupBarDup != nullptr) {
    ASSERT_TRUE(scene->PnlDupBarDup->Visible());
    auto lit = [](Rgb p) { return std::max({p.R, p.G, p.B}) > 150; };
    for (int n = 0; n < 8; ++n) {
      const int count = Count(scene->DupBar[n], lit), area = scene->DupBar[n]->Width() * scene->DupBar[n]->Height();
      if (n < 5)
        EXPECT_GT(count, area / 2) << "segment " << n + 1 << " is lit";
      else
        EXPECT_LT(count, area / 10) << "segment " << n + 1 << " is still dark";
    }
    EXPECT_GT(Count(scene->LblDupBarWinV, [](Rgb p) { return p.R + p.G + p.B > 450; }), 20) << "the bar's value";
  }
}

// Every video-poker machine of the catalogue greets with its own welcome picture: the one its
// screen loads is in the built data, and no two machines of one theme show the same.
TEST_F(PokerScreens, EveryMachineLoadsAWelcomeOfItsOwn) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  std::map<std::string, std::vector<std::string>> welcomes;  // picture files by theme
  for (int i = 0; i < catalogue.Count(); ++i) {
    const TGameInfo* game = catalogue.Games(i);
    const vx::TPokerVariant* v = vx::FindPokerVariant(game->ID);
    if (v == nullptr) continue;
    const std::unique_ptr<TPokerScene> s(new TPokerScene(nullptr, v->Theme, game, v->Options, &window.Context));
    s->LoadTheme("");
    const TVXTextureInfo& picture = s->ImgAdv->TextureInfo;
    EXPECT_TRUE(s->ImgAdv->TextureLoaded()) << game->Title;
    EXPECT_EQ(picture.Folder(), v->Theme) << game->Title << " shows a stand-in picture";
    std::string path = data_->dir.File("pak") + "/" + picture.Key();
    std::replace(path.begin(), path.end(), '\\', '/');
    welcomes[v->Theme].push_back(fs::exists(path) ? vxtest::TempDir::ReadFile(path) : "");
  }
  EXPECT_EQ(welcomes.size(), 6u);
  for (const auto& [theme, files] : welcomes) {
    ASSERT_EQ(files.size(), 2u) << theme;
    EXPECT_FALSE(files[0].empty()) << theme;
    EXPECT_TRUE(files[0] != files[1]) << theme << ": both machines show the same welcome";
  }
}

INSTANTIATE_TEST_SUITE_P(Themes, EachScreen, ::testing::Values(1, 3, 5, 11, 13, 14),
                         [](const ::testing::TestParamInfo<int32_t>& p) { return "Game" + std::to_string(p.param); });

}  // namespace
