#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds on its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
jobs=$(nproc)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

failed=0
ran=0
for src in tests/fuzz/fuzz_*.cpp; do
  [ -e "$src" ] || continue
  name=$(basename "$src" .cpp)
  bin=build/fuzz/fuzzbin/$name
  [ -x "$bin" ] || { echo "fuzz: $name was not built"; failed=$((failed+1)); continue; }
  work=$(mktemp -d)
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=""
  if "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=0 \
       "$work" $seeds >"$work.log" 2>&1; then
    ran=$((ran+1))
  else
    echo "fuzz: $name FAILED"; tail -n 40 "$work.log"; failed=$((failed+1))
  fi
  rm -rf "$work" "$work.log"
done
echo "fuzz: $ran passed, $failed failed"
[ "$failed" -eq 0 ]
