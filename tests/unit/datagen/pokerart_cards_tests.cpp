// The two card sets as the card control asks for them: a folder per set holding "CARD_" + the
// card number, the back "CARD_BACK_1" and "_WILD" overlays on the deuces, all at one size,
// each card telling itself apart from every other, in its suit's colour.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tools/datagen/Art.h"
#include "tools/datagen/PokerLook.h"

namespace vx::datagen {
namespace {

using poker::kCardH;
using poker::kCardW;

const char* const kSets[] = {"CardSet1", "CardSet2"};

class CardSetTest : public ::testing::Test {
protected:
  // Every picture of both sets, drawn once for the whole suite.
  static const std::map<std::string, Picture>& Pictures() {
    static const std::map<std::string, Picture> pics = [] {
      std::map<std::string, Picture> m;
      FontLibrary fonts;
      for (const auto& a : AllArt())
        if (a.key.rfind("CardSet", 0) == 0) m[a.key] = a.draw(fonts);
      return m;
    }();
    return pics;
  }
  static const Picture& Card(const std::string& set, const std::string& name) {
    const auto it = Pictures().find(set + "\\" + name + ".bmp");
    EXPECT_NE(it, Pictures().end()) << set << "\\" << name;
    static const Picture empty;
    return it == Pictures().end() ? empty : it->second;
  }
  static std::string Face(int number) { return "CARD_" + std::to_string(number); }

  // Pixels of a region that are a clear red (the hearts and diamonds ink).
  static int RedPixels(const Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1 && y < p.height; ++y)
      for (int x = x0; x < x1 && x < p.width; ++x) {
        const uint32_t c = p.At(x, y);
        const int a = static_cast<int>(c >> 24), r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        n += a > 200 && r > 150 && g < 90 && b < 100;
      }
    return n;
  }
  static int DifferentPixels(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
  }
};

TEST_F(CardSetTest, EachSetHoldsExactlyTheFacesTheBackAndTheWildDeucesAtOneSize) {
  // What the card control can ask for: the 54 numbers, the back, and "_WILD" on the rank-2
  // card of each suit (the suits start at 1, 14, 27 and 40).
  std::set<std::string> wanted;
  for (int n = 1; n <= 54; ++n) wanted.insert(Face(n));
  wanted.insert("CARD_BACK_1");
  for (int first : {1, 14, 27, 40}) wanted.insert(Face(first + 1) + "_WILD");
  for (const char* set : kSets) {
    std::set<std::string> present;
    for (const auto& [key, pic] : Pictures()) {
      if (key.rfind(std::string(set) + "\\", 0) != 0) continue;
      present.insert(key.substr(std::string(set).size() + 1, key.size() - std::string(set).size() - 5));
      EXPECT_EQ(pic.width, kCardW) << key;
      EXPECT_EQ(pic.height, kCardH) << key;
    }
    EXPECT_EQ(present, wanted) << set;
  }
  // The list the themes and previews use agrees.
  const auto names = poker::CardPictureNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), wanted);
}

TEST_F(CardSetTest, CardsHaveRoundedSeeThroughCornersAndSolidFaces) {
  for (const char* set : kSets)
    for (const auto& name : poker::CardPictureNames()) {
      const Picture& p = Card(set, name);
      if (p.width == 0) continue;
      SCOPED_TRACE(std::string(set) + "\\" + name);
      // The felt shows through the corners; nothing shows through the card itself.
      for (auto [x, y] : {std::pair{0, 0}, {kCardW - 1, 0}, {0, kCardH - 1}, {kCardW - 1, kCardH - 1}})
        EXPECT_EQ(p.At(x, y) >> 24, 0u) << x << "," << y;
      int seeThrough = 0;
      for (int y = 10; y < kCardH - 10; ++y)
        for (int x = 10; x < kCardW - 10; ++x) seeThrough += (p.At(x, y) >> 24) != 0xFF;
      EXPECT_EQ(seeThrough, 0);
    }
}

TEST_F(CardSetTest, NoTwoPicturesOfASetAreAlikeAndTheSetsLookDifferent) {
  for (const char* set : kSets) {
    std::map<std::vector<uint32_t>, std::string> seen;
    for (const auto& name : poker::CardPictureNames()) {
      const auto [it, fresh] = seen.emplace(Card(set, name).pixels, name);
      EXPECT_TRUE(fresh) << set << ": " << name << " looks exactly like " << it->second;
    }
  }
  // Classic and modern differ over a good part of every picture, not in a corner only.
  for (const auto& name : poker::CardPictureNames()) {
    const Picture &a = Card("CardSet1", name), &b = Card("CardSet2", name);
    if (a.width == 0 || b.width == 0) continue;
    EXPECT_GT(DifferentPixels(a, b, 0, 0, kCardW, kCardH), kCardW * kCardH / 4) << name;
  }
}

TEST_F(CardSetTest, IndicesAreInkedInTheSuitsColourThatRedBlackReads) {
  // The double-up's RED/BLACK calls suits 2 and 3 (14-39) red, 1 and 4 black: the corner
  // index a player reads must agree, on courts as on pips.
  for (const char* set : kSets)
    for (int n = 1; n <= 52; ++n) {
      const Picture& p = Card(set, Face(n));
      if (p.width == 0) continue;
      const bool red = n >= 14 && n <= 39;
      const int topLeft = RedPixels(p, 0, 0, 28, 56);
      const int bottomRight = RedPixels(p, kCardW - 28, kCardH - 56, kCardW, kCardH);
      if (red) {
        EXPECT_GT(topLeft, 60) << set << " card " << n;
        EXPECT_GT(bottomRight, 60) << set << " card " << n;
      } else {
        EXPECT_EQ(topLeft, 0) << set << " card " << n;
        EXPECT_EQ(bottomRight, 0) << set << " card " << n;
      }
    }
}

TEST_F(CardSetTest, TheWildBannerLeavesTheDeucesIndexReadable) {
  for (const char* set : kSets)
    for (int deuce : {2, 15, 28, 41}) {
      const Picture &plain = Card(set, Face(deuce)), &wild = Card(set, Face(deuce) + "_WILD");
      if (plain.width == 0 || wild.width == 0) continue;
      SCOPED_TRACE(std::string(set) + " deuce " + std::to_string(deuce));
      // The banner crosses the middle of the card ...
      EXPECT_GT(DifferentPixels(plain, wild, 0, kCardH / 3, kCardW, 2 * kCardH / 3), kCardW * kCardH / 12);
      // ... and leaves both corner indices exactly as they were.
      EXPECT_EQ(DifferentPixels(plain, wild, 0, 0, 28, 52), 0);
      EXPECT_EQ(DifferentPixels(plain, wild, kCardW - 28, kCardH - 52, kCardW, kCardH), 0);
    }
}

TEST_F(CardSetTest, TheBackHidesTheCardAndTheJokersAreNotCourtsOrPips) {
  for (const char* set : kSets) {
    const Picture& back = Card(set, "CARD_BACK_1");
    if (back.width == 0) continue;
    // A back is mostly its own dark pattern, where every face is mostly light paper.
    auto light = [](const Picture& p) {
      int n = 0;
      for (uint32_t c : p.pixels)
        n += (c >> 24) == 0xFF && ((c >> 16) & 0xFF) > 220 && ((c >> 8) & 0xFF) > 220 && (c & 0xFF) > 200;
      return n;
    };
    EXPECT_LT(light(back), kCardW * kCardH / 5) << set;
    for (int n : {1, 13, 53, 54}) EXPECT_GT(light(Card(set, Face(n))), kCardW * kCardH / 3) << set << " " << n;
    // The two jokers carry different colours (so a deal of both shows two different cards).
    EXPECT_GT(DifferentPixels(Card(set, Face(53)), Card(set, Face(54)), 0, 0, kCardW, kCardH), kCardW * kCardH / 20)
        << set;
  }
}

TEST(CardFaceTest, NumbersOutsideTheDeckDrawTheBack) {
  FontLibrary fonts;
  for (const char* set : kSets) {
    const Picture back = poker::CardFace(fonts, set, 0);
    EXPECT_EQ(poker::CardFace(fonts, set, 55).pixels, back.pixels);
    EXPECT_EQ(poker::CardFace(fonts, set, -1).pixels, back.pixels);
    EXPECT_NE(poker::CardFace(fonts, set, 1).pixels, back.pixels);
  }
}

}  // namespace
}  // namespace vx::datagen
