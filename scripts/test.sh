#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole test suite,
# then gives every fuzz target a short run on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset debug -DVX_WERROR=ON >/dev/null
cmake --build --preset debug -j "$jobs"
# Slow tests run in their short form here (the tests look only at whether VX_QUICK is set);
# VX_FULL=1 runs them whole.
if [ "${VX_FULL:-0}" = 1 ]; then
  unset VX_QUICK
else
  export VX_QUICK=1
fi
ctest --test-dir build/debug --output-on-failure -j "$jobs"

if [ "${VX_SKIP_FUZZ:-0}" != 1 ]; then
  bash scripts/fuzz.sh "${VX_FUZZ_SECONDS:-15}"
fi
