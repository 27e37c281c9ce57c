// The slot machines on the real program: the real main window (SDL's offscreen driver, the GPU
// device on Mesa's software GL, the generated data and themes) and the real lobby, driven
// through window events only. A new player signs up, then enters each slot machine from the
// lobby by a click on its logo, spins a few dozen times by clicking SPIN (and clicking it
// again to stop the reels early), collects every win with CASH, tries the double-up now and
// then, lowers the bet with BET1, and leaves through EXIT. The program is closed through the
// menu and its files are read back: each machine's credit in casino.xml, its data file, and a
// bank in players.xml that is exactly 1000 minus every credit taken plus every credit cashed.
//
// VX_SLOTS_MACHINES="31,33" plays only those machines (ctest runs each machine on its own);
// VX_QUICK spins 6 times on each machine instead of 24.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "app/MainForm.h"
#include "core/Log.h"
#include "games/Slots.h"
#include "games/SlotsScene.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kStartingBank = 1000;

struct Machine : vxe2e::Visit {
  int Spins = 0, Stops = 0, Wins = 0, Gambles = 0;
  int64_t CreditIn = 0;
};

class SlotsTour : public vxe2e::MachineTour<TSlots, Machine> {
public:
  SlotsTour(TfrmMain& form, const std::vector<int32_t>& ids, int spinsEach)
      : MachineTour(form, ids, "SPINNER", "REELS7"), spinsEach_(spinsEach) {}

private:
  std::string Where() const override {
    return MachineTour::Where() + (next_ < machines_.size() ? ", spin " + std::to_string(Current().Spins) : "");
  }
  void Arrived(TSlots& g) override {
    Machine& m = Current();
    // Three hundreds from the bank, the opening bet on both sides, the machine's music.
    EXPECT_EQ(g.Data->Money.Credit(), 300u) << Where();
    EXPECT_EQ(Bank(), lastBank_ - 300) << Where();
    EXPECT_EQ(g.Data->GetBet(), m.Id == 32 ? 2 : 16) << Where();
    EXPECT_EQ(g.GetScene()->MusicStyle, m.Id >= 33 ? 5 : 4);
    m.CreditIn = 300;
  }
  void Play(TSlots& g) override;

  int spinsEach_;
  // The books at the last spin's click: credit, what was staked and paid so far.
  int64_t credit0_ = 0, bets0_ = 0, paid0_ = 0, spins0_ = 0;
  bool awaiting_ = false, stopPressed_ = false, gambled_ = false;
};

void SlotsTour::Play(TSlots& g) {
  Machine& m = Current();
  TSlotsScene& s = *g.SlotsScene;
  if (g.Round.State() == 4) {
    // Reels running after a SPIN: SPIN again stops them early. Free games run on their own.
    if (awaiting_ && !stopPressed_ && g.Returns.Spins == spins0_ + 1) {
      stopPressed_ = true;
      ++m.Stops;
      Act(s.BtnSpin, 4);
    }
    return;
  }
  if (g.Round.State() == 1) return;
  if (awaiting_) {
    if (g.Returns.Spins != spins0_ + 1) return;  // the click is still on its way
    awaiting_ = false;
    Progressed();
    // The spin's books: the bet taken, the credit moved only by what the machine paid into
    // it (pools, bell), a win waiting in the win label.
    const int64_t paidNow = g.Returns.Paid() - paid0_;
    const int64_t staked = g.Returns.Bets - bets0_;
    EXPECT_EQ(static_cast<int64_t>(g.Data->Money.Credit()) + g.Data->Money.Win(), credit0_ - staked + paidNow) << Where();
    EXPECT_EQ(vx::LabelValue(s.LblCreditV), g.Data->Money.Credit()) << Where();
    EXPECT_EQ(vx::LabelValue(s.LblWinV), g.Data->Money.Win()) << Where();
    if (g.Data->Money.Win() > 0) ++m.Wins;
  }
  if (g.Round.State() == 7) {
    // A double-up card: SMALL or BIG.
    Act(s.HoldButtons[static_cast<size_t>(m.Gambles % 2 == 0 ? 0 : 2)], 30);
    return;
  }
  if (g.Round.State() == 5) {
    // Now and then the double-up, otherwise CASH.
    if (m.Wins % 4 == 1 && !gambled_) {
      gambled_ = true;
      ++m.Gambles;
      Act(s.HoldButtons[1], 30);
    } else {
      Act(s.BtnCashAll, 20);
    }
    return;
  }
  gambled_ = false;
  if (!g.ReelsStill()) return;
  if (m.Spins >= spinsEach_ || static_cast<int64_t>(g.Data->Money.Credit()) < g.Data->GetBet()) {
    Leave(g.Data->Money.Credit());
    return;
  }
  if (m.Spins == 3 && g.Data->GetBet() > 1) {
    // BET1 after a spin starts the sides again: one coin on side 1.
    Act(s.BtnBet1, 10);
    return;
  }
  credit0_ = g.Data->Money.Credit();
  bets0_ = g.Returns.Bets;
  paid0_ = g.Returns.Paid();
  spins0_ = g.Returns.Spins;
  ++m.Spins;
  awaiting_ = true;
  stopPressed_ = false;
  Act(s.BtnSpin, 6);
}

TEST(SlotsEndToEnd, EveryLayoutFromTheLobbyKeepsEveryCoinAccounted) {
  ASSERT_TRUE(fs::exists(fs::path(VX_PROGRAM_DIR) / "Data" / "fonts.vxr")) << "the game data is not generated";
  const int spinsEach = std::getenv("VX_QUICK") != nullptr ? 6 : 24;
  // The generous machines first, so the bank can open the others.
  const std::vector<int32_t> ids = vxe2e::MachinesToPlay("VX_SLOTS_MACHINES", {31, 33, 32, 34});

  vxe2e::TourRun run;
  const auto tour = run.Run<SlotsTour>(ids, spinsEach);
  ASSERT_TRUE(tour);
  std::printf("%-4s %5s %5s %5s %7s %8s\n", "id", "spins", "stops", "wins", "gambles", "cashed");
  for (const Machine& m : tour->Machines())
    std::printf("%-4d %5d %5d %5d %7d %8u\n", m.Id, m.Spins, m.Stops, m.Wins, m.Gambles, m.CreditAtExit);
  std::printf("%.1f s\n", run.Seconds);

  const int64_t bank = vxe2e::PlayerBank(run.Program, "SPINNER");
  const fs::path casinoFolder = run.Program / "Casinos" / "VideoPokerCasino";
  const std::string casino = vxtest::TempDir::ReadFile((casinoFolder / "casino.xml").string());
  int64_t in = 0, out = 0;
  for (const Machine& m : tour->Machines()) {
    SCOPED_TRACE("machine " + std::to_string(m.Id));
    EXPECT_TRUE(m.Entered && m.Left);
    EXPECT_GT(m.Spins, 0);
    const vxe2e::CasinoRecord r = vxe2e::ReadCasinoRecord(casino, m.IDStr);
    ASSERT_TRUE(r.Found) << casino;
    EXPECT_EQ(r.CreditIn, m.CreditIn);
    EXPECT_EQ(r.CreditOut, m.CreditAtExit);
    in += m.CreditIn;
    out += m.CreditAtExit;
    // The machine's data file is written on leaving and holds nothing of the visit's counters.
    const std::string data = vxtest::TempDir::ReadFile((casinoFolder / (m.IDStr + ".dat")).string());
    EXPECT_NE(data.find("<SlotsData>"), std::string::npos) << data;
    EXPECT_EQ(data.find("Pool"), std::string::npos) << data;
  }
  EXPECT_EQ(bank, kStartingBank - in + out);
  EXPECT_EQ(bank, tour->LastBank());
  EXPECT_EQ(tour->Boxes().size(), 1 + tour->Machines().size()) << "the sign-up box and one exit question per machine";
  for (const std::string& line : vx::LogLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
  vx::MainPump().ResetForTests();
}

}  // namespace
