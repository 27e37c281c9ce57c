#pragma once
// Shared running and reporting for the benchmarks. Every benchmark's main() does:
//
//   benchmark::Initialize(&argc, argv);
//   vxbench::RatioReporter reporter(vxbench::kMilliseconds);  // the unit Time() answers in
//   reporter.RunSteady();                // in place of benchmark::RunSpecifiedBenchmarks()
//   reporter.Ratio("what", "BM_Ours", "BM_Reference");        // "ratio 1.23 (spread, load)"
//   std::printf("... %s\n", reporter.Note({"BM_Ours"}).c_str());  // for a line of its own
//
// RunSteady() runs every benchmark the filter selects once, then again, in rounds, every row
// whose last kWindow times spread by kSpread or more (standard deviation over mean), until
// each is steady or has run kMaxRuns times. The rows still unsteady run side by side in each
// round, so a row and its reference are timed under the same load. A row's figure is the
// median of its last kWindow times; Time(), times[] and Ratio() answer with it. RunSteady()
// then prints one line per row: the figure, how many runs it took, their spread and the
// machine's load (the one-minute load average, against the number of processors) while the
// kept times ran; a row that never became steady says so. Ratio() and Note() print the same
// spread and load beside every figure derived from the rows. Names are as Google Benchmark
// prints them, arguments and "/real_time" or "/min_time:1.000" included.
//
// A row is timed by its CPU time (the benchmark thread's, or every thread's of the process
// with MeasureProcessCPUTime()), which a busy machine disturbs far less than the wall clock.
// A row registered with UseRealTime() or UseManualTime() is timed as it asks: use that where
// waiting is part of the cost (the disk, another thread's hand-over).
//
// RunSteady() may be called more than once (with other benchmarks registered in between);
// each call reports the rows it ran. Pass --benchmark_min_time to shorten each run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace vxbench {

// Seconds on one of the system's clocks: CLOCK_MONOTONIC for the wall, CLOCK_THREAD_CPUTIME_ID
// for the calling thread's CPU, CLOCK_PROCESS_CPUTIME_ID for every thread's (a software GL's
// rasterisers included).
inline double ClockSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

constexpr double kNanoseconds = 1e9;
constexpr double kMicroseconds = 1e6;
constexpr double kMilliseconds = 1e3;

// The repeat-until-steady rule.
constexpr size_t kWindow = 5;
constexpr double kSpread = 0.10;
constexpr size_t kMaxRuns = 20;

// The one-minute load average, or -1 where the system does not say.
inline double LoadAverage() {
  std::ifstream f("/proc/loadavg");
  double load = -1;
  if (!(f >> load)) return -1;
  return load;
}

class RatioReporter : public benchmark::BenchmarkReporter {
public:
  // unitsPerSecond: the unit the times are kept in (kNanoseconds...).
  explicit RatioReporter(double unitsPerSecond = kNanoseconds) : unitsPerSecond_(unitsPerSecond) {}

  // The figure of each row by name, in the reporter's unit.
  std::map<std::string, double> times;
  // The "items_per_second" counter of a row's last run, where the row sets items processed.
  std::map<std::string, double> perSecond;

  // What is known of one row.
  struct Row {
    std::vector<double> seconds;  // time per iteration of each run
    std::vector<double> loads;    // the load average when each run ended
    benchmark::TimeUnit unit = benchmark::kNanosecond;
    std::map<std::string, double> counters;  // of the last run
    std::string error;
    double figure = 0;  // median of the kept runs, in seconds
    double spread = 0;  // of the kept runs
    double load = -1;   // mean over the kept runs
    bool Steady() const { return seconds.size() >= kWindow && spread < kSpread; }
  };
  std::map<std::string, Row> rows;

  void RunSteady() {
    order_.clear();
    benchmark::RunSpecifiedBenchmarks(this);
    for (size_t round = 1; round < kMaxRuns; ++round) {
      std::string spec;
      for (const std::string& name : order_) {
        const Row& r = rows[name];
        if (!r.error.empty() || r.Steady()) continue;
        spec += (spec.empty() ? "" : "|") + Escape(name);
      }
      if (spec.empty()) break;
      benchmark::RunSpecifiedBenchmarks(this, "^(" + spec + ")$");
    }
    PrintRows();
  }

  // The figure of a row in the reporter's unit, or 0 when it did not run.
  double Time(const std::string& name) const {
    auto it = times.find(name);
    return it == times.end() ? 0.0 : it->second;
  }

  // "spread 2.1%, load 3.4/8" for the rows named (the largest spread, the highest load), with
  // "NOT STEADY" in front when one of them never became steady.
  std::string Note(const std::vector<std::string>& names) const {
    double spread = 0, load = -1;
    bool steady = true;
    for (const std::string& n : names) {
      auto it = rows.find(n);
      if (it == rows.end() || it->second.seconds.empty()) continue;
      spread = std::max(spread, it->second.spread);
      load = std::max(load, it->second.load);
      steady = steady && it->second.Steady();
    }
    char text[96];
    std::snprintf(text, sizeof text, "%sspread %.1f%%, load %s", steady ? "" : "NOT STEADY, ", spread * 100,
                  LoadText(load).c_str());
    return text;
  }

  // Prints "what ... ratio ours/reference (spread, load)", or that it was not measured.
  void Ratio(const char* what, const std::string& ours, const std::string& ref) const {
    const double a = Time(ours), b = Time(ref);
    if (a <= 0 || b <= 0) {
      std::printf("  %-48s not measured\n", what);
      return;
    }
    std::printf("  %-48s ratio %.2f (%s)\n", what, a / b, Note({ours, ref}).c_str());
  }

  // BenchmarkReporter: the runs are kept, not printed as they come.
  bool ReportContext(const Context&) override {
    if (started_) return true;
    started_ = true;
    const unsigned cpus = std::thread::hardware_concurrency();
    std::printf("%u processors, load %s at the start; each row runs until its last %zu times spread under %.0f%%\n",
                cpus, LoadText(LoadAverage()).c_str(), kWindow, kSpread * 100);
    std::fflush(stdout);
    return true;
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;  // aggregates of --benchmark_repetitions
      const std::string name = run.benchmark_name();
      if (std::find(order_.begin(), order_.end(), name) == order_.end()) order_.push_back(name);
      Row& row = rows[name];
      if (run.error_occurred) {
        row.error = run.error_message.empty() ? "failed" : run.error_message;
        continue;
      }
      row.unit = run.time_unit;
      const bool wall = EndsWith(name, "/real_time") || EndsWith(name, "/manual_time");
      const double t = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      row.seconds.push_back(t / benchmark::GetTimeUnitMultiplier(run.time_unit));
      row.loads.push_back(LoadAverage());
      row.counters.clear();
      for (const auto& [key, counter] : run.counters) row.counters[key] = counter.value;
      Settle(name, row);
    }
  }

private:
  static bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
  }

  static std::string LoadText(double load) {
    if (load < 0) return "unknown";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f/%u", load, std::thread::hardware_concurrency());
    return text;
  }

  // A name as an extended regular expression that matches only itself.
  static std::string Escape(const std::string& name) {
    std::string out;
    for (char c : name) {
      if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) out += '\\';
      out += c;
    }
    return out;
  }

  // The figure, spread and load of the last kWindow runs.
  void Settle(const std::string& name, Row& row) {
    const size_t n = std::min(kWindow, row.seconds.size());
    std::vector<double> kept(row.seconds.end() - static_cast<std::ptrdiff_t>(n), row.seconds.end());
    double mean = 0, load = 0;
    for (double t : kept) mean += t;
    mean /= static_cast<double>(n);
    double var = 0;
    for (double t : kept) var += (t - mean) * (t - mean);
    row.spread = n > 1 && mean > 0 ? std::sqrt(var / static_cast<double>(n - 1)) / mean : 0;
    for (size_t i = row.loads.size() - n; i < row.loads.size(); ++i) load += row.loads[i];
    row.load = row.loads.back() < 0 ? -1 : load / static_cast<double>(n);
    std::sort(kept.begin(), kept.end());
    row.figure = n % 2 == 1 ? kept[n / 2] : (kept[n / 2 - 1] + kept[n / 2]) / 2;
    times[name] = row.figure * unitsPerSecond_;
    auto it = row.counters.find("items_per_second");
    if (it != row.counters.end()) perSecond[name] = it->second;
  }

  void PrintRows() const {
    size_t width = 24;
    for (const std::string& name : order_) width = std::max(width, name.size());
    for (const std::string& name : order_) {
      const Row& r = rows.at(name);
      if (!r.error.empty()) {
        std::printf("%-*s  error: %s\n", static_cast<int>(width), name.c_str(), r.error.c_str());
        continue;
      }
      std::printf("%-*s %12.2f %-2s  %s%2zu runs, spread %5.1f%%, load %s", static_cast<int>(width), name.c_str(),
                  r.figure * benchmark::GetTimeUnitMultiplier(r.unit), benchmark::GetTimeUnitString(r.unit),
                  r.Steady() ? "" : "NOT STEADY after ", r.seconds.size(), r.spread * 100, LoadText(r.load).c_str());
      for (const auto& [key, value] : r.counters) std::printf("  %s=%.4g", key.c_str(), value);
      std::printf("\n");
    }
    std::fflush(stdout);
  }

  double unitsPerSecond_;
  std::vector<std::string> order_;  // the rows of the current RunSteady(), as first reported
  bool started_ = false;
};

}  // namespace vxbench
