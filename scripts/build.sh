#!/usr/bin/env bash
# Configures and builds one of the project's build folders.
# Usage: build.sh native|windows|asan|tsan [cmake --build arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=$1; shift
build="$root/build/$kind"

case "$kind" in
  native)  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  windows) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
  asan)    options=(-DCMAKE_BUILD_TYPE=Debug -DTORVANE_SANITIZE=address,undefined) ;;
  tsan)    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_SANITIZE=thread) ;;
  *) echo "build.sh: unknown build '$kind'" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$build" -G "Unix Makefiles" "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" "$@"
