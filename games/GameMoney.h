#pragma once
// The money of a running game as one ledger: the signed-in player's bank, the machine's
// credit, the win in play and a pending amount (decided, still counting on the screen).
//
// Invariant: bank + credit + win + pending changes only by a bet (down by the bet) and by a
// pay (up by the pay). Every other move shifts money between the four and keeps the sum.
// Each move is checked before anything changes and happens whole or not at all: a refused
// move returns false (a pay the game cannot hold raises EOverflow) and changes nothing.
// No other class changes the bank, the credit or the win.
#include <cstdint>
#include <limits>

namespace vx {

// The player's bank as a game sees it. The lobby hands one over for the signed-in player;
// only the ledger changes its balance.
class TPlayerBank {
public:
  virtual ~TPlayerBank() = default;
  virtual uint32_t Balance() const = 0;

protected:
  friend class TGameMoney;
  virtual void SetBalance(uint32_t value) = 0;
};

// A bank kept in a plain counter, such as a player record's field.
class TCounterBank final : public TPlayerBank {
public:
  explicit TCounterBank(uint32_t& counter) : counter_(counter) {}
  uint32_t Balance() const override { return counter_; }

protected:
  void SetBalance(uint32_t value) override { counter_ = value; }

private:
  uint32_t& counter_;
};

class TGameMoney {
public:
  static constexpr uint32_t MaxCredit = std::numeric_limits<uint32_t>::max();
  static constexpr int32_t MaxWin = std::numeric_limits<int32_t>::max();
  // A round is refused while the money passes this: whatever one round can add (a win of
  // at most MaxWin and a jackpot) then still fits in the bank, so the round can always end
  // and the player always leave.
  static constexpr uint64_t Ceiling = 4294967295ull - 2147483647ull - 10000000ull;

  uint32_t Credit() const { return credit_; }
  // Never negative.
  int32_t Win() const { return win_; }
  uint32_t Pending() const { return pending_; }
  // Bank (0 without one) + credit + win + pending.
  uint64_t Total(const TPlayerBank* bank) const;
  // False (logged) once the total has passed Ceiling.
  bool MayStartRound(const TPlayerBank* bank) const;

  // Bank -> credit: the opening credit and buying credit. False, nothing moved, without a
  // bank, when it holds less than `amount` or when the credit would pass `creditLimit`.
  bool BuyCredit(TPlayerBank* bank, uint32_t amount, uint32_t creditLimit = MaxCredit);
  // Credit -> bank, all of it; returns the amount moved. 0 (logged, the credit stays)
  // without a bank or when the bank cannot hold it.
  uint32_t CashOut(TPlayerBank* bank);
  // The bet leaves the credit. False when the bet is 0 or less or the credit is short.
  bool TakeBet(int64_t bet);

  // Pays: into the win in play, straight into the credit, or pending while it counts.
  void PayWin(int64_t amount);
  void PayCredit(int64_t amount);
  void PayPending(int64_t amount);
  // The win in play times `factor` (a double-up won): a pay of win x (factor - 1).
  void MultiplyWin(int32_t factor);
  // The win in play is staked and lost (a lost double-up, a further draw taken instead).
  void LoseWin();
  // Win -> credit, whole.
  void CollectWin();
  // Half the win (rounded by the current rounding) -> pending; returns it. Refused
  // (EOverflow) when the credit could not take it. BookPending then moves it into the credit.
  int32_t SetAsideHalf();
  // Pending -> credit.
  void BookPending();
  // `amount` of the pending (at most all of it) -> credit: amounts decided together and
  // shown one after another.
  void BookPendingPart(uint32_t amount);
  // EOverflow now, before anything shows, when the credit could not take `amount` more.
  void CheckCreditRoom(int64_t amount) const;

  // The program closes: pending and the win go into the credit when it can hold them
  // (logged otherwise), then the credit into the bank. Returns the amount cashed out.
  uint32_t Settle(TPlayerBank* bank);

  // Credit and win of a ledger that starts from outside play (a tool, a test); no move of
  // the player's money.
  void Reset(uint32_t credit, int32_t win = 0);

private:
  uint32_t credit_ = 0;
  int32_t win_ = 0;
  uint32_t pending_ = 0;
};

}  // namespace vx
