// The three dialogs drawn for real: the game's own pictures, fonts and themes, the engine on
// the GPU device (Mesa's software GL, headless), read back pixel by pixel. Every picture a
// dialog names must exist (a missing one would show as a white box), text must land on its
// labels, and the frame, the coins and the player's portrait must look like themselves.
// With VX_SCREENSHOT_DIR set, the frames are also kept there as BMP files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "dialogs_rig.h"
#include "framework/VXEngine.h"
#include "games/GameData.h"
#include "games/GameManager.h"
#include "lobby/VXCasino.h"
#include "lobby/VXCreditForm.h"
#include "lobby/VXHighScoreForm.h"
#include "lobby/VXOptionsForm.h"
#include "lobby/VXStatisticsForm.h"
#include "lobby/VXLoginForm.h"
#include "lobby/VXPlayers.h"
#include "render/GfxFonts.h"
#include "lobby/VXProfileForm.h"
#include "platform/Files.h"
#include "support/Golden.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Generator.h"

namespace fs = std::filesystem;
using lobbytest::DialogRig;

namespace {

struct Rgb {
  int R = 0, G = 0, B = 0;
};

// The data a program folder holds for these dialogs: the fonts archive, and the pictures of
// the shared look, the dialogs and the players as loose files.
class GameData {
public:
  GameData() {
    vx::datagen::FontLibrary fonts;
    EXPECT_TRUE(vx::WriteFileAtomic(data.File("fonts.vxr"), vx::datagen::PackArchive(vx::datagen::BuildFontRecords())));
    for (const auto& art : vx::datagen::AllArt()) {
      const std::string folder = art.key.substr(0, art.key.find('\\'));
      for (const char* wanted : {"COMMON", "DIALOGS", "LOGIN", "PROFILE", "CREDIT", "Players", "OPTIONS",
                                  "STATISTICS", "HIGHSCORE"}) {
        if (folder != wanted) continue;
        pictures.push_back({art.key, vx::datagen::EncodeBmp(art.draw(fonts))});
      }
    }
  }
  vxtest::TempDir data;
  std::vector<std::pair<std::string, std::string>> pictures;
};

class DialogScreens : public ::testing::Test {
protected:
  DialogScreens() : rig(&host, gameData.data.Str()) {
    for (const auto& [key, bytes] : gameData.pictures) {
      std::string path = key;
      for (char& c : path)
        if (c == '\\') c = '/';
      const fs::path file = fs::path(rig.PakFolder()) / path;
      fs::create_directories(file.parent_path());
      EXPECT_TRUE(vx::WriteFileAtomic(file.string(), bytes));
    }
    engine.SetWidth(800);
    engine.SetHeight(600);
    engine.ResourceManager = &rig.Resources();
    engine.LoadFonts();
    players.FileName = rig.Settings().PlayersFile;
  }

  bool Ready() const { return engine.Started() && engine.FontCount() > 0; }

  // Shows the dialog's chrome, lets every fade finish and reads the frame back.
  void Capture(TVXFrame& frame, const std::string& name) {
    frame.Background->SetVisible(true);
    frame.WindowFrame->SetVisible(true);
    frame.TaskBar->SetVisible(true);
    frame.WindowLogo->SetVisible(true);
    TGfxDevice* device = engine.Device();
    for (int i = 0; i < 90; ++i) {
      ASSERT_EQ(device->Clear(0xFF1E5A36u), 0);
      ASSERT_EQ(device->BeginScene(), 0);
      rig.MainScene()->Process();
      ASSERT_EQ(device->EndScene(), 0);
    }
    int32_t w = 0, h = 0;
    ASSERT_EQ(device->ReadFrame(pixels, w, h), 0);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);
    if (const char* keep = std::getenv("VX_SCREENSHOT_DIR")) {
      fs::create_directories(keep);
      EXPECT_TRUE(vx::WriteFileAtomic(std::string(keep) + "/" + name + ".bmp", vx::EncodeScreenshotBmp(w, h, pixels)));
    }
  }

  Rgb At(int32_t x, int32_t y) const {
    const uint32_t p = pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  }
  // Pixels in the control's rectangle close to the colour (each channel within `tolerance`).
  int CountNear(const TVXCustomControl* c, Rgb colour, int tolerance) const {
    int n = 0;
    for (int32_t y = c->Top(); y < c->Top() + c->Height(); ++y)
      for (int32_t x = c->Left(); x < c->Left() + c->Width(); ++x) {
        const Rgb p = At(x, y);
        if (std::abs(p.R - colour.R) <= tolerance && std::abs(p.G - colour.G) <= tolerance &&
            std::abs(p.B - colour.B) <= tolerance)
          ++n;
      }
    return n;
  }
  // The biggest square of pure white anywhere: what a picture that failed to load leaves.
  bool HasWhiteBox() const {
    for (int32_t y = 0; y + 8 <= 600; y += 4)
      for (int32_t x = 0; x + 8 <= 800; x += 4) {
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
  // Text on a label shows as pixels of the font's colour.
  void ExpectText(const TVXLabel* label, Rgb colour) const {
    EXPECT_GT(CountNear(label, colour, 40), 10) << label->Name() << " shows no text";
  }
  // Gold: a warm, bright colour.
  static bool IsGold(Rgb p) { return p.R > 150 && p.R > p.G && p.G > p.B + 30; }

  GameData gameData;
  TGfxForm form;
  TVXEngine engine{&form, nullptr, false};
  TVXEngineHost host{&engine};
  DialogRig rig;
  TVXPlayers players;
  std::vector<uint32_t> pixels;

  static constexpr Rgb kCream{0xF3, 0xE6, 0xC2};
  static constexpr Rgb kInk{0x04, 0x10, 0x0A};
};

TEST_F(DialogScreens, LoginDialogLooksFinished) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_TRUE(players.AddPlayer("Ann", "pw", "", "", 1));
  TfrmLogin login(rig.MainScene(), players, &rig.Settings());
  login.CboPlayerName->SetText("ANN");
  login.EdtPassword->SetText("SECRET");
  Capture(login, "login");
  EXPECT_FALSE(HasWhiteBox());
  EXPECT_TRUE(IsGold(At(login.WindowFrame->Left() + 3, login.WindowFrame->Top() + 160))) << "the frame's rim";
  ExpectText(login.LblPlayerName, kCream);
  ExpectText(login.LblPassword, kCream);
  ExpectText(login.CboPlayerName, kInk);
  ExpectText(login.EdtPassword, kInk);
  for (const TVXButton* b : {login.BtnLogin, login.BtnNewPlayer, login.BtnDeletePlayer, login.BtnClose}) {
    EXPECT_TRUE(IsGold(At(b->Left() + b->Width() / 2, b->Top() + 1))) << b->Name() << ": no gold rim";
    ExpectText(b, kCream);
  }
}

// The longest name, in the widest letter, fits the login box, the profile's entry and the
// lobby's name panel (LBL_FULLNAME, 200 pixels of ArialBlackLarge).
TEST_F(DialogScreens, TheLongestNameFitsEveryPlaceANameIsShown) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  const std::string name(TVXPlayers::MaxNameLength, 'W');
  TfrmLogin login(rig.MainScene(), players, &rig.Settings());
  login.CboPlayerName->SetText(name);
  Capture(login, "login_longest_name");
  EXPECT_LE(login.CboPlayerName->TextWidth(), login.CboPlayerName->Width() - 8);
  TfrmProfile profile(rig.MainScene(), players, &rig.Settings());
  profile.EdtUserName->SetText(name);
  Capture(profile, "profile_longest_name");
  EXPECT_LE(profile.EdtUserName->TextWidth(), profile.EdtUserName->Width() - 8);
  const TVXEngineFont* panel = engine.FindFont("ArialBlackLarge");
  ASSERT_NE(panel, nullptr);
  EXPECT_LE(panel->Font->TextWidth(name), 200);
}

TEST_F(DialogScreens, ProfileDialogShowsThePlayersPortrait) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_TRUE(players.AddPlayer("Bob", "pw", "Robert", "Stone", 3));
  ASSERT_TRUE(players.Login("Bob", "pw"));
  TfrmProfile profile(rig.MainScene(), players, &rig.Settings());
  ASSERT_TRUE(profile.ImgPlayer->TextureLoaded()) << "portrait 3 was not found";
  Capture(profile, "profile");
  EXPECT_FALSE(HasWhiteBox());
  for (const TVXLabel* l : {profile.LblFirstName, profile.LblLastName, profile.LblUserName, profile.LblPassword,
                            profile.LblPassword2})
    ExpectText(l, kCream);
  ExpectText(profile.EdtUserName, kInk);
  ExpectText(profile.CbAutoLogin->CaptionLabel(), kCream);
  // The portrait: a gold ring around a coloured medallion with a face in it.
  const TVXImage* img = profile.ImgPlayer;
  EXPECT_TRUE(IsGold(At(img->Left() + img->Width() / 2, img->Top() + 2)));
  EXPECT_GT(CountNear(img, {0x8A, 0x5A, 0x3C}, 25), 100) << "no face of portrait 3";

  // Every portrait loads, and the button steps through them back to the first.
  std::vector<int32_t> frames;
  for (int i = 0; i < vx::datagen::PlayerPictureCount(); ++i) {
    profile.NextImageClick();
    frames.push_back(profile.PictureID());
  }
  EXPECT_EQ(frames.back(), 3) << "a full turn ends where it began";
  EXPECT_EQ(std::count(frames.begin(), frames.end(), 1), 1);
}

TEST_F(DialogScreens, CreditDialogShowsCoinsAndAmounts) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  ASSERT_TRUE(players.AddPlayer("Ann", "pw", "", "", 1));
  ASSERT_TRUE(players.Login("Ann", "pw"));
  TVXGameManager catalogue;
  TPokerData data;
  data.Money.Reset(250, data.Money.Win());
  TfrmCredit credit(rig.MainScene(), players, {&data, catalogue.FindGameByIDStr("VXG_VP_DEUCESWILD"), nullptr});
  Capture(credit, "credit");
  EXPECT_FALSE(HasWhiteBox());
  EXPECT_EQ(credit.LblGameTitle->Caption(), "DEUCES WILD");
  ExpectText(credit.LblGameTitle, {0xF2, 0xD9, 0x8A});
  for (const TVXLabel* l : {credit.LblBank, credit.LblBankValue, credit.LblCredit, credit.LblCreditValue})
    ExpectText(l, kCream);
  for (const TVXButton* b : {credit.BtnAdd100, credit.BtnAdd1000, credit.BtnAdd10000}) {
    EXPECT_TRUE(IsGold(At(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2 - 12))) << b->Name();
    EXPECT_GT(CountNear(b, {0xB0, 0x14, 0x1E}, 40), 30) << b->Name() << ": no red inlays of the coin";
    ExpectText(b, kInk);
  }
}

}  // namespace

// ---- The options, statistics and hall of fame dialogs, each against its golden picture.

namespace {

TEST_F(DialogScreens, OptionsStatisticsAndHallOfFameMatchTheirGoldenPictures) {
  if (!Ready()) GTEST_SKIP() << "no GL 3.3 on a surfaceless EGL display";
  for (const char* name : {"Ann", "Bob", "Cleo"}) ASSERT_TRUE(players.AddPlayer(name, "pw", "", "", 1));
  players.Items(1)->Bank = 4250;
  players.Items(2)->Bank = 3000000000u;
  ASSERT_TRUE(players.Login("Bob", "pw"));
  TVXGameManager catalogue;
  TVXCasino casino;
  for (const char* id : {"VXG_VP_JACKSORBETTER", "VXG_VP_DEUCESWILD", "VXG_SLOT_3X3FRUITS"})
    casino.Games.push_back(catalogue.FindGameByIDStr(id));
  TGameStatictics* jacks = casino.FindPlayerStatistics("Bob", true)->FindGameStatistics("VXG_VP_JACKSORBETTER", true);
  jacks->CreditIn = 1500;
  jacks->CreditOut = 1210;
  rig.Settings().optSoundEnabled = true;
  rig.Settings().optSoundVolume = 70;
  rig.Settings().optMusicVolume = 30;
  rig.Settings().optMusicEnabled = false;
  const std::pair<std::string, std::function<TVXFrame*()>> dialogs[] = {
      {"options", [&] { return new TfrmOptions(rig.MainScene(), rig.Settings(), nullptr, {}); }},
      {"statistics", [&] { return new TfrmStatistics(rig.MainScene(), players, &casino, nullptr); }},
      {"halloffame", [&] { return new TfrmHighScore(rig.MainScene(), players, nullptr); }}};
  for (const auto& [name, make] : dialogs) {
    std::unique_ptr<TVXFrame> dialog(make());
    Capture(*dialog, name);
    EXPECT_FALSE(HasWhiteBox()) << name;
    EXPECT_EQ(vxtest::CompareWithGolden("dialogs/" + name, vxtest::Shot{800, 600, pixels}), "");
  }
}

}  // namespace
