#!/usr/bin/python3
"""Time from a click on the strip's switch to the board on the screen, on a
virtual X display (Xvfb) or on a headless Wayland desktop (sway, GNOME,
KDE Plasma: the end-to-end tests' sessions), driven as those tests drive
the program, with the program's own timings of each step.

usage: open_board_bench.py xvfb|sway|gnome|kde [--cycles N] [--size WxH] [--json FILE]
       (SCRIBBLOOM_BIN_DIR: the build's bin folder, default build/bin)
"""

import argparse
import json
import os
import re
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "app", "e2e"))
os.environ.setdefault("SCRIBBLOOM_BIN_DIR", os.path.join(os.getcwd(), "build", "bin"))
os.environ.setdefault("SCRIBBLOOM_SOURCE_DIR", os.path.normpath(os.path.join(HERE, "..", "..")))

from desktop import Desktop, close_to, program_path, wait_for  # noqa: E402
from strip import button_centres  # noqa: E402
from wayland import session  # noqa: E402

STRIP = (82, 745)
TRACE = re.compile(r"board-open-trace: painted=([0-9.]+) ms(.*?) clock-click=")
# The program's steps, in the order they happen (those a back end does not
# take are missing from its lines).
STEPS = ["asked", "answered", "decoded", "built", "shown", "painted"]


def trace_lines(log):
    """Each opening's steps, in milliseconds from the handling of the click."""
    found = []
    for match in TRACE.finditer(log):
        steps = {"painted": float(match.group(1))}
        for part in match.group(2).split():
            name, _, value = part.partition("=")
            steps[name] = float(value)
        found.append(steps)
    return found


def time_openings(d, app, strip, board_size, cycles, log):
    """Openings of the board: (seconds from sending the click to the board
    window mapped at full size, the program's steps) for each."""
    b = button_centres(*d.geometry(strip)[:2])

    def board():
        return [w for w in d.visible_windows(app.pid) if w != strip and d.geometry(w)[2:] == board_size]
    results = []
    for _ in range(cycles):
        before = len(trace_lines(log()))
        started = time.monotonic()
        d.click(*b["open"])
        wait_for("the board", board, step=0.002)
        seen = time.monotonic() - started
        steps = wait_for("the program's timings", lambda: trace_lines(log())[before:])[0]
        results.append((seen, steps))
        # The strip comes back above the board; then the same switch closes it.
        wait_for("the strip", lambda: strip in d.visible_windows(app.pid))
        time.sleep(0.3)
        d.click(*b["open"])
        wait_for("the board to close", lambda: not board(), step=0.005)
        # The desktop draws the screen without the board before the next click.
        time.sleep(1.0)
    return results


def on_xvfb(cycles, size):
    with Desktop(*size) as d:
        d.run("xsetroot", "-solid", "#336699")
        logfile = os.path.join(d.tmp, "scribbloom.log")
        app = d.spawn([program_path()], cwd=d.tmp, env=dict(d.env, SCRIBBLOOM_TRACE_OPEN="1"), log=logfile)
        strip = d.wait_new_window(app.pid, [], "the strip", size=STRIP)

        def log():
            with open(logfile, errors="replace") as f:
                return f.read()
        return time_openings(d, app, strip, size, cycles, log), {}


def desktop_shots(s):
    """The desktop's own screenshot of everything and of one pixel (the
    difference is mostly copying and encoding the picture), seconds."""
    def timed(action, times=3):
        spent = []
        for _ in range(times):
            started = time.monotonic()
            action()
            spent.append(time.monotonic() - started)
        return statistics.median(spent)
    if s.name == "sway":
        whole = timed(lambda: s.run("grim", os.path.join(s.tmp, "bench.png")))
        pixel = timed(lambda: s.run("grim", "-g", "0,0 1x1", os.path.join(s.tmp, "bench1.png")))
    elif s.name == "gnome":
        call = ["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                "/org/gnome/Shell/Screenshot", "--method"]
        whole = timed(lambda: s.run(*call, "org.gnome.Shell.Screenshot.Screenshot", "false", "false",
                                    os.path.join(s.tmp, "bench.png")))
        pixel = timed(lambda: s.run(*call, "org.gnome.Shell.Screenshot.ScreenshotArea", "0", "0", "1", "1",
                                    "false", os.path.join(s.tmp, "bench1.png")))
    else:
        return {}
    return {"desktop_png_whole_ms": round(whole * 1000, 1), "desktop_png_one_pixel_ms": round(pixel * 1000, 1)}


def on_wayland(desktop, cycles, size):
    with session(desktop, size=size) as s:
        s.show_colour(0, "ff8800")
        middle = (size[0] // 2, size[1] // 2)
        wait_for("the colour", lambda: close_to(s.screenshot([middle])[middle][:3], (0xFF, 0x88, 0x00), 8))
        extra = desktop_shots(s)
        app = s.start_program(env={"SCRIBBLOOM_TRACE_OPEN": "1"})
        strip = s.wait_new_window(app.pid, [], "the strip", size=STRIP)
        return time_openings(s, app, strip, size, cycles, lambda: s.log("scribbloom.log")), extra


def summary(values):
    values = sorted(values)
    return {"min": round(values[0], 1), "median": round(statistics.median(values), 1), "max": round(values[-1], 1)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("where", choices=["xvfb", "sway", "gnome", "kde"])
    parser.add_argument("--cycles", type=int, default=10)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--json")
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    if args.where == "xvfb":
        results, extra = on_xvfb(args.cycles + 1, size)
    else:
        results, extra = on_wayland(args.where, args.cycles + 1, size)
    # The first opening also starts the desktop's screenshot service.
    first, results = results[0], results[1:]
    report = {"where": args.where, "size": args.size, "cycles": args.cycles,
              "first_opening_ms": round(first[1]["painted"], 1),
              "click_to_board_mapped_ms": summary([seen * 1000 for seen, _ in results])}
    for step in STEPS:
        values = [steps[step] for _, steps in results if step in steps]
        if values:
            report[f"{step}_ms"] = summary(values)
    # Pictures taken again because the desktop still showed the strip.
    report["openings_with_a_retaken_picture"] = sum(1 for _, steps in results if "retaken" in steps)
    report.update(extra)
    print(f"{args.where} {args.size}: click to board painted (program's clock), {args.cycles} openings:")
    for step in STEPS:
        if f"{step}_ms" in report:
            r = report[f"{step}_ms"]
            print(f"  {step:9} median {r['median']:7.1f} ms  (min {r['min']}, max {r['max']})")
    r = report["click_to_board_mapped_ms"]
    print(f"  seen from outside, click sent to board window mapped: median {r['median']} ms "
          f"(min {r['min']}, max {r['max']}); first opening {report['first_opening_ms']} ms")
    print(f"  openings whose picture was taken again (the strip still showed): "
          f"{report['openings_with_a_retaken_picture']}")
    for key, value in extra.items():
        print(f"  {key}: {value}")
    if args.json:
        with open(args.json, "w") as f:
            json.dump(report, f, indent=1)


if __name__ == "__main__":
    main()
