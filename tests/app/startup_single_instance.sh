#!/bin/bash
# One copy at a time: a second start tells the user and exits 1 while the
# first keeps running; a first copy killed outright leaves no lock behind;
# a close from the window manager asks before anything ends.
# usage: startup_single_instance.sh SCRIBBLOOM CLOSEWINDOW   (on an X display)
set -u
program=$1
closewindow=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

# A private runtime folder: the lock lives there, and other tests starting
# the program must not collide with this one.
# In the test's own build folder, never in the shared temporary folder.
XDG_RUNTIME_DIR=$(mktemp -d "$PWD/runtime-XXXXXX")
export XDG_RUNTIME_DIR
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

# Waits (bounded, only as a guard against hanging) for a visible window of
# the process and prints its id.
window_of() {
    timeout 30 xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -n1
}
window_type() {
    xprop -id "$1" _NET_WM_WINDOW_TYPE | sed 's/.*= //'
}
alive() { kill -0 "$1" 2>/dev/null; }
# Waits (bounded) for a visible window of the process other than $2 and prints it.
other_window_of() {
    for _ in $(seq 300); do
        for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
            [ "$w" != "$2" ] && { echo "$w"; return; }
        done
        sleep 0.1
    done
}
# Waits (bounded) for window $1 to be no longer viewable.
gone_window() {
    for _ in $(seq 300); do
        xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" || return 0
        sleep 0.1
    done
    return 1
}

"$program" & first=$!
pids+=("$first")
first_window=$(window_of "$first")
[ -n "$first_window" ] || fail "the first start shows no window"
[ "$(xdotool getwindowname "$first_window")" = "Scribbloom" ] || fail "first window is not titled Scribbloom"
case "$(window_type "$first_window")" in *DIALOG*) fail "the first start shows a dialog" ;; esac

"$program" & second=$!
pids+=("$second")
notice=$(window_of "$second")
[ -n "$notice" ] || fail "the second start shows no notice"
[ "$(xdotool getwindowname "$notice")" = "Scribbloom" ] || fail "notice is not titled Scribbloom"
case "$(window_type "$notice")" in *DIALOG*) ;; *) fail "the second start shows no dialog box" ;; esac
alive "$second" || fail "the second start quit before the notice was answered"
xdotool windowfocus --sync "$notice"
xdotool key --clearmodifiers Return
timeout 30 tail --pid="$second" -f /dev/null
wait "$second"; rc=$?
[ "$rc" -eq 1 ] || fail "second start exited $rc, expected 1"
alive "$first" || fail "the first copy ended when the second started"
xwininfo -id "$first_window" | grep -q "IsViewable" || fail "the first copy's window went away"

kill -9 "$first"
wait "$first" 2>/dev/null

"$program" & third=$!
pids+=("$third")
third_window=$(window_of "$third")
[ -n "$third_window" ] || fail "no window after the killed copy"
case "$(window_type "$third_window")" in *DIALOG*) fail "a killed copy left a stale lock" ;; esac
alive "$third" || fail "the start after the killed copy did not keep running"

# A close from the window manager asks the exit question first: the program
# keeps running while it stands, and No (Escape) keeps it running.
"$closewindow" "$third_window"
question=$(other_window_of "$third" "$third_window")
[ -n "$question" ] || fail "closing the window asked nothing"
[ "$(xdotool getwindowname "$question")" = "提示" ] || fail "the close asked $(xdotool getwindowname "$question")"
xdotool windowfocus --sync "$question"
xdotool key --clearmodifiers Escape
gone_window "$question" || fail "the question stayed after No"
alive "$third" || fail "answering No ended the program"
xwininfo -id "$third_window" | grep -q "IsViewable" || fail "answering No took the window away"
echo "PASS"
