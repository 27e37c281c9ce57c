#pragma once
// Card numbers 1..54: 1-13, 14-26, 27-39 and 40-52 are the four suits (rank 1 is the
// ace, 13 the king); 53 and 54 are the jokers, suit 0 and the wild rank 99. Anything
// else has rank and suit -1.
#include <cstdint>
#include <string>

namespace vx {

constexpr int32_t WildRank = 99;
constexpr int32_t FirstJoker = 53;
constexpr int32_t SecondJoker = 54;
constexpr int32_t CardsPerSuit = 13;

int32_t CardRank(int32_t number);
int32_t CardSuit(int32_t number);

}  // namespace vx

// What one card on a game screen shows: its number with rank and suit, whether it is held,
// whether its back shows, and the rank that carries the wild overlay. The drawn card
// control keeps one of these and takes its picture name from it.
class TCardFace {
public:
  int32_t Number() const { return Number_; }
  int32_t Suit() const { return Suit_; }
  int32_t Rank() const { return Rank_; }

  // Stores the number; rank and suit follow it for a valid number and stay as they were
  // for one outside 1..54. Returns false when the number was already the current one.
  bool SetNumber(int32_t n);

  bool Held() const { return Held_; }
  // Setters report whether the value changed.
  bool SetHeld(bool held);
  bool FaceDown() const { return FaceDown_; }
  bool SetFaceDown(bool faceDown);
  int32_t WildRank() const { return WildRank_; }
  void SetWildRank(int32_t rank) { WildRank_ = rank; }

  // True when the wild overlay shows: a face-up card whose rank is the wild rank.
  // A wild rank of 0 (the default) marks no card.
  bool ShowsWild() const;
  // The picture inside the card-set folder: "CARD_BACK_1" face down, else "CARD_" + the
  // number, with "_WILD" appended when the overlay shows.
  std::string PictureName() const;

private:
  int32_t Number_ = 0;
  int32_t Suit_ = 0;
  int32_t Rank_ = 0;
  bool Held_ = false;
  bool FaceDown_ = true;
  int32_t WildRank_ = 0;
};
