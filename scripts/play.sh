#!/usr/bin/env bash
# Installs what is missing, builds the game and its resource files, and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
if [ ! -x build/vornast ]; then
  echo "The game program is not built yet." >&2
  exit 1
fi
cd build
exec ./vornast "$@"
