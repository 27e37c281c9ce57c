#pragma once
// The five-card evaluator of every video-poker variant and of the slot machines' card
// line. It judges five ranks and suits to a hand key; which keys can come out depends on
// the pay table it is given, which it only asks whether it holds a code. It pays nothing.
#include <cstdint>
#include <string>

#include "games/HandKeys.h"

class TGameInfo;

namespace vx {

// Everything one evaluation yields besides the key.
struct THandEvaluation {
  int32_t Code = hcNothing;
  // The rank of the quad, trips or (high) pair that made the hand; for a full house its
  // three-of-a-kind rank.
  int32_t MainRank = 0;
  // The lower pair of two pairs.
  int32_t SecondRank = 0;
  // Three (four) natural cards carry the Orvanta number.
  bool ThreeOrvanta = false;
  bool FourOrvanta = false;
  // A jacks-or-better pair in a table without "HAND_HIGHPAIR".
  int32_t UnpaidPairRank = 0;

  const std::string& Key() const { return HandKeyOfCode(Code); }
};

// The evaluator itself, on the set of codes the pay table holds. Ranks are 1..13 or 99
// (wild), suits 0..4. Any other rank or suit (a card number outside 1..54 gives -1) resets
// every output and yields nothing.
int32_t EvaluateHandCode(THandCodeSet table, const int32_t ranks[5], const int32_t suits[5],
                         bool deucesWild, int32_t orvantaNumber, THandEvaluation& out);

// The same on five card numbers (the slot machines' card line and the analyser).
int32_t EvaluateCardsCode(THandCodeSet table, const int32_t cards[5], bool deucesWild,
                          int32_t orvantaNumber, THandEvaluation& out);

// The game-facing forms. `info` may be null: an empty table.
std::string EvaluateHand(const TGameInfo* info, const int32_t ranks[5], const int32_t suits[5],
                         bool DeucesWild, int32_t OrvantaNumber, int32_t& MainRank,
                         int32_t& SecondRank, bool& ThreeOrvanta, bool& FourOrvanta,
                         int32_t& UnpaidPairRank);
std::string EvaluateCards(const TGameInfo* info, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                          int32_t c5, bool DeucesWild, int32_t OrvantaNumber);

}  // namespace vx
