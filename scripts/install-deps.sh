#!/usr/bin/env bash
# Installs every Debian package the build, the data generator, the tests and the
# benchmarks need. Idempotent: does nothing when everything is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev git
  # window, input, timers, GL context; audio and MIDI
  libsdl2-dev libsdl2-mixer-dev
  # GPU drawing on Mesa (software GL for headless tests)
  libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libgles-dev
  # archives, pictures, text
  zlib1g-dev libjpeg62-turbo-dev libfreetype-dev fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra
  # build-time art
  libcairo2-dev
  # General MIDI soundfont for the music
  timgm6mb-soundfont
  # tests, benchmarks and test oracles
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libgif-dev libexpat1-dev libpugixml-dev
  libpixman-1-dev libxml2-dev
  # screenshots of a real X window
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
