#!/bin/bash
# Cross-builds FaultTrace.dll and the programs of its Windows crash tests with
# mingw-w64 (the packages of scripts/packages-windows.txt).
#
#   scripts/build-windows.sh [BUILD_DIR [x86_64|i686]]
#
# BUILD_DIR defaults to build-windows/ in the project folder, the
# architecture to x86_64 (64-bit); i686 is 32-bit x86.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-windows}
arch=${2:-x86_64}
jobs=${JOBS:-2}
case "$arch" in
  x86_64|i686) ;;
  *) echo "usage: $0 [BUILD_DIR [x86_64|i686]]" >&2; exit 2 ;;
esac

echo "== building FaultTrace for Windows ($arch) in $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-w64-$arch.cmake"
fi
cmake --build "$build" -j"$jobs"
