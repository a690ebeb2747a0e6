#!/usr/bin/python3
"""The test harness's calls on a desktop session's D-Bus that the gdbus
command cannot make (file descriptors, nested structures). Run as the
session's user, inside the session's environment.

usage: session_bus.py kwin-shot FILE.ppm          KWin's picture of all outputs, X pixels
       session_bus.py kwin-pixels SCALE x,y ...    colours at X points (XWayland's scale SCALE)
       session_bus.py gnome-pixels DIR x,y ...      colours at X points, pictured by the shell
       session_bus.py gnome-scale MONITOR SCALE    mutter: one monitor's scale (temporarily)
       session_bus.py gnome-eval SCRIPT           the shell's JavaScript; prints the result
Colours come one point a line: "x,y r g b a".
"""

import os
import sys
import time

import gi
from gi.repository import Gio, GLib

# QImage formats KWin may hand out: 32-bit words of ARGB (little-endian
# bytes B, G, R, A) or bytes R, G, B, A.
ARGB_FORMATS = (4, 5, 6)
RGBA_FORMATS = (16, 17, 18)


def bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


def kwin_capture(method, arguments, signature):
    """KWin's picture: (width, height, stride, format, bytes)."""
    read_end, write_end = os.pipe()
    fds = Gio.UnixFDList.new_from_array([write_end])
    # native-resolution: each output at its own scale, which is how XWayland
    # counts its pixels when KWin scales it.
    options = {"native-resolution": GLib.Variant("b", True), "include-cursor": GLib.Variant("b", False)}
    reply, _ = bus().call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", method,
        GLib.Variant(f"({signature}a{{sv}}h)", (*arguments, options, 0)), GLib.VariantType("(a{sv})"),
        Gio.DBusCallFlags.NONE, 30000, fds, None)
    # Our copy of the pipe's end must go, or the read below never ends.
    fds = None
    meta = reply.unpack()[0]
    data = bytearray()
    with os.fdopen(read_end, "rb") as f:
        while True:
            chunk = f.read(1 << 20)
            if not chunk:
                break
            data += chunk
    width, height, stride, kind = meta["width"], meta["height"], meta["stride"], meta["format"]
    if len(data) < stride * height:
        sys.exit(f"KWin sent {len(data)} bytes for a {width} x {height} picture")
    if kind not in ARGB_FORMATS + RGBA_FORMATS:
        sys.exit(f"KWin's picture has an unknown format {kind}")
    return width, height, stride, kind, data


def kwin_shot(path):
    width, height, stride, kind, data = kwin_capture("CaptureWorkspace", (), "")
    if stride != width * 4:
        data = b"".join(data[row * stride:row * stride + width * 4] for row in range(height))
    rgb = bytearray(width * height * 3)
    if kind in ARGB_FORMATS:
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
    elif kind in RGBA_FORMATS:
        rgb[0::3], rgb[1::3], rgb[2::3] = data[0::4], data[1::4], data[2::4]
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(rgb)


def kwin_pixels(scale, points):
    """One small picture per point: KWin counts in its own logical pixels,
    XWayland in those times its scale."""
    for x, y in points:
        width, height, stride, kind, data = kwin_capture("CaptureArea", (x // scale, y // scale, 1, 1), "iiuu")
        b, g, r, a = data[0:4] if kind in ARGB_FORMATS else (data[2], data[1], data[0], data[3])
        print(f"{x},{y} {r} {g} {b} {a}")


def gnome_pixels(folder, points):
    """The shell pictures one pixel at a time (its stage counts as XWayland does)."""
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf
    for n, (x, y) in enumerate(points):
        path = os.path.join(folder, f"pixel-{n}.png")
        ok, _ = bus().call_sync("org.gnome.Shell", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                                "ScreenshotArea", GLib.Variant("(iiiibs)", (x, y, 1, 1, False, path)), None,
                                Gio.DBusCallFlags.NONE, 10000, None).unpack()
        if not ok:
            sys.exit(f"the shell took no picture at {x},{y}")
        pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
        os.unlink(path)
        pixel = pixbuf.get_pixels()
        alpha = pixel[3] if pixbuf.get_has_alpha() else 255
        print(f"{x},{y} {pixel[0]} {pixel[1]} {pixel[2]} {alpha}")


def display_config(method, args=None):
    return bus().call_sync("org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                           "org.gnome.Mutter.DisplayConfig", method, args, None,
                           Gio.DBusCallFlags.NONE, 10000, None).unpack()


def gnome_scale(index, scale):
    serial, monitors, logical, properties = display_config("GetCurrentState")
    physical = properties.get("layout-mode", 1) == 2
    # Each monitor keeps its current mode; monitors sit side by side in the
    # order mutter lists them.
    modes = []
    for (connector, _, _, _), monitor_modes, _ in monitors:
        current = [m for m in monitor_modes if m[6].get("is-current")]
        modes.append((connector, (current or monitor_modes)[0]))
    layout, x = [], 0
    for n, (connector, mode) in enumerate(modes):
        mode_scale = scale if n == index else 1.0
        layout.append((x, 0, mode_scale, 0, n == 0, [(connector, mode[0], {})]))
        x += mode[1] if physical else int(mode[1] / mode_scale)
    display_config("ApplyMonitorsConfig", GLib.Variant("(uua(iiduba(ssa{sv}))a{sv})", (serial, 1, layout, {})))
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        _, _, logical, _ = display_config("GetCurrentState")
        if any(abs(lm[2] - scale) < 0.01 for lm in logical):
            return
        time.sleep(0.05)
    sys.exit("mutter did not take the scale")


def gnome_eval(script):
    ok, result = bus().call_sync("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                                 GLib.Variant("(s)", (script,)), None, Gio.DBusCallFlags.NONE, 10000, None).unpack()
    if not ok:
        sys.exit(f"the shell could not run the script: {result}")
    print(result)


def main():
    command, args = sys.argv[1], sys.argv[2:]
    if command == "kwin-shot":
        kwin_shot(args[0])
    elif command == "kwin-pixels":
        kwin_pixels(int(args[0]), [tuple(int(v) for v in p.split(",")) for p in args[1:]])
    elif command == "gnome-pixels":
        gnome_pixels(args[0], [tuple(int(v) for v in p.split(",")) for p in args[1:]])
    elif command == "gnome-scale":
        gnome_scale(int(args[0]), float(args[1]))
    elif command == "gnome-eval":
        gnome_eval(args[0])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
