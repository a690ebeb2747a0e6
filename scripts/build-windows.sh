#!/bin/bash
# Cross-builds for Windows with mingw-w64 (the packages of
# scripts/packages-windows.txt).
#
#   scripts/build-windows.sh [BUILD_DIR [x86_64|i686]]
#
# BUILD_DIR defaults to build-windows/ in the project folder, the
# architecture to x86_64 (64-bit); i686 is 32-bit x86.
#
# x86_64 builds the whole program against the libraries that
# scripts/build-windows-deps.sh builds once into its cache (the first run
# takes about 45 minutes for them, later runs reuse them): Scribbloom.exe,
# FaultTrace.dll, the Windows tests, and the folder BUILD_DIR/Scribbloom with
# everything a Windows user needs, plus its ZIP. i686 builds FaultTrace.dll
# and the programs of its crash tests alone.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-windows}
arch=${2:-x86_64}
jobs=${JOBS:-2}
case "$arch" in
  x86_64|i686) ;;
  *) echo "usage: $0 [BUILD_DIR [x86_64|i686]]" >&2; exit 2 ;;
esac

deps=
if [ "$arch" = x86_64 ]; then
  "$here/scripts/build-windows-deps.sh" all
  deps=$("$here/scripts/build-windows-deps.sh" --print-prefixes | cut -d= -f2 | paste -sd';')
  if [ "$(echo "$deps" | tr ';' '\n' | grep -c .)" -ne 5 ]; then
    echo "error: the Windows libraries are not all in the cache: $deps" >&2
    exit 1
  fi
fi

echo "== building for Windows ($arch) in $build"
# A tree configured with other libraries (or none) starts again: the
# compilers differ between the two kinds of build.
if [ -f "$build/CMakeCache.txt" ] \
   && [ "$(sed -n 's/^SCRIBBLOOM_WINDOWS_DEPS:STRING=//p' "$build/CMakeCache.txt")" != "$deps" ]; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-w64-$arch.cmake" \
    -DSCRIBBLOOM_WINDOWS_DEPS="$deps"
fi
cmake --build "$build" -j"$jobs"
if [ -n "$deps" ]; then
  echo "== Windows program folder: $build/Scribbloom, its ZIP: $(ls "$build"/Scribbloom-*-windows-x86_64.zip)"
fi
