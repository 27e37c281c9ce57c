#pragma once
// The video-poker game: one class for every variant of the catalogue, chosen by the game id
// (screen theme, card set, option bits, bet list, double-up kind). A round deals fifteen
// cards at once (the hand, the first draw's replacements, a further draw's), waits for holds,
// draws, evaluates, pays and offers the double-up; the Orvanta bonus, the mini-bonus pool
// and the jackpot run alongside in the variants that have them.
#include <cstdint>
#include <memory>
#include <string>

#include "games/GameData.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"
#include "games/VXGame.h"

class TAnimCards;
class TPokerAnims;
class TPokerDemo;
class TPokerScene;
class TVXAnim;
class TVXDoubleUp;

class TPoker : public TVXGame {
public:
  // Builds data, screen, double-up, animations and hooks; reads no file and moves no money
  // (see TVXGame for the steps that follow). An id without a video-poker row is logged and
  // played as game 10.
  TPoker(TGameInfo* info, TVXContext* context, TVXGameHost* host);
  // The data file of this game in the current casino, read, and the meters it feeds.
  void LoadData() override;
  void StartAttract() override;
  void StopAttract() override { StopDemo(); }
  ~TPoker() override;

  TPokerScene* PokerScene = nullptr;
  std::unique_ptr<TPokerAnims> Anims;
  std::unique_ptr<TPokerData> Data;
  std::unique_ptr<TVXDoubleUp> DoubleUp;
  int32_t MainRank = 0;
  int32_t SecondRank = 0;
  uint32_t Options = 0;
  const vx::TPokerVariant* Variant = nullptr;
  std::unique_ptr<TPokerDemo> Demo;

  bool Has(vx::TPokerOption bit) const { return vx::HasOption(Options, bit); }

  // ---- Overrides of the game base.
  void SetScene(TVXGameScene* scene) override;
  TVXGameData* GetGameData() override;
  void EndRound() override;
  void UpdateCredit() override;
  void CollectWin() override;
  bool CollectWinForFinish() override;
  void SettleOnClose() override;

  // ---- Buttons and keys.
  void DealClick();
  void BetClick();
  void ChangeBet(bool RefreshOnly);
  // A hand card or its hold button, by position 1..5.
  void CardClick(int32_t position);
  void CashClick();
  // Z X C V B hold, M deals, N cashes, A bets; developer mode: H switches the view, J logs
  // the hand. A handled key is consumed (set to 0).
  void KeyDown(uint16_t& key);
  void HoldToggle(int32_t position, bool RefreshOnly);
  void DealDraw();
  void TakeHalf();

  // ---- Round pieces.
  // Count (at most 15, or 10 for the double-up deck) different acceptable numbers into the
  // round's slots or the double-up's; a test hand fixes positions 1-5 (in developer mode the
  // one chosen in the log window overrides it).
  void Deal(int32_t Count, bool DoubleUpDeck, int32_t TestHand);
  // The five cards of test hand n (1..18, in the order of the log window's hand list; the
  // last two are built on the Orvanta number); false for any other n.
  static bool TestHandCards(int32_t n, int32_t orvantaNumber, int32_t out[5]);
  // Every card that is not held turns face down; false when `owner` stopped meanwhile.
  bool TurnDown(bool skipWaits, TVXAnim* owner = nullptr);
  // Every card that is not held shows the number of its slot (position + offset), face up.
  bool ShowCards(int32_t slotOffset, bool skipWaits, TVXAnim* owner = nullptr);
  // The five shown cards (or any five) judged against the game's pay table; no meter is
  // touched.
  vx::THandEvaluation EvaluateShown() const;
  vx::THandEvaluation EvaluateHand(const int32_t cards[5]) const;
  // Bet times the hand's multiplier (0 for nothing or a hand the table lacks).
  int32_t WinOf(const vx::THandEvaluation& e) const;
  void AutoHold(const vx::THandEvaluation& e, bool WithSound);
  // Hold markers hidden, "ORVANTA CARDS", no hand, win label 0, no highlight, double-up
  // offer off and its view hidden. `round`: also the pending win and the round's flags.
  void ResetForNewRound(bool round);
  void ClearHolds();
  void RefreshMeters(bool animate);
  void StartDemo();
  void StopDemo();
  bool CardEffects() const;
  int32_t AnyHeldCount() const;
  uint64_t WaitPerCard() const { return CardEffects() ? 100 : 70; }

private:
  void DealStage();
  // A draw from slots 6-10 (further: 11-15).
  void DrawStage(bool further);
  void FurtherStage(vx::TRoundState entry);
  void ApplyEvaluation(const vx::THandEvaluation& e);
  // What a draw decides. Its cards were dealt with the hand, so it is worked out before they
  // turn: the hand, its win, the mini bonus and the jackpot, the Orvanta count and bonus, all
  // entered in the data and the ledger at once; the screen then shows them in turn.
  struct TDrawOutcome {
    vx::THandEvaluation Eval;
    int32_t HandWin = 0;
    bool PoolGrew = false;  // an unpaid pair fed the mini-bonus pool
    int32_t Pool = 0;       // the pool after it grew
    int64_t PoolTarget = 0;
    int32_t Mini = 0;  // the pool won
    bool JackpotWon = false;
    int32_t OrvantaCount = 0;
    int32_t OrvantaPay = 0;
    bool Paid() const { return HandWin != 0 || Mini != 0; }
  };
  // The draw from the dealt slots past `slotOffset` and the held cards.
  TDrawOutcome DecideDraw(int32_t slotOffset);
  void ShowJackpotOption(const TDrawOutcome& o);
  void ShowOrvantaPay(const TDrawOutcome& o);
  void Highlight(bool final, const std::string& key);
  // Moves the pending win into the credit and counts it; the round goes on.
  void CollectMoney();
  // An error escaped an action: settle what is pending and end the round, so that play can
  // go on and nothing is lost.
  void Recover(const std::exception& e) override;

  // The hand on screen counted Orvanta trips; the next draw takes them back.
  bool shownThreeOrvanta_ = false;
  int32_t dealtWin_ = 0;
};
