// The save after every round: the players (20, the one in play among them), the casino's
// statistics (20 players, 12 games each with their hands) and the game's data, written as
// one through the journal with every flush, against the same bytes put in place as a single
// durable file (ratio = ours / single file) and against the 16.7 ms frame budget.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "games/GameData.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "platform/Files.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

struct Fixture {
  std::string dir;
  TVXPlayers players;
  TVXCasino casino;
  TPokerData data;
  size_t bytes = 0;

  Fixture() {
    dir = (fs::temp_directory_path() / ("vx_bench_roundsave_" + std::to_string(::getpid()))).string();
    fs::create_directories(dir + "/Players");
    fs::create_directories(dir + "/Casinos/Main");
    players.FileName = dir + "/Players/players.xml";
    for (int i = 0; i < 20; ++i) {
      TVXPlayer* p = players.Add();
      p->PlayerName = "Player " + std::to_string(i);
      p->Password = "pw";
      p->Bank = 1000u + static_cast<uint32_t>(i);
      TPlayerStatistics* record = casino.FindPlayerStatistics(p->PlayerName, true);
      for (int g = 0; g < 12; ++g) {
        TGameStatictics* game = record->FindGameStatistics("VXG_GAME_" + std::to_string(g), true);
        game->CreditIn = 500;
        for (int h = 0; h < 10; ++h) game->FindHand("HAND_" + std::to_string(h), true)->Value = h;
      }
    }
    casino.StatisticsFile = dir + "/Casinos/Main/casino.xml";
    data.FileName = dir + "/Casinos/Main/VXG_GAME_0.dat";
    data.Money.Reset(140);
    bytes = players.FileText().size() + casino.GetXML().size() + data.FileText().size();
  }
  ~Fixture() { fs::remove_all(dir); }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

void BM_RoundSave(benchmark::State& s) {
  Fixture& f = TheFixture();
  for (auto _ : s)
    if (!vx::SaveProgressAsIfLeft(f.players, *f.players.Items(3), f.casino, f.data, "VXG_GAME_0"))
      s.SkipWithError("not saved");
}
BENCHMARK(BM_RoundSave)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_OneDurableFile(benchmark::State& s) {
  Fixture& f = TheFixture();
  const std::string bytes(f.bytes, 'x');
  for (auto _ : s) vx::WriteFileAtomic(f.dir + "/one.bin", bytes);
}
BENCHMARK(BM_OneDurableFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nsave after a round (%zu bytes in three files):\n", TheFixture().bytes);
  reporter.Ratio("journaled save of three files vs one durable file", "BM_RoundSave/min_time:1.000",
                 "BM_OneDurableFile/min_time:1.000");
  const double ms = reporter.Time("BM_RoundSave/min_time:1.000");
  if (ms > 0) std::printf("  %-48s %.2f ms, %.0f%% of a 16.7 ms frame\n", "per round", ms, ms / 16.7 * 100);
  return 0;
}
