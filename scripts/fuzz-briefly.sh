#!/usr/bin/env bash
# Builds the image decoders' libFuzzer targets with clang and runs each one briefly, starting
# from small valid files of its format. A crash, leak, hang or out-of-bounds access fails.
# ZN_FUZZ_SECONDS sets the time per target (default 5). Every run starts from the generated
# seeds with a fresh corpus inside the build folder, and crash artifacts are written there too,
# so nothing the fuzzer finds lands in the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${ZN_FUZZ_SECONDS:-5}
dir=build-fuzz

cmake -S . -B "$dir" -G Ninja -DZN_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Release -DZN_BUILD_TESTS=OFF -DZN_BUILD_BENCHMARKS=OFF
cmake --build "$dir" --target zn_fuzz -j "$(nproc)"

rm -rf "$dir/seeds"
"$dir/zn_fuzz_seeds" "$dir/seeds"
"$dir/zn_fuzz_archive_seeds" "$dir/seeds/archive"
"$dir/zn_fuzz_movie_seeds" "$dir/seeds/movie_open"
mkdir -p "$dir/seeds/http_reply"
printf 'HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello' > "$dir/seeds/http_reply/reply"

rm -rf "$dir/corpus" "$dir/artifacts"
for target in "$dir"/*_fuzz; do
  name=$(basename "$target" _fuzz)
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [ -d "$dir/seeds/$name" ] && seeds=("$dir/seeds/$name")
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=30 \
       -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" > "$dir/$name.log" 2>&1; then
    tail -n 40 "$dir/$name.log"
    echo "fuzz: $name failed (artifacts in $artifacts)" >&2
    exit 1
  fi
  echo "fuzz: $name ran ${seconds}s clean ($(ls "$corpus" | wc -l) corpus files)"
done
