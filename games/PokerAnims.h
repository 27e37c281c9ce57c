#pragma once
// The motion of the video-poker screen: the card-deal animation (cards about to change slide
// in from the left edge), the attract mode that runs while no round is in progress, and the
// holder of the game's animations. Timing is counted in frames.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/VXAnim.h"

class TPoker;
class TPokerScene;

class TAnimCards : public TVXAnim {
public:
  explicit TAnimCards(TPokerScene* screen);

  // The left position each hand card slides to.
  std::array<int32_t, 5> Targets{};
  TPokerScene* Screen = nullptr;
  static constexpr int32_t Speed = 30;

  // Every card's target is where it stands; the cards that are not held start at left 0.
  void Start() override;
  // Moves the cards right, turns each arrived face-down card up, finishes when all arrived.
  void Step() override;
};

// Places kept for motions of the pay list and the double-up; they finish at once.
class TAnimPayoutList : public TVXAnim {
public:
  using TVXAnim::TVXAnim;
  void Start() override {}
  void Step() override { Finish(); }
};
class TAnimDoubleUp : public TVXAnim {
public:
  using TVXAnim::TVXAnim;
  void Start() override {}
  void Step() override { Finish(); }
};

class TPokerAnims {
public:
  explicit TPokerAnims(TPokerScene* screen);
  ~TPokerAnims();

  // Names of the animations held, in creation order.
  std::vector<std::string> Names;
  // How many times the card animation has run.
  int32_t CardRuns = 0;
  bool Enabled = true;
  std::unique_ptr<TAnimCards> AnimCards;
  std::unique_ptr<TAnimPayoutList> AnimPayoutList;
  std::unique_ptr<TAnimDoubleUp> AnimDoubleUp;
};

// The attract mode: walks a fixed script of frame waits, joker sweeps, advertisements and
// two show hands (see Step).
class TPokerDemo : public TVXAnim {
public:
  explicit TPokerDemo(TPoker* game);

  TPoker* Game = nullptr;

  void Step() override;

private:
  void JokerAt(int32_t position);
  void Advertisement(const std::string& picture);
};
