#!/usr/bin/env bash
# Installs what is missing, builds the game program (and, when the resource tool exists, the
# resource files it makes) and runs it. Tests and benchmarks are left out of this build.
set -euo pipefail
cd "$(dirname "$0")/.."

# A build folder of its own: the test script's build keeps its tests and benchmarks.
dir=build-play
bash scripts/install-deps.sh
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZN_BUILD_TESTS=OFF \
  -DZN_BUILD_BENCHMARKS=OFF
targets=(vornast)
if ninja -C "$dir" -t targets all | grep -q '^tools:'; then
  targets+=(tools)
fi
if ! cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"; then
  echo "The game program could not be built." >&2
  exit 1
fi
cd "$dir"
exec ./vornast "$@"
