#!/usr/bin/env bash
# Builds the Linux plug-in library and installs it for the current user, no
# root needed: into ~/.vst, or into the folder given (for example one listed
# in LXVST_PATH).
# Usage: install.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" native --target Torvane >/dev/null
if [ $# -gt 0 ]; then
  export TORVANE_VST_DIR="$1"
fi
cmake --install "$root/build/native" --component plugin
