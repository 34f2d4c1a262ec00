#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, with the Wine prefix and HOME kept
# inside the given state folder so that tests never touch the user's real home.
# Usage: wine-run.sh STATE_DIR PROGRAM [ARGS...]
set -euo pipefail
state_dir=$(realpath -m "$1"); shift

export HOME="$state_dir/home"
export WINEPREFIX="$state_dir/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono/Gecko installers; no debugger attaching to a crash, so a crash exits
# non-zero instead of passing silently or hanging on a dialog.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

wine=$(command -v wine || echo /usr/lib/wine/wine64)
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/.torvane-ready" ]; then
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.torvane-ready" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      # Windows programs ask for Arial; its metric-compatible twin is installed.
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1 || true
      # Without a window manager, destroying a managed window waits two seconds.
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$WINEPREFIX/.torvane-ready"
    fi
  ) 9>"$state_dir/.prefix.lock"
fi
exec "$wine" "$@"
