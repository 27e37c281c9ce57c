#pragma once
// Shared reporting for the benchmarks: every benchmark keeps its time per iteration (the
// mean, when repetitions are asked for), converted into one unit, so that main() can print
// each measurement as a ratio against its outside reference run in the same process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace vxbench {

constexpr double kNanoseconds = 1e9;
constexpr double kMicroseconds = 1e6;
constexpr double kMilliseconds = 1e3;

class RatioReporter : public benchmark::ConsoleReporter {
public:
  // unitsPerSecond: the unit the times are kept in (kNanoseconds...).
  explicit RatioReporter(double unitsPerSecond = kNanoseconds) : unitsPerSecond_(unitsPerSecond) {}

  // Time per iteration by benchmark name (with its arguments, as printed).
  std::map<std::string, double> times;
  // The "items_per_second" counter, where a benchmark sets items processed.
  std::map<std::string, double> perSecond;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const double t = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * unitsPerSecond_;
      if (r.run_type == Run::RT_Iteration) {
        times[r.benchmark_name()] = t;
        auto it = r.counters.find("items_per_second");
        if (it != r.counters.end()) perSecond[r.benchmark_name()] = it->second;
      } else if (r.aggregate_name == "mean") {
        times[r.run_name.str()] = t;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The time of a benchmark, or 0 when it did not run.
  double Time(const std::string& name) const {
    auto it = times.find(name);
    return it == times.end() ? 0.0 : it->second;
  }

  // Prints "what ... ratio ours/reference", or that it was not measured.
  void Ratio(const char* what, const std::string& ours, const std::string& ref) const {
    const double a = Time(ours), b = Time(ref);
    if (a <= 0 || b <= 0) {
      std::printf("  %-48s not measured\n", what);
      return;
    }
    std::printf("  %-48s ratio %.2f\n", what, a / b);
  }

private:
  double unitsPerSecond_;
};

}  // namespace vxbench
