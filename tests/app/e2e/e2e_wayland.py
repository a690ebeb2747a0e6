#!/usr/bin/python3
"""Scribbloom on a Wayland desktop (sway, GNOME or KDE Plasma, headless), as
a user runs it there: it starts on XWayland by itself, takes the board's
picture through the desktop (its screenshot portal, or KWin's own
interface), opens the board on the screen that holds the strip, leaves no
picture of the screen behind, and says so when the picture cannot be had.

usage: e2e_wayland.py sway|gnome|kde board|two-screens|no-portal|bound-key
"""

import os
import sys
import time

from desktop import TestFailure, check, close_to, probe_image, wait_for
from strip import button_centres
from wayland import session

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


def check_nothing_left(s):
    """The desktop wrote a picture of the screen for every board: none may stay.
    On KDE the pictures come from KWin itself, the desktop entry allowing it."""
    left = s.pictures_left()
    check(not left, f"pictures of the screen left behind: {left}")
    if s.name == "kde":
        log = s.log("scribbloom.log")
        check("KWin's screenshot interface gave no picture" not in log,
              f"the pictures came through the portal instead of KWin: {log[-600:]}")


def test_board(s):
    """One output: the board shows what the native window showed, full-screen
    under the strip, and stays so."""
    screen = s.screens()[0]
    sx, sy, sw, sh = screen
    s.show_colour(0, "ff8800")
    wait_for("the native window's colour", lambda: shows(s, {(sw // 2, sh // 2): ORANGE}))
    app, strip, (x, y, w, h) = start(s)
    # Not tiled: the strip floats at the right edge of the screen, centred.
    check(x + w == sx + sw and y == sy + (sh - h) // 2, f"the strip is not at the right edge: {(x, y, w, h)}")
    b = button_centres(x, y)

    board, seconds = open_board(s, app, strip, b, screen)
    print(f"switch to board: {seconds * 1000:.0f} ms")
    # Corners too: a board that is not full-screen leaves the desktop's panels
    # showing. Not the middle, where KDE's picture has the compositor's
    # pointer drawn in (XTest moves XWayland's only).
    points = {(300, 300): ORANGE, (sw // 3, sh // 3): ORANGE, (sw - 420, sh - 180): ORANGE, (4, 4): ORANGE,
              (sw - 4, 4): ORANGE, (4, sh - 4): ORANGE}
    wait_for("the board showing the native window's colour", lambda: shows(s, points))
    wait_for("the strip above the board", lambda: shows(s, {(x + 20, y + 14): STRIP_GREY}, 6))
    # The compositor manages the board only, as a full-screen window; the strip floats unmanaged.
    managed = s.board_state(app.pid)
    if managed is not None:
        check(len(managed) == 1 and managed[0][1],
              f"the compositor does not hold the board alone and full-screen: {managed}")

    # The window under the board changes; the board is a still picture.
    s.recolour(0, "00ff00")
    for _ in range(3):
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
    wait_for("the live screen", lambda: shows(s, {(sw // 2, sh // 2): GREEN}))

    # A second board, for the desktops that number their pictures.
    board, _ = open_board(s, app, strip, b, screen)
    wait_for("the second board showing the live colour", lambda: shows(s, {(sw // 3, sh // 3): GREEN}))
    check_nothing_left(s)


def test_two_screens(s):
    """Two outputs, the second at scale 2, the strip dragged to the second: the
    board covers that output only, a shape lands at the pointer, and saving
    gives its pixels at its own scale."""
    first, second = s.screens()
    ox, oy = second[:2]
    s.show_colour(0, "ff8800")
    s.show_colour(1, "0088ff")
    wait_for("both windows' colours", lambda: shows(s, {(first[2] // 2, 540): ORANGE, (ox + 960, oy + 540): BLUE}))
    app, strip, (x, y, w, h) = start(s)
    check(x + w == first[0] + first[2], f"the strip does not start at the right edge of the first screen: {(x, y)}")

    # Drag it by its empty panel to the middle of the second screen: up or
    # down first, within the first screen (the pointer stays on the screens).
    dx, dy = ox + second[2] // 2 - x, oy + (second[3] - h) // 2 - y
    s.drag([(x + 41, y + 700), (x + 20, y + 690), (x + 20, y + 700 + dy), (x + 41 + dx // 2, y + 700 + dy),
            (x + 41 + dx, y + 700 + dy)])
    wait_for("the strip on the second screen", lambda: s.geometry(strip)[:2] == (x + dx, y + dy))
    x, y = s.geometry(strip)[:2]
    b = button_centres(x, y)
    # Where the compositor's focus decides the full-screen output, the real
    # pointer would have given it the second one.
    s.focus_output(1)

    board, seconds = open_board(s, app, strip, b, second)
    print(f"switch to board on the second screen: {seconds * 1000:.0f} ms")
    wait_for("the second screen's picture on the board",
             lambda: shows(s, {(ox + 380, oy + 300): BLUE, (ox + 1380, oy + 900): BLUE}))

    # Both windows change colour: the first screen is live, the second frozen.
    s.recolour(0, "00ff00")
    s.recolour(1, "ffff00")
    wait_for("the first screen to stay live", lambda: shows(s, {(first[2] // 2, 540): GREEN}))
    check(shows(s, {(ox + 380, oy + 300): BLUE, (ox + 1380, oy + 900): BLUE}),
          "the board does not hold the second screen's picture")

    # A red rectangle (size 3) dragged on the board lands under the pointer.
    s.click(*b["size3"])
    s.click(*b["rectangle"])
    s.drag([(ox + 280, oy + 300), (ox + 380, oy + 350), (ox + 530, oy + 420), (ox + 680, oy + 500)])
    wait_for("the rectangle at the pointer", lambda: shows(
        s, {(ox + 280, oy + 400): RED, (ox + 680, oy + 400): RED, (ox + 480, oy + 300): RED,
            (ox + 480, oy + 500): RED, (ox + 480, oy + 400): BLUE, (ox + 270, oy + 400): BLUE,
            (ox + 690, oy + 400): BLUE}, 40))

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
    # Where the strip stood while the picture was taken: it had left the screen.
    under_strip = (x - ox + 20, y - oy + 14)
    points = [(100, 100), (280, 400), (680, 400), (480, 400), (1800, 1000), under_strip]

    def probe():
        try:
            return probe_image(target, points)
        except TestFailure:
            return None
    size, colours = wait_for("a complete image file", probe)
    check(size == tuple(second[2:]), f"the saved image is {size}, not the second screen's {second[2:]}")
    for point in [(100, 100), (480, 400), (1800, 1000)]:
        check(close_to(colours[point][:3], BLUE), f"saved image at {point} is {colours[point]}, not the second screen's")
    for point in [(280, 400), (680, 400)]:
        check(close_to(colours[point][:3], RED, 40), f"saved image lacks the rectangle at {point}: {colours[point]}")
    check(close_to(colours[under_strip][:3], BLUE),
          f"the strip is in the board's picture: {colours[under_strip]} at {under_strip}")
    check_nothing_left(s)


def test_no_portal(s):
    """No way to the picture (the compositor's screen copy out of the
    program's reach, the portal's back end gone): the user is told, no board
    opens, the strip carries on; the portal serves again once it is back."""
    sw, sh = s.screens()[0][2:]
    s.show_colour(0, "ff8800")
    s.stop_wlr_backend()
    # A Wayland session still, but no compositor answers there.
    app = s.start_program(env={"WAYLAND_DISPLAY": "wayland-unreachable"})
    strip = s.wait_new_window(app.pid, [], "the tool strip", size=STRIP)
    x, y, w, h = s.geometry(strip)
    b = button_centres(x, y)
    s.click(*b["open"])
    message = s.wait_new_window(app.pid, [strip], "the message", limit=90)
    check(s.geometry(message)[2:] != (sw, sh), "a board opened although nothing was captured")
    check("The screen could not be captured: " in s.log("scribbloom.log"), "the failure's reason went nowhere")
    check(strip in s.visible_windows(app.pid), "the strip went away")
    # Closing the message (Return chooses its one button) leaves the strip usable:
    # the board opens as soon as the desktop hands over pictures again.
    s.key("Return")
    # The failed capture returns before any board is made, so none can map later.
    wait_for("the message to close", lambda: message not in s.visible_windows(app.pid))
    check(not [w for w in s.visible_windows(app.pid) if w != strip and s.geometry(w)[2:] == (sw, sh)],
          "a board window mapped after the failed capture")
    s.start_wlr_backend()
    board, _ = open_board(s, app, strip, b, s.screens()[0])
    wait_for("the board with the picture", lambda: shows(s, {(sw // 2, sh // 2): ORANGE}))
    check_nothing_left(s)


def test_bound_key(s):
    """sway has no global-shortcut portal: the user binds a key to
    "scribbloom --board" in its configuration. That key, typed on a keyboard
    sway knows (a virtual one here), opens the board in the running copy, and
    again closes it."""
    screen = s.screens()[0]
    s.show_colour(0, "ff8800")
    app, strip, _ = start(s)
    s.swaymsg(f"bindsym Ctrl+Alt+b exec '{s.program_path()} --board'")
    s.run("wtype", "-M", "ctrl", "-M", "alt", "b", "-m", "alt", "-m", "ctrl")
    board = s.wait_new_window(app.pid, [strip], "the board", size=(screen[2], screen[3]))
    wait_for("the board with the picture", lambda: shows(s, {(screen[2] // 3, screen[3] // 2): ORANGE}))
    s.run("wtype", "-M", "ctrl", "-M", "alt", "b", "-m", "alt", "-m", "ctrl")
    wait_for("the board to close", lambda: board not in s.visible_windows(app.pid))
    check(app.poll() is None and strip in s.visible_windows(app.pid), "the key did more than close the board")


CASES = {"board": (1, test_board), "two-screens": (2, test_two_screens), "no-portal": (1, test_no_portal),
         "bound-key": (1, test_bound_key)}


def main():
    desktop, case = sys.argv[1], sys.argv[2]
    outputs, test = CASES[case]
    name = f"e2e_{desktop}_{case.replace('-', '_')}"
    started = time.monotonic()
    try:
        with session(desktop, outputs=outputs) as s:
            try:
                test(s)
            except TestFailure:
                try:
                    print(f"outputs at the failure: {s.save_screenshot(os.path.abspath(name + '-failure'))}")
                except (TestFailure, OSError):
                    pass
                for log in s.logs():
                    print(f"---- {log}:\n" + s.log(log)[-2000:])
                raise
    except TestFailure as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
    print(f"PASS ({time.monotonic() - started:.1f} s)")


if __name__ == "__main__":
    main()
