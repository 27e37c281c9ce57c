#include "games/HandEvaluator.h"

#include <algorithm>

#include "games/Cards.h"
#include "games/GameManager.h"

namespace vx {

namespace {

inline bool Holds(THandCodeSet table, int32_t code) { return (table & HandCodeBit(code)) != 0; }

inline bool ValidRank(int32_t r) { return (r >= 1 && r <= CardsPerSuit) || r == WildRank; }
inline bool ValidSuit(int32_t s) { return s >= 0 && s <= 4; }

// A four-of-a-kind rank picks the rank-split key the table pays, else the plain one.
int32_t QuadCode(THandCodeSet table, int32_t q) {
  if (q == 1 && Holds(table, hcPokerAces)) return hcPokerAces;
  if (q >= 2 && q <= 10 && Holds(table, hcPoker2To10)) return hcPoker2To10;
  if (q >= 11 && q <= 13 && Holds(table, hcPokerJQK)) return hcPokerJQK;
  return hcPoker;
}

inline bool IsHigh(int32_t r) { return r == 1 || r >= 11; }

// A straight flush made with wild cards: royal when every natural is ten to ace. A wild
// royal is never the natural key.
int32_t RoyalDecision(const int32_t* r) {
  return (r[0] >= 10 || (r[0] == 1 && r[1] >= 10)) ? hcRoyalFlush : hcStreetFlush;
}

// The first n (sorted, natural) cards: flush and straight with the wild cards' help.
bool NaturalsFlush(const int32_t* s, int n) {
  for (int i = 1; i < n; ++i)
    if (s[i] != s[0]) return false;
  return true;
}
bool NaturalsStraight(const int32_t* r, int n) {
  for (int i = 1; i < n; ++i)
    if (r[i] == r[i - 1]) return false;
  return r[n - 1] - r[0] < 5 || (r[0] == 1 && r[1] >= 10);
}

// A pair of jacks or better: paid where the table has the key, otherwise only reported.
int32_t HighPair(THandCodeSet table, int32_t rank, THandEvaluation& out) {
  if (Holds(table, hcHighPair)) {
    out.MainRank = rank;
    return hcHighPair;
  }
  out.UnpaidPairRank = rank;
  return hcNothing;
}

int32_t FiveNaturals(THandCodeSet table, const int32_t* r, const int32_t* s, int32_t orvanta,
                     THandEvaluation& out) {
  // Without branches where they cannot be predicted: every hand passes here.
  const bool flush = (s[0] == s[1]) & (s[1] == s[2]) & (s[2] == s[3]) & (s[3] == s[4]);
  const bool distinct = (r[0] != r[1]) & (r[1] != r[2]) & (r[2] != r[3]) & (r[3] != r[4]);
  // Five distinct sorted ranks of 1..13: consecutive, or ace and ten to king.
  const bool straight = distinct & ((r[4] - r[0] == 4) | ((r[0] == 1) & (r[1] == 10)));
  if (flush) {
    if (!straight) return hcFlush;
    if (r[0] == 10 || (r[0] == 1 && r[1] == 10))
      return Holds(table, hcRoyalFlushN) ? hcRoyalFlushN : hcRoyalFlush;
    return hcStreetFlush;
  }
  if (straight) return hcStreet;
  if (distinct) return hcNothing;  // no two cards of a rank
  if ((r[0] == r[1] && r[1] == r[2] && r[2] == r[3]) || (r[1] == r[2] && r[2] == r[3] && r[3] == r[4])) {
    out.MainRank = r[1];
    out.FourOrvanta = r[1] == orvanta;
    return QuadCode(table, r[1]);
  }
  const bool trips = (r[0] == r[1] && r[1] == r[2]) || (r[1] == r[2] && r[2] == r[3]) ||
                     (r[2] == r[3] && r[3] == r[4]);
  if (trips) {
    // The middle card always belongs to the three of a kind (full house included), so
    // automatic holding keeps it.
    const bool fullHouse = (r[0] == r[1] && r[3] == r[4]);
    out.MainRank = r[2];
    if (r[2] == orvanta && Holds(table, hc3XOrvanta)) {
      out.ThreeOrvanta = true;
      return hc3XOrvanta;
    }
    return fullHouse ? hcFullHouse : hcThreeOfAKind;
  }
  if (Holds(table, hcTwoPairs) &&
      ((r[0] == r[1] && r[2] == r[3]) || (r[0] == r[1] && r[3] == r[4]) || (r[1] == r[2] && r[3] == r[4]))) {
    out.MainRank = r[1];
    out.SecondRank = r[3];
    return hcTwoPairs;
  }
  for (int i = 0; i < 4; ++i)
    if (r[i] == r[i + 1] && IsHigh(r[i])) return HighPair(table, i <= 1 ? r[1] : r[3], out);
  return hcNothing;
}

int32_t FourNaturals(THandCodeSet table, const int32_t* r, const int32_t* s, int32_t orvanta,
                     THandEvaluation& out) {
  const bool flush = NaturalsFlush(s, 4);
  const bool straight = NaturalsStraight(r, 4);
  if (flush && straight) return RoyalDecision(r);
  if (flush) return hcFlush;
  if (straight) return hcStreet;
  if (r[0] == r[1] && r[1] == r[2] && r[2] == r[3]) {
    out.FourOrvanta = r[1] == orvanta;
    return hcFiveOfAKind;
  }
  if ((r[0] == r[1] && r[1] == r[2]) || (r[1] == r[2] && r[2] == r[3])) {
    out.MainRank = r[1];
    out.ThreeOrvanta = r[1] == orvanta;
    return QuadCode(table, r[1]);
  }
  if (r[0] == r[1] && r[2] == r[3]) {
    // The wild card completes the upper pair's three of a kind.
    out.MainRank = r[2];
    return hcFullHouse;
  }
  if (r[0] == r[1] || r[1] == r[2]) {
    out.MainRank = r[1];
    return hcThreeOfAKind;
  }
  if (r[2] == r[3]) {
    out.MainRank = r[2];
    return hcThreeOfAKind;
  }
  if (r[0] == 1) return HighPair(table, 1, out);
  if (r[3] >= 11) return HighPair(table, r[3], out);
  return hcNothing;
}

int32_t ThreeNaturals(THandCodeSet table, const int32_t* r, const int32_t* s, THandEvaluation& out) {
  const bool flush = NaturalsFlush(s, 3);
  const bool straight = NaturalsStraight(r, 3);
  if (flush && straight) return RoyalDecision(r);
  if (flush) return hcFlush;
  if (straight) return hcStreet;
  if (r[0] == r[1] && r[1] == r[2]) return hcFiveOfAKind;
  if (r[0] != r[1] && r[1] != r[2]) {
    out.MainRank = r[0];
    return hcThreeOfAKind;
  }
  out.MainRank = r[1];
  return QuadCode(table, r[1]);
}

int32_t TwoNaturals(THandCodeSet table, const int32_t* r, const int32_t* s, THandEvaluation& out) {
  if (s[0] == s[1] && NaturalsStraight(r, 2)) return RoyalDecision(r);
  if (r[0] == r[1]) return hcFiveOfAKind;
  out.MainRank = r[0];
  return QuadCode(table, r[0]);
}

// Card number -> rank * 8 + suit, or -1; the sort key of a card, its suit in the low bits.
constexpr int32_t kSuitShift = 3, kSuitBits = 1 << kSuitShift, kSuitMask = kSuitBits - 1;
struct TCardKeys {
  int32_t Key[SecondJoker + 1];
  constexpr TCardKeys() : Key{} {
    for (int32_t n = 0; n <= SecondJoker; ++n) {
      if (n >= 1 && n <= 52) Key[n] = ((n - 1) % CardsPerSuit + 1) * kSuitBits + (n - 1) / CardsPerSuit + 1;
      else if (n == FirstJoker || n == SecondJoker) Key[n] = WildRank * kSuitBits;
      else Key[n] = -1;
    }
  }
};
constexpr TCardKeys kCardKeys;

// Five valid keys (rank * 8 + suit) to a code.
int32_t EvaluateKeys(THandCodeSet table, const int32_t keys[5], bool deucesWild, int32_t orvantaNumber,
                     THandEvaluation& out) {
  bool joker = false;
  auto keyOf = [&](int32_t key) {
    const int32_t rank = key >> kSuitShift;
    joker = joker || rank == WildRank;
    return (deucesWild && rank == 2) ? WildRank * kSuitBits + (key & kSuitMask) : key;
  };
  // Five separate values, not an array: the network then stays in registers.
  int32_t k0 = keyOf(keys[0]), k1 = keyOf(keys[1]), k2 = keyOf(keys[2]), k3 = keyOf(keys[3]), k4 = keyOf(keys[4]);
  // Ascending by rank (a sorting network); wild cards end up last. Equal ranks may swap
  // their suits, which no rule looks at.
  auto order = [](int32_t& a, int32_t& b) {
    const int32_t lo = std::min(a, b), hi = std::max(a, b);
    a = lo;
    b = hi;
  };
  order(k0, k1), order(k3, k4), order(k2, k4), order(k2, k3), order(k0, k3), order(k0, k2), order(k1, k4),
      order(k1, k3), order(k1, k2);
  const int32_t r[5] = {k0 >> kSuitShift, k1 >> kSuitShift, k2 >> kSuitShift, k3 >> kSuitShift, k4 >> kSuitShift};
  const int32_t s[5] = {k0 & kSuitMask, k1 & kSuitMask, k2 & kSuitMask, k3 & kSuitMask, k4 & kSuitMask};
  const int wild = (r[0] == WildRank) + (r[1] == WildRank) + (r[2] == WildRank) + (r[3] == WildRank) + (r[4] == WildRank);

  int32_t code = hcNothing;
  switch (wild) {
    case 0: code = FiveNaturals(table, r, s, orvantaNumber, out); break;
    case 1: code = FourNaturals(table, r, s, orvantaNumber, out); break;
    case 2: code = ThreeNaturals(table, r, s, out); break;
    case 3: code = TwoNaturals(table, r, s, out); break;
    case 4:
      if (!joker && Holds(table, hcPokerD))
        code = hcPokerD;
      else if (Holds(table, hcFiveOfAKind))
        code = hcFiveOfAKind;
      else
        code = QuadCode(table, r[0]);
      break;
    default: code = Holds(table, hcFiveOfAKindD) ? hcFiveOfAKindD : hcFiveOfAKind; break;
  }
  out.Code = code;
  return code;
}

}  // namespace

int32_t EvaluateHandCode(THandCodeSet table, const int32_t ranks[5], const int32_t suits[5],
                         bool deucesWild, int32_t orvantaNumber, THandEvaluation& out) {
  out = THandEvaluation{};
  int32_t keys[5];
  for (int i = 0; i < 5; ++i) {
    if (!ValidRank(ranks[i]) || !ValidSuit(suits[i])) return hcNothing;
    keys[i] = ranks[i] * kSuitBits + suits[i];
  }
  return EvaluateKeys(table, keys, deucesWild, orvantaNumber, out);
}

int32_t EvaluateCardsCode(THandCodeSet table, const int32_t cards[5], bool deucesWild,
                          int32_t orvantaNumber, THandEvaluation& out) {
  out = THandEvaluation{};
  int32_t keys[5];
  for (int i = 0; i < 5; ++i) {
    const int32_t n = cards[i];
    keys[i] = n >= 0 && n <= SecondJoker ? kCardKeys.Key[n] : -1;
    if (keys[i] < 0) return hcNothing;
  }
  return EvaluateKeys(table, keys, deucesWild, orvantaNumber, out);
}

std::string EvaluateHand(const TGameInfo* info, const int32_t ranks[5], const int32_t suits[5],
                         bool DeucesWild, int32_t OrvantaNumber, int32_t& MainRank,
                         int32_t& SecondRank, bool& ThreeOrvanta, bool& FourOrvanta,
                         int32_t& UnpaidPairRank) {
  THandEvaluation e;
  EvaluateHandCode(info ? info->HandCodes() : 0, ranks, suits, DeucesWild, OrvantaNumber, e);
  MainRank = e.MainRank;
  SecondRank = e.SecondRank;
  ThreeOrvanta = e.ThreeOrvanta;
  FourOrvanta = e.FourOrvanta;
  UnpaidPairRank = e.UnpaidPairRank;
  return e.Key();
}

std::string EvaluateCards(const TGameInfo* info, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                          int32_t c5, bool DeucesWild, int32_t OrvantaNumber) {
  const int32_t cards[5] = {c1, c2, c3, c4, c5};
  THandEvaluation e;
  EvaluateCardsCode(info ? info->HandCodes() : 0, cards, DeucesWild, OrvantaNumber, e);
  return e.Key();
}

}  // namespace vx
