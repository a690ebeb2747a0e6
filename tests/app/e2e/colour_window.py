#!/usr/bin/python3
"""A native Wayland window (GTK 3) that fills one output with one colour,
the known content the end-to-end tests put under the program. Every line
"rrggbb" read from FIFO changes the colour; FIFO.done then appears.

usage: colour_window.py MONITOR RRGGBB FIFO
"""

import os
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def main():
    monitor, colour, fifo = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    css = Gtk.CssProvider()
    Gtk.StyleContext.add_provider_for_screen(Gdk.Screen.get_default(), css,
                                             Gtk.STYLE_PROVIDER_PRIORITY_APPLICATION)

    window = Gtk.Window(title=f"scribbloom-colour-{monitor + 1}")
    window.connect("destroy", Gtk.main_quit)

    def paint(value):
        css.load_from_data(f"window {{ background: #{value}; }}".encode())
        window.queue_draw()

    paint(colour)
    # Fills the output through the compositor, on the output asked for.
    window.fullscreen_on_monitor(window.get_screen(), monitor)
    window.show()

    # Opened for writing too, so that the pipe never reads as ended.
    fd = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
    buffered = bytearray()

    def readable(*_):
        try:
            buffered.extend(os.read(fd, 4096))
        except BlockingIOError:
            return True
        while b"\n" in buffered:
            line, _, rest = bytes(buffered).partition(b"\n")
            buffered[:] = rest
            if line.strip():
                paint(line.strip().decode())
                # Drawn at the compositor's next frame for the window, which
                # may be hidden (under the board) and get none for now.
                open(fifo + ".done", "w").close()
        return True

    GLib.io_add_watch(fd, GLib.PRIORITY_DEFAULT, GLib.IO_IN, readable)
    Gtk.main()


if __name__ == "__main__":
    main()
