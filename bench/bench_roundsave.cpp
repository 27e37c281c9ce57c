// The save after every round: the players (20, the one in play among them), the casino's
// statistics (20 players, 12 games each with their hands) and the game's data. Before, the
// main thread wrote all three files whole through the journal with every flush; now it
// takes a small record and one writer thread puts it in place. Printed: the main thread's
// time per round (what a frame feels) before and after, both as a ratio against the same
// bytes put in place as a single durable file, the writer's own time, and the bytes and
// the flushes and renames of one round; and a winning round since its bet and its outcome are
// committed as they happen (two records waited for on the main thread).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "core/Checked.h"
#include "games/GameData.h"
#include "lobby/VXCasino.h"
#include "lobby/VXPlayers.h"
#include "lobby/VXRoundSave.h"
#include "platform/Files.h"

#include "bench/BenchRatio.h"

namespace fs = std::filesystem;

namespace {

struct Fixture {
  std::string dir;
  TVXPlayers players;
  TVXCasino casino;
  TPokerData data;

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
    data.CountHand("HAND_3");
  }
  ~Fixture() { fs::remove_all(dir); }

  const TVXPlayer& Player() const { return *players.Items(3); }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

// The save as the main thread made it before: whole copies of the players and of the
// statistics with the round in them, and the three files written through the journal.
std::vector<vx::XMLFileText> WholeFiles(const Fixture& f) {
  TVXPlayers list;
  list.SetXML(f.players.GetXML());
  list.FileName = f.players.FileName;
  list.FindPlayer(f.Player().PlayerName)->Bank = vx::CheckedAddU32(f.Player().Bank, f.data.Money.Credit());
  TVXCasino statistics;
  statistics.SetXML(f.casino.GetXML());
  TGameStatictics* record =
      statistics.FindPlayerStatistics(f.Player().PlayerName, true)->FindGameStatistics("VXG_GAME_0", true);
  f.data.MergeInto(record);
  record->CreditOut = vx::CheckedAddU32(record->CreditOut, f.data.Money.Credit());
  return {{f.casino.StatisticsFile, statistics.GetXML()}, {f.data.FileName, f.data.FileText()}};
}
bool SaveWholeFiles(Fixture& f) { return vx::SaveProgress(&f.players, nullptr, WholeFiles(f)); }

// Every round leaves a record of its own (a record equal to the last is not written again).
bool SaveRecord(Fixture& f) {
  f.data.Money.Reset(f.data.Money.Credit() ^ 1u);
  return vx::SaveRoundInBackground(f.players, f.Player(), f.casino, f.data, "VXG_GAME_0");
}

void BM_MainThreadBefore(benchmark::State& s) {
  Fixture& f = TheFixture();
  for (auto _ : s)
    if (!SaveWholeFiles(f)) s.SkipWithError("not saved");
}
BENCHMARK(BM_MainThreadBefore)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// Rounds are seconds apart: each round finds the writer idle, so the wait between them is
// left out of the time.
void BM_MainThreadAfter(benchmark::State& s) {
  Fixture& f = TheFixture();
  for (auto _ : s) {
    if (!SaveRecord(f)) s.SkipWithError("not saved");
    s.PauseTiming();
    vx::WaitForRoundSaves();
    s.ResumeTiming();
  }
}
BENCHMARK(BM_MainThreadAfter)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// The writer's own time for one round (queued, written, flushed), off the main thread.
void BM_WriterAfter(benchmark::State& s) {
  Fixture& f = TheFixture();
  for (auto _ : s) {
    if (!SaveRecord(f)) s.SkipWithError("not saved");
    vx::WaitForRoundSaves();
  }
}
BENCHMARK(BM_WriterAfter)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// A whole round at the machine as the main thread feels it since bets and outcomes are
// committed: the bet and the winning draw each wait for their record on disk; the collect
// and the round's end change no money and write nothing new.
void RoundWithCommits(Fixture& f) {
  f.data.Money.TakeBet(10);
  vx::CommitRound(f.players, f.Player(), f.casino, f.data, "VXG_GAME_0");
  f.data.Money.PayWin(20);
  f.data.DecidedHand = "HAND_3";
  vx::CommitRound(f.players, f.Player(), f.casino, f.data, "VXG_GAME_0");
  f.data.Money.CollectWin();
  f.data.CountHand("HAND_3");
  f.data.DecidedHand.clear();
  vx::SaveRoundInBackground(f.players, f.Player(), f.casino, f.data, "VXG_GAME_0");
}

void BM_RoundWithCommits(benchmark::State& s) {
  Fixture& f = TheFixture();
  for (auto _ : s) {
    RoundWithCommits(f);
    s.PauseTiming();
    vx::WaitForRoundSaves();
    s.ResumeTiming();
  }
}
BENCHMARK(BM_RoundWithCommits)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_OneDurableFile(benchmark::State& s) {
  Fixture& f = TheFixture();
  size_t bytes = f.players.FileText().size();
  for (const vx::XMLFileText& file : WholeFiles(f)) bytes += file.Text.size();
  const std::string text(bytes, 'x');
  for (auto _ : s) vx::WriteFileAtomic(f.dir + "/one.bin", text);
}
BENCHMARK(BM_OneDurableFile)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// Flushes and renames of one call.
int Steps(const std::function<void()>& save) {
  vx::StopFilesAfterStepsForTests(-1);
  save();
  vx::WaitForRoundSaves();
  return vx::FileStepsForTests();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  Fixture& f = TheFixture();
  size_t before = f.players.FileText().size();
  for (const vx::XMLFileText& file : WholeFiles(f)) before += file.Text.size();
  const size_t after = vx::RoundRecordText(f.players, f.Player(), f.casino, f.data, "VXG_GAME_0").value_or("").size();
  const int stepsBefore = Steps([&] { SaveWholeFiles(f); });
  const int stepsAfter = Steps([&] { SaveRecord(f); });
  const int stepsCommits = Steps([&] { RoundWithCommits(f); });

  const std::string ref = "BM_OneDurableFile/min_time:1.000/real_time";
  const double msBefore = reporter.Time("BM_MainThreadBefore/min_time:1.000/real_time");
  const double msAfter = reporter.Time("BM_MainThreadAfter/min_time:1.000/real_time");
  std::printf("\nsave after a round:\n");
  reporter.Ratio("main thread before vs one durable file", "BM_MainThreadBefore/min_time:1.000/real_time", ref);
  reporter.Ratio("main thread after vs one durable file", "BM_MainThreadAfter/min_time:1.000/real_time", ref);
  reporter.Ratio("writer thread after vs one durable file", "BM_WriterAfter/min_time:1.000/real_time", ref);
  if (msBefore > 0 && msAfter > 0) {
    std::printf("  %-48s %.3f ms before, %.3f ms after (%.0fx less), %.1f%% of a 16.7 ms frame (%s)\n",
                "main thread blocked per round", msBefore, msAfter, msBefore / msAfter, msAfter / 16.7 * 100,
                reporter.Note({"BM_MainThreadBefore/min_time:1.000/real_time", "BM_MainThreadAfter/min_time:1.000/real_time"}).c_str());
  }
  std::printf("  %-48s %zu before, %zu after\n", "bytes written per round", before, after);
  std::printf("  %-48s %d before, %d after\n", "flushes and renames per round", stepsBefore, stepsAfter);
  const double msCommits = reporter.Time("BM_RoundWithCommits/min_time:1.000");
  if (msAfter > 0 && msCommits > 0)
    std::printf("  %-48s %.3f ms (round's end only) -> %.3f ms (bet and win committed), %.1f%% of a 16.7 ms frame\n",
                "main thread per winning round", msAfter, msCommits, msCommits / 16.7 * 100);
  std::printf("  %-48s %d\n", "flushes and renames of a winning round", stepsCommits);
  return 0;
}
