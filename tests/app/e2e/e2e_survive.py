#!/usr/bin/python3
"""The board survives the program: killed with SIGKILL in the middle of a
stroke, the program started again offers the board back, Return restores it
with exactly the pixels it showed, and undo goes on from there."""

import json
import os
import signal
import struct

from desktop import check, close_to, main, program_path, wait_for
from strip import button_centres

BACKGROUND = (0x33, 0x66, 0x99)
RED = (255, 0, 0)
GREEN = (0, 255, 0)
MAGIC = b"SCRIBBLOOM-JOURNAL 1\n"


def journal_path(d):
    return os.path.join(d.env["XDG_STATE_HOME"], "Scribbloom", "board.journal")


def journalled_items(d):
    """How many items the journal's whole records have painted, or None."""
    try:
        with open(journal_path(d), "rb") as f:
            data = f.read()
    except OSError:
        return None
    if not data.startswith(MAGIC):
        return None
    at, done = len(MAGIC), []
    while at + 9 <= len(data):
        kind = data[at:at + 1]
        (length,) = struct.unpack("<I", data[at + 1:at + 5])
        if at + 9 + length > len(data):
            break
        payload = data[at + 5:at + 5 + length]
        at += 9 + length
        if kind == b"C":
            change = json.loads(payload)
            if "done" in change:
                keep, tail = change["done"]
                done = done[:keep] + tail
    return len(done)


def board_rows(frame, right):
    """The raw pixels of the screen left of `right`, row by row."""
    return [frame.data[frame.offset + y * frame.bytes_per_line:frame.offset + y * frame.bytes_per_line + right * 4]
            for y in range(frame.height)]


def stable_rows(d, right):
    """The board's pixels when two reads in a row agree, else None."""
    first = board_rows(d.screen.snapshot(), right)
    return first if board_rows(d.screen.snapshot(), right) == first else None


def test(d):
    d.run("xsetroot", "-solid", "#336699")
    log = os.path.join(d.tmp, "scribbloom.log")
    app = d.spawn([program_path()], log=log)
    strip = d.wait_new_window(app.pid, [], "the tool strip", size=(82, 745))
    x, y, _, _ = d.geometry(strip)
    b = button_centres(x, y)

    d.click(*b["open"])
    board = d.wait_new_window(app.pid, [strip], "the board", size=(d.width, d.height))
    wait_for("the board to show the snapshot", lambda: close_to(d.screen.snapshot().pixel(200, 200), BACKGROUND, 8))
    d.click(*b["size3"])
    d.click(*b["rectangle"])
    d.drag([(300, 300), (350, 330), (420, 380), (500, 420)])
    d.click(*b["green"])
    d.click(*b["pen"])
    d.drag([(600, 700)] + [(600 + 25 * i, 700 + 3 * i) for i in range(1, 13)])
    wait_for("the rectangle and the stroke on the board",
             lambda: close_to(d.screen.snapshot().pixel(300, 360), RED)
             and close_to(d.screen.snapshot().pixel(750, 718), GREEN))
    wait_for("both in the journal on disk", lambda: journalled_items(d) == 3)
    # Xvfb draws the pointer into its framebuffer: it rests right of the
    # compared columns while the screen is read.
    d.move(x + 40, 10)
    reference = wait_for("the screen to settle", lambda: stable_rows(d, x))

    # Killed while a third stroke is being drawn: that one was never finished.
    d.run("xdotool", "mousemove", "900", "200", "mousedown", "1")
    for step in range(1, 6):
        d.move(900 + 20 * step, 200 + 10 * step)
    wait_for("the unfinished stroke on the board", lambda: close_to(d.screen.snapshot().pixel(960, 230), GREEN))
    app.send_signal(signal.SIGKILL)
    app.wait()
    d.run("xdotool", "mouseup", "1")
    check(os.path.exists(journal_path(d)), "the killed program left no journal")

    again = d.spawn([program_path()], log=log)
    strip = d.wait_new_window(again.pid, [], "the tool strip", size=(82, 745))
    question = d.wait_new_window(again.pid, [strip], "the restore question")
    check(d.name(question) == "提示", f"the restore question is titled {d.name(question)!r}")
    d.focus(question)
    d.key("Return")
    board = d.wait_new_window(again.pid, [strip, question], "the restored board", size=(d.width, d.height))
    wait_for("the restored board to show the drawing", lambda: close_to(d.screen.snapshot().pixel(300, 360), RED))
    d.move(x + 40, 10)
    wait_for("the board exactly as it was before the kill",
             lambda: board_rows(d.screen.snapshot(), x) == reference)

    # Undo goes on from the restored history: the stroke goes, the rectangle stays.
    x, y, _, _ = d.geometry(strip)
    b = button_centres(x, y)
    d.click(*b["undo"])
    wait_for("undo to take the stroke away", lambda: close_to(d.screen.snapshot().pixel(750, 718), BACKGROUND, 8))
    check(close_to(d.screen.snapshot().pixel(300, 360), RED), "undo took the rectangle too")



if __name__ == "__main__":
    main(test)
