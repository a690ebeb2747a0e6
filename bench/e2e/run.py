#!/usr/bin/python3
"""End-to-end timings and memory of the real program on a private Xvfb.

For each screen size: starts Xvfb and Scribbloom, then through the real
pointer (XTest, see e2e_driver.c) opens the board several times, predraws
pen strokes of 20 points up to each stroke count, and at each count draws a
burst of 200 moves and undoes it. Prints min / median / max of:

- switch click -> board painted: the program's own trace (from handling the
  click to the end of the first paint of the board, SCRIBBLOOM_TRACE_OPEN)
  and, from outside, the click sent -> the X server has seen drawing over
  90 % of the screen (XDamage);
- the newest point's lag: the X server has made the last of the 200 moves
  (its raw event reached the driver) -> its pixels change; and the same
  from sending that move, which adds the server's time for the queued moves;
- undo until visible: the click on the panel's undo button -> the pixels at
  the burst's end are back as before;
- resident memory of the program (VmRSS) before a board opens, with it open
  and at each stroke count.
"""

import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "app", "e2e"))
from desktop import TestFailure, wait_for  # noqa: E402
from strip import button_centres  # noqa: E402

STRIP_SIZE = (82, 745)
BACKGROUND = "#336699"
WAIT_LIMIT = 60.0


class BenchError(Exception):
    pass


def summary(values):
    if not values:
        return "-"
    return f"{min(values):.2f} / {statistics.median(values):.2f} / {max(values):.2f}"


class Session:
    """One Xvfb, one program and one driver."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.tmp = tempfile.mkdtemp(prefix="scribbloom-bench-")
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number.isdigit():
            raise BenchError("Xvfb did not start")
        env = dict(os.environ)
        for key in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY"):
            env.pop(key, None)
        env["DISPLAY"] = ":" + number
        env["XDG_RUNTIME_DIR"] = os.path.join(self.tmp, "runtime")
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        env["HOME"] = os.path.join(self.tmp, "home")
        os.makedirs(env["HOME"])
        env["DO_NOT_TRACK"] = "1"
        env["SCRIBBLOOM_TRACE_OPEN"] = "1"
        self.env = env
        subprocess.run(["xsetroot", "-solid", BACKGROUND], env=env, check=True)
        self.app = self.driver = self.log = None
        self.traces_seen = 0

    def start(self, program, driver):
        self.log_path = os.path.join(self.tmp, "scribbloom.log")
        self.log = open(self.log_path, "wb")
        work = os.path.join(self.tmp, "work")
        os.makedirs(work)
        self.app = subprocess.Popen([program], cwd=work, env=self.env, stdout=self.log, stderr=subprocess.STDOUT)
        self.driver = subprocess.Popen([driver], env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       text=True, bufsize=1)

    def close(self):
        if self.driver and self.driver.poll() is None:
            self.driver.stdin.write("quit\n")
            self.driver.stdin.flush()
            self.driver.wait(10)
        if self.app and self.app.poll() is None:
            self.app.send_signal(signal.SIGTERM)
            try:
                self.app.wait(10)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        if self.log:
            self.log.close()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def ask(self, command, timeout_what=None):
        self.driver.stdin.write(command + "\n")
        self.driver.stdin.flush()
        answer = self.driver.stdout.readline().split()
        if not answer or answer[0] != "ok":
            raise BenchError(f"{timeout_what or command}: {' '.join(answer) or 'driver died'}")
        return [float(v) for v in answer[1:]]

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True).stdout

    def strip_buttons(self):
        def find():
            out = self.run("xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid))
            for window in out.split():
                info = self.run("xwininfo", "-id", window)
                values = {}
                for line in info.splitlines():
                    key, _, value = line.strip().partition(":")
                    values[key] = value.strip()
                try:
                    geometry = [int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                                         "Width", "Height")]
                except (KeyError, ValueError):
                    continue
                if tuple(geometry[2:]) == STRIP_SIZE:
                    return geometry
            return None
        x, y, _, _ = wait_for("the tool strip", find)
        return button_centres(x, y)

    def cpu_ticks(self):
        with open(f"/proc/{self.app.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    def settle(self, quiet=0.4):
        """Waits until the program has used no processor time for `quiet` seconds."""
        deadline = time.monotonic() + WAIT_LIMIT
        last = self.cpu_ticks()
        since = time.monotonic()
        while time.monotonic() - since < quiet:
            time.sleep(0.05)
            now = self.cpu_ticks()
            if now != last:
                last, since = now, time.monotonic()
            if time.monotonic() > deadline:
                break

    def rss_mb(self):
        with open(f"/proc/{self.app.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
        return float("nan")

    def next_trace(self):
        def probe():
            with open(self.log_path, errors="replace") as f:
                lines = [l for l in f if l.startswith("board-open-trace:")]
            if len(lines) > self.traces_seen:
                return lines[self.traces_seen]
            return None
        line = wait_for("the program's open trace", probe, limit=10)
        self.traces_seen += 1
        fields = dict(item.split("=", 1) for item in line.split()[1:] if "=" in item)
        return {key: float(value) for key, value in fields.items()}


def bench_size(width, height, args):
    s = Session(width, height)
    result = {"size": f"{width}x{height}", "open_trace": [], "open_x": [], "trace_vs_x": [],
              "click_gap": [], "open_rss": [], "counts": {}}
    try:
        s.start(os.path.abspath(args.program), os.path.abspath(args.driver))
        b = s.strip_buttons()
        s.settle(1.0)
        result["rss_before"] = s.rss_mb()
        for i in range(args.opens):
            clicked, painted = s.ask(f"clickpaint {b['open'][0]} {b['open'][1]} 20000", "opening the board")
            trace = s.next_trace()
            result["open_trace"].append(trace["painted"])
            for step, at in trace.items():
                if not step.startswith("clock-") and step != "painted":
                    result.setdefault("open_steps", {}).setdefault(step, []).append(at)
            result["open_x"].append(painted - clicked)
            # The X server shows the board after the paint ends; the trace starts after the click was sent.
            result["trace_vs_x"].append(painted - trace["clock-painted"])
            result["click_gap"].append(trace["clock-click"] - clicked)
            s.settle()
            result["open_rss"].append(s.rss_mb())
            if i + 1 < args.opens:
                s.ask(f"clickpaint {b['open'][0]} {b['open'][1]} 20000", "closing the board")
                s.settle()
        s.ask(f"click {b['size1'][0]} {b['size1'][1]}")
        s.ask(f"click {b['pen'][0]} {b['pen'][1]}")
        # Strokes fill rows above a free band at the bottom, where the bursts run.
        area = (4, 4, width - STRIP_SIZE[0] - 8, height - 24)
        burst_y = height - 12
        burst = (100, burst_y, 730)
        drawn = 0
        for count in args.counts:
            started = time.monotonic()
            if count > drawn:
                s.ask(f"strokes {count - drawn} {drawn} {area[0]} {area[1]} {area[2]} {area[3]}",
                      f"drawing {count} strokes")
                drawn = count
            predraw = time.monotonic() - started
            s.settle()
            entry = {"rss": [s.rss_mb()], "lag": [], "undo": [], "predraw_s": predraw}
            for _ in range(args.reps):
                # As a person would, the pointer comes to the start and rests
                # before the button goes down: the strip has redrawn the
                # button it left by then.
                s.ask(f"moveto {burst[0]} {burst[1]}")
                s.settle(0.2)
                lag, lag_sent = s.ask(f"burst {burst[0]} {burst[1]} {burst[2]} {args.moves}", "the burst")
                entry["lag"].append(lag)
                entry.setdefault("lag_sent", []).append(lag_sent)
                s.settle(0.2)
                entry["undo"].append(s.ask(f"undo {b['undo'][0]} {b['undo'][1]}", "the undo")[0])
                s.settle(0.2)
                entry["rss"].append(s.rss_mb())
            result["counts"][str(count)] = entry
            print(f"  {width}x{height} N={count}: lag {summary(entry['lag'])} ms, undo {summary(entry['undo'])} ms,"
                  f" rss {summary(entry['rss'])} MB (predraw {predraw:.0f} s)", file=sys.stderr)
    finally:
        s.close()
    return result


def print_table(results, label=""):
    for r in results:
        print(f"\n== {r['size']} {label}   min / median / max")
        print(f"switch click -> board painted, program trace (ms)  {summary(r['open_trace'])}")
        for step, values in r.get("open_steps", {}).items():
            print(f"  of which click -> {step:<31} {summary(values)}")
        print(f"switch click -> board drawn on the X screen (ms)  {summary(r['open_x'])}")
        print(f"  X screen drawn after the trace's paint end (ms)  {summary(r['trace_vs_x'])}")
        print(f"  click sent -> program handles it (ms)            {summary(r['click_gap'])}")
        print(f"resident memory before a board opens (MB)         {r['rss_before']:.1f}")
        print(f"resident memory with the board open (MB)          {summary(r['open_rss'])}")
        for count, e in r["counts"].items():
            print(f"N={count:>6}: newest point lag (ms) {summary(e['lag']):>22}   undo until visible (ms)"
                  f" {summary(e['undo']):>24}   rss (MB) {summary(e['rss'])}")
            if e.get("lag_sent"):
                print(f"         lag from sending the last move (ms) {summary(e['lag_sent'])}")
        counts = [int(c) for c in r["counts"]]
        if len(counts) >= 2 and counts[-1] > counts[-2]:
            lo, hi = str(counts[-2]), str(counts[-1])
            growth = (min(r["counts"][hi]["rss"]) - min(r["counts"][lo]["rss"])) * 1024 / (int(hi) - int(lo))
            print(f"growth per 20-point stroke, {lo} -> {hi} strokes (KB)  {growth:.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--sizes", default="1920x1080,3840x2160")
    parser.add_argument("--counts", default="0,100,500,1000,10000")
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--opens", type=int, default=6)
    parser.add_argument("--moves", type=int, default=200, help="pointer moves in each burst")
    parser.add_argument("--json", help="also write the figures to this file")
    parser.add_argument("--show", nargs="+", metavar="JSON", help="only print the tables of earlier runs")
    args = parser.parse_args()
    if args.show:
        for path in args.show:
            with open(path) as f:
                print_table(json.load(f), os.path.basename(path))
        return
    args.counts = [int(c) for c in args.counts.split(",")]
    results = []
    for size in args.sizes.split(","):
        width, height = (int(v) for v in size.split("x"))
        results.append(bench_size(width, height, args))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)
    print_table(results)


if __name__ == "__main__":
    try:
        main()
    except (BenchError, TestFailure) as error:
        print(f"benchmark failed: {error}", file=sys.stderr)
        sys.exit(1)
