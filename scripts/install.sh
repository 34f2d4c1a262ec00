#!/usr/bin/env bash
# Builds the Linux plug-ins and installs them for the current user, no root
# needed: the VST 2.4 library into ~/.vst, or into the folder given first (for
# example one listed in LXVST_PATH), and the LV2 bundle Torvane.lv2 into
# ~/.lv2, or into the folder given second (for example one listed in LV2_PATH).
# Usage: install.sh [VST_FOLDER [LV2_FOLDER]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" native --target Torvane torvane_lv2_bundle >/dev/null
if [ $# -gt 0 ]; then
  export TORVANE_VST_DIR="$1"
fi
if [ $# -gt 1 ]; then
  export TORVANE_LV2_DIR="$2"
fi
cmake --install "$root/build/native" --component plugin
