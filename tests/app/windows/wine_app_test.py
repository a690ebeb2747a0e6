#!/usr/bin/python3
"""The Windows build of the program (build-windows/Scribbloom, the folder a
Windows user gets) run under Wine on a private Xvfb screen and driven with
xdotool, judged by the screen's pixels and the files it writes.

    wine_app_test.py prepare   build the Windows tree, make a fresh Wine prefix
    wine_app_test.py units     the Windows side's unit tests (QtTest, under Wine)
    wine_app_test.py board     the strip at the right edge, the board showing the
                               screen, a pen stroke, the board saved as PNG
    wine_app_test.py second    a second start shows the "already running" notice
    wine_app_test.py crash     a crash ends in FaultTrace's report and archive
    wine_app_test.py cleanup   end the prefix's Wine server, remove the prefix

Needs WINDOWS_BUILD_DIR (the mingw-w64 build), WINEPREFIX (under the Linux
build tree), SCRIBBLOOM_SOURCE_DIR and SCRIBBLOOM_BIN_DIR (the Linux build's
programs, for reading image files). BOARD_SHOT, when set, names a file that
receives the screen with the drawn board.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from desktop import Desktop, TestFailure, check, close_to, probe_image, wait_for  # noqa: E402
from strip import button_centres  # noqa: E402

BACKGROUND = (0x33, 0x66, 0x99)
RED = (255, 0, 0)
STRIP = (52, 52, 52)
STRIP_SIZE = (82, 745)
VERSION = "1.1.6.1429"
# Wine starts slowly the first time in a prefix.
START_LIMIT = 180
WINE_ENVIRONMENT = {
    "WINEDEBUG": "-all",
    # No Mono or Gecko installer, no desktop menu entries, no debugger.
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe,winedbg.exe=",
}


def windows_path(path):
    """The path as a program under Wine sees it: drive Z: is the root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_env(d=None):
    env = dict(d.env if d else os.environ)
    env.update(WINE_ENVIRONMENT)
    env["WINEPREFIX"] = os.environ["WINEPREFIX"]
    # The Wine server's socket folder, inside the prefix the cleanup
    # removes, not in the shared temporary folder.
    env["TMPDIR"] = os.path.join(os.environ["WINEPREFIX"], "server-tmp")
    os.makedirs(env["TMPDIR"], exist_ok=True)
    # The crash reporter asks for the public address at a closed port on
    # this machine, never on the network.
    env["FAULTTRACE_IPSERV"] = "127.0.0.1:1"
    env.pop("QT_QPA_PLATFORM", None)
    return env


def end_wine(env):
    subprocess.run(["wineserver", "-k"], env=env, timeout=30, capture_output=True)
    subprocess.run(["wineserver", "-w"], env=env, timeout=60, capture_output=True)


def build_dir():
    return os.environ["WINDOWS_BUILD_DIR"]


def prepare():
    script = os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "scripts", "build-windows.sh")
    result = subprocess.run([script, build_dir()], capture_output=True, timeout=1800)
    check(result.returncode == 0,
          "building %s failed:\n%s" % (build_dir(), (result.stdout + result.stderr).decode()[-3000:]))
    prefix = os.environ["WINEPREFIX"]
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(prefix)
    env = wine_env()
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    log_path = os.path.join(prefix, "wineboot.log")
    with open(log_path, "wb") as log:
        boot = subprocess.run(["wineboot", "-i"], env=env, stdout=log, stderr=subprocess.STDOUT, timeout=180)
    end_wine(env)
    check(boot.returncode == 0, "wineboot failed: %s" % open(log_path, errors="replace").read()[-2000:])


def cleanup():
    prefix = os.environ["WINEPREFIX"]
    if os.path.isdir(prefix):
        end_wine(wine_env())
    shutil.rmtree(prefix, ignore_errors=True)


class WineDesktop:
    """A Desktop (Xvfb, xdotool) with a copy of the program folder that
    Scribbloom.exe runs from under Wine."""

    def __init__(self, d):
        self.d = d
        self.app_dir = os.path.join(d.tmp, "Scribbloom")
        shutil.copytree(os.path.join(build_dir(), "Scribbloom"), self.app_dir)
        self.work = os.path.join(d.tmp, "work")
        os.makedirs(self.work)
        self.env = wine_env(d)
        self.program = os.path.join(self.app_dir, "Scribbloom.exe")
        # What an earlier case's program kept in the prefix's user folders (a
        # board journal would have this start ask about reopening it).
        for kept in glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*", "AppData", "Local",
                                           "Scribbloom*")):
            shutil.rmtree(kept, ignore_errors=True)

    def start(self, name="scribbloom"):
        return self.d.spawn(["wine", windows_path(self.program)], cwd=self.work, env=self.env,
                            log=os.path.join(self.d.tmp, name + ".log"))

    def windows(self):
        # Wine names each X window's class after the program.
        out = self.d.run("xdotool", "search", "--onlyvisible", "--class", "scribbloom.exe", check_rc=False)
        return [int(w) for w in out.split()]

    def new_window(self, known, what, size=None, limit=START_LIMIT):
        def probe():
            for w in self.windows():
                if w in known:
                    continue
                try:
                    shape = self.d.geometry(w)[2:]
                except TestFailure:
                    continue
                if size is None or (size(shape) if callable(size) else shape == size):
                    return w
            return None
        return wait_for(what, probe, limit=limit)

    def strip(self):
        d = self.d
        strip = self.new_window([], "the tool strip", size=STRIP_SIZE)
        x, y, w, h = d.geometry(strip)
        wait_for("the strip to be drawn", lambda: close_to(d.screen.snapshot().pixel(x + 20, y + 14), STRIP, 6))
        return strip, (x, y, w, h)

    def close(self):
        end_wine(self.env)


def with_wine(test):
    def run(d):
        w = WineDesktop(d)
        try:
            test(d, w)
        except TestFailure:
            # What the screen showed, while the program still runs.
            shot = os.path.abspath("wine-%s-failure.png" % test.__name__)
            d.screen.snapshot().save_png(shot)
            print("screen at the failure: " + shot)
            for name in ("scribbloom", "second"):
                log = os.path.join(d.tmp, name + ".log")
                if os.path.exists(log):
                    print("%s output:\n%s" % (name, open(log, errors="replace").read()[-3000:]))
            raise
        finally:
            w.close()
    return run


def shows(d, expected, tolerance=8):
    frame = d.screen.snapshot()
    return all(close_to(frame.pixel(*point), colour, tolerance) for point, colour in expected.items())


@with_wine
def board(d, w):
    d.run("xsetroot", "-solid", "#336699")
    w.start()
    strip, (x, y, sw, sh) = w.strip()
    # At the right edge of the monitor the system reports (its shadow margin
    # may stand off the edge), wholly on the screen.
    check(d.width - 12 <= x + sw <= d.width, "the strip is not at the right edge: x=%d w=%d" % (x, sw))
    check(0 <= y and y + sh <= d.height, "the strip is not wholly on the screen: y=%d h=%d" % (y, sh))
    b = button_centres(x, y)

    # The board: a window covering the screen, showing the frozen screen.
    d.click(*b["open"])
    board_window = w.new_window([strip], "the board", size=(d.width, d.height))
    check(d.geometry(board_window)[:2] == (0, 0), "the board does not cover the screen from its corner")
    wait_for("the strip drawn above the board",
             lambda: shows(d, {(x + 20, y + 14): STRIP}, 6))
    # The desktop's colour comes back from the snapshot, not from the X
    # server: the root is turned another colour once the board is up, and the
    # board must still show the old one.
    d.run("xsetroot", "-solid", "#00ff00")
    wait_for("the board to show the snapshot", lambda: shows(d, {(700, 500): BACKGROUND, (100, 900): BACKGROUND}))

    # A thick red pen stroke (the board starts with red).
    d.click(*b["size5"])
    d.click(*b["pen"])
    d.drag([(400, 500)] + [(400 + 25 * i, 500) for i in range(1, 13)])
    wait_for("the stroke on the board", lambda: shows(d, {(550, 500): RED, (550, 560): BACKGROUND}, 40))
    shot = os.environ.get("BOARD_SHOT")
    if shot:
        d.screen.snapshot().save_png(shot)

    # Save through the panel, as PNG, into a folder of ours.
    out_dir = os.path.join(d.tmp, "saved")
    os.makedirs(out_dir)
    target = os.path.join(out_dir, "board.png")
    known = w.windows()
    d.click(*b["save"])
    # The system's file dialog: a new window of a dialog's size.
    dialog = w.new_window(known, "the save dialog", size=lambda shape: shape[0] > 300 and shape[1] > 200)
    dx, dy, dw, dh = d.geometry(dialog)
    # Drawn, with its file list (white) where the board was.
    wait_for("the save dialog to be drawn",
             lambda: close_to(d.screen.snapshot().pixel(dx + dw // 2, dy + dh // 2), (255, 255, 255), 8),
             limit=START_LIMIT)
    d.move(dx + dw // 2, dy + dh // 2)
    d.focus(dialog)
    # The name field holds the keyboard: its offered name is replaced.
    d.key("End")
    d.key("shift+Home")
    # The name without its suffix, and the PNG type (last but one in the
    # list, before board files), whose suffix the dialog adds (Wine's adds
    # it to a typed one too).
    d.type(windows_path(target)[:-len(".png")])
    d.key("Tab")
    d.key("End")
    d.key("Up")
    d.key("Return")
    wait_for("the saved image", lambda: os.path.exists(target) and os.path.getsize(target) > 0)

    def probed():
        try:
            return probe_image(target, [(900, 500), (550, 500), (550, 560), (1880, 500)])
        except TestFailure:
            return None
    size, colours = wait_for("a complete image file", probed)
    check(size == (d.width, d.height), "the saved image is %s, not the whole board" % (size,))
    check(close_to(colours[(900, 500)][:3], BACKGROUND, 8), "the saved image lacks the snapshot: %s" % (colours,))
    check(close_to(colours[(550, 500)][:3], RED), "the saved image lacks the stroke: %s" % (colours,))
    check(close_to(colours[(550, 560)][:3], BACKGROUND, 8), "the stroke is too thick in the saved image")


@with_wine
def second(d, w):
    first = w.start()
    strip, _ = w.strip()
    known = w.windows()
    again = w.start("second")
    # The system's message box, titled after the program.
    notice = wait_for("the already-running notice",
                      lambda: next((n for n in w.windows() if n not in known and d.name(n) == "Scribbloom"), None),
                      limit=START_LIMIT)
    nx, ny, nw, nh = d.geometry(notice)
    check(nw > 100 and nh > 50 and nx >= 0 and ny >= 0 and nx + nw <= d.width and ny + nh <= d.height,
          "the notice is not wholly on the screen: %s" % ((nx, ny, nw, nh),))
    # Dismissed, the second copy ends and the first one goes on.
    d.focus(notice)
    d.key("Return")
    wait_for("the second copy to end", lambda: again.poll() is not None, limit=START_LIMIT)
    check(first.poll() is None and strip in w.windows(), "the first copy ended with the second")


@with_wine
def crash(d, w):
    # The stand-in post-mortem program records how it was started.
    shutil.copy2(os.path.join(build_dir(), "bin", "Postmortem.exe"), w.app_dir)
    app = w.start()
    w.strip()
    injector = os.path.join(build_dir(), "bin", "FaultInjector.exe")
    result = subprocess.run(["wine", windows_path(injector), "Scribbloom.exe"], env=w.env, capture_output=True,
                            timeout=START_LIMIT)
    out = (result.stdout + result.stderr).decode(errors="replace")
    check("faulted process" in out, "the fault was not injected: " + out)
    dump_dir = os.path.join(w.app_dir, "dump")

    def archives():
        if not os.path.isdir(dump_dir):
            return []
        return [n for n in os.listdir(dump_dir) if re.fullmatch(re.escape(VERSION) + r"_FaultTrace\[.*\]\.zip", n)]
    found = wait_for("the crash archive in the program's dump folder", archives, limit=180)
    archive_path = os.path.join(dump_dir, found[0])
    wait_for("the crashed program to end", lambda: app.poll() is not None, limit=120)
    test = subprocess.run(["unzip", "-t", archive_path], capture_output=True, text=True)
    check(test.returncode == 0, "unzip -t: " + test.stdout + test.stderr)
    with zipfile.ZipFile(archive_path) as archive:
        check(sorted(archive.namelist()) == ["FaultTrace.DMP", "FaultTrace.txt"], "archive holds %s" % archive.namelist())
        check(archive.read("FaultTrace.DMP")[:4] == b"MDMP", "the archive's minidump is not one")
        report = archive.read("FaultTrace.txt").decode("ascii", errors="replace")
    check("[Stack Info]" in report, "the report has no stack section")
    modules = report[report.find("[Module Info]"):].lower()
    check("] %s\r\n" % windows_path(w.program).lower() in modules,
          "Scribbloom.exe is not in the module list:\n" + modules[:1500])
    check("] %s (%s)\r\n" % (windows_path(os.path.join(w.app_dir, "FaultTrace.dll")).lower(), VERSION) in modules,
          "FaultTrace.dll is not in the module list with its version:\n" + modules[:1500])
    log = os.path.join(w.app_dir, "postmortem.log")
    wait_for("the post-mortem program to start", lambda: os.path.exists(log) and os.path.getsize(log) > 0)
    lines = open(log).read().split("\n")
    check(lines[1:3] == ["1", "-dump"], "Postmortem.exe was started as %r" % lines)


def units(d):
    """WindowsPlatformTest.exe and PrivateProfileTest.exe, judged by the
    result files QtTest writes."""
    bin_dir = os.path.join(build_dir(), "bin")
    env = wine_env(d)
    # Beside a copy of the program folder, where Qt finds its DLLs and
    # plugins as the program does, with Qt's test library from the cached Qt
    # (the program does not ship it).
    script = os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "scripts", "build-windows-deps.sh")
    prefixes = dict(line.split("=", 1) for line in
                    subprocess.run([script, "--print-prefixes"], capture_output=True, text=True).stdout.split())
    check("qt" in prefixes, "the cached Qt for Windows is missing")
    folder = os.path.join(d.tmp, "units")
    shutil.copytree(os.path.join(build_dir(), "Scribbloom"), folder)
    shutil.copy2(os.path.join(prefixes["qt"], "bin", "Qt5Test.dll"), folder)
    for program in ("WindowsPlatformTest", "PrivateProfileTest"):
        shutil.copy2(os.path.join(bin_dir, program + ".exe"), folder)
    failures = []
    # The Linux reader's tests of how the profile calls read files, and of
    # what no writer may put in one, run against the real calls; how the
    # Linux writer lays out the lines it writes is its own affair.
    profile_cases = ["readsValuesTheWayWindowsDoes", "readsUtf16FilesWithByteOrderMark",
                     "missingFileGivesTheDefault", "readsIntegersFromTheLeadingDigits",
                     "writerRejectsTextThatWouldBreakTheFile"]
    try:
        for program, cases in (("WindowsPlatformTest", []), ("PrivateProfileTest", profile_cases)):
            result_file = os.path.join(d.tmp, program + ".txt")
            with open(os.path.join(d.tmp, program + ".log"), "wb") as log:
                subprocess.run(["wine", windows_path(os.path.join(folder, program + ".exe")),
                                "-o", windows_path(result_file) + ",txt"] + cases,
                               cwd=d.tmp, env=env, stdout=log, stderr=subprocess.STDOUT, timeout=240)
            text = open(result_file, errors="replace").read() if os.path.exists(result_file) else ""
            totals = re.search(r"^Totals: (\d+) passed, (\d+) failed", text, re.M)
            print(text)
            if not totals or int(totals.group(1)) == 0 or int(totals.group(2)) != 0:
                failures.append(program)
                print(open(os.path.join(d.tmp, program + ".log"), errors="replace").read()[-3000:])
    finally:
        end_wine(env)
    check(not failures, "failed under Wine: %s" % ", ".join(failures))


CASES = {"board": board, "second": second, "crash": crash, "units": units}


def main():
    what = sys.argv[1] if len(sys.argv) == 2 else ""
    try:
        if what == "prepare":
            prepare()
        elif what == "cleanup":
            cleanup()
        elif what in CASES:
            with Desktop() as d:
                CASES[what](d)
        else:
            print("usage: wine_app_test.py prepare|cleanup|" + "|".join(CASES), file=sys.stderr)
            return 2
    except TestFailure as failure:
        print("FAIL %s: %s" % (what, failure))
        return 1
    print("PASS %s" % what)
    return 0


if __name__ == "__main__":
    sys.exit(main())
