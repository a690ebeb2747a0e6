#!/usr/bin/python3
"""Time from a click on the strip's switch to the board's window on the
screen, on a virtual X display (Xvfb) or on a headless Wayland session
(sway, screenshot portal), driven as the end-to-end tests drive the program.

usage: open_board_bench.py xvfb|sway [cycles]   (SCRIBBLOOM_BIN_DIR: the build's bin folder)
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "app", "e2e"))
os.environ.setdefault("SCRIBBLOOM_BIN_DIR", os.path.join(os.getcwd(), "build", "bin"))

from desktop import Desktop, program_path, wait_for  # noqa: E402
from strip import button_centres  # noqa: E402
from wayland import Session  # noqa: E402

BOARD = (1920, 1080)


def time_openings(click, board_shown, cycles):
    """Seconds from each click on the switch to the board window being mapped."""
    times = []
    for _ in range(cycles):
        started = time.monotonic()
        click()
        wait_for("the board", board_shown, step=0.005)
        times.append(time.monotonic() - started)
        click()
        wait_for("the board to close", lambda: not board_shown(), step=0.005)
    return times


def on_xvfb(cycles):
    with Desktop() as d:
        d.run("xsetroot", "-solid", "#336699")
        app = d.spawn([program_path()], cwd=d.tmp)
        strip = d.wait_new_window(app.pid, [], "the strip", size=(82, 745))
        b = button_centres(*d.geometry(strip)[:2])
        return time_openings(lambda: d.click(*b["open"]), lambda: [
            w for w in d.visible_windows(app.pid) if w != strip and d.geometry(w)[2:] == BOARD], cycles)


def on_sway(cycles):
    with Session() as s:
        s.show_colour("HEADLESS-1", "ff8800")
        app = s.start_program()
        strip = s.wait_new_window(app.pid, [], "the strip", size=(82, 745))
        b = button_centres(*s.geometry(strip)[:2])
        return time_openings(lambda: s.click(*b["open"]), lambda: [
            w for w in s.windows(app.pid) if w != strip and s.geometry(w)[2:] == BOARD], cycles)


def main():
    where = sys.argv[1] if len(sys.argv) > 1 else "xvfb"
    cycles = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    times = {"xvfb": on_xvfb, "sway": on_sway}[where](cycles)
    ms = [round(t * 1000) for t in times]
    print(f"{where}: click to board, {cycles} openings: median {round(statistics.median(times) * 1000)} ms, "
          f"min {min(ms)} ms, max {max(ms)} ms")


if __name__ == "__main__":
    main()
