#!/usr/bin/python3
"""Scribbloom on a Wayland session (sway, headless), as a user runs it there:
it starts on XWayland by itself, takes the board's picture through the
desktop's screenshot portal, opens the board on the screen that holds the
strip, and says so when the picture cannot be had.

usage: e2e_wayland.py board|two-screens|no-portal
"""

import os
import shutil
import sys
import time

from desktop import TestFailure, check, close_to, probe_image, wait_for
from strip import button_centres
from wayland import Session

ORANGE = (0xFF, 0x88, 0x00)
BLUE = (0x00, 0x88, 0xFF)
GREEN = (0x00, 0xFF, 0x00)
YELLOW = (0xFF, 0xFF, 0x00)
RED = (255, 0, 0)
STRIP_GREY = (52, 52, 52)
STRIP = (82, 745)


def shows(s, expected, tolerance=8):
    """Whether the outputs show the colour expected at each point."""
    colours = s.screenshot(list(expected))
    return all(close_to(colours[p][:3], colour, tolerance) for p, colour in expected.items())


def start(s):
    """The program, its strip up and drawn; returns (process, strip window, geometry)."""
    app = s.start_program()
    strip = s.wait_new_window(app.pid, [], "the tool strip", size=STRIP)
    geometry = s.geometry(strip)
    x, y = geometry[:2]
    wait_for("the strip to be drawn", lambda: shows(s, {(x + 20, y + 14): STRIP_GREY}, 6))
    return app, strip, geometry


def open_board(s, app, strip, b, screen):
    """Clicks the switch; returns the board window and the seconds until it showed."""
    started = time.monotonic()
    s.click(*b["open"])
    board = s.wait_new_window(app.pid, [strip], "the board", size=(screen[2], screen[3]))
    inside = (screen[0] + screen[2] // 3, screen[1] + screen[3] // 2)
    wait_for("the board on the screen", lambda: s.geometry(board) == screen
             and not shows(s, {inside: (0, 0, 0)}, 2))
    return board, time.monotonic() - started


def test_board(s):
    """One output: the board shows what the native client showed, and stays so."""
    s.show_colour("HEADLESS-1", "ff8800")
    wait_for("the native client's colour", lambda: shows(s, {(960, 540): ORANGE}))
    app, strip, (x, y, w, h) = start(s)
    # Not tiled: the strip floats at the right edge of the screen, centred.
    check(x + w == s.width and y == (s.height - h) // 2, f"the strip is not at the right edge: {(x, y, w, h)}")
    b = button_centres(x, y)

    board, seconds = open_board(s, app, strip, b, (0, 0, s.width, s.height))
    print(f"switch to board: {seconds * 1000:.0f} ms")
    points = {(300, 300): ORANGE, (960, 540): ORANGE, (1500, 900): ORANGE}
    wait_for("the board showing the native client's colour", lambda: shows(s, points))
    wait_for("the strip above the board", lambda: shows(s, {(x + 20, y + 14): STRIP_GREY}, 6))
    # sway manages the board only, as a full-screen window; the strip floats unmanaged.
    views = s.views(app.pid)
    check(len(views) == 1 and views[0]["fullscreen_mode"] == 1,
          f"sway does not hold the board alone and full-screen: {[(v['name'], v['fullscreen_mode']) for v in views]}")

    # The client under the board changes; the board is a still picture.
    s.recolour("HEADLESS-1", "00ff00")
    for _ in range(5):
        check(shows(s, points), "the board follows the screen instead of staying frozen")
    # The exit question asked over the board shows above it; Escape keeps everything.
    s.click(*b["exit"])
    question = s.wait_new_window(app.pid, [strip, board], "the exit question")
    qx, qy, qw, qh = s.geometry(question)
    wait_for("the question shown above the board",
             lambda: not shows(s, {(qx + qw // 2, qy + qh // 2): ORANGE}, 40))
    s.key("Escape")
    wait_for("the question to close", lambda: question not in s.visible_windows(app.pid))
    check(board in s.visible_windows(app.pid) and app.poll() is None, "dismissing the question closed something")

    # Closing the board shows the live screen again.
    s.click(*b["open"])
    wait_for("the board to close", lambda: board not in s.visible_windows(app.pid))
    wait_for("the live screen", lambda: shows(s, {(960, 540): GREEN}))


def test_two_screens(s):
    """Two outputs, the strip dragged to the second: the board covers that
    output only, a shape lands at the pointer, and saving gives its pixels."""
    s.show_colour("HEADLESS-1", "ff8800")
    s.show_colour("HEADLESS-2", "0088ff")
    wait_for("both clients' colours", lambda: shows(s, {(960, 540): ORANGE, (2880, 540): BLUE}))
    app, strip, (x, y, w, h) = start(s)
    check(x + w == s.width, f"the strip does not start at the right edge of the first screen: {(x, y)}")

    # Drag it by its empty panel well into the second screen.
    s.drag([(x + 41, y + 700), (x + 20, y + 690), (x + 500, y + 680), (x + 1000, y + 680)])
    wait_for("the strip on the second screen", lambda: s.geometry(strip)[0] == x + 959)
    x, y = s.geometry(strip)[:2]
    b = button_centres(x, y)
    # The real pointer on the second screen gives it the compositor's focus
    # (sway's focus follows the mouse); xdotool's pointer lives inside XWayland only.
    s.swaymsg("focus output HEADLESS-2")

    board, seconds = open_board(s, app, strip, b, (s.width, 0, s.width, s.height))
    print(f"switch to board on the second screen: {seconds * 1000:.0f} ms")
    wait_for("the second screen's picture on the board", lambda: shows(s, {(2300, 300): BLUE, (3300, 900): BLUE}))

    # Both clients change colour: the first screen is live, the second frozen.
    s.recolour("HEADLESS-1", "00ff00")
    s.recolour("HEADLESS-2", "ffff00")
    wait_for("the first screen to stay live", lambda: shows(s, {(960, 540): GREEN}))
    check(shows(s, {(2300, 300): BLUE, (3300, 900): BLUE}), "the board does not hold the second screen's picture")

    # A red rectangle (size 3) dragged on the board lands under the pointer.
    s.click(*b["size3"])
    s.click(*b["rectangle"])
    s.drag([(2200, 300), (2300, 350), (2450, 420), (2600, 500)])
    wait_for("the rectangle at the pointer", lambda: shows(
        s, {(2200, 400): RED, (2600, 400): RED, (2400, 300): RED, (2400, 500): RED, (2400, 400): BLUE,
            (2190, 400): BLUE, (2610, 400): BLUE}, 40))

    # Saved as PNG through the panel's save button.
    target = os.path.join(s.tmp, "work", "board.png")
    s.click(*b["save"])
    dialog = s.wait_new_window(app.pid, [strip, board], "the save dialog")
    dx, dy, dw, dh = s.geometry(dialog)
    s.move(dx + dw // 2, dy + dh // 2)
    # Typed into once it is drawn over the board (neither the board's blue
    # nor its red shows at its middle any more).
    middle = (dx + dw // 2, dy + dh // 2)

    def dialog_drawn():
        shown = s.screenshot([middle])[middle][:3]
        return not close_to(shown, BLUE, 40) and not close_to(shown, RED, 40)
    wait_for("the save dialog to be drawn", dialog_drawn)
    s.key("ctrl+a")
    s.run("xdotool", "type", "--delay", "20", target)
    s.key("Return")
    wait_for("the saved image", lambda: os.path.exists(target) and os.path.getsize(target) > 0)
    points = [(100, 100), (280, 400), (680, 400), (480, 400), (1800, 1000)]

    def probe():
        try:
            return probe_image(target, points)
        except TestFailure:
            return None
    size, colours = wait_for("a complete image file", probe)
    check(size == (s.width, s.height), f"the saved image is {size}, not the second screen")
    for point in [(100, 100), (480, 400), (1800, 1000)]:
        check(close_to(colours[point][:3], BLUE), f"saved image at {point} is {colours[point]}, not the second screen's")
    for point in [(280, 400), (680, 400)]:
        check(close_to(colours[point][:3], RED, 40), f"saved image lacks the rectangle at {point}: {colours[point]}")


def test_no_portal(s):
    """The portal's back end gone: the user is told, no board opens, the strip carries on."""
    s.show_colour("HEADLESS-1", "ff8800")
    s.stop_wlr_backend()
    app, strip, (x, y, w, h) = start(s)
    b = button_centres(x, y)
    s.click(*b["open"])
    message = s.wait_new_window(app.pid, [strip], "the message", limit=90)
    check(s.geometry(message)[2:] != (s.width, s.height), "a board opened although nothing was captured")
    check("The screen could not be captured: " in s.log("scribbloom.log"), "the failure's reason went nowhere")
    check(strip in s.visible_windows(app.pid), "the strip went away")
    # Closing the message (Return chooses its one button) leaves the strip usable:
    # the board opens as soon as the desktop hands over pictures again.
    s.key("Return")
    # The failed capture returns before any board is made, so none can map later.
    wait_for("the message to close", lambda: message not in s.visible_windows(app.pid))
    check(not [w for w in s.visible_windows(app.pid) if w != strip and s.geometry(w)[2:] == (s.width, s.height)],
          "a board window mapped after the failed capture")
    s.start_wlr_backend()
    board, _ = open_board(s, app, strip, b, (0, 0, s.width, s.height))
    wait_for("the board with the picture", lambda: shows(s, {(960, 540): ORANGE}))


CASES = {"board": (1, test_board), "two-screens": (2, test_two_screens), "no-portal": (1, test_no_portal)}


def main():
    outputs, test = CASES[sys.argv[1]]
    name = "e2e_wayland_" + sys.argv[1]
    try:
        with Session(outputs=outputs) as s:
            try:
                test(s)
            except TestFailure:
                shot = os.path.abspath(name + "-failure.png")
                try:
                    s.run("grim", os.path.join(s.tmp, "failure.png"))
                    shutil.copy(os.path.join(s.tmp, "failure.png"), shot)
                    print(f"outputs at the failure: {shot}")
                except (TestFailure, OSError):
                    pass
                for log in ("scribbloom.log", "sway.log", "portal.log", "wlr.log"):
                    print(f"---- {log}:\n" + s.log(log)[-2000:])
                raise
    except TestFailure as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
    print("PASS")


if __name__ == "__main__":
    main()
