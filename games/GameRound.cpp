#include "games/GameRound.h"

#include <string>

#include "core/Log.h"

namespace vx {

bool TGameRound::Allowed(TRoundState from, TRoundState to) {
  switch (to) {
    case rsIdle: return true;                      // a round ends from wherever it stands
    case rsBusy: return from != rsBusy;            // an action starts where the player waits
    default: return from == rsBusy || from == to;  // an action ends waiting for the player
  }
}

bool TGameRound::Begin(TRoundState* left) {
  if (left != nullptr) *left = state_;
  if (!Allowed(state_, rsBusy)) return false;
  state_ = rsBusy;
  return true;
}

void TGameRound::Wait(TRoundState state) {
  if (state == rsIdle || !Allowed(state_, state)) {
    Log("ERROR: THE ROUND CANNOT GO FROM STATE " + std::to_string(state_) + " TO " + std::to_string(state));
    return;
  }
  state_ = state;
}

void TGameRound::End() {
  state_ = rsIdle;
  if (OnRoundEnded) OnRoundEnded();
}

TPokerWinStep PokerWinStep(bool furtherDraw, bool doubleUp, bool furtherDrawVariant) {
  if (!doubleUp) return {rsWon, psAfterDeal, pssNone, false, true};
  if (furtherDraw) return {rsDoubleUp, psAfterLastDraw, pssNone, true, false};
  if (furtherDrawVariant) return {rsFurtherDraw, psAfterFirstDraw, pssOffer, false, false};
  return {rsDoubleUp, psAfterFirstDraw, pssOffer, true, false};
}

}  // namespace vx
