// The return analyser: its fast inclusion-exclusion method against a brute-force count of
// every draw on small decks (free and costed draws, wild cards), the known return of a
// standard jacks-or-better machine, and the pay-table reader.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "games/GameManager.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"
#include "tools/analyser/ReturnAnalyser.h"

using namespace vx;
using vxtools::TAnalyserConfig;

namespace {

// Every deal, every hold, every draw, one by one; the same choice rules as the analyser
// (hold all on ties, a costed draw only with one to four cards held).
vxtools::TAnalysisResult BruteForce(const TAnalyserConfig& c) {
  const int n = static_cast<int>(c.Deck.size());
  auto payOf = [&](const int32_t* cards) {
    THandEvaluation e;
    const int32_t code = EvaluateCardsCode(c.Table, cards, c.DeucesWild, c.OrvantaNumber, e);
    return std::make_pair(code, (c.Table & HandCodeBit(code)) ? c.Pay[static_cast<size_t>(code)] : 0);
  };
  double paid = 0, wagered = 0, deals = 0, drawn = 0;
  std::array<double, MaxHandCode + 1> freq{};
  std::vector<int> idx(5);
  std::function<void(int, int)> deal = [&](int start, int depth) {
    if (depth < 5) {
      for (int i = start; i < n; ++i) {
        idx[static_cast<size_t>(depth)] = i;
        deal(i + 1, depth + 1);
      }
      return;
    }
    deals += 1;
    std::vector<int> rest;
    for (int i = 0; i < n; ++i)
      if (std::find(idx.begin(), idx.end(), i) == idx.end()) rest.push_back(i);
    struct Outcome {
      int64_t sum = 0, count = 0;
      std::map<int32_t, int64_t> codes;
    };
    Outcome out[32];
    for (int mask = 0; mask < 32; ++mask) {
      std::vector<int32_t> held;
      for (int i = 0; i < 5; ++i)
        if (mask & (1 << i)) held.push_back(c.Deck[static_cast<size_t>(idx[static_cast<size_t>(i)])]);
      const int need = 5 - static_cast<int>(held.size());
      std::vector<int> pick(static_cast<size_t>(need));
      std::function<void(int, int)> draw = [&](int from, int k) {
        if (k == need) {
          int32_t cards[5];
          for (size_t i = 0; i < held.size(); ++i) cards[i] = held[i];
          for (int i = 0; i < need; ++i)
            cards[held.size() + static_cast<size_t>(i)] = c.Deck[static_cast<size_t>(rest[static_cast<size_t>(pick[static_cast<size_t>(i)])])];
          auto [code, pay] = payOf(cards);
          out[mask].sum += pay;
          out[mask].count += 1;
          out[mask].codes[code] += 1;
          return;
        }
        for (int i = from; i < static_cast<int>(rest.size()); ++i) {
          pick[static_cast<size_t>(k)] = i;
          draw(i + 1, k + 1);
        }
      };
      draw(0, 0);
    }
    int best = 31;
    int64_t bestNum = out[31].sum, bestDen = 1;
    for (int mask = 30; mask >= 0; --mask) {
      const int k = __builtin_popcount(static_cast<unsigned>(mask));
      if (c.DrawCostsBet && k == 0) continue;
      const int64_t num = out[mask].sum - (c.DrawCostsBet ? out[mask].count : 0);
      if (num * bestDen > bestNum * out[mask].count) {
        best = mask;
        bestNum = num;
        bestDen = out[mask].count;
      }
    }
    const bool costed = c.DrawCostsBet && best != 31;
    paid += static_cast<double>(out[best].sum) / static_cast<double>(out[best].count);
    wagered += costed ? 2 : 1;
    drawn += costed ? 1 : 0;
    for (auto [code, cnt] : out[best].codes)
      freq[static_cast<size_t>(code)] += static_cast<double>(cnt) / static_cast<double>(out[best].count);
  };
  deal(0, 0);
  vxtools::TAnalysisResult r;
  r.Deals = static_cast<uint64_t>(deals);
  r.Paid = paid / deals;
  r.Wagered = wagered / deals;
  r.Return = paid / wagered;
  r.DrawShare = drawn / deals;
  for (auto& f : freq) f /= deals;
  r.Frequency = freq;
  return r;
}

void ExpectSame(const vxtools::TAnalysisResult& fast, const vxtools::TAnalysisResult& slow) {
  EXPECT_EQ(fast.Deals, slow.Deals);
  EXPECT_NEAR(fast.Paid, slow.Paid, 1e-12);
  EXPECT_NEAR(fast.Wagered, slow.Wagered, 1e-12);
  EXPECT_NEAR(fast.Return, slow.Return, 1e-12);
  EXPECT_NEAR(fast.DrawShare, slow.DrawShare, 1e-12);
  double total = 0;
  for (size_t code = 0; code < fast.Frequency.size(); ++code) {
    EXPECT_NEAR(fast.Frequency[code], slow.Frequency[code], 1e-12) << HandKeyOfCode(static_cast<int32_t>(code));
    total += fast.Frequency[code];
  }
  EXPECT_NEAR(total, 1.0, 1e-12);
}

TAnalyserConfig SmallMachine(int gameID, std::vector<int32_t> deck, bool costed) {
  TVXGameManager games;
  TAnalyserConfig c = vxtools::ConfigForGame(*games.FindGameByID(gameID), *FindPokerVariant(gameID), 5);
  c.Deck = std::move(deck);
  c.DrawCostsBet = costed;
  return c;
}

TEST(ReturnAnalyser, MatchesBruteForceOnSmallDecks) {
  // Royal and straight flushes, quads, Orvanta trips, jokers and deuces all occur in these.
  const std::vector<int32_t> plain = {1, 5, 10, 11, 12, 13, 14, 18, 27, 31, 40, 44, 26};
  const std::vector<int32_t> wild = {1, 2, 10, 11, 12, 13, 15, 18, 28, 31, 40, 53};
  const std::vector<int32_t> twoJokers = {1, 3, 10, 11, 12, 13, 14, 16, 29, 53, 54};
  {
    SCOPED_TRACE("jacks or better, free draw");
    const TAnalyserConfig c = SmallMachine(10, plain, false);
    ExpectSame(vxtools::AnalyseReturn(c), BruteForce(c));
  }
  {
    SCOPED_TRACE("Orvanta bonus, costed draw");
    const TAnalyserConfig c = SmallMachine(1, plain, true);
    ExpectSame(vxtools::AnalyseReturn(c), BruteForce(c));
  }
  {
    SCOPED_TRACE("jokers and deuces, free draw");
    const TAnalyserConfig c = SmallMachine(13, wild, false);
    ExpectSame(vxtools::AnalyseReturn(c), BruteForce(c));
  }
  {
    SCOPED_TRACE("American poker deuces wild, costed draw");
    const TAnalyserConfig c = SmallMachine(6, wild, true);
    ExpectSame(vxtools::AnalyseReturn(c), BruteForce(c));
  }
  {
    SCOPED_TRACE("two jokers");
    const TAnalyserConfig c = SmallMachine(3, twoJokers, false);
    ExpectSame(vxtools::AnalyseReturn(c), BruteForce(c));
  }
}

TEST(ReturnAnalyser, StandardJacksOrBetterReturns99_54) {
  TAnalyserConfig c;
  std::string error;
  ASSERT_TRUE(vxtools::ParsePayTable("RF=800,SF=50,4K=25,FH=9,FL=6,ST=4,3K=3,2P=2,HP=1", c, error)) << error;
  c.Deck = vxtools::StandardDeck(52);
  const vxtools::TAnalysisResult r = vxtools::AnalyseReturn(c);
  EXPECT_NEAR(r.Return, 0.995439, 0.0000005);
  EXPECT_EQ(r.Deals, 2598960u);
  EXPECT_NEAR(r.Frequency[hcRoyalFlush], 0.0000247583, 1e-10);
  EXPECT_NEAR(r.Frequency[hcHighPair], 0.2145850311, 1e-10);
  std::printf("%s", vxtools::FormatReport(c, r).c_str());
}

TEST(ReturnAnalyser, PayTableReaderRefusesBadTables) {
  TAnalyserConfig c;
  std::string error;
  ASSERT_TRUE(vxtools::ParsePayTable(" hand_royalflush=800; SF=50 4kd=0,,3XO=13 ", c, error)) << error;
  EXPECT_EQ(c.Pay[hcRoyalFlush], 800);
  EXPECT_EQ(c.Pay[hcStreetFlush], 50);
  EXPECT_EQ(c.Table, HandCodeBit(hcRoyalFlush) | HandCodeBit(hcStreetFlush) | HandCodeBit(hcPokerD) |
                         HandCodeBit(hc3XOrvanta));
  const TAnalyserConfig before = c;
  for (const char* bad : {"", " , ", "RF", "RF=", "RF=-1", "RF=1000001", "RF=x", "XX=1", "HAND_NOTHING=1",
                          "RF=1,RF=2", "RF=99999999999999999999", "=5"}) {
    error.clear();
    EXPECT_FALSE(vxtools::ParsePayTable(bad, c, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_EQ(c.Table, before.Table);
    EXPECT_EQ(c.Pay, before.Pay);
  }
  c.Deck = {1, 2, 3};
  EXPECT_THROW(vxtools::AnalyseReturn(c), std::invalid_argument);
  c.Deck = {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 10};
  EXPECT_THROW(vxtools::AnalyseReturn(c), std::invalid_argument);
  c.Deck = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_THROW(vxtools::AnalyseReturn(c), std::invalid_argument);
}

}  // namespace
