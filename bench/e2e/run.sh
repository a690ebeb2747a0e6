#!/bin/sh
# The end-to-end benchmark in one command: builds the program and the X
# driver in BUILD_DIR (default: build), then runs them on private Xvfb
# displays at 1920x1080 and 3840x2160. Extra arguments go to run.py, e.g.
#   bench/e2e/run.sh build --counts 0,100 --reps 5 --json figures.json
# BUILD_LAUNCHER, when set, is put before the build command.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
[ $# -gt 0 ] && shift
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here/../.." -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
$BUILD_LAUNCHER cmake --build "$build" -j2 --target Scribbloom bench_e2e_driver
exec /usr/bin/python3 "$here/run.py" --program "$build/bin/Scribbloom" --driver "$build/bin/bench_e2e_driver" "$@"
