#!/usr/bin/python3
"""The shell as a user meets it: the strip's place, a refused second start,
the help page from the strip and from the application menu, the tray icon
raising the strip, and the exit question (No keeps the program, Yes ends it
with status 0) in the Chinese the program starts in."""

import os
import stat

from desktop import TestFailure, check, close_to, main, program_path, wait_for
from strip import button_centres

STRIP_GREY = (52, 52, 52)
YES_BLUE = (0x1E, 0x7F, 0xE8)
NO_BORDER = (0xC8, 0xC8, 0xC8)


def fake_browser(d):
    """An xdg-open that only notes what it was asked to open."""
    bin_dir = os.path.join(d.tmp, "bin")
    os.makedirs(bin_dir)
    opened = os.path.join(d.tmp, "opened.txt")
    script = os.path.join(bin_dir, "xdg-open")
    with open(script, "w") as f:
        f.write(f'#!/bin/sh\necho "$1" >> "{opened}"\n')
    os.chmod(script, os.stat(script).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
    env = dict(d.env)
    env["PATH"] = bin_dir + os.pathsep + env["PATH"]
    return env, opened


def opened_urls(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.strip() for line in f if line.strip()]


def strip_shows(d, x, y):
    # A point of the title bar, left of the close button.
    return close_to(d.screen.snapshot().pixel(x + 14, y + 14), STRIP_GREY, 6)


def _yes_button(d, rect):
    """The blue Yes button's bounds (left, right, top, bottom) once drawn, else None."""
    frame = d.screen.snapshot()
    rows = {}
    for px, py in frame.find(rect, lambda c: close_to(c, YES_BLUE, 12)):
        rows.setdefault(py, []).append(px)
    # The question icon is blue too; only the button has rows of 70 and more blue pixels.
    button_rows = {py: xs for py, xs in rows.items() if len(xs) >= 70}
    if not button_rows:
        return None
    return (min(min(xs) for xs in button_rows.values()), max(max(xs) for xs in button_rows.values()),
            min(button_rows), max(button_rows))


def _question_buttons(d, dialog):
    """(left, right, middle, No's inner edge) of the question's buttons once
    both are drawn, read from one frame at the dialog's present place; else None."""
    rect = d.geometry(dialog)
    yes = _yes_button(d, rect)
    if not yes:
        return None
    left, right, top, bottom = yes
    middle = (top + bottom) // 2
    gx, _, gw, _ = rect
    border = d.screen.snapshot().find((gx, middle, gw, 1), lambda c: close_to(c, NO_BORDER, 10))
    others = [p[0] for p in border if p[0] < left - 2 or p[0] > right + 2]
    if not others:
        return None
    # The border pixel nearest Yes is the No button's inner edge.
    near = min(others, key=lambda px: min(abs(px - left), abs(px - right)))
    return left, right, middle, near


def answer_question(d, dialog, yes):
    """Clicks Yes (the blue button) or No (the white one beside it)."""
    # A button under the pointer shows its hover look: keep the pointer off them.
    gx, gy, _, _ = d.geometry(dialog)
    d.move(gx + 4, gy + 4)
    left, right, middle, near = wait_for("the question's Yes and No buttons", lambda: _question_buttons(d, dialog))
    if yes:
        d.click((left + right) // 2, middle)
        return
    d.click(near - 20 if near < left else near + 20, middle)


def test(d):
    env, opened = fake_browser(d)
    d.run("xsetroot", "-solid", "#336699")
    tray = d.spawn(["trayer", "--edge", "bottom", "--align", "left", "--widthtype", "pixel",
                    "--width", "60", "--heighttype", "pixel", "--height", "30",
                    "--SetDockType", "false", "--SetPartialStrut", "false"])
    work = os.path.join(d.tmp, "work")
    os.makedirs(work)
    app = d.spawn([program_path()], cwd=work, env=env, log=os.path.join(d.tmp, "scribbloom.log"))

    strip = d.wait_new_window(app.pid, [], "the tool strip", size=(82, 745))
    x, y, w, h = d.geometry(strip)
    check((x + w, y) == (d.width, (d.height - h) // 2),
          f"strip at {x},{y} is not flush right and vertically centred")
    b = button_centres(x, y)
    wait_for("the strip to be drawn", lambda: strip_shows(d, x, y))

    # A second start is refused with a notice; the first keeps running.
    second = d.spawn([program_path()], cwd=work, env=env)
    notice = d.wait_new_window(second.pid, [], "the already-running notice")
    check(d.name(notice) == "Scribbloom", f"notice titled {d.name(notice)!r}")
    d.focus(notice)
    d.key("Return")
    check(wait_for("the second start to end", lambda: second.poll() is not None) and second.returncode == 1,
          f"second start ended with {second.returncode}, not 1")
    check(app.poll() is None, "the first instance ended")

    # Help from the strip opens the program's own page, in Chinese.
    d.click(*b["help"])
    wait_for("the help page to be opened", lambda: opened_urls(opened))
    url = opened_urls(opened)[0]
    check(url.startswith("file://") and url.endswith("/help/index_zh.html"), f"help opened {url}")
    check(os.path.exists(url[len("file://"):]), f"help page {url} is not installed beside the program")

    # The application menu pops up inside the screen; its first row is Help.
    d.click(*b["menu"])
    menu = d.wait_new_window(app.pid, [strip], "the application menu", size=(180, 200))
    mx, my, mw, mh = d.geometry(menu)
    check(mx + mw <= d.width and my + mh <= d.height, "the application menu leaves the screen")
    d.click(mx + mw // 2, my + 25 + 15)
    wait_for("Help from the application menu", lambda: len(opened_urls(opened)) >= 2)
    wait_for("the menu to close", lambda: menu not in d.visible_windows(app.pid))

    # The tray icon raises the strip from under another window.
    cover = d.spawn(["xmessage", "-geometry", f"300x900+{d.width - 300}+50", "-bg", "red", "covering"])
    wait_for("a window over the strip", lambda: not strip_shows(d, x, y))
    icon = wait_for("the tray icon", lambda: _tray_icon(d, app.pid))
    ix, iy, iw, ih = d.geometry(icon)
    d.click(ix + iw // 2, iy + ih // 2)
    wait_for("the strip raised by a tray click", lambda: strip_shows(d, x, y))
    cover.terminate()

    # Exit from the strip asks first, in Chinese; No keeps everything running.
    known = d.visible_windows(app.pid)
    d.click(*b["exit"])
    question = d.wait_new_window(app.pid, known, "the exit question")
    check(d.name(question) == "提示", f"exit question titled {d.name(question)!r}, not the Chinese one")
    answer_question(d, question, yes=False)
    wait_for("the question to close", lambda: question not in d.visible_windows(app.pid))

    # Dragging the strip by the empty panel below its buttons moves it (so
    # the program answering No is still there and still answers input).
    d.drag([(x + 41, y + 700), (x - 60, y + 680), (x - 300, y + 650)])
    wait_for("the strip to follow the drag", lambda: d.geometry(strip)[:2] == (x - 341, y - 50))
    check(app.poll() is None, "answering No ended the program")

    # The tray menu's Exit asks the same question; Yes ends the program with 0.
    icon = _tray_icon(d, app.pid)
    ix, iy, iw, ih = d.geometry(icon)
    known = d.visible_windows(app.pid)
    d.click(ix + iw // 2, iy + ih // 2, button=3)
    tray_menu = d.wait_new_window(app.pid, known, "the tray menu")
    tx, ty, tw, th = d.geometry(tray_menu)
    # The menu holds a separator, then Exit at the bottom.
    d.click(tx + tw // 2, ty + th - 15 - 10)
    question = d.wait_new_window(app.pid, known + [tray_menu], "the exit question from the tray")
    answer_question(d, question, yes=True)
    rc = wait_for("the program to end", lambda: app.poll() is not None and (app.returncode,))
    check(rc == (0,), f"program ended with status {rc[0]}, not 0")
    tray.terminate()


def _tray_icon(d, pid):
    """The program's small window embedded in the tray host."""
    for window in d.windows("--pid", str(pid)):
        try:
            gx, gy, gw, gh = d.geometry(window)
        except TestFailure:
            continue
        if gw <= 40 and gh <= 40 and gy > d.height - 40:
            return window
    return None


if __name__ == "__main__":
    main(test)
