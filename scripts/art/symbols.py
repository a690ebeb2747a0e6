#!/usr/bin/env python3
"""Draws the tick, the cross and the application icon.

Writes resources/resource/right.png (59 x 45), error.png (44 x 44) and
app.ico (16, 24, 32, 48 and 256 pixels). Shapes are rendered straight at
their final pixel size with 4 x 4 supersampling, so the small pictures stay
crisp instead of being scaled down from a large drawing. Backgrounds are
transparent. Standard library only.

usage: symbols.py [output-folder]   (default: resources/resource beside this script)
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


class Canvas:
    """An RGBA float canvas; layers are composited with 'over'."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, inside, color):
        """Paints color where inside(x, y) holds, weighted by subsample coverage."""
        r, g, b, a = color
        n = SUPERSAMPLE
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                            hits += 1
                if not hits:
                    continue
                alpha = a * hits / (n * n)
                p = self.pixels[y * self.width + x]
                out_a = alpha + p[3] * (1 - alpha)
                for i, c in enumerate((r, g, b)):
                    p[i] = (c * alpha + p[i] * p[3] * (1 - alpha)) / out_a
                p[3] = out_a

    def stroke(self, points, width, color):
        half = width / 2.0
        segments = list(zip(points, points[1:]))

        def inside(x, y):
            return any(segment_distance(x, y, a[0], a[1], b[0], b[1]) <= half for a, b in segments)

        self.fill(inside, color)

    def png(self):
        rows = []
        for y in range(self.height):
            row = bytearray([0])
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                row += bytes(int(round(max(0.0, min(1.0, v)) * 255)) for v in (r, g, b, a))
            rows.append(bytes(row))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def rgb(hex_color, alpha=1.0):
    v = int(hex_color.lstrip("#"), 16)
    return ((v >> 16 & 255) / 255, (v >> 8 & 255) / 255, (v & 255) / 255, alpha)


def tick():
    c = Canvas(59, 45)
    path = [(6.5, 24.0), (22.0, 38.5), (52.5, 6.5)]
    c.stroke(path, 9.0, rgb("#1B7F2A"))
    c.stroke(path, 6.0, rgb("#34C24A"))
    return c


def cross():
    c = Canvas(44, 44)
    for a, b in (((7.0, 7.0), (37.0, 37.0)), ((37.0, 7.0), (7.0, 37.0))):
        c.stroke([a, b], 9.0, rgb("#A61F1A"))
    for a, b in (((7.0, 7.0), (37.0, 37.0)), ((37.0, 7.0), (7.0, 37.0))):
        c.stroke([a, b], 6.0, rgb("#E8463C"))
    return c


def icon(size):
    """A dark rounded tile with a coloured freehand stroke and a badge dot."""
    c = Canvas(size, size)
    s = size / 32.0
    radius = 6 * s
    lo, hi = 1 * s, 31 * s

    def tile(x, y):
        cx = min(max(x, lo + radius), hi - radius)
        cy = min(max(y, lo + radius), hi - radius)
        return math.hypot(x - cx, y - cy) <= radius

    c.fill(tile, rgb("#343434"))
    wave = [(6 * s + i * 20 * s / 12, 20 * s - 7 * s * math.sin(i / 12 * math.pi * 1.5))
            for i in range(13)]
    c.stroke(wave, max(1.6, 3.2 * s), rgb("#F2B134"))
    c.fill(lambda x, y: math.hypot(x - 23 * s, y - 23 * s) <= 4.2 * s, rgb("#E8463C"))
    return c


def ico(images):
    """An icon file holding PNG images, one per size."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs += data
    return header + entries + blobs


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "resource")
    with open(os.path.join(out, "right.png"), "wb") as f:
        f.write(tick().png())
    with open(os.path.join(out, "error.png"), "wb") as f:
        f.write(cross().png())
    with open(os.path.join(out, "app.ico"), "wb") as f:
        f.write(ico([(size, icon(size).png()) for size in (16, 24, 32, 48, 256)]))


if __name__ == "__main__":
    main()
