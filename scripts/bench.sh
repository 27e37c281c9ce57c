#!/usr/bin/env bash
# Builds the release preset and runs every benchmark; each prints its ratio to a reference.
# Every row runs at least five times, until its spread is under 10% (bench/BenchRatio.h), and
# each figure is printed with the machine's load beside it; pass --benchmark_filter=... to run
# fewer rows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
for b in build/release/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2 "$@"
done
