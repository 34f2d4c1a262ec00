#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them one after another.
# Each run starts from the committed seeds and regression inputs
# (fuzz/corpus/TARGET, fuzz/regressions/TARGET), which it replays first, and
# keeps what it finds in build/fuzz/corpus/TARGET for the next run. Crash
# inputs land in build/fuzz/artifacts.
# Usage: fuzz.sh [TARGET|all] [SECONDS]   (default: all targets, 60 seconds each)
# Targets: chunk_fuzzer png_fuzzer host_fuzzer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
seconds=${2:-60}
build="$root/build/fuzz"
all=(chunk_fuzzer png_fuzzer host_fuzzer)

# Per target: the longest input (a chunk a host could hand over, a small PNG
# file, a session script of a few dozen host calls), and the largest single
# allocation it may make: an image within the fuzz build's small pixel cap
# needs little, block buffers of the largest block size need 8 MB each.
options() {
  case "$1" in
    chunk_fuzzer) echo -max_len=4096 -malloc_limit_mb=64 ;;
    png_fuzzer) echo -max_len=16384 -malloc_limit_mb=64 ;;
    host_fuzzer) echo -max_len=8192 -malloc_limit_mb=128 ;;
  esac
}

if [ "$which" = all ]; then
  targets=("${all[@]}")
elif [[ " ${all[*]} " == *" $which "* ]]; then
  targets=("$which")
else
  echo "fuzz.sh: unknown target '$which' (one of: ${all[*]}, all)" >&2
  exit 2
fi

"$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORVANE_FUZZ=ON -DTORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null

status=0
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  inputs=("$corpus")
  for committed in "$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target"; do
    [ -d "$committed" ] && inputs+=("$committed")
  done
  log="$build/$target.log"
  # A single input running for seconds is a finding too: the plug-in runs in
  # someone else's audio thread.
  # shellcheck disable=SC2046
  if "$build/fuzz/$target" -max_total_time="$seconds" $(options "$target") -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "${inputs[@]}" >"$log" 2>&1; then
    runs=$(awk '/^stat::number_of_executed_units/ {print $2}' "$log")
    coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    echo "$target: $runs runs in $seconds s, $coverage, no findings"
  else
    status=1
    echo "$target: FAILED (log: $log)"
    tail -n 40 "$log"
  fi
done
exit "$status"
