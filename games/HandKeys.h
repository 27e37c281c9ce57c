#pragma once
// Hand keys: the texts that name a poker hand ("HAND_FULLHOUSE"), each with a fixed order
// code. The pay tables, the statistics and the display texts are keyed by them; the
// evaluator works on the codes and turns them into keys only at its edge.
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

enum THandCode : int32_t {
  hcUnknown = -1,
  hcNothing = 0,
  hcFiveOfAKind = 1,
  hcRoyalFlush = 2,
  hcRoyalFlushN = 3,
  hcStreetFlush = 4,
  hcPoker = 5,
  hcFullHouse = 6,
  hcFlush = 7,
  hcStreet = 8,
  hcThreeOfAKind = 9,
  hcTwoPairs = 10,
  hcHighPair = 11,
  hc3XOrvanta = 12,
  hcFiveOfAKindD = 20,
  hcPokerD = 21,
  hcPoker2To10 = 22,
  hcPokerJQK = 23,
  hcPokerAces = 24,
};

// Codes run 0..24; 13..19 are unused.
constexpr int32_t MaxHandCode = 24;

// The set of codes a pay table holds, one bit per code.
using THandCodeSet = uint32_t;
constexpr THandCodeSet HandCodeBit(int32_t code) {
  return (code >= 0 && code <= MaxHandCode) ? (THandCodeSet{1} << code) : 0;
}

// The key text of a code ("HAND_NOTHING" for 0); empty for an unused code.
const std::string& HandKeyOfCode(int32_t code);
// The code of a key by exact (case-sensitive) comparison; -1 for any other text.
int32_t HandCodeOfKey(std::string_view key);
// The display text of a code; empty for an unused code.
const std::string& HandTitleOfCode(int32_t code);

// The every-code list in table order (0..12, then 20..24), for loops over all keys.
constexpr int32_t AllHandCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20, 21, 22, 23, 24};

}  // namespace vx
