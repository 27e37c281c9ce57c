#include "games/GameMoney.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/Rounding.h"

namespace vx {

namespace {
// The sum a move would make, refused before anything changes.
uint32_t Credited(uint32_t credit, int64_t amount) {
  const int64_t r = static_cast<int64_t>(credit) + amount;
  if (amount < 0 || r > static_cast<int64_t>(TGameMoney::MaxCredit)) throw EOverflow();
  return static_cast<uint32_t>(r);
}
}  // namespace

uint64_t TGameMoney::Total(const TPlayerBank* bank) const {
  uint64_t total = static_cast<uint64_t>(credit_) + static_cast<uint64_t>(win_) + pending_;
  if (bank != nullptr) total += bank->Balance();
  return total;
}

bool TGameMoney::MayStartRound(const TPlayerBank* bank) const {
  if (Total(bank) <= Ceiling) return true;
  Log("ERROR: THE MONEY HAS REACHED ITS LIMIT; NO NEW ROUND");
  return false;
}

bool TGameMoney::BuyCredit(TPlayerBank* bank, uint32_t amount, uint32_t creditLimit) {
  if (bank == nullptr || bank->Balance() < amount) return false;
  if (static_cast<uint64_t>(credit_) + amount > creditLimit) return false;
  bank->SetBalance(bank->Balance() - amount);
  credit_ += amount;
  return true;
}

uint32_t TGameMoney::CashOut(TPlayerBank* bank) {
  if (bank == nullptr) {
    Log("ERROR: NO PLAYER TO CASH OUT TO; THE CREDIT STAYS");
    return 0;
  }
  if (static_cast<uint64_t>(bank->Balance()) + credit_ > MaxCredit) {
    Log("ERROR: THE BANK CANNOT HOLD THE CREDIT; THE CREDIT STAYS");
    return 0;
  }
  const uint32_t moved = credit_;
  bank->SetBalance(bank->Balance() + moved);
  credit_ = 0;
  return moved;
}

bool TGameMoney::TakeBet(int64_t bet) {
  // A bet of nothing would start a free round; a negative one would add to the credit.
  if (bet <= 0 || static_cast<int64_t>(credit_) < bet) return false;
  credit_ = static_cast<uint32_t>(static_cast<int64_t>(credit_) - bet);
  return true;
}

void TGameMoney::PayWin(int64_t amount) {
  const int64_t r = static_cast<int64_t>(win_) + amount;
  if (amount < 0 || r > MaxWin) throw EOverflow();
  win_ = static_cast<int32_t>(r);
}

void TGameMoney::PayCredit(int64_t amount) { credit_ = Credited(credit_, amount); }

void TGameMoney::PayPending(int64_t amount) { pending_ = Credited(pending_, amount); }

void TGameMoney::MultiplyWin(int32_t factor) {
  if (factor < 1) throw EOverflow();
  PayWin(static_cast<int64_t>(win_) * (factor - 1));
}

void TGameMoney::LoseWin() { win_ = 0; }

void TGameMoney::CollectWin() {
  credit_ = Credited(credit_, win_);
  win_ = 0;
}

int32_t TGameMoney::SetAsideHalf() {
  const int32_t half = std::clamp(Round32(win_ / 2.0), 0, win_);
  // The half must fit in the credit too, where BookPending takes it.
  (void)Credited(credit_, static_cast<int64_t>(pending_) + half);
  pending_ += static_cast<uint32_t>(half);
  win_ -= half;
  return half;
}

void TGameMoney::BookPending() {
  credit_ = Credited(credit_, pending_);
  pending_ = 0;
}

void TGameMoney::BookPendingPart(uint32_t amount) {
  const uint32_t part = std::min(amount, pending_);
  credit_ = Credited(credit_, part);
  pending_ -= part;
}

void TGameMoney::CheckCreditRoom(int64_t amount) const { (void)Credited(credit_, amount); }

uint32_t TGameMoney::Settle(TPlayerBank* bank) {
  const uint64_t inPlay = static_cast<uint64_t>(win_) + pending_;
  if (inPlay > 0) {
    if (credit_ + inPlay <= MaxCredit) {
      credit_ += static_cast<uint32_t>(inPlay);
      win_ = 0;
      pending_ = 0;
    } else {
      Log("ERROR: THE CREDIT CANNOT HOLD THE PENDING WIN");
    }
  }
  return credit_ != 0 ? CashOut(bank) : 0;
}

void TGameMoney::Reset(uint32_t credit, int32_t win) {
  credit_ = credit;
  win_ = std::max(win, 0);
  pending_ = 0;
}

}  // namespace vx
