#pragma once
// The double-up games that gamble a pending win: BIG/SMALL and RED/BLACK on a row of ten
// dealt cards (with an optional bar of eight pictures that pays a bonus when it fills), and
// BEAT THE DEALER against a dealer's card. They use the double-up panel of the game screen
// and feed their outcome back through the game: its pending win, its round state, its
// collect and its end of round.
#include <cstdint>
#include <functional>
#include <string>

class TVXCard;
class TVXGame;
class TVXGameData;
class TVXGameScene;
class TVXImage;
class TVXLabel;

class TVXDoubleUp {
public:
  TVXDoubleUp(TVXGame* game, TVXGameScene* screen, TVXGameData* data);

  // Called when a double-up ends by a loss or after the final collect.
  std::function<void()> OnFinish;
  bool Active = false;
  bool WaitingForDeal = false;
  // The current card 1..10 (0 before the first).
  int32_t Position = 0;
  int32_t BarLength = 8;
  int32_t BarLevel = 0;
  int32_t BarWin = 0;
  TVXLabel* BarLabel = nullptr;
  TVXGame* Game = nullptr;
  TVXGameData* Data = nullptr;
  TVXGameScene* Screen = nullptr;
  bool Played = false;
  bool BarMode = false;
  // The last double-up ended with a lost card (its games keep that card up a while).
  bool Lost = false;

  // The kind (0 BIG/SMALL, 1 RED/BLACK, 2 BEAT THE DEALER) from the game data.
  uint8_t Kind() const;
  // The data's limit; one outside 1..10 counts as 10.
  int32_t Limit() const;

  // Starts a double-up for the pending win, the made hand's order code lighting the bar.
  void Offer(int32_t HandOrderCode, bool barMode);
  void SetActive(bool flag);
  void SetWaitingForDeal(bool flag);
  // BEAT THE DEALER: DEAL while waiting.
  void DealDealer();
  // BIG/SMALL and RED/BLACK: 0 SMALL or RED, 1 BIG or BLACK.
  void Choose(int32_t choice);
  // BEAT THE DEALER: the player's card 2..5.
  void PickCard(int32_t position);
  // The choice that wins on the current card.
  int32_t WinningChoice() const;

  // The outcome of a choice on a card: the factor (0 loss, 1 draw, 2 win, 4 joker) and the
  // word the hit label shows.
  struct TCardResult {
    int32_t Factor = 0;
    std::string Word;
  };
  static TCardResult CardResult(uint8_t kind, int32_t cardNumber, int32_t choice);
  // BEAT THE DEALER: 1 the player wins, 0 a draw, -1 the dealer wins.
  static int32_t CompareWithDealer(int32_t dealerNumber, int32_t playerNumber);
  // The bar level a hand's order code starts the bar at.
  static int32_t StartBarLevel(int32_t HandOrderCode);

private:
  TVXCard* Card(int32_t position) const;
  TVXImage* BarPicture(int32_t n) const;
  void NextCard();
  void FinalCollect();
  // After a won BEAT THE DEALER card or any won card: false when one more doubling by
  // `factor` could not be held by the pending win, so the win must be collected now.
  bool CanDouble(int32_t factor) const;
  void Message(const std::string& text);
};
