#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds on its corpus,
# one target per core at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
jobs=$(nproc)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

results=$(mktemp -d)
run_one() {
  local src=$1 name bin work seeds
  name=$(basename "$src" .cpp)
  bin=build/fuzz/fuzzbin/$name
  if [ ! -x "$bin" ]; then
    echo "fuzz: $name was not built" >"$results/$name.failed"
    return
  fi
  work=$(mktemp -d)
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=""
  if "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=0 \
       "$work" $seeds >"$work.log" 2>&1; then
    touch "$results/$name.passed"
  else
    { echo "fuzz: $name FAILED"; tail -n 40 "$work.log"; } >"$results/$name.failed"
  fi
  rm -rf "$work" "$work.log"
}

for src in tests/fuzz/fuzz_*.cpp; do
  [ -e "$src" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_one "$src" &
done
wait

cat "$results"/*.failed 2>/dev/null || true
ran=$(find "$results" -name '*.passed' | wc -l)
failed=$(find "$results" -name '*.failed' | wc -l)
rm -rf "$results"
echo "fuzz: $ran passed, $failed failed"
[ "$failed" -eq 0 ]
