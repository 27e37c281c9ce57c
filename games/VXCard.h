#pragma once
// The control that shows one playing card on a game screen: its face (number, rank and
// suit, held, face down, wild overlay) and the picture that goes with it. The screen that
// creates the card sets its position index (Tag, 1..5 or 1..10) and its texture folder (the
// game's card set).
#include <cstdint>

#include "framework/VXControl.h"
#include "games/Cards.h"

class TVXCard : public TVXControl {
public:
  // Face down, not held, number 0, no wild rank.
  explicit TVXCard(TVXComponent* owner);

  const TCardFace& Face() const { return Face_; }
  int32_t Number() const { return Face_.Number(); }
  int32_t Suit() const { return Face_.Suit(); }
  int32_t Rank() const { return Face_.Rank(); }
  // Does not change the picture: callers follow with UpdateImage.
  void SetNumber(int32_t n) { Face_.SetNumber(n); }
  bool Held() const { return Face_.Held(); }
  void SetHeld(bool held) { Face_.SetHeld(held); }
  bool FaceDown() const { return Face_.FaceDown(); }
  void SetFaceDown(bool faceDown) { Face_.SetFaceDown(faceDown); }
  int32_t WildRank() const { return Face_.WildRank(); }
  void SetWildRank(int32_t rank) { Face_.SetWildRank(rank); }

  // Names the picture for the face ("CARD_14", "CARD_2_WILD", "CARD_BACK_1") and loads it.
  void UpdateImage();

private:
  TCardFace Face_;
};
