#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a normal build and
# once with AddressSanitizer and UndefinedBehaviorSanitizer; then the image decoders are fuzzed
# briefly. Tests always run headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

JOBS=$(nproc)
export ZN_VIDEO=headless

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$JOBS"
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

run_suite build -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" \
    -DZN_SANITIZE=ON -DZN_BUILD_BENCHMARKS=OFF

bash scripts/fuzz-briefly.sh
