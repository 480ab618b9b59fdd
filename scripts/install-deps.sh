#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the game need, when missing.
# Safe to run again: nothing happens when all packages are present.
set -euo pipefail

PACKAGES=(
  build-essential
  ninja-build
  cmake
  pkg-config
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libsdl2-dev
  zlib1g-dev
  libpng-dev
  libjpeg-dev
  libogg-dev
  libvorbis-dev
  libmpg123-dev
  libmp3lame-dev
  libfreetype-dev
  libavformat-dev
  libavcodec-dev
  libswscale-dev
  libswresample-dev
  fonts-ipafont-gothic
  clang
  libclang-rt-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
