#include "games/PokerVariants.h"

#include <initializer_list>
#include <iterator>

namespace vx {

namespace {

constexpr uint32_t Bits(std::initializer_list<int> bits) {
  uint32_t v = 0;
  for (int b : bits) v |= 1u << b;
  return v;
}

const char* const BetList1 = "5;7;10;20;30;40;50;60;70;80;90;100;";
const char* const BetList2 = "5;10;20;30;40;50;60;70;80;90;100;";
const char* const BetList5 = "1;2;3;4;5;10;20;30;40;50;60;70;80;90;100;";
const char* const BetListC = "10;20;30;40;50;";

// Game 13 deals the joker 53: its title, its description and its top pay row (four deuces
// and a joker) all need one.
const TPokerVariant Variants[] = {
    {1, "VP01", "CardSet2", Bits({5, 6, 10, 11, 12, 14}), BetList1, 0, 0, 0, dkBigSmall, 10, 4},
    {2, "VP01", "CardSet2", Bits({4, 5, 6, 10, 11, 12, 14}), BetList2, 0, 0, 0, dkBigSmall, 10, 4},
    {3, "VP02", "CardSet2", Bits({2, 3, 11, 15}), "", 5, 100, 1, dkBeatTheDealer, 10, 4},
    {4, "VP02", "CardSet2", Bits({2, 3, 11, 15}), "", 5, 100, 1, dkBeatTheDealer, 10, 4},
    {5, "VP03", "CardSet2", Bits({2, 5, 7, 9, 11}), BetList5, 0, 0, 0, dkRedBlack, 8, 5},
    {6, "VP03", "CardSet2", Bits({2, 4, 5, 7, 9, 11}), BetList5, 0, 0, 0, dkRedBlack, 8, 5},
    {10, "VPC01", "CardSet1", Bits({1, 11, 15}), BetListC, 0, 0, 0, dkBigSmall, 10, 3},
    {11, "VPC01", "CardSet1", Bits({1, 11, 15}), BetListC, 0, 0, 0, dkBigSmall, 10, 3},
    {12, "VPC02", "CardSet1", Bits({1, 4, 11, 15}), BetListC, 0, 0, 0, dkRedBlack, 10, 3},
    {13, "VPC02", "CardSet1", Bits({1, 2, 4, 11, 15}), BetListC, 0, 0, 0, dkRedBlack, 10, 3},
    {14, "VPC03", "CardSet1", Bits({1, 2, 11, 15}), BetListC, 0, 0, 0, dkBigSmall, 10, 3},
    {15, "VPC03", "CardSet1", Bits({1, 2, 11, 15}), BetListC, 0, 0, 0, dkBigSmall, 10, 3},
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
