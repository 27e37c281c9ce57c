// The hand evaluator: the named hands and outputs it must produce, the golden counts of a
// full 52-card deck, order independence, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>

#include "core/Random.h"
#include "games/Cards.h"
#include "games/GameManager.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"
#include "unit/games/ReferenceHands.h"

using namespace vx;

namespace {

// "AS" ace of suit 1, "10H" ten of suit 2, "QD", "2C"; "JK" and "JK2" are the jokers.
int32_t Card(const std::string& t) {
  if (t == "JK") return 53;
  if (t == "JK2") return 54;
  const std::string r = t.substr(0, t.size() - 1);
  const char s = t.back();
  int rank = r == "A" ? 1 : r == "J" ? 11 : r == "Q" ? 12 : r == "K" ? 13 : std::stoi(r);
  int suit = s == 'S' ? 1 : s == 'H' ? 2 : s == 'D' ? 3 : 4;
  return (suit - 1) * 13 + rank;
}

struct Hand {
  int32_t cards[5];
};

Hand Parse(const std::string& text) {
  Hand h{};
  size_t pos = 0;
  for (int i = 0; i < 5; ++i) {
    size_t end = text.find(' ', pos);
    h.cards[i] = Card(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return h;
}

class EvaluatorTest : public ::testing::Test {
protected:
  TVXGameManager Games;

  THandEvaluation Eval(int gameID, const std::string& hand, bool deucesWild, int orvanta = 5) {
    const TGameInfo* info = Games.FindGameByID(gameID);
    EXPECT_NE(info, nullptr);
    THandEvaluation e;
    EvaluateCardsCode(info->HandCodes(), Parse(hand).cards, deucesWild, orvanta, e);
    return e;
  }
  std::string Key(int gameID, const std::string& hand, bool deucesWild, int orvanta = 5) {
    return Eval(gameID, hand, deucesWild, orvanta).Key();
  }
};

TEST_F(EvaluatorTest, NamedHandsScoreTheirKeys) {
  struct Case {
    int game;
    const char* hand;
    bool deucesWild;
    const char* key;
  };
  const Case cases[] = {
      // Ace-low straight flush; natural royal by whether the table holds the natural key.
      {10, "AS 2S 3S 4S 5S", false, "HAND_STREETFLUSH"},
      {3, "10S JS QS KS AS", false, "HAND_ROYALFLUSH_N"},
      {10, "10S JS QS KS AS", false, "HAND_ROYALFLUSH"},
      {10, "KH AH 10H QH JH", false, "HAND_ROYALFLUSH"},
      {10, "9S 10S JS QS KS", false, "HAND_STREETFLUSH"},
      // No wrap-around; mixed suits make plain straights.
      {10, "10S JH QS KS AS", false, "HAND_STREET"},
      {10, "JS QH KS AS 2D", false, "HAND_NOTHING"},
      {10, "AS 2H 3S 4S 5D", false, "HAND_STREET"},
      {10, "2S 7S 9S JS KS", false, "HAND_FLUSH"},
      {10, "7S 7H 7D 7C 2S", false, "HAND_POKER"},
      {10, "7S 7H 7D 2C 2S", false, "HAND_FULLHOUSE"},
      {10, "7S 7H 7D 9C 2S", false, "HAND_THREEOFAKIND"},
      {10, "7S 7H 9D 9C 2S", false, "HAND_TWOPAIRS"},
      {10, "QS QH 9D 8C 2S", false, "HAND_HIGHPAIR"},
      {10, "AS AH 9D 8C 2S", false, "HAND_HIGHPAIR"},
      {10, "10S 10H 9D 8C 2S", false, "HAND_NOTHING"},
      // A joker is always wild; a wild royal is never the natural key.
      {14, "10H JH QH KH JK", false, "HAND_ROYALFLUSH"},
      {14, "9H JH QH KH JK", false, "HAND_STREETFLUSH"},
      {14, "AH 3H 4H 5H JK", false, "HAND_STREETFLUSH"},
      {14, "3S 5H 6D 7C JK", false, "HAND_STREET"},
      {14, "3S 5H 6D 8C JK", false, "HAND_NOTHING"},
      {14, "3S 5S 6S 8S JK", false, "HAND_FLUSH"},
      {14, "8S 8H 8D 8C JK", false, "HAND_FIVEOFAKIND"},
      {14, "8S 8H 8D 3C JK", false, "HAND_POKER"},
      {14, "8S 8H 3D 3C JK", false, "HAND_FULLHOUSE"},
      {14, "8S 8H 3D 5C JK", false, "HAND_THREEOFAKIND"},
      {15, "KS 8H 3D 5C JK", false, "HAND_HIGHPAIR"},
      {15, "AS 8H 3D 5C JK", false, "HAND_HIGHPAIR"},
      {15, "10S 8H 3D 5C JK", false, "HAND_NOTHING"},
      // Two jokers.
      {3, "8S 8H 8D JK JK2", false, "HAND_FIVEOFAKIND"},
      {3, "8S 8H 3D JK JK2", false, "HAND_POKER"},
      {3, "8S 9H 3D JK JK2", false, "HAND_THREEOFAKIND"},
      {3, "8S 9S JS JK JK2", false, "HAND_STREETFLUSH"},
      {3, "10S QS AS JK JK2", false, "HAND_ROYALFLUSH"},
      {3, "8S 9S 2S JK JK2", false, "HAND_FLUSH"},
      {3, "8S 9H JD JK JK2", false, "HAND_STREET"},
      // Deuces wild.
      {12, "2S 2H 2D 2C 9S", true, "HAND_POKER_D"},
      {13, "2S 2H 2D 2C JK", true, "HAND_FIVEOFAKIND_D"},
      {6, "2S 2H 2D 2C JK", true, "HAND_FIVEOFAKIND_D"},
      {12, "2S 2H 2D KS AS", true, "HAND_ROYALFLUSH"},
      {12, "2S 2H 2D KC AS", true, "HAND_POKER"},
      {12, "2S 2H 2D 9C 5S", true, "HAND_POKER"},
      {12, "2S 2H 2D 9C 9S", true, "HAND_FIVEOFAKIND"},
      {12, "2S 2H 9S 9C 5S", true, "HAND_POKER"},
      {12, "2S 7H 9S 9C 5S", true, "HAND_THREEOFAKIND"},
      {12, "2S 7S 9S 10S JS", true, "HAND_STREETFLUSH"},
      {12, "2S 7S 9S 10S KS", true, "HAND_FLUSH"},
      {12, "2S 2H 2D 2C 9S", false, "HAND_POKER"},
      // The two deliberate scoring rules: three deuces, a joker and a ten-to-ace card
      // score five of a kind; one wild card with three natural Orvanta cards scores four of
      // a kind.
      {13, "2S 2H 2D JK AS", true, "HAND_FIVEOFAKIND"},
      {2, "7S 7H 7D 9C 2S", true, "HAND_POKER"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Key(c.game, c.hand, c.deucesWild, 7), c.key) << "game " << c.game << ": " << c.hand;
}

TEST_F(EvaluatorTest, OrvantaAndSplitQuadsFollowTheTable) {
  // Three natural Orvanta cards: the bonus key where the table has it, else the plain hand.
  EXPECT_EQ(Key(1, "7S 7H 7D 9C 9S", false, 7), "HAND_3XORVANTA");
  EXPECT_EQ(Key(10, "7S 7H 7D 9C 9S", false, 7), "HAND_FULLHOUSE");
  EXPECT_EQ(Key(1, "7S 7H 7D 9C 3S", false, 7), "HAND_3XORVANTA");
  EXPECT_EQ(Key(1, "7S 7H 7D 9C 3S", false, 8), "HAND_THREEOFAKIND");
  EXPECT_EQ(Key(1, "7S 7H 7D 7C 3S", false, 7), "HAND_POKER");
  // Game 11 pays four of a kind only through the rank-split keys.
  EXPECT_EQ(Key(11, "AS AH AD AC 3S", false), "HAND_POKER_ACES");
  EXPECT_EQ(Key(11, "JS JH JD JC 3S", false), "HAND_POKER_JQK");
  EXPECT_EQ(Key(11, "KS KH KD KC 3S", false), "HAND_POKER_JQK");
  EXPECT_EQ(Key(11, "2S 2H 2D 2C 3S", false), "HAND_POKER_2TO10");
  EXPECT_EQ(Key(11, "10S 10H 10D 10C 3S", false), "HAND_POKER_2TO10");
  // Two pairs where the table has no such key fall back to a high pair, or to nothing.
  EXPECT_EQ(Key(2, "KS KH 9D 9C 3S", true), "HAND_NOTHING");
  EXPECT_EQ(Key(15, "KS KH 9D 9C 3S", false), "HAND_TWOPAIRS");
  const TGameInfo* g10 = Games.FindGameByID(10);
  TGameInfo noTwoPairs;
  for (int i = 0; i < g10->Hands().Count(); ++i)
    if (g10->Hands().Items(i)->OrderCode != hcTwoPairs)
      noTwoPairs.AddHand(g10->Hands().Items(i)->HandIDStr, g10->Hands().Items(i)->Value);
  EXPECT_EQ(EvaluateCards(&noTwoPairs, Card("KS"), Card("KH"), Card("9D"), Card("9C"), Card("3S"), false, 5),
            "HAND_HIGHPAIR");
  EXPECT_EQ(EvaluateCards(&noTwoPairs, Card("3S"), Card("3H"), Card("9D"), Card("9C"), Card("KS"), false, 5),
            "HAND_NOTHING");
  // Without a pay table nothing conditional is scored.
  EXPECT_EQ(EvaluateCards(nullptr, Card("QS"), Card("QH"), Card("9D"), Card("8C"), Card("3S"), false, 5),
            "HAND_NOTHING");
  EXPECT_EQ(EvaluateCards(nullptr, Card("10S"), Card("JS"), Card("QS"), Card("KS"), Card("AS"), false, 5),
            "HAND_ROYALFLUSH");
}

TEST_F(EvaluatorTest, SideOutputsNameTheCardsThatMadeTheHand) {
  THandEvaluation e = Eval(10, "9S 9H 9D 9C 3S", false);
  EXPECT_EQ(e.MainRank, 9);
  e = Eval(1, "7S 7H 7D 7C 3S", false, 7);
  EXPECT_TRUE(e.FourOrvanta);
  EXPECT_EQ(e.MainRank, 7);
  // A full house names its three-of-a-kind rank, whichever pair sorts first, so the
  // automatic hold keeps the cards of a three-Orvanta full house.
  e = Eval(1, "7S 7H 7D KC KS", false, 7);
  EXPECT_EQ(e.Key(), "HAND_3XORVANTA");
  EXPECT_TRUE(e.ThreeOrvanta);
  EXPECT_EQ(e.MainRank, 7);
  e = Eval(10, "3S 3H KD KC KS", false);
  EXPECT_EQ(e.Key(), "HAND_FULLHOUSE");
  EXPECT_EQ(e.MainRank, 13);
  e = Eval(10, "3S 3H 3D KC KS", false);
  EXPECT_EQ(e.MainRank, 3);
  e = Eval(10, "3S 3H KD KC 9S", false);
  EXPECT_EQ(e.MainRank, 3);
  EXPECT_EQ(e.SecondRank, 13);
  // Pairs: a low pair reports nothing; an unpaid high pair reports its rank.
  e = Eval(10, "10S 10H 9D 8C 2S", false);
  EXPECT_EQ(e.UnpaidPairRank, 0);
  e = Eval(2, "QS QH 9D 8C 3S", true);
  EXPECT_EQ(e.Key(), "HAND_NOTHING");
  EXPECT_EQ(e.UnpaidPairRank, 12);
  e = Eval(14, "AS 8H 3D 5C JK", false);
  EXPECT_EQ(e.Key(), "HAND_NOTHING");
  EXPECT_EQ(e.UnpaidPairRank, 1);
  // One wild card with three Orvanta naturals flags the three whatever the table holds.
  e = Eval(2, "7S 7H 7D 9C 2S", true, 7);
  EXPECT_TRUE(e.ThreeOrvanta);
  EXPECT_EQ(e.MainRank, 7);
}

TEST_F(EvaluatorTest, InvalidCardsResetEveryOutput) {
  THandEvaluation e = Eval(1, "7S 7H 7D 7C 3S", false, 7);
  ASSERT_TRUE(e.FourOrvanta);
  const int32_t bad[][5] = {{0, 2, 3, 4, 5}, {55, 2, 3, 4, 5}, {-1, 2, 3, 4, 5}, {1, 2, 3, 4, INT32_MAX}};
  for (const auto& cards : bad) {
    e.MainRank = 5;
    e.FourOrvanta = e.ThreeOrvanta = true;
    e.SecondRank = e.UnpaidPairRank = 3;
    EXPECT_EQ(EvaluateCardsCode(~0u, cards, false, 5, e), hcNothing);
    EXPECT_EQ(e.MainRank, 0);
    EXPECT_EQ(e.SecondRank, 0);
    EXPECT_EQ(e.UnpaidPairRank, 0);
    EXPECT_FALSE(e.ThreeOrvanta);
    EXPECT_FALSE(e.FourOrvanta);
  }
  EXPECT_EQ(CardRank(0), -1);
  EXPECT_EQ(CardSuit(55), -1);
  // Ranks and suits outside the card table are refused the same way.
  const int32_t ranks[5] = {10, 11, 12, 13, 14}, suits[5] = {1, 1, 1, 1, 1};
  EXPECT_EQ(EvaluateHandCode(~0u, ranks, suits, false, 5, e), hcNothing);
  const int32_t ranks2[5] = {10, 11, 12, 13, 1}, suits2[5] = {1, 1, 1, 1, 5};
  EXPECT_EQ(EvaluateHandCode(~0u, ranks2, suits2, false, 5, e), hcNothing);
  int32_t mr = 9, sr = 9, up = 9;
  bool t3 = true, t4 = true;
  EXPECT_EQ(EvaluateHand(Games.FindGameByID(1), ranks, suits, false, 5, mr, sr, t3, t4, up), "HAND_NOTHING");
  EXPECT_EQ(mr + sr + up, 0);
  EXPECT_FALSE(t3 || t4);
}

TEST_F(EvaluatorTest, FullDeckGivesTheGoldenCounts) {
  const TGameInfo* info = Games.FindGameByID(10);
  const THandCodeSet table = info->HandCodes();
  std::map<int32_t, int64_t> counts;
  THandEvaluation e;
  vxtest::ForEachHand(vxtest::Deck(52), 1, 0,
                      [&](const int32_t* cards) { ++counts[EvaluateCardsCode(table, cards, false, 5, e)]; });
  EXPECT_EQ(counts[hcRoyalFlush], 4);
  EXPECT_EQ(counts[hcStreetFlush], 36);
  EXPECT_EQ(counts[hcPoker], 624);
  EXPECT_EQ(counts[hcFullHouse], 3744);
  EXPECT_EQ(counts[hcFlush], 5108);
  EXPECT_EQ(counts[hcStreet], 10200);
  EXPECT_EQ(counts[hcThreeOfAKind], 54912);
  EXPECT_EQ(counts[hcTwoPairs], 123552);
  EXPECT_EQ(counts[hcHighPair], 337920);
  EXPECT_EQ(counts[hcNothing], 2062860);
  EXPECT_EQ(counts.size(), 10u);
}

TEST_F(EvaluatorTest, EveryOrderOfAHandScoresTheSame) {
  // A sample of every variant's hands, each in all 120 orders.
  int count = 0;
  const TPokerVariant* variants = PokerVariants(count);
  for (int v = 0; v < count; ++v) {
    const TPokerVariant& var = variants[v];
    const THandCodeSet table = Games.FindGameByID(var.ID)->HandCodes();
    std::vector<int32_t> deck;
    for (int32_t n = 1; n <= 54; ++n)
      if (var.DealsCard(n)) deck.push_back(n);
    vxtest::ForEachHand(deck, 4999, static_cast<uint64_t>(v) * 97, [&](const int32_t* cards) {
      int32_t c[5] = {cards[0], cards[1], cards[2], cards[3], cards[4]};
      THandEvaluation first;
      EvaluateCardsCode(table, c, var.DeucesWild(), 7, first);
      std::sort(c, c + 5);
      do {
        THandEvaluation e;
        EvaluateCardsCode(table, c, var.DeucesWild(), 7, e);
        ASSERT_EQ(e.Code, first.Code);
        ASSERT_EQ(e.MainRank, first.MainRank);
        ASSERT_EQ(e.SecondRank, first.SecondRank);
        ASSERT_EQ(e.UnpaidPairRank, first.UnpaidPairRank);
        ASSERT_EQ(e.ThreeOrvanta, first.ThreeOrvanta);
        ASSERT_EQ(e.FourOrvanta, first.FourOrvanta);
      } while (std::next_permutation(c, c + 5));
    });
  }
}

TEST_F(EvaluatorTest, ArbitraryNumbersAndDuplicatesNeverBreakIt) {
  DefaultRandom rng(12345);
  const THandCodeSet table = ~0u;
  for (int i = 0; i < 200000; ++i) {
    int32_t cards[5];
    for (int& c : cards) c = rng.Random(60) - 3;
    if (i % 3 == 0) cards[4] = cards[rng.Random(4)];  // duplicates
    THandEvaluation e;
    const int32_t code = EvaluateCardsCode(table, cards, (i & 1) != 0, rng.Random(16), e);
    ASSERT_FALSE(HandKeyOfCode(code).empty());
    ASSERT_TRUE(e.MainRank >= 0 && e.MainRank <= 13);
  }
  // Five copies of one card still make a definite hand (one suit: the flush test comes first).
  const int32_t same[5] = {5, 5, 5, 5, 5};
  THandEvaluation e;
  EXPECT_EQ(EvaluateCardsCode(table, same, false, 5, e), hcFlush);
  const int32_t jokers[5] = {53, 53, 53, 53, 53};
  EXPECT_EQ(EvaluateCardsCode(table, jokers, true, 5, e), hcFiveOfAKindD);
}

}  // namespace
