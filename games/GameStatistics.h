#pragma once
// Statistics records that the games fill and the pay tables reuse: a hand row
// (`TGameHand`), a list of them (`TGameHands`), one game's record (`TGameStatictics`)
// and a list of those (`TGamesStatictics`). The player and casino records that hold
// these lists live with the lobby.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TGameHand {
public:
  std::string HandIDStr;
  // Statistics: how often the hand occurred. Pay table: the multiplier per coin.
  int32_t Value = 0;
  // Pay table only, not saved: the hand's order code, set when the row is added.
  int32_t OrderCode = -1;
};

class TGameHands {
public:
  TGameHand* Add();
  int Count() const { return static_cast<int>(Items_.size()); }
  TGameHand* Items(int index) const;
  void Clear() { Items_.clear(); }

private:
  std::vector<std::unique_ptr<TGameHand>> Items_;
};
