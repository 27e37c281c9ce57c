#pragma once
// The data of one game in one casino: the money of the running game, the visit's own tally
// (credit in, credit out, hands) and the game's persistent values, saved as one XML file per
// game and casino. Only published properties reach the file; money and round state live in
// memory only.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "games/GameMoney.h"
#include "games/GameRound.h"
#include "games/GameStatistics.h"
#include "games/StoreItems.h"
#include "xmlstore/TSYXML.h"

class TVXGameData : public TTSYXMLObject {
public:
  TVXGameData();

  // The visit's tally: one record, created with the object.
  TGamesStatictics GameStatistics;
  TGameStatictics& Tally() const { return *GameStatistics.Items(0); }
  // The hand of the open round once its outcome is decided; the round's end counts it in the
  // tally (and empties this). A save taken meanwhile counts it once, as leaving then would.
  std::string DecidedHand;

  int32_t Bet = 0;
  // The data file's full path; empty: the object is not stored.
  std::string FileName;
  // The running game's credit and win in play, with every move of them (GameMoney.h).
  vx::TGameMoney Money;
  bool BetListEnabled = false;
  int32_t BetStep = 0;
  // Element 0 holds 0; the bets stand from element 1 on.
  std::vector<int32_t> BetList{0};
  int32_t MinBet = 0;
  int32_t MaxBet = 0;
  std::array<int32_t, 10> DealtDoubleUpCards{};
  int32_t DoubleUpLimit = 0;
  // 0 BIG/SMALL, 1 RED/BLACK, 2 BEAT THE DEALER.
  uint8_t DoubleUpKind = 0;

  virtual int32_t GetBet() const { return Bet; }
  virtual void SetBet(int32_t bet) { Bet = bet; }
  // Reads the file when it exists. A file that cannot be read whole is logged and set
  // aside; the object keeps what was read and the defaults.
  virtual void Load();
  // Adds the tally into the player's record for this game: credits, and each hand's count
  // into the hand of the same key (found or added). Every sum is checked before anything
  // changes, so an overflow (EOverflow) leaves the record as it was.
  virtual void MergeInto(TGameStatictics* target) const;

  // Writes the published properties when a file name is set; a failure is logged.
  void Save() const;
  // The file's text as the open round's end would leave it (the text itself between rounds).
  virtual std::string SettledFileText() const { return FileText(); }

  uint32_t GetCreditIn() const { return Tally().CreditIn; }
  void SetCreditIn(uint32_t v) { Tally().CreditIn = v; }
  uint32_t GetCreditOut() const { return Tally().CreditOut; }
  void SetCreditOut(uint32_t v) { Tally().CreditOut = v; }
  // Counts one hand in the tally, adding its row when missing.
  void CountHand(std::string_view key);

  VX_XML_PUBLISHED
};

class TPokerData : public TVXGameData {
public:
  TPokerData();

  // Published.
  TVXStoreItems OrvantaStats;           // Orvanta trips collected per bet (DataInt = bet)
  int32_t OrvantaNumber = 0;            // the rank that counts as the Orvanta card
  TVXStoreItems AmericanMiniBonusStats;  // mini-bonus pool per bet
  int32_t DupWinJackpot = 0;
  int32_t AmericanJackpot = 0;

  // The round, in memory only.
  vx::TPokerStage Stage = vx::psNewRound;
  vx::TPokerSubStage SubStage = vx::pssNone;
  // The seven stage flags that enable the buttons; see SetStage.
  std::array<bool, 7> StageFlags{};
  bool CanClearHolds() const { return StageFlags[1]; }
  bool CanTakeHalf() const { return StageFlags[4]; }
  bool CanCollect() const { return StageFlags[5]; }
  int32_t OrvantaValue = 0;
  bool ThreeOrvanta = false;
  bool FourOrvanta = false;
  int32_t UnpaidPairRank = 0;
  int32_t JackpotFactor = 100;
  bool DoubleUpOffered = false;
  std::string LastHandKey = "HAND_NOTHING";
  // Positions 1-5 the hand, 6-10 the first draw's cards, 11-15 a further draw's.
  std::array<int32_t, 15> Cards{};

  // Loads, then repairs what a damaged or edited file may hold: the Orvanta number into
  // 5..10, every Orvanta count into 0..9, every mini-bonus pool into the range its bet can
  // reach, and the two jackpot counters into 1..MaxJackpot.
  void Load() override;
  // The repairs alone, for values read from any other source.
  void RepairLoadedValues();

  // Reads "5;10;20;" style lists: each piece before a ";" that reads as a positive integer
  // is a bet; text after the last ";" is not used. A list without any bet is logged and
  // replaced by DefaultBetList. MinBet and MaxBet become the first and the last bet.
  void SetBetList(std::string_view text);

  void SetStage(vx::TPokerStage stage);
  void SetSubStage(vx::TPokerSubStage subStage);

  // The Orvanta rule of a round's end: a bonus won (four Orvanta cards, or trips with the
  // bet's count full) resets that count and moves the Orvanta number on.
  bool OrvantaRoundWon() const;
  void EndOrvantaRound();
  std::string SettledFileText() const override;

  // Orvanta count per bet: 0 for a bet never played.
  int32_t GetOrvantaStat(int32_t bet) const;
  void SetOrvantaStat(int32_t bet, int32_t value);
  void AddOrvantaStat(int32_t bet, int32_t delta);
  // Mini-bonus pool per bet: a pool that was never filled starts at the bet itself.
  int32_t GetMiniBonus(int32_t bet) const;
  void SetMiniBonus(int32_t bet, int32_t value);
  void AddMiniBonus(int32_t bet, int32_t delta);

  static constexpr int32_t MaxOrvantaCount = 9;
  static constexpr int32_t MaxJackpot = 10000000;
  static constexpr const char* DefaultBetList = "5;10;20;30;40;50;60;70;80;90;100;";

  VX_XML_PUBLISHED
};

// The slot machines' data. It publishes nothing, so every value starts afresh on each visit.
class TSlotsData : public TVXGameData {
public:
  TSlotsData();

  int32_t Bet1Coins = 0;
  int32_t Bet2Coins = 0;
  uint8_t BetsTouched = 0;
  // Pending bonus kinds, used as a stack: 0 bar bonus, 1 bell bonus, 2 cherry bonus.
  std::vector<uint8_t> BonusQueue;
  int32_t FreeGamesLeft = 0;
  int32_t CherryStageReset = 9;
  int32_t CherryStage = 7;
  int32_t BellStageReset = 5;
  int32_t BellStage = 2;
  int32_t BellBonusValue = 320;
  int32_t BellBonusCap = 10000;
  int32_t PoolSymbol = 7;
  int32_t Pool1 = 1000;
  int32_t Pool1Cap = 2000;
  int32_t Pool2 = 2000;
  int32_t Pool2Cap = 5000;
  int32_t Pool3 = 5000;
  int32_t Pool3Cap = 10000;

  // The two sides together (EOverflow when the sum does not fit).
  int32_t GetBet() const override;

  void PushBonus(uint8_t kind) { BonusQueue.push_back(kind); }
  int BonusCount() const { return static_cast<int>(BonusQueue.size()); }
  // The kind on top; -1 when the stack is empty.
  int TopBonus() const { return BonusQueue.empty() ? -1 : BonusQueue.back(); }
  // Removes and returns the top kind; -1 when the stack is empty.
  int PopBonus();
  void ClearBonuses() { BonusQueue.clear(); }

  VX_XML_PUBLISHED
};
