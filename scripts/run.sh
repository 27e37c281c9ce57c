#!/usr/bin/env bash
# Installs what is missing, builds the game, generates its data and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
cd build/release/program
exec ./vxcasino
