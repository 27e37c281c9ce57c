// The video-poker round's own work per hand: dealing fifteen cards by rejection, judging the
// shown hand against the pay table and choosing the automatic holds; and whole rounds (deal,
// draw, collect) through the game's buttons with the screen's labels, without any wait.
// The outside reference is the standard library dealing five cards the textbook way
// (std::shuffle of a deck with std::mt19937, then std::sort). Prints the ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/Random.h"
#include "framework/VXWidgets.h"
#include "games/GameManager.h"
#include "games/Poker.h"
#include "games/PokerScene.h"
#include "games/VXCard.h"

#include "bench/BenchRatio.h"

namespace {

TVXGameManager& Catalogue() {
  static TVXGameManager games;
  return games;
}

void BM_ReferenceShuffleDeal(benchmark::State& s) {
  std::mt19937 rng(12345);
  std::vector<int32_t> deck(52);
  std::iota(deck.begin(), deck.end(), 1);
  int64_t sum = 0;
  for (auto _ : s) {
    std::shuffle(deck.begin(), deck.end(), rng);
    std::sort(deck.begin(), deck.begin() + 5);
    sum += deck[0] + deck[4];
  }
  benchmark::DoNotOptimize(sum);
  s.SetItemsProcessed(s.iterations());
}

void BM_PokerHandLogic(benchmark::State& s) {
  vx::SetRng(std::make_unique<vx::DefaultRandom>(777));
  TPoker game(Catalogue().FindGameByID(static_cast<int32_t>(s.range(0))), nullptr, nullptr);
  game.StopDemo();
  game.Data->Bet = game.Data->MinBet;
  int64_t sum = 0;
  for (auto _ : s) {
    game.Deal(15, false, 0);
    for (int i = 0; i < 5; ++i) game.PokerScene->Cards[i]->SetNumber(game.Data->Cards[static_cast<size_t>(i)]);
    const vx::THandEvaluation e = game.EvaluateShown();
    game.AutoHold(e, false);
    sum += game.WinOf(e) + game.AnyHeldCount();
  }
  benchmark::DoNotOptimize(sum);
  s.SetItemsProcessed(s.iterations());
  vx::SetRng(nullptr);
}

void BM_PokerWholeRound(benchmark::State& s) {
  vx::SetRng(std::make_unique<vx::DefaultRandom>(778));
  TPoker game(Catalogue().FindGameByID(static_cast<int32_t>(s.range(0))), nullptr, nullptr);
  game.Data->Money.Reset(1000000u, game.Data->Money.Win());
  game.UpdateCredit();
  int64_t rounds = 0;
  for (auto _ : s) {
    game.DealClick();
    // A folded hand deals again: draw until the round has a result.
    for (int i = 0; i < 1000 && game.Round.State() == vx::rsHolding; ++i) game.DealClick();
    if (game.Round.State() != vx::rsIdle) game.CashClick();
    if (game.Round.State() != vx::rsIdle) {
      s.SkipWithError(("the round did not end, state " + std::to_string(game.Round.State())).c_str());
      break;
    }
    if (game.Data->Money.Credit() < 1000u || game.Data->Money.Credit() > 100000000u) game.Data->Money.Reset(1000000u, game.Data->Money.Win());
    ++rounds;
  }
  s.SetItemsProcessed(rounds);
  vx::SetRng(nullptr);
}

BENCHMARK(BM_ReferenceShuffleDeal);
BENCHMARK(BM_PokerHandLogic)->Arg(10)->Arg(13);
BENCHMARK(BM_PokerWholeRound)->Arg(10)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  const auto ref = reporter.times.find("BM_ReferenceShuffleDeal");
  if (ref == reporter.times.end() || ref->second <= 0) return 0;
  std::printf("\nvideo poker against a standard-library deal (time per hand; ratio = ours / reference):\n");
  for (const auto& [name, ns] : reporter.times) {
    if (name == ref->first) continue;
    std::printf("  %-28s %12.0f ns  ratio %8.2f  (%.4f of a 16.7 ms frame; %s)\n", name.c_str(), ns, ns / ref->second,
                ns / 16.7e6, reporter.Note({name, ref->first}).c_str());
  }
  return 0;
}
