#!/usr/bin/env python3
"""Draws the message box, About box and skin artwork of Scribbloom.

Run from anywhere: ./scripts/art/msgbox_art.py
Writes SVG files by hand and PNG files with a small supersampling
rasteriser (standard library only), so the pictures are reproducible.
"""
import math
import os
import struct
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RES = os.path.join(ROOT, "resources", "resource")
MSGBOX = os.path.join(RES, "messagebox")
SKIN = os.path.join(ROOT, "resources", "skin")

BLUE = "#1E7FE8"
BLUE_HOVER = "#3D95F2"
BLUE_PRESSED = "#1564BD"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode) as f:
        f.write(data)


# ---------------------------------------------------------------- SVG
def svg_button(fill, stroke):
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="90" height="32" viewBox="0 0 90 32">\n'
        f'  <rect x="0.5" y="0.5" width="89" height="31" rx="4" ry="4" fill="{fill}" stroke="{stroke}"/>\n'
        "</svg>\n"
    )


def svg_close(cross, back):
    bg = f'  <circle cx="10" cy="10" r="9" fill="{back}"/>\n' if back else ""
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20" viewBox="0 0 20 20">\n'
        + bg
        + f'  <path d="M6 6 L14 14 M14 6 L6 14" stroke="{cross}" stroke-width="1.6" stroke-linecap="round"/>\n'
        "</svg>\n"
    )


def svg_icon(glyph):
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">\n'
        f'  <circle cx="24" cy="24" r="22" fill="{BLUE}"/>\n'
        f"{glyph}"
        "</svg>\n"
    )


QUESTION = (
    '  <path d="M17.5 18.5 C17.5 14 20.5 11.5 24 11.5 C27.8 11.5 30.5 14 30.5 17.5 '
    'C30.5 21.5 26 22.5 24.6 25.5 L24.3 28.5" fill="none" stroke="#FFFFFF" stroke-width="4" '
    'stroke-linecap="round" stroke-linejoin="round"/>\n'
    '  <circle cx="24.2" cy="35.5" r="2.6" fill="#FFFFFF"/>\n'
)
INFORMATION = (
    '  <circle cx="24" cy="13.5" r="2.8" fill="#FFFFFF"/>\n'
    '  <path d="M24 20.5 L24 35" stroke="#FFFFFF" stroke-width="4.4" stroke-linecap="round"/>\n'
)


def make_svgs():
    states = {
        "blue": {
            "normal": (BLUE, BLUE),
            "hover": (BLUE_HOVER, BLUE_HOVER),
            "pressed": (BLUE_PRESSED, BLUE_PRESSED),
            "disabled": ("#A9C9EE", "#A9C9EE"),
        },
        "white": {
            "normal": ("#FFFFFF", "#C8C8C8"),
            "hover": ("#F2F7FD", BLUE_HOVER),
            "pressed": ("#E3EDF9", BLUE_PRESSED),
            "disabled": ("#F5F5F5", "#E0E0E0"),
        },
    }
    for colour, table in states.items():
        for state, (fill, stroke) in table.items():
            write(os.path.join(MSGBOX, f"btn_{colour}_90x32_{state}.svg"), svg_button(fill, stroke))
    close = {
        "normal": ("#8A8A8A", None),
        "hover": ("#FFFFFF", "#E5484D"),
        "pressed": ("#FFFFFF", "#B8323A"),
        "disabled": ("#CFCFCF", None),
    }
    for state, (cross, back) in close.items():
        write(os.path.join(MSGBOX, f"btn_close_{state}.svg"), svg_close(cross, back))
    write(os.path.join(MSGBOX, "msgbox_questionblue_48.svg"), svg_icon(QUESTION))
    write(os.path.join(MSGBOX, "msgbox_informationblue_48.svg"), svg_icon(INFORMATION))


# ---------------------------------------------------------------- PNG
def png(width, height, pixels):
    """pixels: list of rows of (r, g, b, a) tuples, non-premultiplied."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def hex_rgb(h):
    h = h.lstrip("#")
    return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4))


def render(width, height, layers, ss=4):
    """layers: list of (coverage(x, y) -> bool, colour(x, y) -> (r, g, b, a)), painted in order."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(ss):
                for sx in range(ss):
                    x = px + (sx + 0.5) / ss
                    y = py + (sy + 0.5) / ss
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, colour in layers:
                        if inside(x, y):
                            r, g, b, a = colour(x, y)
                            a /= 255.0
                            c = [r * a + c[0] * (1 - a), g * a + c[1] * (1 - a), b * a + c[2] * (1 - a),
                                 a + c[3] * (1 - a)]
                    for i in range(4):
                        acc[i] += c[i]
            n = ss * ss
            a = acc[3] / n
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, int(round(acc[i] / n / a))) for i in range(3)) + (int(round(a * 255)),))
        rows.append(row)
    return png(width, height, rows)


def rounded_rect(x0, y0, x1, y1, rad):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + rad), x1 - rad)
        cy = min(max(y, y0 + rad), y1 - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
    return inside


def capsule(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        qx, qy = ax + t * dx - x, ay + t * dy - y
        return qx * qx + qy * qy <= (width / 2) ** 2
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def solid(hexcolour, alpha=255):
    rgb = hex_rgb(hexcolour)
    return lambda x, y: rgb + (alpha,)


def logo(size):
    """A blue tile with a white pen stroke swinging into a small bloom."""
    s = size / 96.0

    def gradient(x, y):
        t = (x + y) / (2 * size)
        top, bottom = hex_rgb("#2F9BFF"), hex_rgb("#1650C8")
        return tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)

    layers = [(rounded_rect(2 * s, 2 * s, size - 2 * s, size - 2 * s, 20 * s), gradient)]
    # The stroke: a gentle curve drawn as short capsules.
    pts = []
    for i in range(25):
        t = i / 24.0
        x = 18 + 52 * t
        y = 74 - 40 * t - 14 * math.sin(t * math.pi)
        pts.append((x * s, y * s))
    width = max(1.6, 9 * s)
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        layers.append((capsule(ax, ay, bx, by, width), solid("#FFFFFF")))
    # The bloom: five petals round a warm centre.
    cx, cy = 70 * s, 30 * s
    for k in range(5):
        ang = k * 2 * math.pi / 5 - math.pi / 2
        layers.append((circle(cx + 10 * s * math.cos(ang), cy + 10 * s * math.sin(ang), 7.5 * s),
                       solid("#FFD35C")))
    layers.append((circle(cx, cy, 6 * s), solid("#FF8A3D")))
    return render(size, size, layers, ss=4 if size <= 24 else 3)


def close_png(back, alpha):
    layers = []
    if alpha:
        layers.append((lambda x, y: True, solid(back, alpha)))
    layers.append((capsule(10.5, 13, 19.5, 22, 1.8), solid("#FFFFFF")))
    layers.append((capsule(19.5, 13, 10.5, 22, 1.8), solid("#FFFFFF")))
    return render(30, 35, layers)


def make_pngs():
    for size in (16, 24, 96):
        write(os.path.join(RES, f"logo{size}.png"), logo(size))
    write(os.path.join(RES, "close-btn-normal.png"), close_png("#0189FF", 0))
    write(os.path.join(RES, "close-btn-hover.png"), close_png("#FFFFFF", 60))
    write(os.path.join(RES, "close-btn-pressed.png"), close_png("#00386B", 90))


# ---------------------------------------------------------------- skins
def make_skins():
    skins = {"coolblack": ("#343434", "#4A4A4A"), "classicwhite": ("#F5F5F5", "#FFFFFF")}
    for name, (base, light) in skins.items():
        tile = render(16, 16, [(lambda x, y: True, solid(base)),
                               (rounded_rect(1, 1, 15, 15, 3), solid(light))], ss=2)
        write(os.path.join(SKIN, name, "background.png"), tile)


if __name__ == "__main__":
    make_svgs()
    make_pngs()
    make_skins()
