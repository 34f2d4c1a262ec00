#!/usr/bin/env bash
# Installs everything both builds need from Debian's packages, then builds the
# static libpng that the Windows cross build links. Idempotent and quiet when
# everything is already present. Runs as root or through sudo.
set -euo pipefail

root_dir=$(cd "$(dirname "$0")/.." && pwd)
deps_dir="$root_dir/.deps"

packages=(
  # native build, tests, tools
  cmake g++ make pkg-config libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev libgtest-dev
  googletest libbenchmark-dev libsndfile1-dev clang libclang-rt-14-dev
  # the editor's X11 window (MIT-SHM from libxext) and its tests (XTest)
  libx11-dev libxext-dev libxtst-dev
  # Windows cross build and the Wine test run
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 wine xvfb xauth fonts-wine fonts-liberation
  # emulated CPUs for the run-time instruction-set choice
  qemu-user
  # sources for the mingw libpng, artwork rendering, a third-party plug-in
  dpkg-dev librsvg2-bin lsp-plugins-vst
  # the LV2 plug-in: the format's headers and schemas, and the host tools
  # that validate and render the bundle in its tests
  lv2-dev lilv-utils lv2file sordi
  # the settings-file test builds a decimal-comma locale with localedef
  locales
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libpng's source, from Debian's source package: Debian ships no mingw build,
# so the Windows build compiles it statically with our toolchain, and the fuzz
# build compiles it with the fuzzers' instrumentation.
png_src="$deps_dir/libpng-src"
if [ ! -f "$png_src/png.h" ]; then
  src_list=/etc/apt/sources.list.d/torvane-deb-src.sources
  if ! apt-cache showsrc libpng1.6 2>/dev/null | grep -q '^Version:'; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
    as_root apt-get update -qq
  fi
  work="$deps_dir/libpng-download"
  rm -rf "$work" "$png_src" && mkdir -p "$work"
  fetched=""
  # The newest revision is sometimes missing on the mirror: try each one listed.
  for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}' | sort -rV | uniq); do
    if (cd "$work" && apt-get source -qq --download-only "libpng1.6=$v" >/dev/null 2>&1); then
      fetched=$v; break
    fi
    rm -rf "${work:?}"/*
  done
  [ -n "$fetched" ] || { echo "setup: could not download the libpng source package" >&2; exit 1; }
  (cd "$work" && dpkg-source -x --no-check ./*.dsc src >/dev/null)
  mv "$work/src" "$png_src"
  rm -rf "$work"
  echo "setup: unpacked libpng $fetched in $png_src"
fi

png_prefix="$deps_dir/mingw-libpng"
if [ ! -f "$png_prefix/lib/libpng16.a" ] && [ ! -f "$png_prefix/lib/libpng.a" ]; then
  work="$deps_dir/mingw-libpng-build"
  rm -rf "$work"
  cmake -S "$png_src" -B "$work" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root_dir/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$png_prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_USE_STATIC_LIBS=ON -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
  cmake --build "$work" -j "$(nproc)" >/dev/null
  cmake --install "$work" >/dev/null
  rm -rf "$work"
  echo "setup: built libpng for mingw in $png_prefix"
fi
