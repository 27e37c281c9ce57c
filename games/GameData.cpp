#include "games/GameData.h"

#include <algorithm>

#include "core/Checked.h"
#include "core/Log.h"
#include "core/StrUtils.h"

using vx::CheckedAdd;

// --- TVXGameData ---------------------------------------------------------------------

const XMLClassInfo& TVXGameData::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXGameData, TTSYXMLObject>("TVXGameData");
  return info;
}

TVXGameData::TVXGameData() { GameStatistics.Add(); }

void TVXGameData::Load() {
  if (FileName.empty()) return;
  try {
    // A file that cannot be read whole is logged and set aside by the reader.
    (void)LoadFromFile(FileName);
  } catch (const std::exception& e) {
    Log("ERROR: Could not load " + FileName + ": " + e.what());
  }
}

void TVXGameData::Save() const {
  if (FileName.empty()) return;
  try {
    (void)SaveToFile(FileName);
  } catch (const std::exception& e) {
    Log("ERROR: Could not save to " + FileName + ": " + e.what());
  }
}

void TVXGameData::MergeInto(TGameStatictics* target) const {
  if (!target) return;
  const TGameStatictics& tally = Tally();
  const uint32_t creditIn = vx::CheckedAddU32(target->CreditIn, tally.CreditIn);
  const uint32_t creditOut = vx::CheckedAddU32(target->CreditOut, tally.CreditOut);
  // Every new count first, so that an overflow changes nothing.
  struct Pending {
    std::string Key;
    TGameHand* Hand;
    int32_t Value;
  };
  std::vector<Pending> pending;
  for (int i = 0; i < tally.GameHands.Count(); ++i) {
    const TGameHand* hand = tally.GameHands.Items(i);
    auto same = std::find_if(pending.begin(), pending.end(),
                             [&](const Pending& p) { return vx::SameText(p.Key, hand->HandIDStr); });
    if (same == pending.end()) {
      TGameHand* existing = target->FindHand(hand->HandIDStr, false);
      pending.push_back({hand->HandIDStr, existing, existing ? existing->Value : 0});
      same = pending.end() - 1;
    }
    same->Value = CheckedAdd(same->Value, hand->Value);
  }
  target->CreditIn = creditIn;
  target->CreditOut = creditOut;
  for (const Pending& p : pending) (p.Hand ? p.Hand : target->FindHand(p.Key, true))->Value = p.Value;
}

void TVXGameData::CountHand(std::string_view key) {
  TGameHand* hand = Tally().FindHand(key, true);
  hand->Value = CheckedAdd(hand->Value, 1);
}

// --- TPokerData ----------------------------------------------------------------------

const XMLClassInfo& TPokerData::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TPokerData, TVXGameData>("TPokerData")
                                       .Prop("OrvantaStats", &TPokerData::OrvantaStats)
                                       .Prop("OrvantaNumber", &TPokerData::OrvantaNumber)
                                       .Prop("AmericanMiniBonusStats", &TPokerData::AmericanMiniBonusStats)
                                       .Prop("DupWinJackpot", &TPokerData::DupWinJackpot)
                                       .Prop("AmericanJackpot", &TPokerData::AmericanJackpot);
  return info;
}

TPokerData::TPokerData() {
  DoubleUpLimit = 10;
  for (const char* key : {"HAND_FIVEOFAKIND", "HAND_ROYALFLUSH", "HAND_ROYALFLUSH_N", "HAND_STREETFLUSH",
                          "HAND_POKER", "HAND_FULLHOUSE", "HAND_FLUSH", "HAND_STREET", "HAND_THREEOFAKIND",
                          "HAND_TWOPAIRS", "HAND_HIGHPAIR", "HAND_3XORVANTA"})
    Tally().GameHands.Add()->HandIDStr = key;
}

void TPokerData::Load() {
  TVXGameData::Load();
  RepairLoadedValues();
  // Every visit finds the first bet's Orvanta count one trip short of the bonus.
  if (OrvantaStats.Count() > 0) OrvantaStats.Items(0)->DataInt2 = MaxOrvantaCount;
}

bool TPokerData::OrvantaRoundWon() const {
  return FourOrvanta || (ThreeOrvanta && GetOrvantaStat(Bet) >= 10);
}

void TPokerData::EndOrvantaRound() {
  if (OrvantaRoundWon()) {
    SetOrvantaStat(Bet, 0);
    OrvantaNumber = OrvantaNumber + 1 > 10 ? 7 : OrvantaNumber + 1;
  }
  ThreeOrvanta = FourOrvanta = false;
}

std::string TPokerData::SettledFileText() const {
  if (!OrvantaRoundWon()) return FileText();
  // A decided round whose bonus was paid: the file must not keep the full count to pay again.
  TPokerData settled;
  (void)settled.SetXML(GetXML());
  settled.Bet = Bet;
  settled.ThreeOrvanta = ThreeOrvanta;
  settled.FourOrvanta = FourOrvanta;
  settled.EndOrvantaRound();
  return settled.FileText();
}

void TPokerData::RepairLoadedValues() {
  if (OrvantaNumber < 5 || OrvantaNumber > 10) OrvantaNumber = 5;
  // A count of 10 would pay the Orvanta bonus on the next round without being earned.
  for (int i = 0; i < OrvantaStats.Count(); ++i) {
    TVXStoreItem* item = OrvantaStats.Items(i);
    item->DataInt2 = std::clamp(item->DataInt2, 0, MaxOrvantaCount);
  }
  // A pool grows by its bet and is won at 100 times the bet: keep it where play can leave it.
  for (int i = 0; i < AmericanMiniBonusStats.Count(); ++i) {
    TVXStoreItem* item = AmericanMiniBonusStats.Items(i);
    const int64_t bet = item->DataInt;
    if (bet < 1) continue;  // no bet reaches this pool
    const int64_t most = std::min<int64_t>(bet * (JackpotFactor - 1), INT32_MAX);
    item->DataInt2 = static_cast<int32_t>(std::clamp<int64_t>(item->DataInt2, bet, std::max(bet, most)));
  }
  AmericanJackpot = std::clamp(AmericanJackpot, 1, MaxJackpot);
  DupWinJackpot = std::clamp(DupWinJackpot, 1, MaxJackpot);
}

void TPokerData::SetBetList(std::string_view text) {
  BetList.assign(1, 0);
  for (size_t semi = text.find(';'); semi != std::string_view::npos; semi = text.find(';')) {
    const auto bet = vx::TryStrToInt(text.substr(0, semi));
    text.remove_prefix(semi + 1);
    // A bet of 0 could never be taken, and a negative one would add to the credit.
    if (bet && *bet > 0) BetList.push_back(*bet);
  }
  if (BetList.size() < 2) {
    Log("ERROR: BET LIST WITHOUT BETS, USING " + std::string(DefaultBetList));
    SetBetList(DefaultBetList);
    return;
  }
  MinBet = BetList[1];
  MaxBet = BetList.back();
}

void TPokerData::SetStage(vx::TPokerStage stage) {
  Stage = stage;
  switch (stage) {
    case vx::psNewRound: StageFlags = {true, false, true, true, false, false, false}; break;
    case vx::psAfterDeal: StageFlags = {true, true, false, true, false, false, false}; break;
    case vx::psAfterLastDraw: StageFlags = {true, false, false, true, true, true, true}; break;
    case vx::psAfterFirstDraw: break;  // keeps the flags as they are
  }
}

void TPokerData::SetSubStage(vx::TPokerSubStage subStage) {
  SubStage = subStage;
  switch (subStage) {
    case vx::pssOffer: StageFlags = {true, false, false, true, true, true, true}; break;
    case vx::pssFurtherDraw: StageFlags = {true, true, false, true, false, false, false}; break;
    case vx::pssNone: break;
  }
}

namespace {

TVXStoreItem* FindItem(const TVXStoreItems& items, int32_t key) {
  for (int i = 0; i < items.Count(); ++i)
    if (items.Items(i)->DataInt == key) return items.Items(i);
  return nullptr;
}

TVXStoreItem* FindOrAddItem(TVXStoreItems& items, int32_t key) {
  if (TVXStoreItem* item = FindItem(items, key)) return item;
  TVXStoreItem* item = items.Add();
  item->DataInt = key;
  return item;
}

}  // namespace

int32_t TPokerData::GetOrvantaStat(int32_t bet) const {
  const TVXStoreItem* item = FindItem(OrvantaStats, bet);
  return item ? item->DataInt2 : 0;
}

void TPokerData::SetOrvantaStat(int32_t bet, int32_t value) { FindOrAddItem(OrvantaStats, bet)->DataInt2 = value; }

void TPokerData::AddOrvantaStat(int32_t bet, int32_t delta) {
  const TVXStoreItem* found = FindItem(OrvantaStats, bet);
  const int32_t value = CheckedAdd(found ? found->DataInt2 : 0, delta);
  FindOrAddItem(OrvantaStats, bet)->DataInt2 = value;
}

int32_t TPokerData::GetMiniBonus(int32_t bet) const {
  const TVXStoreItem* item = FindItem(AmericanMiniBonusStats, bet);
  return (item && item->DataInt2 != 0) ? item->DataInt2 : bet;
}

void TPokerData::SetMiniBonus(int32_t bet, int32_t value) {
  FindOrAddItem(AmericanMiniBonusStats, bet)->DataInt2 = value;
}

void TPokerData::AddMiniBonus(int32_t bet, int32_t delta) {
  const TVXStoreItem* found = FindItem(AmericanMiniBonusStats, bet);
  const int32_t value = (found && found->DataInt2 != 0) ? CheckedAdd(found->DataInt2, delta) : CheckedAdd(bet, delta);
  FindOrAddItem(AmericanMiniBonusStats, bet)->DataInt2 = value;
}

// --- TSlotsData ----------------------------------------------------------------------

const XMLClassInfo& TSlotsData::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TSlotsData, TVXGameData>("TSlotsData");
  return info;
}

TSlotsData::TSlotsData() {
  for (const char* key : {"HAND_CHERRYLINE", "HAND_777LINE", "HAND_BAR1LINE"}) Tally().GameHands.Add()->HandIDStr = key;
}

int32_t TSlotsData::GetBet() const { return CheckedAdd(Bet1Coins, Bet2Coins); }

int TSlotsData::PopBonus() {
  if (BonusQueue.empty()) return -1;
  const int top = BonusQueue.back();
  BonusQueue.pop_back();
  return top;
}
