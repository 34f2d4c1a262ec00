#!/usr/bin/env bash
# Sets up the machine, builds both targets and runs every test: the native
# suite, the sanitizer runs, and the Windows suite under Wine. Every suite runs
# even when an earlier one failed; the exit status is non-zero if any failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
failed=()

suite() {
  local name=$1; shift
  echo "=== $name"
  if ! "$@"; then failed+=("$name"); echo "=== $name FAILED"; fi
}

"$root/scripts/setup.sh" || exit 1

native_suite() {
  "$root/scripts/build.sh" native >/dev/null &&
  ctest --test-dir "$root/build/native" --output-on-failure -j "$jobs"
}

# Programs that touch untrusted bytes (PNG data, state chunks, host calls,
# the renderer's audio and state files, the editor's settings file) run under
# AddressSanitizer with UndefinedBehaviorSanitizer, and so under LeakSanitizer
# (the lifecycle stress above all); the host-concurrency stress programs run
# under ThreadSanitizer.
asan_programs=(core_tests raster_tests framework_tests effect_tests dsp_tests render_tests tool_common_tests editor_tests
  resize_tests screenshot_tests vst_adapter_tests vst_stress_tests)
tsan_programs=(vst_host_tests editor_tests vst_stress_tests)

sanitizer_suite() {
  local kind=$1; shift
  [ $# -gt 0 ] || return 0
  "$root/scripts/build.sh" "$kind" --target "$@" >/dev/null || return 1
  local status=0 program path
  for program in "$@"; do
    path=$(find "$root/build/$kind/tests" -type f -name "$program" | head -n 1)
    echo "--- $kind: $program"
    "$path" --gtest_brief=1 || status=1
  done
  return $status
}

# Runs the Windows ctest suite under Wine; called inside xvfb-run, so that
# every Wine process, the background services included, sees the display.
windows_ctest() {
  local build=$1 jobs=$2
  local state="$build/wine"
  export HOME="$state/home" WINEPREFIX="$state/prefix"
  # One Wine server stays alive for the whole run (a cold start costs seconds
  # per test program), and Wine's background services start before ctest,
  # since they would inherit and hold its output pipe.
  "$root/scripts/wine-run.sh" "$state" cmd /c exit >/dev/null 2>&1
  wineserver -w
  wineserver -p
  "$root/scripts/wine-run.sh" "$state" cmd /c exit >/dev/null 2>&1
  local status=0
  ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=1
  wineserver -k || true
  return $status
}

windows_suite() {
  "$root/scripts/build.sh" windows >/dev/null || return 1
  # The editor window tests read colours back from the screen: a 24-bit
  # display (xvfb-run's default is 8-bit), large enough for a 3x editor.
  # xvfb-run is a plain shell script, so the function travels as text.
  xvfb-run -a -s "-screen 0 1920x1200x24" bash -c "$(declare -f windows_ctest); root='$root'; windows_ctest \"\$@\"" \
    _ "$root/build/windows" "$jobs"
}

# The editor's X11 window, under a virtual display large enough for the
# editor at three times its size: the plain build, AddressSanitizer (opening
# and closing leaks nothing) and ThreadSanitizer (the repaint thread).
x11_suite() {
  "$root/scripts/build.sh" native --target x11_window_tests >/dev/null &&
  "$root/scripts/build.sh" asan --target x11_window_tests >/dev/null &&
  "$root/scripts/build.sh" tsan --target x11_window_tests >/dev/null || return 1
  local status=0 kind
  for kind in native asan tsan; do
    echo "--- $kind: x11_window_tests"
    xvfb-run -a -s "-screen 0 2400x1500x24" "$root/build/$kind/tests/platform/linux/x11_window_tests" --gtest_brief=1 || status=1
  done
  return $status
}

suite "native tests" native_suite
suite "address sanitizer" sanitizer_suite asan "${asan_programs[@]}"
suite "thread sanitizer" sanitizer_suite tsan "${tsan_programs[@]}"
suite "x11 editor window under xvfb" x11_suite
suite "fuzzing" "$root/scripts/fuzz.sh" all 20
suite "windows tests under wine" windows_suite

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all test suites passed"
