#pragma once
// The round of a game as a model: its state, the video-poker stages, and every change of
// state in one place. The screen side (scenes, animations, buttons) reads the state and asks
// for its changes here; it keeps no state of its own.
//
// The round, as a player meets it:
//   idle --DEAL/SPIN, bet taken--> busy --> holding (poker) / spinning (slots)
//   holding --DRAW--> busy --> idle (lost) | won | further draw | double-up
//   further draw --DEAL--> holding (sub-stage 2) --DRAW--> idle | double-up
//   won / double-up --CASH, a lost card, the final collect--> busy --> idle
// Busy holds while an action runs (counts, waits, cash-out): every button does nothing.
// Only End() closes a round, and it tells OnRoundEnded.
// Commit() marks the moments money changes hands for good inside a round: a bet taken, an
// outcome decided (a draw's or a spin's pay, a double-up card). The game calls it once the
// ledger holds the move and before the screen shows it, so that what a restart finds is what
// the player owned at any moment the screen showed.
#include <cstdint>
#include <functional>

namespace vx {

enum TRoundState : uint8_t {
  rsIdle = 0,         // no round; DEAL (SPIN) starts one
  rsBusy = 1,         // an action is being carried out
  rsHolding = 3,      // video poker: five cards shown, waiting for holds and DRAW
  rsSpinning = 4,     // slot machines: reels running or free games in progress
  rsWon = 5,          // won; CASH collects (slot machines: or the double-up)
  rsFurtherDraw = 6,  // video poker: won; DEAL declines the double-up for one more draw
  rsDoubleUp = 7,     // won; the double-up is on offer or running
};

// The video-poker round's stage: which DEAL comes next and which buttons are enabled.
enum TPokerStage : int32_t {
  psNewRound = 0,
  psAfterDeal = 1,
  psAfterFirstDraw = 2,  // with a further draw possible
  psAfterLastDraw = 3,
};
// Within psAfterFirstDraw: the double-up on offer, then (after DEAL) the further draw.
enum TPokerSubStage : int32_t { pssNone = 0, pssOffer = 1, pssFurtherDraw = 2 };

class TGameRound {
public:
  // Told after every round has ended (empty: nobody listens).
  std::function<void()> OnRoundEnded;
  // Told at each commit point; returns once the move is safe (empty: nobody listens).
  std::function<void()> OnCommit;

  TRoundState State() const { return state_; }
  bool Is(TRoundState s) const { return state_ == s; }
  bool InRound() const { return state_ != rsIdle; }

  // An action starts: any state but busy becomes busy. Returns the state left, for
  // Resume when the action is refused; false (nothing changes) when already busy.
  bool Begin(TRoundState* left = nullptr);
  // The action leaves the round waiting for the player in `state` (not idle: see End).
  void Wait(TRoundState state);
  // A refused action: back where it started (idle included, without ending a round).
  void Resume(TRoundState state) { state_ = state; }
  // The round is over: idle, then OnRoundEnded.
  void End();
  void Commit() {
    if (OnCommit) OnCommit();
  }
  // Whether a change from one state to another is one the round makes.
  static bool Allowed(TRoundState from, TRoundState to);

private:
  TRoundState state_ = rsIdle;
};

// Where a winning video-poker draw leaves the round.
struct TPokerWinStep {
  TRoundState State;
  TPokerStage Stage;
  TPokerSubStage SubStage;
  bool OfferFlag;  // the double-up is on offer: DEAL no longer draws
  bool CollectOnly;  // no double-up: only CASH's collect is enabled
};
TPokerWinStep PokerWinStep(bool furtherDraw, bool doubleUp, bool furtherDrawVariant);

}  // namespace vx
