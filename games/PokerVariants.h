#pragma once
// The fixed set-up of each video-poker variant, by numeric game id: screen theme, card
// set, option bits, bet list and double-up. The round, the screen and the return
// analyser all read the same rows.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace vx {

// Option bits (bit n has the value 2^n).
enum TPokerOption : int32_t {
  poCompactLayout = 1,
  poJoker53 = 2,
  poJoker54 = 3,
  poDeucesWild = 4,
  poDrawCostsBet = 5,
  poOrvantaBonus = 6,
  poJackpot = 7,
  poDoubleUpBar = 9,
  poFurtherDraw = 10,
  poDoubleUp = 11,
  poDoubleUpJoker53 = 12,
  poDoubleUpJoker54 = 13,
  poDoubleUpSevens = 14,
  poHideHandInDoubleUp = 15,
};

constexpr bool HasOption(uint32_t options, TPokerOption bit) { return (options >> bit) & 1u; }

// The option bits of a set of named options.
constexpr uint32_t PokerOptions(std::initializer_list<TPokerOption> options) {
  uint32_t bits = 0;
  for (TPokerOption o : options) bits |= 1u << o;
  return bits;
}

enum TDoubleUpKind : uint8_t { dkBigSmall = 0, dkRedBlack = 1, dkBeatTheDealer = 2 };

struct TPokerVariant {
  int32_t ID = 0;
  const char* Theme = "";
  const char* CardSet = "";
  uint32_t Options = 0;
  // Parsed by the game data's bet-list reader; empty when the bet list is off and the
  // fixed range with its step applies instead.
  const char* BetList = "";
  int32_t MinBet = 0;
  int32_t MaxBet = 0;
  int32_t BetStep = 0;
  TDoubleUpKind DoubleUpKind = dkBigSmall;
  int32_t DoubleUpLimit = 10;
  int32_t Columns = 0;

  bool BetListEnabled() const { return BetList[0] != 0; }
  bool DeucesWild() const { return HasOption(Options, poDeucesWild); }
  bool DrawCostsBet() const { return HasOption(Options, poDrawCostsBet); }
  // The poker deck: 52 cards plus each joker its option lets in.
  bool DealsCard(int32_t number) const;
  int32_t DeckSize() const;
};

// The row of a video-poker game id, or nullptr for any other id.
const TPokerVariant* FindPokerVariant(int32_t gameID);
// Every row, in game id order (1-6, 10-15).
const TPokerVariant* PokerVariants(int& count);

}  // namespace vx
