#pragma once
// Test support: an independent way to judge five cards, and the deck enumeration the
// exhaustive tests share. The reference counts ranks and asks, per hand key, whether the
// cards can make that hand at all; the best-paying hand the table holds wins (ties go to
// the usual poker order). It shares no code with the game's evaluator.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "games/GameManager.h"
#include "games/HandKeys.h"

namespace vxtest {

struct RefTable {
  std::array<int32_t, vx::MaxHandCode + 1> Pay{};
  std::array<bool, vx::MaxHandCode + 1> Holds{};

  static RefTable From(const TGameInfo& info) {
    RefTable t;
    for (int i = 0; i < info.Hands().Count(); ++i) {
      const TGameHand* h = info.Hands().Items(i);
      if (h->OrderCode < 0) continue;
      t.Pay[static_cast<size_t>(h->OrderCode)] = h->Value;
      t.Holds[static_cast<size_t>(h->OrderCode)] = true;
    }
    return t;
  }
};

// What the reference saw in a hand, for classifying disagreements.
struct RefCounts {
  int Wild = 0, Jokers = 0, Deuces = 0;
  int Hist[14] = {};
  int SingleNaturalRank = 0;  // the one natural when four cards are wild
};

inline int32_t ReferenceHand(const RefTable& t, const int32_t cards[5], bool deucesWild,
                             int32_t orvanta, RefCounts* seen = nullptr) {
  using namespace vx;
  RefCounts c;
  int suitsSeen = 0;  // bit per natural suit
  for (int i = 0; i < 5; ++i) {
    const int32_t n = cards[i];
    if (n > 52) {
      ++c.Jokers;
      ++c.Wild;
      continue;
    }
    const int rank = (n - 1) % 13 + 1;
    if (deucesWild && rank == 2) {
      ++c.Deuces;
      ++c.Wild;
      continue;
    }
    ++c.Hist[rank];
    suitsSeen |= 1 << ((n - 1) / 13);
    c.SingleNaturalRank = rank;
  }
  int distinctRanks = 0, maxCount = 0, secondCount = 0;
  for (int r = 1; r <= 13; ++r) {
    if (c.Hist[r] == 0) continue;
    ++distinctRanks;
    if (c.Hist[r] > maxCount) {
      secondCount = maxCount;
      maxCount = c.Hist[r];
    } else if (c.Hist[r] > secondCount) {
      secondCount = c.Hist[r];
    }
  }
  const bool oneSuit = (suitsSeen & (suitsSeen - 1)) == 0;
  const bool allDistinct = maxCount <= 1;
  // Does every natural rank fit into the five ranks starting at `low` (ace high at 14)?
  auto fits = [&](int low) {
    for (int r = 1; r <= 13; ++r) {
      if (c.Hist[r] == 0) continue;
      const bool in = (r >= low && r <= low + 4) || (r == 1 && low == 10);
      if (!in) return false;
    }
    return true;
  };
  bool anyWindow = false;
  for (int low = 1; low <= 10; ++low) anyWindow = anyWindow || fits(low);
  const bool royalWindow = fits(10);

  std::array<bool, MaxHandCode + 1> can{};
  can[hcNothing] = true;
  can[hcFiveOfAKindD] = deucesWild && c.Deuces == 4 && c.Jokers == 1;
  can[hcPokerD] = deucesWild && c.Deuces == 4 && c.Jokers == 0;
  can[hcRoyalFlushN] = c.Wild == 0 && oneSuit && allDistinct && royalWindow;
  can[hcRoyalFlush] = oneSuit && allDistinct && royalWindow && (c.Wild > 0 || !t.Holds[hcRoyalFlushN]);
  can[hcFiveOfAKind] = c.Wild >= 1 && distinctRanks <= 1;
  can[hcStreetFlush] = oneSuit && allDistinct && anyWindow;
  for (int q = 1; q <= 13; ++q) {
    if (c.Hist[q] + c.Wild < 4) continue;
    can[hcPoker] = true;
    if (q == 1) can[hcPokerAces] = true;
    if (q >= 2 && q <= 10) can[hcPoker2To10] = true;
    if (q >= 11) can[hcPokerJQK] = true;
  }
  can[hc3XOrvanta] = orvanta >= 1 && orvanta <= 13 && c.Hist[orvanta] == 3;
  can[hcFullHouse] = distinctRanks <= 2 && maxCount <= 3;
  can[hcFlush] = oneSuit;
  can[hcStreet] = allDistinct && anyWindow;
  can[hcThreeOfAKind] = maxCount + c.Wild >= 3;
  can[hcTwoPairs] = (maxCount >= 2 ? 0 : 2 - maxCount) + (secondCount >= 2 ? 0 : 2 - secondCount) <= c.Wild;
  for (int r : {1, 11, 12, 13}) can[hcHighPair] = can[hcHighPair] || c.Hist[r] + c.Wild >= 2;

  static const int32_t order[] = {hcFiveOfAKindD, hcRoyalFlushN, hcPokerD,     hcRoyalFlush,
                                  hcFiveOfAKind,  hcStreetFlush, hcPokerAces,  hcPokerJQK,
                                  hcPoker2To10,   hcPoker,       hc3XOrvanta,  hcFullHouse,
                                  hcFlush,        hcStreet,      hcThreeOfAKind, hcTwoPairs,
                                  hcHighPair};
  int32_t best = hcNothing;
  int32_t bestPay = 0;
  for (int32_t code : order) {
    const auto k = static_cast<size_t>(code);
    if (!can[k] || !t.Holds[k]) continue;
    if (best == hcNothing || t.Pay[k] > bestPay) {
      best = code;
      bestPay = t.Pay[k];
    }
  }
  if (seen) *seen = c;
  return best;
}

// Calls f(cards) for every 5-card hand of the deck, in lexicographic order of positions,
// with its running index; `step` > 1 visits only every step-th hand from `offset`.
inline void ForEachHand(const std::vector<int32_t>& deck, uint64_t step, uint64_t offset,
                        const std::function<void(const int32_t*)>& f) {
  const int n = static_cast<int>(deck.size());
  int32_t cards[5];
  uint64_t index = 0;
  for (int a = 0; a < n; ++a)
    for (int b = a + 1; b < n; ++b)
      for (int c = b + 1; c < n; ++c)
        for (int d = c + 1; d < n; ++d)
          for (int e = d + 1; e < n; ++e, ++index) {
            if (step > 1 && index % step != offset) continue;
            cards[0] = deck[a];
            cards[1] = deck[b];
            cards[2] = deck[c];
            cards[3] = deck[d];
            cards[4] = deck[e];
            f(cards);
          }
}

inline std::vector<int32_t> Deck(int size) {
  std::vector<int32_t> d;
  for (int i = 1; i <= size; ++i) d.push_back(i);
  return d;
}

}  // namespace vxtest
