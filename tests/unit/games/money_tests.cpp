// The ledger's invariant over random moves: bank + credit + win + pending changes by bets and
// pays only, and a refused move changes nothing at all.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "core/Exception.h"
#include "core/Rounding.h"
#include "games/GameMoney.h"

TEST(GameMoney, OnlyBetsAndPaysChangeTheSumAndARefusedMoveChangesNothing) {
  vx::SwitchRoundingUpward();
  std::mt19937_64 rng(7);
  for (int run = 0; run < 200; ++run) {
    uint32_t counter = static_cast<uint32_t>(rng() % 5000);
    vx::TCounterBank bank(counter);
    vx::TGameMoney m;
    // Amounts near the limits as often as small ones.
    auto amount = [&]() -> int64_t {
      switch (rng() % 4) {
        case 0: return static_cast<int64_t>(rng() % 300);
        case 1: return static_cast<int64_t>(rng() % 5000000000ull);
        case 2: return vx::TGameMoney::MaxWin - static_cast<int64_t>(rng() % 3);
        default: return -static_cast<int64_t>(rng() % 3);
      }
    };
    for (int step = 0; step < 300; ++step) {
      const auto before = std::make_tuple(counter, m.Credit(), m.Win(), m.Pending());
      const uint64_t total = m.Total(&bank);
      const int64_t a = amount();
      int64_t expected = 0;  // what the sum should move by
      bool moved = true;
      try {
        switch (rng() % 12) {
          case 0: moved = m.BuyCredit(&bank, static_cast<uint32_t>(a & 0xFFFFFFFF)); break;
          case 1: moved = m.CashOut(rng() % 5 == 0 ? nullptr : &bank) > 0 || m.Credit() == 0; break;
          case 2: moved = m.TakeBet(a); expected = moved ? -a : 0; break;
          case 3: { const int64_t w = m.Win(); m.PayWin(a); expected = m.Win() - w; } break;
          case 4: m.PayCredit(a); expected = a; break;
          case 5: m.PayPending(a); expected = a; break;
          case 6: { const int64_t w = m.Win(); m.MultiplyWin(static_cast<int32_t>(1 + rng() % 4)); expected = m.Win() - w; } break;
          case 7: expected = -static_cast<int64_t>(m.Win()); m.LoseWin(); break;
          case 8: m.CollectWin(); break;
          case 9: m.SetAsideHalf(); break;
          case 10: m.BookPending(); break;
          default: if (rng() % 10 == 0) m.Settle(&bank); break;
        }
      } catch (const EOverflow&) {
        moved = false;
        expected = 0;
      }
      if (!moved) {
        ASSERT_EQ(before, std::make_tuple(counter, m.Credit(), m.Win(), m.Pending())) << run << "/" << step;
        continue;
      }
      ASSERT_EQ(static_cast<int64_t>(m.Total(&bank)), static_cast<int64_t>(total) + expected) << run << "/" << step;
      ASSERT_GE(m.Win(), 0);
    }
  }
}
