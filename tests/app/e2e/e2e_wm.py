#!/usr/bin/python3
"""Under a window manager (openbox) the strip stays above the board while the
user draws on it, every time the board is opened: window managers put a
focused screen-sized window above even "always on top" ones unless the strip
belongs to it. The exit question asked over the board shows above it.
Escape puts the colour picker chosen on the strip away, though the click on
the strip gave it the focus; closing the strip with Alt+F4 asks the exit
question, and No keeps the strip and the board."""

import os

from desktop import check, close_to, main, program_path, wait_for
from e2e_shell import answer_question
from strip import button_centres

STRIP_GREY = (52, 52, 52)
RED = (255, 0, 0)


def active_window(d):
    out = d.run("xprop", "-root", "_NET_ACTIVE_WINDOW", check_rc=False)
    return int(out.split()[-1], 16) if "#" in out else None


def strip_shows(d, x, y):
    return close_to(d.screen.snapshot().pixel(x + 14, y + 14), STRIP_GREY, 6)


def test(d):
    d.run("xsetroot", "-solid", "#336699")
    d.spawn(["openbox", "--sm-disable"])
    wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
             d.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check_rc=False))
    work = os.path.join(d.tmp, "work")
    os.makedirs(work)
    app = d.spawn([program_path()], cwd=work, log=os.path.join(d.tmp, "scribbloom.log"))
    strip = d.wait_new_window(app.pid, [], "the tool strip", size=(82, 745))
    wait_for("the strip to be drawn", lambda: strip_shows(d, *d.geometry(strip)[:2]))
    x, y, _, _ = d.geometry(strip)
    b = button_centres(x, y)

    for attempt, row in enumerate([300, 600]):
        d.click(*b["open"])
        board = d.wait_new_window(app.pid, [strip], "the board", size=(d.width, d.height))
        wait_for("the strip above the new board", lambda: d.stacked_above(strip, board))
        # Drawing focuses the board; the window manager restacks on that click.
        d.click(*b["size5"])
        d.drag([(300, row)] + [(300 + 40 * i, row) for i in range(1, 6)])
        d.click(900, row + 100)
        wait_for("the stroke on the board", lambda: close_to(d.screen.snapshot().pixel(400, row), RED))
        # The window manager has handled the click once it made the board active.
        wait_for("the board to become the active window", lambda: active_window(d) == board)
        check(d.stacked_above(strip, board),
              f"the board covers the strip after a click on it (opening {attempt + 1})")
        if attempt == 0:
            # The picker, chosen on the strip, goes away with Escape: the pen
            # then draws again.
            d.click(*b["colorpicker"])
            wait_for("the board to get the keyboard back", lambda: active_window(d) == board)
            d.key("Escape")
            d.drag([(300, row + 200)] + [(300 + 40 * i, row + 200) for i in range(1, 6)])
            wait_for("a stroke after Escape", lambda: close_to(d.screen.snapshot().pixel(400, row + 200), RED))
        if attempt == 1:
            # The exit question shows above the board; No keeps both.
            known = d.visible_windows(app.pid)
            d.click(*b["exit"])
            question = d.wait_new_window(app.pid, known, "the exit question")
            wait_for("the question above the board", lambda: d.stacked_above(question, board))
            answer_question(d, question, yes=False)
            wait_for("the question to close", lambda: question not in d.visible_windows(app.pid))
            check(app.poll() is None and board in d.visible_windows(app.pid), "answering No closed something")
            # Alt+F4 on the strip asks the same question; No keeps both.
            known = d.visible_windows(app.pid)
            d.run("xdotool", "windowactivate", "--sync", str(strip))
            d.key("alt+F4")
            question = d.wait_new_window(app.pid, known, "the exit question after Alt+F4")
            check(d.name(question) == "提示", f"Alt+F4 brought up {d.name(question)!r}, not the exit question")
            answer_question(d, question, yes=False)
            wait_for("the question to close", lambda: question not in d.visible_windows(app.pid))
            check(app.poll() is None and {strip, board} <= set(d.visible_windows(app.pid)),
                  "answering No to Alt+F4 closed something")
        d.click(*b["open"])
        wait_for("the board to close", lambda: board not in d.visible_windows(app.pid))


if __name__ == "__main__":
    main(test)
