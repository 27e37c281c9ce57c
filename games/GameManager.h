#pragma once
// The game catalogue: the sixteen games with their titles, identifiers, groups,
// descriptions and video-poker pay tables, built in code once at start-up and read-only
// afterwards.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "games/GameStatistics.h"
#include "games/HandKeys.h"

class TGameGroup {
public:
  TGameGroup(std::string name, int32_t groupID) : Name(std::move(name)), GroupID(groupID) {}
  std::string Name;
  int32_t GroupID = 0;
};

// Group ids that decide the kind of game.
constexpr int32_t VideoPokerGroupID = 1;
constexpr int32_t SlotMachineGroupID = 2;

class TGameInfo {
public:
  TGameInfo() = default;
  TGameInfo(const TGameInfo&) = delete;
  TGameInfo& operator=(const TGameInfo&) = delete;

  std::string Title;
  int32_t ID = 0;
  std::string IDStr;
  TGameGroup* Group = nullptr;  // not owned
  std::string Description;

  // The pay table: `Value` is the multiplier paid per coin bet.
  TGameHands& Hands() { return Hands_; }
  const TGameHands& Hands() const { return Hands_; }

  // Appends a row with the key's order code.
  void AddHand(const std::string& key, int32_t multiplier);
  // Index of the first row whose key matches ASCII case-insensitively, or -1.
  int IndexOfHand(std::string_view key) const;
  // The multiplier of the first row whose key matches case-insensitively. A key the
  // table lacks pays 0, never a negative multiple of the bet; any key but
  // "HAND_NOTHING" is then logged as an error.
  int32_t GetPay(std::string_view key) const;
  // True when some row has that order code.
  bool HasHandCode(int32_t code) const;
  // Every order code the rows hold, as one set (what the evaluator asks).
  vx::THandCodeSet HandCodes() const;

  bool IsVideoPoker() const { return Group && Group->GroupID == VideoPokerGroupID; }
  bool IsSlotMachine() const { return Group && Group->GroupID == SlotMachineGroupID; }

private:
  TGameHands Hands_;
};

class TVXGameManager {
public:
  TVXGameManager();
  ~TVXGameManager();
  TVXGameManager(const TVXGameManager&) = delete;
  TVXGameManager& operator=(const TVXGameManager&) = delete;

  // The first entry with that numeric id, or nullptr.
  TGameInfo* FindGameByID(int32_t id) const;
  // The first entry whose id string equals the text exactly (case-sensitive), or nullptr.
  TGameInfo* FindGameByIDStr(std::string_view idStr) const;

  // Order code of a hand key by exact comparison; -1 for any other text.
  static int32_t HandOrder(std::string_view key);
  // Display text of a hand key by exact comparison; empty for any other text.
  static std::string HandTitle(std::string_view key);

  int Count() const { return static_cast<int>(Games_.size()); }
  TGameInfo* Games(int index) const;
  // The three groups: "VIDEO POKER" (1), "SLOT MACHINES" (2) and the unnamed group 0.
  TGameGroup* Groups(int index) const;
  TGameGroup* FindGroup(int32_t groupID) const;

private:
  std::vector<std::unique_ptr<TGameGroup>> Groups_;
  std::vector<std::unique_ptr<TGameInfo>> Games_;
};
