#include "games/GameStatistics.h"

TGameHand* TGameHands::Add() {
  Items_.push_back(std::make_unique<TGameHand>());
  return Items_.back().get();
}

TGameHand* TGameHands::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Items_[static_cast<size_t>(index)].get();
}
