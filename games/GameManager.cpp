#include "games/GameManager.h"

#include "core/Log.h"
#include "core/StrUtils.h"

using namespace vx;

void TGameInfo::AddHand(const std::string& key, int32_t multiplier) {
  TGameHand* row = Hands_.Add();
  row->HandIDStr = key;
  row->Value = multiplier;
  row->OrderCode = TVXGameManager::HandOrder(key);
}

int TGameInfo::IndexOfHand(std::string_view key) const {
  for (int i = 0; i < Hands_.Count(); ++i)
    if (SameText(Hands_.Items(i)->HandIDStr, key)) return i;
  return -1;
}

int32_t TGameInfo::GetPay(std::string_view key) const {
  int i = IndexOfHand(key);
  if (i >= 0) return Hands_.Items(i)->Value;
  if (!SameText(key, HandKeyOfCode(hcNothing)))
    Log("ERROR: " + IDStr + " HAS NO PAY FOR " + std::string(key));
  return 0;
}

bool TGameInfo::HasHandCode(int32_t code) const {
  for (int i = 0; i < Hands_.Count(); ++i)
    if (Hands_.Items(i)->OrderCode == code) return true;
  return false;
}

THandCodeSet TGameInfo::HandCodes() const {
  THandCodeSet set = 0;
  for (int i = 0; i < Hands_.Count(); ++i) set |= HandCodeBit(Hands_.Items(i)->OrderCode);
  return set;
}

namespace {

struct TCatalogueRow {
  int32_t ID;
  const char* IDStr;
  const char* Title;
  int32_t Group;
  const char* Description;
};

const char* const SlotText =
    "Multiple Line slot machines let players bet on additional paylines by adding more coins. "
    "Each additional coin activates an additional payline up to the 3 or 5 line maximum, "
    "depending on the machine. Multiple Line slots use the traditional bar and 7 symbols, as "
    "well as special, machine-specific symbols.";

const TCatalogueRow Catalogue[] = {
    {1, "VXG_VP_ORVANTABONUS", "ORVANTA BONUS POKER", 1,
     "3 DEAL, DOUBLE UP BIG/SMALL, 4XORVANTA NUMBER BONUS, 3XORVANTA NUMBER BONUS"},
    {2, "VXG_VP_ORVANTABONUS2", "ORVANTA BONUS POKER DEUCES WILD", 1,
     "DEUCES WILD, 3 DEAL, DOUBLE UP BIG/SMALL, 4XORVANTA NUMBER BONUS, 3XORVANTA NUMBER BONUS"},
    {3, "VXG_VP_DOUBLEJOKER", "DOUBLE JOKER POKER", 1, "2XJOKER, DOUBLE UP BEAT THE DEALER"},
    {4, "VXG_VP_DOUBLEJOKER2", "DOUBLE JOKER POKER 2", 1, "2XJOKER, DOUBLE UP BEAT THE DEALER"},
    {5, "VXG_VP_AMERICANPOKER", "AMERICAN POKER", 1,
     "JACKS OR BETTER BONUS, DOUBLE UP RED/BLACK, DOUBLE UP BONUS"},
    {6, "VXG_VP_AMERICANPOKER2", "AMERICAN POKER DEUCES WILD", 1,
     "DEUCES WILD, JACKS OR BETTER BONUS, DOUBLE UP RED/BLACK, DOUBLE UP BONUS"},
    {10, "VXG_VP_JACKSORBETTER", "JACKS OR BETTER 9/6", 1,
     "CLASSIC JACKS OR BETTER 9/6 VIDEO POKER, DOUBLE UP BIG/SMALL"},
    {11, "VXG_VP_JACKSORBETTER2", "JACKS OR BETTER BONUS POKER", 1,
     "CLASSIC JACKS OR BETTER BONUS VIDEO POKER, DOUBLE UP BIG/SMALL"},
    {12, "VXG_VP_DEUCESWILD", "DEUCES WILD", 1, "CLASSIC DEUCES WILD VIDEO POKER, DOUBLE UP RED/BLACK"},
    {13, "VXG_VP_DEUCESWILD2", "JOKERS AND DEUCES WILD II", 1,
     "CLASSIC JOKERS AND DEUCES WILD VIDEO POKER, DOUBLE UP RED/BLACK"},
    {14, "VXG_VP_JOKERWILD", "JOKER WILD", 1, "CLASSIC JOKER WILD VIDEO POKER, DOUBLE UP BIG/SMALL"},
    {15, "VXG_VP_JOKERWILD2", "JOKER WILD II", 1,
     "CLASSIC JOKER WILD VIDEO POKER, DOUBLE UP BIG/SMALL, NEW PAYOUT TABLE"},
    {31, "VXG_SLOT_3X3FRUITS", "CHERRY CHARM 3X3", 2, SlotText},
    {32, "VXG_SLOT_1X3FRUITS", "CHERRY CHARM 1X3", 2, SlotText},
    {33, "VXG_SLOT_3X5FRUITS", "CHERRY CHARM 3X5", 2, SlotText},
    {34, "VXG_SLOT_3X5POKER", "POKER SLOTS 3X5", 2, SlotText},
};

struct TPayRow {
  int32_t Code;
  int32_t Value;
};

struct TPayTable {
  int32_t ID;
  std::vector<TPayRow> Rows;
};

const std::vector<TPayTable>& PayTables() {
  static const std::vector<TPayTable> tables = {
      {1, {{hcFiveOfAKind, 800}, {hcRoyalFlush, 500}, {hcStreetFlush, 100}, {hcPoker, 40},
           {hcFullHouse, 10}, {hcFlush, 9}, {hcStreet, 7}, {hcThreeOfAKind, 3}, {hcTwoPairs, 2},
           {hcHighPair, 1}, {hc3XOrvanta, 13}}},
      {2, {{hcRoyalFlushN, 1000}, {hcPokerD, 500}, {hcRoyalFlush, 100}, {hcStreetFlush, 70},
           {hcFiveOfAKind, 50}, {hcPoker, 4}, {hcFullHouse, 3}, {hcFlush, 2}, {hcStreet, 2},
           {hcThreeOfAKind, 1}, {hc3XOrvanta, 40}}},
      {3, {{hcRoyalFlushN, 800}, {hcFiveOfAKind, 100}, {hcRoyalFlush, 30}, {hcStreetFlush, 20},
           {hcPoker, 10}, {hcFullHouse, 5}, {hcFlush, 3}, {hcStreet, 2}, {hcThreeOfAKind, 1},
           {hcTwoPairs, 1}}},
      {4, {{hcFiveOfAKind, 50}, {hcRoyalFlush, 20}, {hcStreetFlush, 10}, {hcPoker, 5},
           {hcFullHouse, 4}, {hcFlush, 3}, {hcStreet, 3}, {hcThreeOfAKind, 2}, {hcTwoPairs, 2},
           {hcHighPair, 1}}},
      {5, {{hcFiveOfAKind, 600}, {hcRoyalFlush, 300}, {hcStreetFlush, 80}, {hcPoker, 40},
           {hcFullHouse, 12}, {hcFlush, 9}, {hcStreet, 7}, {hcThreeOfAKind, 5}, {hcTwoPairs, 3}}},
      {6, {{hcFiveOfAKindD, 4000}, {hcRoyalFlushN, 800}, {hcPokerD, 200}, {hcRoyalFlush, 12},
           {hcFiveOfAKind, 9}, {hcStreetFlush, 6}, {hcPoker, 3}, {hcFullHouse, 3}, {hcFlush, 3},
           {hcStreet, 2}, {hcThreeOfAKind, 1}}},
      {10, {{hcRoyalFlush, 250}, {hcStreetFlush, 50}, {hcPoker, 25}, {hcFullHouse, 9},
            {hcFlush, 6}, {hcStreet, 4}, {hcThreeOfAKind, 3}, {hcTwoPairs, 2}, {hcHighPair, 1}}},
      {11, {{hcRoyalFlush, 350}, {hcStreetFlush, 100}, {hcPokerAces, 80}, {hcPokerJQK, 40},
            {hcPoker2To10, 25}, {hcFullHouse, 8}, {hcFlush, 6}, {hcStreet, 4},
            {hcThreeOfAKind, 2}, {hcTwoPairs, 2}, {hcHighPair, 1}}},
      {12, {{hcRoyalFlushN, 300}, {hcPokerD, 200}, {hcRoyalFlush, 25}, {hcFiveOfAKind, 15},
            {hcStreetFlush, 9}, {hcPoker, 5}, {hcFullHouse, 3}, {hcFlush, 2}, {hcStreet, 2},
            {hcThreeOfAKind, 1}}},
      {13, {{hcFiveOfAKindD, 4000}, {hcRoyalFlushN, 800}, {hcPokerD, 25}, {hcRoyalFlush, 12},
            {hcFiveOfAKind, 9}, {hcStreetFlush, 6}, {hcPoker, 3}, {hcFullHouse, 3}, {hcFlush, 3},
            {hcStreet, 2}, {hcThreeOfAKind, 1}}},
      {14, {{hcRoyalFlushN, 400}, {hcFiveOfAKind, 200}, {hcRoyalFlush, 100}, {hcStreetFlush, 50},
            {hcPoker, 20}, {hcFullHouse, 7}, {hcFlush, 5}, {hcStreet, 3}, {hcThreeOfAKind, 2},
            {hcTwoPairs, 1}}},
      {15, {{hcFiveOfAKind, 800}, {hcRoyalFlush, 500}, {hcStreetFlush, 100}, {hcPoker, 40},
            {hcFullHouse, 9}, {hcFlush, 6}, {hcStreet, 5}, {hcThreeOfAKind, 3}, {hcTwoPairs, 2},
            {hcHighPair, 1}}},
  };
  return tables;
}

}  // namespace

TVXGameManager::TVXGameManager() {
  Groups_.push_back(std::make_unique<TGameGroup>("VIDEO POKER", VideoPokerGroupID));
  Groups_.push_back(std::make_unique<TGameGroup>("SLOT MACHINES", SlotMachineGroupID));
  Groups_.push_back(std::make_unique<TGameGroup>("", 0));
  for (const TCatalogueRow& row : Catalogue) {
    auto info = std::make_unique<TGameInfo>();
    info->Title = row.Title;
    info->ID = row.ID;
    info->IDStr = row.IDStr;
    info->Group = FindGroup(row.Group);
    info->Description = row.Description;
    for (const TPayTable& table : PayTables())
      if (table.ID == row.ID)
        for (const TPayRow& pay : table.Rows) info->AddHand(HandKeyOfCode(pay.Code), pay.Value);
    Games_.push_back(std::move(info));
  }
}

TVXGameManager::~TVXGameManager() = default;

TGameInfo* TVXGameManager::FindGameByID(int32_t id) const {
  for (const auto& g : Games_)
    if (g->ID == id) return g.get();
  return nullptr;
}

TGameInfo* TVXGameManager::FindGameByIDStr(std::string_view idStr) const {
  for (const auto& g : Games_)
    if (g->IDStr == idStr) return g.get();
  return nullptr;
}

int32_t TVXGameManager::HandOrder(std::string_view key) { return HandCodeOfKey(key); }

std::string TVXGameManager::HandTitle(std::string_view key) {
  return HandTitleOfCode(HandCodeOfKey(key));
}

TGameInfo* TVXGameManager::Games(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Games_[static_cast<size_t>(index)].get();
}

TGameGroup* TVXGameManager::Groups(int index) const {
  if (index < 0 || index >= static_cast<int>(Groups_.size())) return nullptr;
  return Groups_[static_cast<size_t>(index)].get();
}

TGameGroup* TVXGameManager::FindGroup(int32_t groupID) const {
  for (const auto& g : Groups_)
    if (g->GroupID == groupID) return g.get();
  return nullptr;
}
