// Every five-card hand of every video-poker variant's deck, with every Orvanta number,
// judged by the game's evaluator and by the independent reference. They must agree on
// every hand but the two deliberate scoring rules, and each of those must really occur
// where the variant can deal it. With VX_QUICK set, each configuration is sampled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "games/GameManager.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"
#include "unit/games/ReferenceHands.h"

using namespace vx;

namespace {

std::string Describe(const int32_t* cards) {
  std::ostringstream s;
  for (int i = 0; i < 5; ++i) s << (i ? " " : "") << cards[i];
  return s.str();
}

TEST(EvaluatorExhaustive, AgreesWithTheReferenceOnEveryVariant) {
  const bool quick = std::getenv("VX_QUICK") != nullptr;
  TVXGameManager games;
  int count = 0;
  const TPokerVariant* variants = PokerVariants(count);
  uint64_t checked = 0;
  for (int v = 0; v < count; ++v) {
    const TPokerVariant& var = variants[v];
    const TGameInfo* info = games.FindGameByID(var.ID);
    ASSERT_NE(info, nullptr);
    const THandCodeSet table = info->HandCodes();
    const vxtest::RefTable ref = vxtest::RefTable::From(*info);
    std::vector<int32_t> deck;
    for (int32_t n = 1; n <= 54; ++n)
      if (var.DealsCard(n)) deck.push_back(n);
    for (int32_t orvanta = 5; orvanta <= 10; ++orvanta) {
      uint64_t threeDeucesAndJoker = 0, wildWithOrvantaTrips = 0, mismatches = 0;
      const uint64_t step = quick ? 7 : 1;
      const uint64_t offset = quick ? static_cast<uint64_t>(v + orvanta) % 7 : 0;
      vxtest::ForEachHand(deck, step, offset, [&](const int32_t* cards) {
        ++checked;
        THandEvaluation e;
        const int32_t got = EvaluateCardsCode(table, cards, var.DeucesWild(), orvanta, e);
        vxtest::RefCounts seen;
        const int32_t want = vxtest::ReferenceHand(ref, cards, var.DeucesWild(), orvanta, &seen);
        if (got == want) return;
        // Three deuces, a joker and a ten-to-ace card score five of a kind.
        const int natural = seen.SingleNaturalRank;
        if (var.DeucesWild() && seen.Deuces == 3 && seen.Jokers == 1 &&
            (natural == 1 || natural >= 10) && got == hcFiveOfAKind && want == hcRoyalFlush) {
          ++threeDeucesAndJoker;
          return;
        }
        // One wild card with three natural Orvanta cards scores four of a kind.
        if (seen.Wild == 1 && seen.Hist[orvanta] == 3 && got == hcPoker && want == hc3XOrvanta) {
          ++wildWithOrvantaTrips;
          return;
        }
        if (++mismatches <= 5)
          ADD_FAILURE() << "game " << var.ID << " orvanta " << orvanta << " cards " << Describe(cards)
                        << ": evaluator " << HandKeyOfCode(got) << ", reference " << HandKeyOfCode(want);
      });
      EXPECT_EQ(mismatches, 0u) << "game " << var.ID << " orvanta " << orvanta;
      // The deliberate rules differ from the best-paying reading exactly where a variant
      // deals a joker with deuces wild, or pays the Orvanta bonus above four of a kind.
      const bool jokerDeuces = var.DeucesWild() && var.DealsCard(53);
      EXPECT_EQ(threeDeucesAndJoker > 0, jokerDeuces) << "game " << var.ID;
      const bool dealsWild = var.DeucesWild() || var.DealsCard(53) || var.DealsCard(54);
      const bool orvantaAboveQuads = dealsWild && info->HasHandCode(hc3XOrvanta) &&
                                     info->GetPay("HAND_3XORVANTA") > info->GetPay("HAND_POKER");
      EXPECT_EQ(wildWithOrvantaTrips > 0, orvantaAboveQuads) << "game " << var.ID;
    }
  }
  std::printf("hands checked: %llu\n", static_cast<unsigned long long>(checked));
}

}  // namespace
