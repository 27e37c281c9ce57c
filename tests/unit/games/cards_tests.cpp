// Card numbers, the card's face and the picture the card control asks for.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/VXTextures.h"
#include "games/Cards.h"
#include "games/VXCard.h"

using namespace vx;

namespace {

TEST(Cards, NumbersGiveRankAndSuit) {
  const struct {
    int32_t number, rank, suit;
  } table[] = {{1, 1, 1},   {2, 2, 1},   {13, 13, 1}, {14, 1, 2},  {26, 13, 2}, {27, 1, 3},
               {39, 13, 3}, {40, 1, 4},  {52, 13, 4}, {53, 99, 0}, {54, 99, 0}, {0, -1, -1},
               {55, -1, -1}, {-1, -1, -1}, {INT32_MIN, -1, -1}, {INT32_MAX, -1, -1}};
  for (const auto& row : table) {
    EXPECT_EQ(CardRank(row.number), row.rank) << row.number;
    EXPECT_EQ(CardSuit(row.number), row.suit) << row.number;
  }
  // Each of the 52 ordinary numbers is one rank of one suit.
  std::vector<int> seen(5 * 14, 0);
  for (int32_t n = 1; n <= 52; ++n) ++seen[static_cast<size_t>(CardSuit(n) * 14 + CardRank(n))];
  for (int s = 1; s <= 4; ++s)
    for (int r = 1; r <= 13; ++r) EXPECT_EQ(seen[static_cast<size_t>(s * 14 + r)], 1);
}

TEST(Cards, FaceFollowsItsNumberAndNamesItsPicture) {
  TCardFace f;
  EXPECT_EQ(f.Number(), 0);
  EXPECT_TRUE(f.FaceDown());
  EXPECT_FALSE(f.Held());
  EXPECT_EQ(f.WildRank(), 0);
  EXPECT_EQ(f.PictureName(), "CARD_BACK_1");

  EXPECT_TRUE(f.SetNumber(14));
  EXPECT_EQ(f.Rank(), 1);
  EXPECT_EQ(f.Suit(), 2);
  EXPECT_FALSE(f.SetNumber(14));
  EXPECT_EQ(f.PictureName(), "CARD_BACK_1");  // face down whatever the number
  EXPECT_TRUE(f.SetFaceDown(false));
  EXPECT_FALSE(f.SetFaceDown(false));
  EXPECT_EQ(f.PictureName(), "CARD_14");

  // A number outside 1..54 is stored; rank and suit stay as they were.
  EXPECT_TRUE(f.SetNumber(55));
  EXPECT_EQ(f.Number(), 55);
  EXPECT_EQ(f.Rank(), 1);
  EXPECT_EQ(f.Suit(), 2);
  EXPECT_TRUE(f.SetNumber(0));
  EXPECT_EQ(f.Suit(), 2);

  // The wild overlay: a deuce under deuces wild, never by default.
  f.SetNumber(2);
  EXPECT_EQ(f.PictureName(), "CARD_2");
  f.SetWildRank(2);
  EXPECT_EQ(f.PictureName(), "CARD_2_WILD");
  EXPECT_TRUE(f.ShowsWild());
  f.SetNumber(41);
  EXPECT_EQ(f.PictureName(), "CARD_41_WILD");
  f.SetNumber(42);
  EXPECT_EQ(f.PictureName(), "CARD_42");
  f.SetNumber(53);
  EXPECT_EQ(f.PictureName(), "CARD_53");
  f.SetFaceDown(true);
  f.SetNumber(2);
  EXPECT_EQ(f.PictureName(), "CARD_BACK_1");
  EXPECT_FALSE(f.ShowsWild());

  TCardFace fresh;
  fresh.SetFaceDown(false);
  EXPECT_EQ(fresh.PictureName(), "CARD_0");  // rank 0 and wild rank 0 mark nothing

  EXPECT_TRUE(f.SetHeld(true));
  EXPECT_FALSE(f.SetHeld(true));
  EXPECT_TRUE(f.Held());
}

// Records which pictures the card asks for; it has none to give.
class RecordingSource : public TVXTextureSource {
public:
  std::vector<std::string> Requests;
  std::unique_ptr<TGfxImage> CreateTextureImage() override { return nullptr; }
  int32_t LoadTexture(TVXGfxTexture*, const std::string& key) override {
    Requests.push_back(key);
    return 1;
  }
  int32_t LoadTextureFromBitmap(TVXGfxTexture*, const TBitmapEx&, const std::string&) override { return 1; }
};

TEST(Cards, CardControlLoadsThePictureOfItsFace) {
  RecordingSource source;
  TVXTextureList textures(&source);
  TVXCard card(nullptr);
  card.Textures = &textures;
  card.TextureInfo.SetFolder("CardSet1");
  card.Tag = 3;
  EXPECT_TRUE(card.FaceDown());
  EXPECT_EQ(card.Number(), 0);

  card.SetNumber(27);
  EXPECT_TRUE(source.Requests.empty());  // the picture changes only with UpdateImage
  card.UpdateImage();
  card.SetFaceDown(false);
  card.UpdateImage();
  card.SetWildRank(2);
  card.SetNumber(15);
  card.UpdateImage();
  EXPECT_EQ(source.Requests, (std::vector<std::string>{"CardSet1\\CARD_BACK_1.bmp", "CardSet1\\CARD_27.bmp",
                                                       "CardSet1\\CARD_15_WILD.bmp"}));
  EXPECT_EQ(card.Rank(), 2);
  EXPECT_EQ(card.Suit(), 2);
  EXPECT_FALSE(card.TextureLoaded());
  card.SetHeld(true);
  EXPECT_TRUE(card.Held());
  EXPECT_EQ(card.Tag, 3);
}

}  // namespace
