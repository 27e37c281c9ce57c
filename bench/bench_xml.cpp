// Loading and saving a casino-statistics file (players x 16 games x 15 hands; about 4.5 MB
// for 200 players) against pugixml parsing and serialising the same bytes, at 1x, 4x and
// 16x the size to show that both grow linearly. Prints the ratios: with each side freeing
// what it made inside the timing, and with the load and the parse alone.
//
// Each iteration allocates tens of megabytes. Left to its defaults the allocator hands large
// blocks back to the system at every free, and the large sizes then time the kernel's page
// faults more than either parser (pugixml's 18 MB parse took 40 times its 4.5 MB one, and no
// two runs agreed on a busy machine); so freed memory stays with the process for both sides.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tests/unit/xmlstore/GameShapes.h"

#include "bench/BenchRatio.h"

namespace {

using namespace shapes;

const char* const kHands[15] = {"HAND_FIVEOFAKIND", "HAND_ROYALFLUSH", "HAND_ROYALFLUSH_N", "HAND_STREETFLUSH",
                                "HAND_POKER",       "HAND_FULLHOUSE",  "HAND_FLUSH",        "HAND_STREET",
                                "HAND_THREEOFAKIND", "HAND_TWOPAIRS",  "HAND_HIGHPAIR",     "HAND_3XORVANTA",
                                "HAND_JACKPOT",     "HAND_LINE",       "HAND_SCATTER"};

struct Fixture {
  std::unique_ptr<TVXCasino> casino;
  std::string text;
  pugi::xml_document doc;
};

// One fixture per size, built once.
Fixture& FixtureFor(int players) {
  static std::map<int, std::unique_ptr<Fixture>> cache;
  auto& f = cache[players];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->casino = std::make_unique<TVXCasino>();
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int p = 0; p < players; ++p) {
      TPlayerStatistics* ps = f->casino->GetPlayersStatistics()->Add();
      ps->PlayerName = "Player number " + std::to_string(p);
      for (int g = 0; g < 16; ++g) {
        TGameStatictics* gs = ps->GamesStatistics->Add();
        gs->GameIDStr = "VXG_GAME_" + std::to_string(g);
        gs->CreditIn = next();
        gs->CreditOut = next();
        for (const char* hand : kHands) {
          TGameHand* h = gs->GameHands.Add();
          h->HandIDStr = hand;
          h->Value = static_cast<int32_t>(next() % 100000);
        }
      }
    }
    f->text = f->casino->GetXML();
    f->doc.load_buffer(f->text.data(), f->text.size());
  }
  return *f;
}

void SetBytes(benchmark::State& s, const Fixture& f) {
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(f.text.size()));
  s.counters["MB"] = static_cast<double>(f.text.size()) / 1e6;
}

void BM_XmlLoad(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    TVXCasino casino;
    if (casino.SetXML(f.text) != XMLReadResult::Complete) s.SkipWithError("incomplete read");
    benchmark::DoNotOptimize(casino.GetPlayersStatistics()->Count());
  }
  SetBytes(s, f);
}

void BM_PugiParse(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    pugi::xml_document doc;
    if (!doc.load_buffer(f.text.data(), f.text.size())) s.SkipWithError("pugixml parse failed");
    benchmark::DoNotOptimize(doc.first_child());
  }
  SetBytes(s, f);
}

// The load and the parse alone: each side frees what it made outside the timing.
void BM_XmlLoadOnly(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    auto casino = std::make_unique<TVXCasino>();
    if (casino->SetXML(f.text) != XMLReadResult::Complete) s.SkipWithError("incomplete read");
    benchmark::DoNotOptimize(casino->GetPlayersStatistics()->Count());
    s.PauseTiming();
    casino.reset();
    s.ResumeTiming();
  }
  SetBytes(s, f);
}

void BM_PugiParseOnly(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(f.text.data(), f.text.size())) s.SkipWithError("pugixml parse failed");
    benchmark::DoNotOptimize(doc->first_child());
    s.PauseTiming();
    doc.reset();
    s.ResumeTiming();
  }
  SetBytes(s, f);
}

void BM_XmlSave(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    std::string out = f.casino->GetXML();
    benchmark::DoNotOptimize(out.data());
  }
  SetBytes(s, f);
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void BM_PugiSave(benchmark::State& s) {
  Fixture& f = FixtureFor(static_cast<int>(s.range(0)));
  for (auto _ : s) {
    StringWriter w;
    f.doc.save(w, "", pugi::format_raw);
    benchmark::DoNotOptimize(w.out.data());
  }
  SetBytes(s, f);
}

constexpr int kSizes[] = {200, 800, 3200};

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : kSizes) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_XmlLoad)->Apply(Sizes);
BENCHMARK(BM_PugiParse)->Apply(Sizes);
BENCHMARK(BM_XmlLoadOnly)->Apply(Sizes);
BENCHMARK(BM_PugiParseOnly)->Apply(Sizes);
BENCHMARK(BM_XmlSave)->Apply(Sizes);
BENCHMARK(BM_PugiSave)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest glibc allows; the biggest file is 18 MB
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  vxbench::RatioReporter reporter(vxbench::kMilliseconds);
  reporter.RunSteady();
  std::printf("\ncasino statistics load/save against pugixml on the same bytes (ratio = ours / pugixml):\n");
  for (int n : kSizes) {
    const std::string arg = "/" + std::to_string(n);
    const double load = reporter.times["BM_XmlLoad" + arg], parse = reporter.times["BM_PugiParse" + arg];
    const double loadOnly = reporter.times["BM_XmlLoadOnly" + arg], parseOnly = reporter.times["BM_PugiParseOnly" + arg];
    const double save = reporter.times["BM_XmlSave" + arg], ser = reporter.times["BM_PugiSave" + arg];
    if (load <= 0 || parse <= 0 || save <= 0 || ser <= 0) continue;
    const double mb = static_cast<double>(FixtureFor(n).text.size()) / 1e6;
    std::printf("  %5d players (%6.1f MB): load %8.2f ms vs parse %7.2f ms, ratio %5.2f | save %8.2f ms vs "
                "serialise %7.2f ms, ratio %5.2f | ours %.2f ms/MB load, %.2f ms/MB save (%s)\n",
                n, mb, load, parse, load / parse, save, ser, save / ser, load / mb, save / mb,
                reporter.Note({"BM_XmlLoad" + arg, "BM_PugiParse" + arg, "BM_XmlSave" + arg, "BM_PugiSave" + arg}).c_str());
    if (loadOnly > 0 && parseOnly > 0)
      std::printf("  %5d players, freeing outside the timing: load %8.2f ms vs parse %7.2f ms, ratio %5.2f (%s)\n", n,
                  loadOnly, parseOnly, loadOnly / parseOnly,
                  reporter.Note({"BM_XmlLoadOnly" + arg, "BM_PugiParseOnly" + arg}).c_str());
  }
  return 0;
}
