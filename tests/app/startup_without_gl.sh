#!/bin/bash
# The program paints without OpenGL, so it starts without loading the
# toolkit's OpenGL integration (and the GL driver behind it); a user who asks
# for an integration in the environment still gets it.
# usage: startup_without_gl.sh SCRIBBLOOM   (on an X display)
set -u
program=$1

fail() { echo "FAIL: $*" >&2; exit 1; }

pids=()
dirs=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    for d in "${dirs[@]}"; do rm -rf "$d"; done
}
trap cleanup EXIT

# Starts the program with a private runtime folder (its single-instance lock
# lives there), waits for its window and prints its pid.
start() {
    local runtime
    runtime=$(mktemp -d "$PWD/runtime-XXXXXX")
    chmod 700 "$runtime"
    dirs+=("$runtime")
    env XDG_RUNTIME_DIR="$runtime" "$@" "$program" >/dev/null 2>&1 &
    local pid=$!
    pids+=("$pid")
    [ -n "$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n1)" ] \
        || fail "the program shows no window"
    echo "$pid"
}
gl_integration_loaded() { grep -q "xcbglintegrations/" "/proc/$1/maps"; }

plain=$(start env -u QT_XCB_GL_INTEGRATION)
gl_integration_loaded "$plain" && fail "an OpenGL integration was loaded: $(grep -o '[^ ]*xcbglintegrations/[^ ]*' "/proc/$plain/maps" | sort -u)"

chosen=$(start QT_XCB_GL_INTEGRATION=xcb_glx)
gl_integration_loaded "$chosen" || fail "the integration the user chose was not loaded"
echo "PASS"
