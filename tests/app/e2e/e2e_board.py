#!/usr/bin/python3
"""A user opens the board, draws, undoes and redoes, types, saves and copies
the board, then closes it; the saved file and the clipboard hold the snapshot
with those drawings at the right pixels."""

import os
import subprocess

from desktop import (TestFailure, check, close_to, main, probe_image, program_path, wait_for)
from strip import button_centres

BACKGROUND = (0x33, 0x66, 0x99)
RED = (255, 0, 0)
GREEN = (0, 255, 0)


def test(d):
    d.run("xsetroot", "-solid", "#336699")
    work = os.path.join(d.tmp, "work")
    os.makedirs(work)
    app = d.spawn([program_path()], cwd=work, log=os.path.join(d.tmp, "scribbloom.log"))

    strip = d.wait_new_window(app.pid, [], "the tool strip", size=(82, 745))
    x, y, w, h = d.geometry(strip)
    check(x + w == d.width, f"strip does not stand flush with the right edge: x={x} w={w}")
    check(y == (d.height - h) // 2, f"strip is not vertically centred: y={y}")
    b = button_centres(x, y)

    # Open the board: a full-screen window showing the frozen screen.
    d.click(*b["open"])
    board = d.wait_new_window(app.pid, [strip], "the board", size=(d.width, d.height))
    check(d.geometry(board)[:2] == (0, 0), "the board does not cover the screen from its top-left corner")
    wait_for("the board to show the snapshot",
             lambda: close_to(d.screen.snapshot().pixel(1500, 500), BACKGROUND, 8))
    # Stacked above the board, and drawn: a new window shows what lay under
    # it until it paints, so the pixels alone could be the strip's old ones.
    wait_for("the strip above the board", lambda: d.stacked_above(strip, board))
    wait_for("the strip drawn over the board",
             lambda: close_to(d.screen.snapshot().pixel(x + 20, y + 14), (52, 52, 52), 6))

    # A red rectangle of width 6 (size 3; the board starts with red).
    d.click(*b["size3"])
    d.click(*b["rectangle"])
    d.drag([(300, 300), (350, 330), (420, 380), (500, 420)])
    # A thick green pen stroke (size 5).
    d.click(*b["green"])
    d.click(*b["size5"])
    d.click(*b["pen"])
    d.drag([(600, 700)] + [(600 + 25 * i, 700) for i in range(1, 13)])
    wait_for("the red rectangle and the green stroke on the board",
             lambda: _shows(d, {(300, 360): RED, (400, 360): BACKGROUND, (750, 700): GREEN}))

    # Undo takes the stroke away, redo brings it back.
    d.click(*b["undo"])
    wait_for("the stroke to go on undo",
             lambda: close_to(d.screen.snapshot().pixel(750, 700), BACKGROUND, 8))
    check(close_to(d.screen.snapshot().pixel(300, 360), RED), "undo took away more than the last stroke")
    d.click(*b["redo"])
    wait_for("the stroke to come back on redo",
             lambda: close_to(d.screen.snapshot().pixel(750, 700), GREEN))

    # Text: click on the board, type, Enter.
    d.click(*b["inserttext"])
    d.click(1000, 300)
    d.settle()
    d.type("Hello")
    d.key("Return")
    text_area = (990, 270, 120, 45)
    wait_for("the typed text on the board",
             lambda: len(d.screen.snapshot().find(text_area, lambda c: close_to(c, RED, 60), 2)) > 10)

    # Save through the panel into a folder of ours, as PNG.
    out_dir = os.path.join(d.tmp, "saved")
    os.makedirs(out_dir)
    target = os.path.join(out_dir, "board.png")
    d.click(*b["save"])
    dialog = d.wait_new_window(app.pid, [strip, board], "the save dialog")
    dx, dy, dw, dh = d.geometry(dialog)
    d.move(dx + dw // 2, dy + dh // 2)
    d.settle()
    d.key("ctrl+a")
    d.type(target)
    d.key("Return")
    wait_for("the saved image", lambda: os.path.exists(target) and os.path.getsize(target) > 0)
    wait_for("the save dialog to close", lambda: dialog not in d.visible_windows(app.pid))

    text_points = [(x_, y_) for x_ in range(990, 1110, 3) for y_ in range(270, 315, 3)]
    points = [(100, 100), (300, 360), (400, 360), (750, 700), (1880, 500)] + text_points
    size, colours = wait_for("a complete image file", lambda: _probe_or_none(target, points))
    check(size == (d.width, d.height), f"saved image is {size}, not the whole board")
    check(close_to(colours[(100, 100)][:3], BACKGROUND, 8), "saved image lacks the snapshot")
    check(close_to(colours[(300, 360)][:3], RED), f"saved image lacks the rectangle: {colours[(300, 360)]}")
    check(close_to(colours[(400, 360)][:3], BACKGROUND, 8), "saved rectangle is filled")
    check(close_to(colours[(750, 700)][:3], GREEN), f"saved image lacks the stroke: {colours[(750, 700)]}")
    check(close_to(colours[(1880, 500)][:3], BACKGROUND, 8),
          "the strip shows in the saved board (it must be off screen while the snapshot is taken)")
    red_text = [p for p in text_points if close_to(colours[p][:3], RED, 60)]
    check(len(red_text) > 5, "saved image lacks the typed text")

    # Copy board puts the whole board on the clipboard.
    d.click(*b["copyboard"])
    clip = os.path.join(d.tmp, "clip.png")

    def clipboard_image():
        with open(clip, "wb") as f:
            rc = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"],
                                env=d.env, stdout=f, stderr=subprocess.DEVNULL).returncode
        return rc == 0 and os.path.getsize(clip) > 0

    wait_for("an image on the clipboard", clipboard_image)
    size, colours = probe_image(clip, [(300, 360), (750, 700), (100, 100)])
    check(size == (d.width, d.height), f"clipboard image is {size}, not the whole board")
    check(close_to(colours[(300, 360)][:3], RED), "clipboard image lacks the rectangle")
    check(close_to(colours[(750, 700)][:3], GREEN), "clipboard image lacks the stroke")

    # A new painter board is blank and white: none of the drawings on the
    # old board, nor the screen under it, may show in it.
    d.click(*b["newboard"])
    fresh = d.wait_new_window(app.pid, [strip, board], "the new board", size=(d.width, d.height))
    check(board not in d.visible_windows(app.pid), "the old board stays open beside the new one")
    wait_for("the strip above the new board", lambda: d.stacked_above(strip, fresh))
    # A stroke on the new board shows it is up and painted before it is looked at.
    d.click(*b["size5"])
    d.drag([(200, 900)] + [(200 + 25 * i, 900) for i in range(1, 9)])
    wait_for("a stroke on the new board", lambda: _shows(d, {(300, 900): RED}))
    white = (255, 255, 255)
    check(_shows(d, {(300, 360): white, (750, 700): white, (1500, 500): white}),
          "the new board is not a blank white one")

    # Closing the board takes it off the screen; the program keeps running.
    d.click(*b["open"])
    wait_for("the board to close", lambda: fresh not in d.visible_windows(app.pid))
    check(app.poll() is None, "the program ended when the board closed")


def _shows(d, expected):
    frame = d.screen.snapshot()
    return all(close_to(frame.pixel(*point), colour, 8 if colour == BACKGROUND else 40)
               for point, colour in expected.items())


def _probe_or_none(path, points):
    try:
        return probe_image(path, points)
    except TestFailure:
        return None


if __name__ == "__main__":
    main(test)
