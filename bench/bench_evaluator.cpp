// Hands evaluated per second, over every hand of one machine's deck, against the evaluator
// as it was before (kept below as the reference) and against the same enumeration that
// only reads the hands (the cost of the loop itself). Prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "games/GameManager.h"
#include "games/HandEvaluator.h"
#include "games/PokerVariants.h"

#include "bench/BenchRatio.h"
#include "bench/EvaluatorReference.inc"

namespace {

struct Machine {
  std::vector<int32_t> deck;
  vx::THandCodeSet table = 0;
  bool deucesWild = false;
};

Machine MachineOf(int gameID) {
  static TVXGameManager games;
  const vx::TPokerVariant* v = vx::FindPokerVariant(gameID);
  Machine m;
  for (int32_t n = 1; n <= 54; ++n)
    if (v->DealsCard(n)) m.deck.push_back(n);
  m.table = games.FindGameByID(gameID)->HandCodes();
  m.deucesWild = v->DeucesWild();
  return m;
}

template <typename F>
int64_t ForEachHand(const std::vector<int32_t>& deck, F&& f) {
  const int n = static_cast<int>(deck.size());
  int32_t c[5];
  int64_t hands = 0;
  for (int a = 0; a < n; ++a) {
    c[0] = deck[static_cast<size_t>(a)];
    for (int b = a + 1; b < n; ++b) {
      c[1] = deck[static_cast<size_t>(b)];
      for (int d = b + 1; d < n; ++d) {
        c[2] = deck[static_cast<size_t>(d)];
        for (int e = d + 1; e < n; ++e) {
          c[3] = deck[static_cast<size_t>(e)];
          for (int g = e + 1; g < n; ++g, ++hands) {
            c[4] = deck[static_cast<size_t>(g)];
            f(c);
          }
        }
      }
    }
  }
  return hands;
}

// Reference: the enumeration, reading each hand's five cards.
void BM_EnumerateOnly(benchmark::State& s) {
  const Machine m = MachineOf(static_cast<int>(s.range(0)));
  int64_t hands = 0;
  for (auto _ : s) {
    int32_t sum = 0;
    hands += ForEachHand(m.deck, [&](const int32_t* c) { sum += c[0] ^ c[1] ^ c[2] ^ c[3] ^ c[4]; });
    benchmark::DoNotOptimize(sum);
  }
  s.SetItemsProcessed(hands);
}

template <int32_t (*Evaluate)(vx::THandCodeSet, const int32_t*, bool, int32_t, vx::THandEvaluation&)>
void BM_Evaluate(benchmark::State& s) {
  const Machine m = MachineOf(static_cast<int>(s.range(0)));
  int64_t hands = 0;
  for (auto _ : s) {
    int32_t sum = 0;
    vx::THandEvaluation e;
    hands += ForEachHand(m.deck, [&](const int32_t* c) { sum += Evaluate(m.table, c, m.deucesWild, 7, e); });
    benchmark::DoNotOptimize(sum);
  }
  s.SetItemsProcessed(hands);
}

// Jacks or better (52 cards, no wild card) and jokers and deuces (53 cards, both wild rules).
BENCHMARK(BM_EnumerateOnly)->Arg(10)->Arg(13)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Evaluate<vx::EvaluateCardsCode>)->Name("BM_Evaluate")->Arg(10)->Arg(13)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Evaluate<vx::reference::EvaluateCardsCode>)
    ->Name("BM_EvaluateReference")
    ->Arg(10)
    ->Arg(13)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kNanoseconds);
  reporter.RunSteady();
  std::printf("\nhand evaluator against the bare enumeration (time per full deck; ratio = ours / reference):\n");
  for (const char* game : {"10", "13"}) {
    const std::string ours = std::string("BM_Evaluate/") + game, ref = std::string("BM_EnumerateOnly/") + game;
    auto a = reporter.times.find(ours), b = reporter.times.find(ref);
    if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0) continue;
    std::printf("  game %-3s %12.0f hands/s evaluated, %12.0f hands/s enumerated, ratio %.2f (%s)\n", game,
                reporter.perSecond[ours], reporter.perSecond[ref], a->second / b->second, reporter.Note({ours, ref}).c_str());
    const std::string before = std::string("BM_EvaluateReference/") + game;
    std::printf("  game %-3s %12.0f hands/s by the previous evaluator, ", game, reporter.perSecond[before]);
    reporter.Ratio("speed-up (previous / ours, time)", before, ours);
  }
  return 0;
}
