#include "games/Cards.h"

namespace vx {

int32_t CardRank(int32_t number) {
  if (number >= 1 && number <= 52) return (number - 1) % CardsPerSuit + 1;
  if (number == FirstJoker || number == SecondJoker) return WildRank;
  return -1;
}

int32_t CardSuit(int32_t number) {
  if (number >= 1 && number <= 52) return (number - 1) / CardsPerSuit + 1;
  if (number == FirstJoker || number == SecondJoker) return 0;
  return -1;
}

}  // namespace vx

bool TCardFace::SetNumber(int32_t n) {
  if (n == Number_) return false;
  Number_ = n;
  if (n >= 1 && n <= vx::SecondJoker) {
    Suit_ = vx::CardSuit(n);
    Rank_ = vx::CardRank(n);
  }
  return true;
}

bool TCardFace::SetHeld(bool held) {
  if (held == Held_) return false;
  Held_ = held;
  return true;
}

bool TCardFace::SetFaceDown(bool faceDown) {
  if (faceDown == FaceDown_) return false;
  FaceDown_ = faceDown;
  return true;
}

bool TCardFace::ShowsWild() const { return !FaceDown_ && WildRank_ != 0 && Rank_ == WildRank_; }

std::string TCardFace::PictureName() const {
  if (FaceDown_) return "CARD_BACK_1";
  std::string name = "CARD_" + std::to_string(Number_);
  if (ShowsWild()) name += "_WILD";
  return name;
}
