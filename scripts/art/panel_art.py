#!/usr/bin/env python3
"""Draws the tool strip's icon set from a handful of vector glyphs.

Every picture the strip, its style sheets and the canvas menus name comes out
of this file: the 26 tool icons in their six button states, the five size
dots, the push buttons, the colour swatches, the separator lines, the title
bar's close sprite and the desktop icon. Each picture is written as SVG and
rendered by rsvg-convert (Debian package librsvg2-bin), so the whole set stays
consistent and can be redrawn at once when a colour or stroke changes.

usage: scripts/art/panel_art.py [OUTPUT_DIR]   (default: resources/resource)
"""

import math
import os
import shutil
import subprocess
import sys
import tempfile
from string import Template

# The strip is rgb(52, 52, 52); glyphs are light lines on it, the checked
# tool sits on the accent blue.
IDLE = "#D2D2D2"
BRIGHT = "#FFFFFF"
DIM = "#7A7A7A"
ACCENT = "#2F8CFF"
ACCENT_HOVER = "#58A4FF"
ACCENT_PRESSED = "#1C6CD4"
HOVER_BG = "rgba(255,255,255,0.13)"
PRESSED_BG = "rgba(255,255,255,0.24)"

# Glyphs are drawn on a 24-unit grid with 2-unit round strokes; $c is the ink.
GLYPHS = {
    "pen": """
      <path d="M4.5 19.5 L5.5 15 L15.5 5 a1.4 1.4 0 0 1 2 0 L19 6.5 a1.4 1.4 0 0 1 0 2 L9 18.5 Z"/>
      <path d="M13.5 7 L17 10.5"/>""",
    "highlighter": """
      <path d="M7 14.5 L14.5 5.5 a1.4 1.4 0 0 1 2 -0.2 L18.7 7.3 a1.4 1.4 0 0 1 0.2 2 L11.4 18.3 Z"/>
      <path d="M7 14.5 L5.5 17.8 L8.3 18.7 L11.4 18.3"/>
      <path d="M3.5 21 H20.5" stroke-width="2.6" stroke-opacity="0.7"/>""",
    "laser": """
      <circle cx="15.5" cy="8.5" r="3" fill="$c" stroke="none"/>
      <circle cx="15.5" cy="8.5" r="5.2" stroke-width="1.2" stroke-opacity="0.6"/>
      <path d="M4 20 Q7.5 12 11.5 11.5" stroke-opacity="0.55"/>""",
    "line": """
      <path d="M5 19 L19 5"/>
      <circle cx="5" cy="19" r="1.6" fill="$c" stroke="none"/>
      <circle cx="19" cy="5" r="1.6" fill="$c" stroke="none"/>""",
    "eraser": """
      <path d="M9 19.5 L4.5 15 a1.4 1.4 0 0 1 0 -2 L13 4.5 a1.4 1.4 0 0 1 2 0 L19.5 9 a1.4 1.4 0 0 1 0 2 L11.5 19 Z"/>
      <path d="M8.5 9 L15 15.5"/>
      <path d="M13 19.5 H20"/>""",
    "rect": """
      <rect x="4" y="6" width="16" height="12" rx="1.2"/>""",
    "brushRect": """
      <rect x="4" y="6" width="16" height="12" rx="1.2" fill="$c"/>""",
    "ellipse": """
      <ellipse cx="12" cy="12" rx="8.5" ry="6.5"/>""",
    "brushEllips": """
      <ellipse cx="12" cy="12" rx="8.5" ry="6.5" fill="$c"/>""",
    "arrow": """
      <path d="M5 19 L18 6"/>
      <path d="M10 5.5 H18.5 V14"/>""",
    "markpen": """
      <circle cx="12" cy="12" r="8.5"/>
      <path d="M10 9.5 L12.5 7.5 V16.5"/>
      <path d="M10 16.5 H15"/>""",
    "text": """
      <path d="M5.5 7 V5 H18.5 V7"/>
      <path d="M12 5 V19"/>
      <path d="M9 19 H15"/>""",
    "right_p": """
      <path d="M4.5 12.5 L9.5 17.5 L19.5 6.5" stroke-width="2.6"/>""",
    "wrong": """
      <path d="M6 6 L18 18 M18 6 L6 18" stroke-width="2.6"/>""",
    "colorPicker": """
      <path d="M14 6 L18 10"/>
      <path d="M15.5 7.5 L17.6 5.4 a2 2 0 0 1 2.9 2.9 L18.4 10.4"/>
      <path d="M15 9 L7 17 L5.2 17.6 L4.5 19.5 L6.4 18.8 L7 17"/>""",
    "selectedArce": """
      <rect x="4.5" y="5.5" width="15" height="13" stroke-dasharray="2.6 2.2"/>
      <rect x="2.5" y="3.5" width="4" height="4" fill="$c" stroke="none"/>
      <rect x="17.5" y="16.5" width="4" height="4" fill="$c" stroke="none"/>""",
    "zoomin": """
      <circle cx="10.5" cy="10.5" r="6.5"/>
      <path d="M15.3 15.3 L20 20" stroke-width="2.6"/>
      <path d="M7.5 10.5 H13.5 M10.5 7.5 V13.5"/>""",
    "zoomout": """
      <circle cx="10.5" cy="10.5" r="6.5"/>
      <path d="M15.3 15.3 L20 20" stroke-width="2.6"/>
      <path d="M7.5 10.5 H13.5"/>""",
    "undo": """
      <path d="M8.5 5 L4.5 9 L8.5 13"/>
      <path d="M4.5 9 H14 a5 5 0 0 1 0 10 H8"/>""",
    "redo": """
      <path d="M15.5 5 L19.5 9 L15.5 13"/>
      <path d="M19.5 9 H10 a5 5 0 0 0 0 10 H16"/>""",
    "print": """
      <path d="M7 9 V4 H17 V9"/>
      <path d="M7 17 H4.5 a1 1 0 0 1 -1 -1 V10 a1 1 0 0 1 1 -1 H19.5 a1 1 0 0 1 1 1 V16 a1 1 0 0 1 -1 1 H17"/>
      <rect x="7" y="14" width="10" height="6"/>""",
    "clearBoard": """
      <path d="M4.5 7 H19.5"/>
      <path d="M9.5 7 V4.5 H14.5 V7"/>
      <path d="M6.5 7 L7.5 20 H16.5 L17.5 7"/>
      <path d="M10.3 10.5 V16.5 M13.7 10.5 V16.5"/>""",
    "newPainter": """
      <path d="M14 3.5 H6.5 a1 1 0 0 0 -1 1 V19.5 a1 1 0 0 0 1 1 H17.5 a1 1 0 0 0 1 -1 V8 Z"/>
      <path d="M14 3.5 V8 H18.5"/>
      <path d="M12 11 V17.5 M8.8 14.2 H15.2"/>""",
    "copyboard": """
      <path d="M9 5 H6.5 a1 1 0 0 0 -1 1 V20 a1 1 0 0 0 1 1 H17.5 a1 1 0 0 0 1 -1 V6 a1 1 0 0 0 -1 -1 H15"/>
      <rect x="9" y="3" width="6" height="4" rx="1"/>
      <path d="M9 12 H15 M9 16 H13"/>""",
    "copy": """
      <rect x="8.5" y="8.5" width="11" height="12" rx="1.3"/>
      <path d="M15.5 8.5 V4.8 a1.3 1.3 0 0 0 -1.3 -1.3 H5.8 a1.3 1.3 0 0 0 -1.3 1.3 V14.2 a1.3 1.3 0 0 0 1.3 1.3 H8.5"/>""",
    "save": """
      <path d="M4.5 5 a1 1 0 0 1 1 -1 H16 L20 8 V19 a1 1 0 0 1 -1 1 H5.5 a1 1 0 0 1 -1 -1 Z"/>
      <path d="M8 4 V8.5 H15 V4"/>
      <path d="M7.5 20 V14 H16.5 V20"/>""",
    "exit": """
      <path d="M12 3.5 V11.5"/>
      <path d="M7.2 6.6 a7.5 7.5 0 1 0 9.6 0"/>""",
    "opt": """
      <circle cx="12" cy="12" r="3"/>
      <path d="M12 2.8 L13.7 5.2 L16.6 4.1 L17 7.1 L20 7.6 L18.9 10.4 L21.2 12 L18.9 13.6 L20 16.4 L17 16.9 L16.6 19.9 L13.7 18.8 L12 21.2 L10.3 18.8 L7.4 19.9 L7 16.9 L4 16.4 L5.1 13.6 L2.8 12 L5.1 10.4 L4 7.6 L7 7.1 L7.4 4.1 L10.3 5.2 Z"/>""",
    "help": """
      <circle cx="12" cy="12" r="9"/>
      <path d="M9.3 9.4 a2.8 2.8 0 1 1 4.2 2.4 C12.6 12.4 12 13 12 14.2"/>
      <circle cx="12" cy="17.3" r="1.3" fill="$c" stroke="none"/>""",
}

# Tool bases in the order of the strip; each gets six states.
TOOLS = ["pen", "highlighter", "laser", "line", "eraser", "rect", "brushRect", "ellipse", "brushEllips", "arrow",
         "markpen", "text", "right_p", "wrong", "colorPicker", "selectedArce", "zoomin",
         "zoomout", "undo", "redo", "print", "clearBoard", "newPainter", "copyboard", "save",
         "exit"]

# (background, ink) for unchecked, unchecked-hover, unchecked-pressed,
# checked, checked-hover, checked-pressed.
TOOL_STATES = [
    (None, IDLE),
    (HOVER_BG, BRIGHT),
    (PRESSED_BG, BRIGHT),
    (ACCENT, BRIGHT),
    (ACCENT_HOVER, BRIGHT),
    (ACCENT_PRESSED, BRIGHT),
]

# Normal, hover, pressed for the plain push buttons.
PUSH_STATES = [(None, IDLE), (HOVER_BG, BRIGHT), (PRESSED_BG, ACCENT_HOVER)]

SWATCHES = {
    "red": "#FF0000", "yellow": "#FFFF00", "green": "#00FF00", "blue": "#0000FF",
    "black": "#000000", "white": "#FFFFFF", "purple": "#5940FF",
}

SIZES = [10, 15, 20, 25, 30]


def svg(width, height, body, view=None):
    box = view or f"0 0 {width} {height}"
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="{box}">{body}</svg>')


def glyph(name, ink, scale=0.75, offset=(2.0, 2.0), stroke=2.0):
    body = Template(GLYPHS[name]).substitute(c=ink)
    return (f'<g transform="translate({offset[0]} {offset[1]}) scale({scale})" fill="none" '
            f'stroke="{ink}" stroke-width="{stroke}" stroke-linecap="round" '
            f'stroke-linejoin="round">{body}</g>')


def plate(width, height, fill, radius=4):
    if fill is None:
        return ""
    return f'<rect x="0" y="0" width="{width}" height="{height}" rx="{radius}" fill="{fill}"/>'


class Renderer:
    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.tmp = tempfile.mkdtemp(prefix="scribbloom-art-")
        self.written = []

    def png(self, name, width, height, body, view=None):
        src = os.path.join(self.tmp, name + ".svg")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg(width, height, body, view))
        dst = os.path.join(self.out_dir, name + ".png")
        subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), "-o", dst, src],
                       check=True)
        self.written.append(dst)

    def keep_svg(self, name, width, height, body, dst):
        with open(dst, "w", encoding="utf-8") as f:
            f.write(svg(width, height, body) + "\n")
        self.written.append(dst)

    def close(self):
        shutil.rmtree(self.tmp, ignore_errors=True)


def draw_tools(r):
    for base in TOOLS + ["copy"]:
        for i, (bg, ink) in enumerate(TOOL_STATES, start=1):
            r.png(f"{base}{i}", 22, 22, plate(22, 22, bg) + glyph(base, ink))


def draw_push_buttons(r):
    for base in ("opt", "help"):
        for i, (bg, ink) in enumerate(PUSH_STATES, start=1):
            r.png(f"{base}{i}", 22, 22, plate(22, 22, bg) + glyph(base, ink))

    # The open/close button is a switch: off while the board is closed
    # ("open"), lit and thrown to the right while it is open ("off").
    switch = {
        "open": [("#5A5A5A", "#D2D2D2", 7.5), ("#6A6A6A", "#FFFFFF", 7.5), ("#474747", "#FFFFFF", 7.5)],
        "off": [(ACCENT, "#FFFFFF", 32.5), (ACCENT_HOVER, "#FFFFFF", 32.5), (ACCENT_PRESSED, "#FFFFFF", 32.5)],
    }
    for base, states in switch.items():
        for i, (track, knob, x) in enumerate(states, start=1):
            body = (f'<rect x="0.5" y="0.5" width="39" height="14" rx="7" fill="{track}"/>'
                    f'<circle cx="{x}" cy="7.5" r="5.2" fill="{knob}"/>')
            r.png(f"{base}{i}", 40, 15, body)

    for i, (bg, ink) in enumerate(PUSH_STATES, start=1):
        lines = "".join(f'<rect x="1" y="{y}" width="10" height="1.6" rx="0.8" fill="{ink}"/>'
                        for y in (0.7, 3.7, 6.7))
        r.png(f"menu{i}", 12, 9, plate(12, 9, bg, 1.5) + lines)

    # A slim pill with three dots: "more sizes".
    for i, (fill, dot) in enumerate([("#4A4A4A", IDLE), ("#5E5E5E", BRIGHT), (ACCENT, BRIGHT)], start=1):
        dots = "".join(f'<circle cx="{x}" cy="4" r="1.2" fill="{dot}"/>' for x in (10, 14, 18))
        r.png(f"custom_size{i}", 28, 8, f'<rect x="0" y="0" width="28" height="8" rx="4" fill="{fill}"/>' + dots)

    # The ring shown around the chosen colour swatch.
    for i, ink in enumerate([BRIGHT, ACCENT_HOVER, ACCENT], start=1):
        r.png(f"color_selected{i}", 21, 21,
              f'<circle cx="10.5" cy="10.5" r="9.3" fill="none" stroke="{ink}" stroke-width="2"/>')


def draw_sizes(r):
    for n, px in enumerate(SIZES, start=1):
        c = px / 2
        dot = max(2.0, px * 0.28)
        ring = c - 0.9
        states = [
            f'<circle cx="{c}" cy="{c}" r="{dot}" fill="#9A9A9A"/>',
            f'<circle cx="{c}" cy="{c}" r="{ring}" fill="{HOVER_BG}"/>'
            f'<circle cx="{c}" cy="{c}" r="{dot}" fill="{BRIGHT}"/>',
            f'<circle cx="{c}" cy="{c}" r="{ring}" fill="none" stroke="{ACCENT}" stroke-width="1.4"/>'
            f'<circle cx="{c}" cy="{c}" r="{dot}" fill="{ACCENT}"/>',
        ]
        for i, body in enumerate(states, start=1):
            r.png(f"size{n}_{i}", px, px, body)


def draw_swatches(r):
    def swatch(fill, edge):
        # Centred where the 21 x 21 selection ring lands (3 pixels in).
        return (f'<circle cx="13.5" cy="13.5" r="7.5" fill="{fill}"/>'
                f'<circle cx="13.5" cy="13.5" r="7.5" fill="none" stroke="{edge}" stroke-width="1"/>')

    for name, colour in SWATCHES.items():
        edge = "rgba(255,255,255,0.45)" if name in ("black", "blue", "purple") else "rgba(0,0,0,0.35)"
        r.png(f"color_{name}", 28, 28, swatch(colour, edge))
    # The custom colour: a colour wheel of six sectors.
    wheel = ["#FF3B30", "#FF9500", "#FFCC00", "#34C759", "#007AFF", "#AF52DE"]
    parts = []
    for k, colour in enumerate(wheel):
        a0 = math.radians(-90 + 60 * k)
        a1 = math.radians(-90 + 60 * (k + 1))
        x0, y0 = 13.5 + 7.5 * math.cos(a0), 13.5 + 7.5 * math.sin(a0)
        x1, y1 = 13.5 + 7.5 * math.cos(a1), 13.5 + 7.5 * math.sin(a1)
        parts.append(f'<path d="M13.5 13.5 L{x0:.3f} {y0:.3f} A7.5 7.5 0 0 1 {x1:.3f} {y1:.3f} Z" fill="{colour}"/>')
    parts.append('<circle cx="13.5" cy="13.5" r="2.8" fill="#FFFFFF"/>')
    r.png("color_custom", 28, 28, "".join(parts))


def draw_lines(r):
    r.png("split_line", 50, 2, '<rect x="0" y="0.5" width="50" height="1" fill="#5C5C5C"/>')
    r.png("open_line", 50, 2,
          '<defs><linearGradient id="g" x1="0" x2="1" y1="0" y2="0">'
          f'<stop offset="0" stop-color="{ACCENT}" stop-opacity="0"/>'
          f'<stop offset="0.5" stop-color="{ACCENT}" stop-opacity="1"/>'
          f'<stop offset="1" stop-color="{ACCENT}" stop-opacity="0"/></linearGradient></defs>'
          '<rect x="0" y="0" width="50" height="2" fill="url(#g)"/>')


def draw_close_sprite(r):
    # One column, four rows of 9 x 9: normal, hover, pressed, disabled.
    tiles = []
    for row, ink in enumerate([IDLE, BRIGHT, "#FF5A4F", DIM]):
        y = row * 9
        tiles.append(f'<path d="M1.5 {y + 1.5} L7.5 {y + 7.5} M7.5 {y + 1.5} L1.5 {y + 7.5}" '
                     f'stroke="{ink}" stroke-width="1.6" stroke-linecap="round"/>')
    r.png("close", 9, 36, "".join(tiles))


def app_mark(size):
    """The program's mark, as the About box shows it: a blue tile with a white
    pen stroke swinging into a small bloom (drawn on a 96-unit grid)."""
    s = size / 96
    points = []
    for i in range(25):
        t = i / 24
        points.append((18 + 52 * t, 74 - 40 * t - 14 * math.sin(t * math.pi)))
    stroke = "M" + " L".join(f"{x:.2f} {y:.2f}" for x, y in points)
    petals = "".join(
        f'<circle cx="{70 + 10 * math.cos(k * 2 * math.pi / 5 - math.pi / 2):.2f}" '
        f'cy="{30 + 10 * math.sin(k * 2 * math.pi / 5 - math.pi / 2):.2f}" r="7.5" fill="#FFD35C"/>'
        for k in range(5))
    return (f'<defs><linearGradient id="tile" x1="0" y1="0" x2="1" y2="1">'
            '<stop offset="0" stop-color="#2F9BFF"/><stop offset="1" stop-color="#1650C8"/>'
            '</linearGradient></defs>'
            f'<g transform="scale({s})">'
            '<rect x="2" y="2" width="92" height="92" rx="20" fill="url(#tile)"/>'
            f'<path d="{stroke}" fill="none" stroke="#FFFFFF" stroke-width="9" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            f'{petals}<circle cx="70" cy="30" r="6" fill="#FF8A3D"/>'
            '</g>')


# The hicolor sizes desktops and software centres look up, beside the scalable one.
DESKTOP_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def draw_desktop_icon(r, desktop_dir):
    os.makedirs(desktop_dir, exist_ok=True)
    r.keep_svg("scribbloom", 96, 96, app_mark(96), os.path.join(desktop_dir, "scribbloom.svg"))
    for px in DESKTOP_ICON_SIZES:
        src = os.path.join(r.tmp, f"mark{px}.svg")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg(px, px, app_mark(px)))
        dst = os.path.join(desktop_dir, f"scribbloom-{px}.png")
        subprocess.run(["rsvg-convert", "-w", str(px), "-h", str(px), "-o", dst, src], check=True)
        r.written.append(dst)


# Object names of the strip's tool radios, in strip order, and their picture bases.
TOOL_BUTTONS = [
    ("pen_radio_btn", "pen"), ("highlighter_radio_btn", "highlighter"),
    ("laser_radio_btn", "laser"), ("line_radio_btn", "line"), ("eraser_radio_btn", "eraser"),
    ("rectangle_radio_btn", "rect"), ("filledrectangle_radio_btn", "brushRect"),
    ("ellipse_radio_btn", "ellipse"), ("solidellipse_radio_btn", "brushEllips"),
    ("arrow_radio_btn", "arrow"), ("markerpen_radio_btn", "markpen"),
    ("inserttext_radio_btn", "text"), ("rightmark_radio_btn", "right_p"),
    ("wrongmark_radio_btn", "wrong"), ("colorpicker_radio_btn", "colorPicker"),
    ("selectarea_radio_btn", "selectedArce"), ("zoomin_radio_btn", "zoomin"),
    ("zoomout_radio_btn", "zoomout"), ("undo_radio_btn", "undo"), ("redo_radio_btn", "redo"),
    ("print_radio_btn", "print"), ("clearboard_radio_btn", "clearBoard"),
    ("newboard_radio_btn", "newPainter"), ("copyboard_radio_btn", "copyboard"),
    ("save_radio_btn", "save"), ("exit_radio_btn", "exit"),
]

PUSH_BUTTONS = [("open_btn", "open"), ("option_btn", "opt"), ("helper_btn", "help"),
                ("menu_btn", "menu"), ("custom_size_btn", "custom_size"),
                ("selected_color_radio_btn", "color_selected")]

COLOR_RADIOS = ["red", "yellow", "green", "blue", "black", "white", "purple", "custom"]


def scene_qss():
    """The strip's style sheet: every button gets its pictures by object name."""
    res = ":/main/resource/"
    out = ["/* Tool strip. Generated by scripts/art/panel_art.py together with the pictures\n"
           "   it names: edit the script and run it again rather than editing this file. */",
           "",
           "QRadioButton { color: #FFFFFF; spacing: 2px; background-color: transparent; }",
           "QToolTip { color: #FFFFFF; background-color: #262626; border: 1px solid #4A4A4A;"
           " padding: 2px 4px; font-family: \"Microsoft YaHei\"; font-size: 12px; }",
           ""]
    states = [":unchecked", ":unchecked:hover", ":unchecked:pressed", ":checked",
              ":checked:hover", ":checked:pressed"]
    for name, base in TOOL_BUTTONS:
        out.append(f"QRadioButton#{name}::indicator {{ width: 22px; height: 22px; }}")
        for i, state in enumerate(states, start=1):
            out.append(f"QRadioButton#{name}::indicator{state} {{ image: url({res}{base}{i}.png); }}")
        out.append("")
    for n, px in enumerate(SIZES, start=1):
        name = f"size{n}_radio_btn"
        out.append(f"QRadioButton#{name}::indicator {{ width: {px}px; height: {px}px; }}")
        for state, pic in [(":unchecked", 1), (":unchecked:hover", 2), (":unchecked:pressed", 3),
                           (":checked", 3), (":checked:hover", 3), (":checked:pressed", 3)]:
            out.append(f"QRadioButton#{name}::indicator{state} {{ image: url({res}size{n}_{pic}.png); }}")
        out.append("")
    for name, base in PUSH_BUTTONS:
        out.append(f"QPushButton#{name} {{ border-image: url({res}{base}1.png); background-color: transparent; border: none; }}")
        out.append(f"QPushButton#{name}:hover {{ border-image: url({res}{base}2.png); }}")
        out.append(f"QPushButton#{name}:pressed {{ border-image: url({res}{base}3.png); }}")
        out.append("")
    for colour in COLOR_RADIOS:
        name = f"{colour}color_radio_btn"
        out.append(f"QRadioButton#{name}::indicator {{ width: 28px; height: 28px; image: url({res}color_{colour}.png); }}")
    return "\n".join(out) + "\n"


def write_qrc(qrc, out_dir, written):
    pictures = sorted(os.path.basename(p) for p in written if os.path.dirname(p) == out_dir)
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">',
             '<!-- The tool strip: its pictures (drawn by scripts/art/panel_art.py) and style sheets. -->',
             '<qresource prefix="/main">']
    lines += [f"    <file>resource/{p}</file>" for p in pictures]
    lines += ['</qresource>', '<qresource prefix="/qss">',
              '    <file>resource/qss/Mainframe.qss</file>',
              '    <file>resource/qss/Scene.qss</file>',
              '</qresource>', '</RCC>']
    with open(qrc, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "resource")
    os.makedirs(out_dir, exist_ok=True)
    if shutil.which("rsvg-convert") is None:
        sys.exit("rsvg-convert not found: apt-get install librsvg2-bin")
    r = Renderer(out_dir)
    try:
        draw_tools(r)
        draw_push_buttons(r)
        draw_sizes(r)
        draw_swatches(r)
        draw_lines(r)
        draw_close_sprite(r)
        draw_desktop_icon(r, os.path.join(root, "resources", "desktop"))
    finally:
        r.close()
    qss = os.path.join(root, "resources", "resource", "qss", "Scene.qss")
    os.makedirs(os.path.dirname(qss), exist_ok=True)
    with open(qss, "w", encoding="utf-8") as f:
        f.write(scene_qss())
    if out_dir == os.path.join(root, "resources", "resource"):
        write_qrc(os.path.join(root, "resources", "panel.qrc"), out_dir, r.written)
    print(f"{len(r.written)} files written")


if __name__ == "__main__":
    main()
