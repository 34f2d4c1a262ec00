#!/usr/bin/env bash
# Compares Torvane's real-time factor with a third-party multiband compressor
# on the same stereo input, block size and machine: each plug-in renders the
# input several times, interleaved, and the medians are compared.
# Usage: compare-rtf.sh [RUNS]   (needs a native build: scripts/build.sh native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
render="$root/build/native/tools/torvane-render"
other=/usr/lib/vst/lsp-plugins/mb-compressor-stereo.so
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A stereo bass input for both: the built-in riff as Torvane renders it.
"$render" -q -o "$work/stereo.wav"

# The report goes to standard error.
rtf() { "$@" 2>&1 >/dev/null | awk '/real-time factor/ {sub("x", "", $3); print $3}'; }
torvane=() lsp=()
for ((i = 0; i < runs; i++)); do
  torvane+=("$(rtf "$render" -b 512 -o "$work/a.wav" "$work/stereo.wav")")
  lsp+=("$(rtf "$render" -p "$other" -b 512 -o "$work/b.wav" "$work/stereo.wav")")
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
t=$(median "${torvane[@]}")
l=$(median "${lsp[@]}")
echo "median real-time factor over $runs runs, stereo 48 kHz, blocks of 512:"
echo "  Torvane                     ${t}x"
echo "  LSP multiband compressor    ${l}x"
awk -v t="$t" -v l="$l" 'BEGIN {printf "  Torvane runs %.2f times as fast\n", t / l}'
