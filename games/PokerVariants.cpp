#include "games/PokerVariants.h"

#include <iterator>

namespace vx {

namespace {

const char* const BetList1 = "5;7;10;20;30;40;50;60;70;80;90;100;";
const char* const BetList2 = "5;10;20;30;40;50;60;70;80;90;100;";
const char* const BetList5 = "1;2;3;4;5;10;20;30;40;50;60;70;80;90;100;";
const char* const BetListC = "10;20;30;40;50;";

// The Orvanta machines: a draw costs a bet, one further draw may replace the double-up, and
// the double-up deck deals the joker 53 and the sevens.
constexpr uint32_t OrvantaOptions = PokerOptions(
    {poDrawCostsBet, poOrvantaBonus, poFurtherDraw, poDoubleUp, poDoubleUpJoker53, poDoubleUpSevens});
// The American machines: a draw costs a bet, the jackpot and its double-up bar.
constexpr uint32_t AmericanOptions = PokerOptions({poJoker53, poDrawCostsBet, poJackpot, poDoubleUpBar, poDoubleUp});
// The compact machines: the double-up takes the hand cards' place.
constexpr uint32_t CompactOptions = PokerOptions({poCompactLayout, poDoubleUp, poHideHandInDoubleUp});

const TPokerVariant Variants[] = {
    {.ID = 1, .Theme = "VP01", .CardSet = "CardSet2", .Options = OrvantaOptions, .BetList = BetList1,
     .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 4},
    {.ID = 2, .Theme = "VP01", .CardSet = "CardSet2", .Options = OrvantaOptions | PokerOptions({poDeucesWild}),
     .BetList = BetList2, .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 4},
    {.ID = 3, .Theme = "VP02", .CardSet = "CardSet2",
     .Options = PokerOptions({poJoker53, poJoker54, poDoubleUp, poHideHandInDoubleUp}), .MinBet = 5, .MaxBet = 100,
     .BetStep = 1, .DoubleUpKind = dkBeatTheDealer, .DoubleUpLimit = 10, .Columns = 4},
    {.ID = 4, .Theme = "VP02", .CardSet = "CardSet2",
     .Options = PokerOptions({poJoker53, poJoker54, poDoubleUp, poHideHandInDoubleUp}), .MinBet = 5, .MaxBet = 100,
     .BetStep = 1, .DoubleUpKind = dkBeatTheDealer, .DoubleUpLimit = 10, .Columns = 4},
    {.ID = 5, .Theme = "VP03", .CardSet = "CardSet2", .Options = AmericanOptions, .BetList = BetList5,
     .DoubleUpKind = dkRedBlack, .DoubleUpLimit = 8, .Columns = 5},
    {.ID = 6, .Theme = "VP03", .CardSet = "CardSet2", .Options = AmericanOptions | PokerOptions({poDeucesWild}),
     .BetList = BetList5, .DoubleUpKind = dkRedBlack, .DoubleUpLimit = 8, .Columns = 5},
    {.ID = 10, .Theme = "VPC01", .CardSet = "CardSet1", .Options = CompactOptions, .BetList = BetListC,
     .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 3},
    {.ID = 11, .Theme = "VPC01", .CardSet = "CardSet1", .Options = CompactOptions, .BetList = BetListC,
     .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 3},
    {.ID = 12, .Theme = "VPC02", .CardSet = "CardSet1", .Options = CompactOptions | PokerOptions({poDeucesWild}),
     .BetList = BetListC, .DoubleUpKind = dkRedBlack, .DoubleUpLimit = 10, .Columns = 3},
    // Game 13 deals the joker 53: its title, its description and its top pay row (four deuces
    // and a joker) all need one.
    {.ID = 13, .Theme = "VPC02", .CardSet = "CardSet1",
     .Options = CompactOptions | PokerOptions({poDeucesWild, poJoker53}), .BetList = BetListC,
     .DoubleUpKind = dkRedBlack, .DoubleUpLimit = 10, .Columns = 3},
    {.ID = 14, .Theme = "VPC03", .CardSet = "CardSet1", .Options = CompactOptions | PokerOptions({poJoker53}),
     .BetList = BetListC, .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 3},
    {.ID = 15, .Theme = "VPC03", .CardSet = "CardSet1", .Options = CompactOptions | PokerOptions({poJoker53}),
     .BetList = BetListC, .DoubleUpKind = dkBigSmall, .DoubleUpLimit = 10, .Columns = 3},
};

}  // namespace

bool TPokerVariant::DealsCard(int32_t number) const {
  if (number >= 1 && number <= 52) return true;
  if (number == 53) return HasOption(Options, poJoker53);
  if (number == 54) return HasOption(Options, poJoker54);
  return false;
}

int32_t TPokerVariant::DeckSize() const {
  return 52 + (HasOption(Options, poJoker53) ? 1 : 0) + (HasOption(Options, poJoker54) ? 1 : 0);
}

const TPokerVariant* FindPokerVariant(int32_t gameID) {
  for (const TPokerVariant& v : Variants)
    if (v.ID == gameID) return &v;
  return nullptr;
}

const TPokerVariant* PokerVariants(int& count) {
  count = static_cast<int>(std::size(Variants));
  return Variants;
}

}  // namespace vx
