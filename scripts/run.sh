#!/usr/bin/env bash
# The main job: sets up the machine, builds the Windows plug-in DLL and the
# Linux plug-in library, and renders the built-in bass riff through Torvane
# with a few non-default settings, with the plot of what the leveling did;
# the README shows a copy of that plot, refreshed here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
echo "building the Linux library and tools..."
"$root/scripts/build.sh" native --target Torvane torvane-render >/dev/null
echo "building the Windows DLL..."
"$root/scripts/build.sh" windows --target Torvane >/dev/null

mkdir -p "$root/out"
"$root/build/native/tools/torvane-render" \
  --set "Process=4.5" --set "Dirt=2.5" --set "Sub Bass=3" --set "Articulation=2" \
  --set "LF Cut=40 Hz" --set "Transients=on" --set "Channel=Stereo" --set "Output=-3" \
  --save-state "$root/out/torvane-demo.state" \
  --plot "$root/out/torvane-demo.png" \
  --output "$root/out/torvane-demo.wav"
mkdir -p "$root/docs"
cp "$root/out/torvane-demo.png" "$root/docs/torvane-demo-plot.png"

echo
echo "Windows VST 2.4 plug-in: $root/build/windows/vst/Torvane.dll"
echo "Linux VST 2.4 plug-in:   $root/build/native/vst/Torvane.so"
echo "Rendered demo:           $root/out/torvane-demo.wav (state: $root/out/torvane-demo.state)"
echo "Plot of the demo:        $root/out/torvane-demo.png (the README shows docs/torvane-demo-plot.png)"
