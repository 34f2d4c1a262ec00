#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs the state chunk fuzzer.
# Usage: fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVANE_FUZZ=ON -DTORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target chunk_fuzzer >/dev/null
corpus="$build/chunk-corpus"
mkdir -p "$corpus"
log="$build/chunk-fuzzer.log"
status=0
"$build/fuzz/chunk_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" >"$log" 2>&1 ||
  status=$?
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log"
else
  grep -E '^Done' "$log"
fi
exit "$status"
