"""A private X desktop for driving the real Scribbloom as a user would.

Starts Xvfb with its framebuffer in a file (so every pixel on the screen can
be read back at any time), optionally a tray host, and the program itself;
drives it with xdotool. Every wait polls for a condition with a generous
limit: a slow machine only makes the test slower, never makes it fail.
"""

import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

WAIT_LIMIT = 30.0


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_for(what, probe, limit=WAIT_LIMIT, step=0.05):
    """Polls probe() until it returns something truthy; returns that."""
    deadline = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure(f"gave up waiting for {what}")
        time.sleep(step)


class Screen:
    """The Xvfb framebuffer file (XWD format), read on demand."""

    def __init__(self, path):
        self.path = path

    def snapshot(self):
        with open(self.path, "rb") as f:
            data = f.read()
        return Frame(data)


class Frame:
    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        header_size = fields[0]
        self.width = fields[4]
        self.height = fields[5]
        byte_order = fields[7]
        self.bits_per_pixel = fields[11]
        self.bytes_per_line = fields[12]
        self.masks = fields[14:17]
        ncolors = fields[19]
        self.offset = header_size + ncolors * 12
        self.little = byte_order == 0
        self.data = data
        check(self.bits_per_pixel == 32, f"unexpected framebuffer depth {self.bits_per_pixel}")

    def pixel(self, x, y):
        i = self.offset + y * self.bytes_per_line + x * 4
        value = int.from_bytes(self.data[i:i + 4], "little" if self.little else "big")
        out = []
        for mask in self.masks:
            shift = (mask & -mask).bit_length() - 1
            out.append((value & mask) >> shift)
        return tuple(out)

    def save_png(self, path, rect=None, scale=1):
        """Writes the frame (or a part, enlarged) as an RGB PNG, for looking at what went wrong."""
        x0, y0, w, h = rect or (0, 0, self.width, self.height)
        rows = []
        for y in range(y0, y0 + h):
            row = bytearray(b"\x00")
            for x in range(x0, x0 + w):
                row += bytes(self.pixel(x, y)) * scale
            rows.extend([bytes(row)] * scale)
        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w * scale, h * scale, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 6)))
            f.write(chunk(b"IEND", b""))

    def find(self, rect, predicate, step=1):
        """Points of rect (x, y, w, h) whose colour satisfies predicate."""
        x0, y0, w, h = rect
        hits = []
        for y in range(max(0, y0), min(self.height, y0 + h), step):
            for x in range(max(0, x0), min(self.width, x0 + w), step):
                if predicate(self.pixel(x, y)):
                    hits.append((x, y))
        return hits


def close_to(colour, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class PointerAndKeys:
    """Pointer and keyboard input through xdotool, for a class whose
    run(*args) runs a command on its display and returns its output."""

    def move(self, x, y):
        # --sync waits for the pointer to move, so it must not be asked to
        # move where it already is.
        out = self.run("xdotool", "getmouselocation", "--shell")
        here = dict(line.split("=", 1) for line in out.split())
        if (int(here["X"]), int(here["Y"])) != (x, y):
            self.run("xdotool", "mousemove", "--sync", str(x), str(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        self.run("xdotool", "click", str(button))

    def drag(self, points, button=1):
        self.move(*points[0])
        self.run("xdotool", "mousedown", str(button))
        for x, y in points[1:]:
            self.move(x, y)
        self.run("xdotool", "mouseup", str(button))

    def key(self, *keys):
        self.run("xdotool", "key", "--clearmodifiers", *keys)


class XWindows:
    """The program's X windows seen through xdotool and xwininfo, for a class
    whose run(*args, check_rc=True) runs a command on its display."""

    def visible_windows(self, pid):
        out = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check_rc=False)
        return [int(w) for w in out.split()]

    def geometry(self, window):
        """(x, y, w, h) of a window, in root coordinates."""
        out = self.run("xwininfo", "-id", str(window))
        values = {}
        for line in out.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":")[1])
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def is_tooltip(self, window):
        out = self.run("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE", check_rc=False)
        return "TOOLTIP" in out

    def wait_new_window(self, pid, known, what, size=None, limit=WAIT_LIMIT):
        """A newly visible window of the process (tooltips aside), optionally of a given size."""
        def probe():
            for w in self.visible_windows(pid):
                if w in known or self.is_tooltip(w):
                    continue
                try:
                    shape = self.geometry(w)[2:]
                except TestFailure:
                    # Gone since the search: the toolkit replaced it.
                    continue
                if size is None or shape == size:
                    return w
            return None
        return wait_for(what, probe, limit=limit)


class Desktop(PointerAndKeys, XWindows):
    def __init__(self, width=1920, height=1080):
        self.width = width
        self.height = height
        self.tmp = tempfile.mkdtemp(prefix="scribbloom-e2e-")
        self.fbdir = os.path.join(self.tmp, "fb")
        os.makedirs(self.fbdir)
        self.procs = []
        self.xvfb = None
        self.env = None
        self.screen = None

    # ---- lifetime -------------------------------------------------------

    def start(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.width}x{self.height}x24",
             "-fbdir", self.fbdir, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        check(number.isdigit(), "Xvfb did not start")
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env["DISPLAY"] = ":" + number
        runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(runtime, mode=0o700)
        env["XDG_RUNTIME_DIR"] = runtime
        env["HOME"] = os.path.join(self.tmp, "home")
        os.makedirs(env["HOME"])
        # A board journal a stopped program left behind stays with its run.
        env["XDG_STATE_HOME"] = os.path.join(self.tmp, "state")
        self.env = env
        self.screen = Screen(os.path.join(self.fbdir, "Xvfb_screen0"))
        return self

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # ---- processes ------------------------------------------------------

    def spawn(self, args, cwd=None, env=None, log=None):
        out = open(log, "wb") if log else subprocess.DEVNULL
        proc = subprocess.Popen(args, cwd=cwd or self.tmp, env=env or self.env, stdout=out,
                                stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return proc

    def run(self, *args, check_rc=True):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True)
        if check_rc and result.returncode != 0:
            raise TestFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    # ---- windows --------------------------------------------------------

    def windows(self, *search):
        out = self.run("xdotool", "search", *search, check_rc=False)
        return [int(w) for w in out.split()]

    def _parent(self, window):
        out = self.run("xwininfo", "-children", "-id", str(window))
        for line in out.splitlines():
            if "Parent window id:" in line:
                return int(line.split(":")[1].split()[0], 16)
        return 0

    def _root_child(self, window):
        """The child of the root holding `window`: itself, or a window manager's frame around it."""
        root = int(self.run("xwininfo", "-root").split("Window id:")[1].split()[0], 16)
        while True:
            parent = self._parent(window)
            if parent in (0, root):
                return window
            window = parent

    def stacked_above(self, upper, lower):
        """Whether window `upper` lies above `lower`, frames of a window manager included."""
        upper, lower = self._root_child(upper), self._root_child(lower)
        out = self.run("xwininfo", "-root", "-children")
        order = []
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("0x"):
                order.append(int(line.split()[0], 16))
        # xwininfo lists the children from the top of the stack down.
        return upper in order and lower in order and order.index(upper) < order.index(lower)

    def name(self, window):
        return self.run("xdotool", "getwindowname", str(window), check_rc=False).strip()

    # ---- input ----------------------------------------------------------

    def focus(self, window):
        # Keys go to the window holding the keyboard focus; give it there
        # first rather than trust the pointer to be over the right window.
        self.run("xdotool", "windowfocus", "--sync", str(window))

    def type(self, text):
        self.run("xdotool", "type", "--delay", "20", text)

    def settle(self, seconds=0.3):
        # Lets the program handle the input just sent before the screen is read.
        time.sleep(seconds)


def program_path():
    return os.path.join(os.environ["SCRIBBLOOM_BIN_DIR"], "Scribbloom")


def probe_image(path, points):
    """Pixel values of an image file, read by Qt (the format follows the file)."""
    tool = os.path.join(os.environ["SCRIBBLOOM_BIN_DIR"], "e2e_imageprobe")
    args = [tool, path] + [f"{x},{y}" for x, y in points]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run(args, capture_output=True, text=True, env=env)
    if out.returncode != 0:
        raise TestFailure(f"cannot read image {path}: {out.stderr.strip()}")
    lines = out.stdout.split("\n")
    width, height = (int(v) for v in lines[0].split())
    colours = {}
    for line in lines[1:]:
        if line:
            where, r, g, b, a = line.split()
            x, y = where.split(",")
            colours[(int(x), int(y))] = (int(r), int(g), int(b), int(a))
    return (width, height), colours


def main(test):
    """Runs one test function on a fresh desktop and reports like a test runner."""
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    try:
        with Desktop() as desktop:
            try:
                test(desktop)
            except TestFailure:
                # What the screen showed, beside the test's working folder.
                shot = os.path.abspath(name + "-failure.png")
                desktop.screen.snapshot().save_png(shot)
                print(f"screen at the failure: {shot}")
                log = os.path.join(desktop.tmp, "scribbloom.log")
                if os.path.exists(log):
                    with open(log, errors="replace") as f:
                        print("program output:\n" + f.read()[-3000:])
                raise
    except TestFailure as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
    print("PASS")
