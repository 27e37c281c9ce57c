#pragma once
// Exact return of a video-poker machine under optimal holds. Every deal and every one of
// its 32 holds is valued exactly: for each subset of the deck of at most five cards we
// first sum the pays (and count the hands) of all five-card hands that contain it; the
// outcome of a hold is then an alternating sum over the held cards' supersets within the
// deal (inclusion-exclusion), which excludes the discarded cards from the draw.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "games/HandKeys.h"

class TGameInfo;
namespace vx {
struct TPokerVariant;
}

namespace vxtools {

struct TAnalyserConfig {
  std::string Name;
  // The card numbers the deck holds (52 to 54 of 1..54).
  std::vector<int32_t> Deck;
  bool DeucesWild = false;
  int32_t OrvantaNumber = 5;
  // Multiplier per coin by order code; the evaluator is told which codes the table holds.
  std::array<int32_t, vx::MaxHandCode + 1> Pay{};
  vx::THandCodeSet Table = 0;
  // A draw with fewer than five cards held costs a second bet; a losing hand may be
  // dropped instead (nothing held), which ends the round.
  bool DrawCostsBet = false;
};

struct TAnalysisResult {
  uint64_t Deals = 0;
  // Expected pay and expected amount wagered per round, in bets.
  double Paid = 0;
  double Wagered = 0;
  // Paid / Wagered.
  double Return = 0;
  // Share of deals on which a costed draw was taken.
  double DrawShare = 0;
  // Probability of each final hand (by order code) under the optimal holds.
  std::array<double, vx::MaxHandCode + 1> Frequency{};
};

// A machine of the catalogue: its deck, wild rule and cost rule from its variant row, its
// pay table from the catalogue entry.
TAnalyserConfig ConfigForGame(const TGameInfo& info, const vx::TPokerVariant& variant,
                              int32_t orvantaNumber);
// The deck of the first `size` card numbers (52: no joker, 53: one, 54: both).
std::vector<int32_t> StandardDeck(int size);

// Reads "KEY=multiplier" items separated by commas, semicolons or blanks into the pay table.
// Keys are hand keys ("HAND_ROYALFLUSH") or their short forms (RF, RFN, SF, 4K, 4KA, 4KJQK,
// 4K2-10, 4KD, 5K, 5KD, FH, FL, ST, 3K, 2P, HP, 3XO). Multipliers are 0..1000000. Returns
// false with a message on bad input and leaves the config's pay table unchanged.
bool ParsePayTable(std::string_view text, TAnalyserConfig& config, std::string& error);

// Runs the analysis. Throws std::invalid_argument for a deck that is not 5..54 distinct
// card numbers of 1..54.
TAnalysisResult AnalyseReturn(const TAnalyserConfig& config);

// A printable report: the return and the frequency and return share of every hand.
std::string FormatReport(const TAnalyserConfig& config, const TAnalysisResult& result);

}  // namespace vxtools
