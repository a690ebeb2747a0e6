#!/usr/bin/python3
"""`cmake --install` lays the program out so that it runs from the install:
a link on the PATH, the program with its library, translations, skins and
help in one folder, a desktop entry and icons. Started through the link, the
installed program shows Chinese and opens its own installed help page, and
its exit question, asked with a board open, ends it with status 0."""

import configparser
import os
import subprocess

from desktop import check, close_to, main, wait_for
from e2e_shell import answer_question, fake_browser, opened_urls
from strip import button_centres


def install(d):
    build = os.path.dirname(os.environ["SCRIBBLOOM_BIN_DIR"])
    prefix = os.path.join(d.tmp, "prefix")
    result = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                            capture_output=True, text=True)
    check(result.returncode == 0, f"cmake --install failed: {result.stderr.strip()}")
    return prefix


def test(d):
    prefix = install(d)
    link = os.path.join(prefix, "bin", "scribbloom")
    check(os.path.islink(link), "no scribbloom link in bin")
    home = os.path.realpath(link)
    folder = os.path.dirname(home)
    check(os.path.basename(home) == "Scribbloom" and os.access(home, os.X_OK),
          f"the link leads to {home}, not the program")
    for needed in ["libFaultTrace.so", "translations/Scribbloom_zh.qm", "help/index.html",
                   "help/index_zh.html", "help/help.css", "help/img/pen4.png", "skin/classicwhite.rcc",
                   "skin/coolblack.rcc"]:
        check(os.path.isfile(os.path.join(folder, needed)), f"{needed} is not installed beside the program")

    entry_path = os.path.join(prefix, "share", "applications", "net.scribbloom.Scribbloom.desktop")
    checked = subprocess.run(["desktop-file-validate", entry_path], capture_output=True, text=True)
    check(checked.returncode == 0 and not checked.stdout.strip(),
          f"the desktop entry is not valid: {checked.stdout.strip()} {checked.stderr.strip()}")
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    check(entry.read(entry_path, encoding="utf-8"), "no desktop entry installed")
    section = entry["Desktop Entry"]
    # By the link's full path: KWin hands its screenshot interface to the
    # program whose executable that path leads to.
    check(section.get("Type") == "Application" and section.get("Exec") == os.path.join(prefix, "bin", "scribbloom") + " %f",
          f"the desktop entry does not start the installed link: Exec={section.get('Exec')}")
    check(section.get("X-KDE-DBUS-Restricted-Interfaces") == "org.kde.KWin.ScreenShot2",
          "the desktop entry does not ask KWin for its screenshot interface")
    icon = section.get("Icon")
    for size in ["48x48", "128x128"]:
        check(os.path.isfile(os.path.join(prefix, "share", "icons", "hicolor", size, "apps", icon + ".png")),
              f"no {size} icon named {icon}")
    check(os.path.isfile(os.path.join(prefix, "share", "icons", "hicolor", "scalable", "apps", icon + ".svg")),
          "no scalable icon")

    # Started through the link on the PATH, as the desktop entry does.
    env, opened = fake_browser(d)
    env["PATH"] = os.path.join(prefix, "bin") + os.pathsep + env["PATH"]
    work = os.path.join(d.tmp, "work")
    os.makedirs(work)
    app = d.spawn(["scribbloom"], cwd=work, env=env, log=os.path.join(d.tmp, "scribbloom.log"))
    strip = d.wait_new_window(app.pid, [], "the installed program's strip", size=(82, 745))
    x, y, _, _ = d.geometry(strip)
    b = button_centres(x, y)
    wait_for("the strip to be drawn",
             lambda: close_to(d.screen.snapshot().pixel(x + 14, y + 14), (52, 52, 52), 6))

    d.click(*b["help"])
    wait_for("the help page to be opened", lambda: opened_urls(opened))
    check(opened_urls(opened)[0] == "file://" + os.path.join(folder, "help", "index_zh.html"),
          f"the installed program opened {opened_urls(opened)[0]}")

    # Exit with a board open: the board asks, and Yes ends the program.
    d.click(*b["open"])
    board = d.wait_new_window(app.pid, [strip], "the board", size=(d.width, d.height))
    wait_for("the strip above the board", lambda: d.stacked_above(strip, board))
    known = d.visible_windows(app.pid)
    d.click(*b["exit"])
    question = d.wait_new_window(app.pid, known, "the exit question")
    check(d.name(question) == "提示", "the installed program does not speak Chinese")
    d.settle()
    answer_question(d, question, yes=True)
    rc = wait_for("the program to end", lambda: app.poll() is not None and (app.returncode,))
    check(rc == (0,), f"the installed program ended with {rc[0]}")


if __name__ == "__main__":
    main(test)
