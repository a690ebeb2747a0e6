#!/bin/bash
# Opening and closing the board from outside the strip, under a window
# manager: "--board" from a second start switches the board of the copy
# already running and exits 0, "--close-board" closes it, the board key
# (Ctrl+Alt+D unless Options says otherwise) does the same from anywhere,
# and "--board" with no copy running starts one with a board open.
# usage: startup_board_command.sh SCRIBBLOOM   (on an X display)
set -u
program=$1

fail() { echo "FAIL: $*" >&2; exit 1; }

# In the test's own build folder, never in the shared temporary folder.
XDG_RUNTIME_DIR=$(mktemp -d "$PWD/runtime-XXXXXX")
XDG_CONFIG_HOME=$XDG_RUNTIME_DIR/config
export XDG_RUNTIME_DIR XDG_CONFIG_HOME
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
    # Every copy is gone before its runtime folder goes, so none can make
    # files there afterwards.
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

openbox --sm-disable >/dev/null 2>&1 & pids+=("$!")
screen=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')

# Prints the id of a viewable window of process $1 that covers the whole
# screen (the board), waiting (bounded) for one when $2 is "wait".
board_of() {
    for _ in $(seq 300); do
        for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
            size=$(xwininfo -id "$w" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
            [ "$size" = "$screen" ] && { echo "$w"; return 0; }
        done
        [ "${2:-}" = wait ] || return 1
        sleep 0.1
    done
    return 1
}
# Waits (bounded) until process $1 shows no board.
no_board() {
    for _ in $(seq 300); do
        board_of "$1" >/dev/null || return 0
        sleep 0.1
    done
    return 1
}
run_command() {
    timeout 30 "$program" "$@"
}

"$program" & first=$!
pids+=("$first")
timeout 30 xdotool search --sync --onlyvisible --pid "$first" >/dev/null 2>&1 || fail "the program shows no strip"
board_of "$first" >/dev/null && fail "a board is open before anyone asked"

run_command --board; rc=$?
[ "$rc" -eq 0 ] || fail "--board from a second start exited $rc"
board_of "$first" wait >/dev/null || fail "--board opened no board in the running copy"
run_command --close-board; rc=$?
[ "$rc" -eq 0 ] || fail "--close-board exited $rc"
no_board "$first" || fail "--close-board left the board open"
run_command --close-board || fail "--close-board with no board open failed"
board_of "$first" >/dev/null && fail "--close-board with no board open opened one"

# The board key, pressed wherever the keyboard is.
xdotool key --clearmodifiers ctrl+alt+d
board_of "$first" wait >/dev/null || fail "Ctrl+Alt+D opened no board"
xdotool key --clearmodifiers ctrl+alt+d
no_board "$first" || fail "Ctrl+Alt+D again left the board open"
kill -0 "$first" || fail "the running copy ended"

kill -9 "$first"
wait "$first" 2>/dev/null
# The killed copy left its last board's journal; this start is not about
# restoring it.
rm -f "$XDG_STATE_HOME/Scribbloom/board.journal"
run_command --close-board; rc=$?
[ "$rc" -eq 0 ] || fail "--close-board with nothing running exited $rc"
"$program" --board & started=$!
pids+=("$started")
board_of "$started" wait >/dev/null || fail "--board with nothing running did not start with a board open"
echo "PASS"
