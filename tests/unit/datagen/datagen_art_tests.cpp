// The shared pictures: drawn at the size they are shown, the same every run, with real
// transparency only where a picture has a shape.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "render/BitmapEx.h"
#include "render/RecDb.h"
#include "tools/datagen/Art.h"
#include "tools/datagen/Packaging.h"
#include "tools/datagen/Look.h"

namespace vx::datagen {
namespace {

// The pictures as the build drew them, read back from the program folder it laid out.
class ArtTest : public ::testing::Test {
protected:
  static std::map<std::string, Picture>& Pictures() {
    static std::map<std::string, Picture> pics = [] {
      std::map<std::string, Picture> m;
      TRecDb archive;
      archive.SetFileName(std::string(VX_PROGRAM_DIR) + "/Data/Pak/default.vxr");
      archive.SetOpenMode(opReadOnly);
      EXPECT_EQ(archive.Open(), 0) << "the build lays out " << VX_PROGRAM_DIR;
      for (int32_t i = 0; i < archive.RecordCount(); ++i) {
        if (archive.RecordType(i) != kRecordPicture) continue;
        const std::string key = archive.RecordKey(i);
        TBitmapEx bmp;
        EXPECT_EQ(bmp.LoadFromRecDb(archive, key, pkBmp), 0) << key;
        Picture& p = m[key] = Picture(bmp.Width(), bmp.Height());
        for (int y = 0; y < bmp.Height(); ++y)
          for (int x = 0; x < bmp.Width(); ++x) p.At(x, y) = bmp.Pixel(x, y);
      }
      return m;
    }();
    return pics;
  }
};

TEST_F(ArtTest, EveryPictureTheControlsAskForIsThereAtItsShownSize) {
  using namespace look;
  const std::map<std::string, std::pair<int, int>> expected = {
      {"COMMON\\BTN_ALL.bmp", {kButtonW, kButtonH}},
      {"COMMON\\TSBTN_ALL.bmp", {kTabW, kTabH}},
      {"COMMON\\CB_ALL.bmp", {kCheckSize, kCheckSize}},
      {"COMMON\\CB_ALL_checked.bmp", {kCheckSize, kCheckSize}},
      // List boxes lay their scroll bar out 10 pixels wide with square buttons.
      {"COMMON\\BTN_SCROLLUP.bmp", {10, 10}},
      {"COMMON\\BTN_SCROLLDOWN.bmp", {10, 10}},
      {"COMMON\\IMG_FRAME.bmp", {kFrameW, kFrameH}},
      {"COMMON\\IMG_TASKBAR.bmp", {kTaskBarW, kTaskBarH}},
      {"COMMON\\IMG_WINDOWLOGO.bmp", {kLogoSize, kLogoSize}},
      {"COMMON\\IMG_WINDOWLOGO_2.bmp", {kLogoSize, kLogoSize}},
      {"COMMON\\IMG_WINDOWLOGO_3.bmp", {kLogoSize, kLogoSize}},
      {"COMMON\\IMG_WINDOWLOGO_4.bmp", {kLogoSize, kLogoSize}},
      {"COMMON\\background.bmp", {800, 600}},
      {"DIALOGS\\background.bmp", {800, 600}},
      {"EFFECTS\\PAR_STAR1.bmp", {16, 16}},
      {"EFFECTS\\PAR_STAR2.bmp", {12, 12}},
      {"EFFECTS\\PAR_STAR3.bmp", {8, 8}},
  };
  for (const auto& [key, size] : expected) {
    ASSERT_TRUE(Pictures().count(key)) << key;
    const Picture& p = Pictures().at(key);
    EXPECT_EQ(p.width, size.first) << key;
    EXPECT_EQ(p.height, size.second) << key;
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(p.width) * p.height) << key;
  }
  // No stray frame numbers: frame 1 carries no suffix and the animation has no gap.
  EXPECT_FALSE(Pictures().count("COMMON\\IMG_WINDOWLOGO_1.bmp"));
  EXPECT_FALSE(Pictures().count("COMMON\\IMG_WINDOWLOGO_5.bmp"));
}

TEST_F(ArtTest, KeysAreUniqueFolderNameExtension) {
  std::set<std::string> folded;
  for (const auto& a : AllArt()) {
    const auto slash = a.key.find('\\');
    ASSERT_NE(slash, std::string::npos) << a.key;
    // The double-up's series pictures are the one folder with a subfolder ("SERIES\\S_3").
    if (a.key.rfind("SERIES\\S_3\\", 0) != 0) {
      EXPECT_EQ(a.key.find('\\', slash + 1), std::string::npos) << a.key;
    }
    EXPECT_EQ(a.key.substr(a.key.size() - 4), ".bmp") << a.key;
    std::string lower;
    for (char c : a.key) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The archive matches keys without regard to case: two keys folding together would hide one.
    EXPECT_TRUE(folded.insert(lower).second) << a.key;
  }
}

// Drawn again in another process, every picture has the build's pixels, and the game's own
// reader gets them back from the archive.
TEST_F(ArtTest, DrawingAgainGivesTheBuildsPixels) {
  FontLibrary fonts;
  const auto art = AllArt();
  EXPECT_EQ(art.size(), Pictures().size());
  for (const auto& a : art) {
    ASSERT_TRUE(Pictures().count(a.key)) << a.key;
    const Picture again = a.draw(fonts);
    EXPECT_EQ(again.width, Pictures().at(a.key).width) << a.key;
    EXPECT_EQ(again.pixels, Pictures().at(a.key).pixels) << a.key;
  }
}

TEST_F(ArtTest, ShapedPicturesHaveRealAlphaAndNoneIsBlankOrSolid) {
  // The menu bar's scene background is switched off by its theme, yet its scene still asks
  // for the picture: it is transparent on purpose, so the bar never hides the screen below.
  const std::set<std::string> deliberatelyEmpty = {"NAVIGATION\\background.bmp"};
  for (const auto& [key, p] : Pictures()) {
    if (deliberatelyEmpty.count(key) != 0) continue;
    int transparent = 0, opaque = 0;
    std::set<uint32_t> colours;
    for (uint32_t px : p.pixels) {
      transparent += (px >> 24) == 0;
      opaque += (px >> 24) == 0xFF;
      if (colours.size() <= 8) colours.insert(px);  // enough to tell a flat picture
    }
    EXPECT_GT(colours.size(), 8u) << key << " is nearly one flat colour";
    EXPECT_LT(transparent, static_cast<int>(p.pixels.size())) << key << " is empty";
    // Straight alpha: a fully transparent pixel carries no colour.
    for (uint32_t px : p.pixels) {
      if ((px >> 24) == 0) {
        ASSERT_EQ(px, 0u) << key;
      }
    }
  }
  // Rounded shapes leave their corners see-through and keep a solid middle.
  for (const char* key : {"COMMON\\BTN_ALL.bmp", "COMMON\\IMG_FRAME.bmp", "COMMON\\CB_ALL.bmp"}) {
    const Picture& p = Pictures().at(key);
    EXPECT_EQ(p.At(0, 0) >> 24, 0u) << key;
    EXPECT_EQ(p.At(p.width - 1, p.height - 1) >> 24, 0u) << key;
    EXPECT_EQ(p.At(p.width / 2, p.height / 2) >> 24, 0xFFu) << key;
  }
  // The veil dims what lies behind a dialog without hiding it, more at the edges.
  const Picture& veil = Pictures().at("DIALOGS\\background.bmp");
  const uint32_t centre = veil.At(400, 300) >> 24, corner = veil.At(0, 0) >> 24;
  EXPECT_GT(centre, 60u);
  EXPECT_LT(centre, corner);
  EXPECT_LT(corner, 255u);
}

TEST_F(ArtTest, StatesAndFramesDifferFromEachOther) {
  EXPECT_NE(Pictures().at("COMMON\\CB_ALL.bmp").pixels, Pictures().at("COMMON\\CB_ALL_checked.bmp").pixels);
  EXPECT_NE(Pictures().at("COMMON\\BTN_SCROLLUP.bmp").pixels,
            Pictures().at("COMMON\\BTN_SCROLLDOWN.bmp").pixels);
  std::set<std::vector<uint32_t>> frames;
  for (const char* key : {"COMMON\\IMG_WINDOWLOGO.bmp", "COMMON\\IMG_WINDOWLOGO_2.bmp",
                          "COMMON\\IMG_WINDOWLOGO_3.bmp", "COMMON\\IMG_WINDOWLOGO_4.bmp"})
    frames.insert(Pictures().at(key).pixels);
  EXPECT_EQ(frames.size(), 4u);
}

TEST(PictureTest, OverAndTintAndStretchKeepStraightAlpha) {
  Picture dst(2, 1, 0xFF000000u);
  Picture src(2, 1);
  src.At(0, 0) = 0x80FFFFFFu;  // half white
  src.At(1, 0) = 0x00000000u;
  BlendOver(dst, src, 0, 0);
  EXPECT_EQ(dst.At(0, 0), 0xFF808080u);
  EXPECT_EQ(dst.At(1, 0), 0xFF000000u);
  // Off the edge: nothing written, nothing read out of range.
  BlendOver(dst, src, 5, 5);
  BlendOver(dst, src, -2, 0);
  EXPECT_EQ(dst.At(0, 0), 0xFF808080u);
  EXPECT_EQ(Tint(Picture(1, 1, 0x80FF8040u), 0x808080).At(0, 0), 0x80804020u);
  Picture s = Stretch(src, 4, 2);
  EXPECT_EQ(s.At(1, 1), 0x80FFFFFFu);
  EXPECT_EQ(s.At(2, 0), 0u);
  EXPECT_TRUE(Picture(3, 3, 0xFF123456u).IsOpaque());
  EXPECT_FALSE(src.IsOpaque());
}

}  // namespace
}  // namespace vx::datagen
