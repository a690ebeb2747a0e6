"""Where the strip's buttons are on the screen, from the strip's fixed layout.

The strip is a translucent window with a 10-pixel shadow margin around a
62-pixel-wide column: the 25-pixel title bar, then the panel's rows, packed
from the top with 2 pixels between rows and each row centred.
"""

SHADOW = 10
TITLE = 25
COLUMN = 62
SPACING = 2

TOOLS = ["pen", "highlighter", "line", "eraser", "rectangle", "filledrectangle", "ellipse",
         "solidellipse", "arrow", "markerpen", "inserttext", "rightmark", "wrongmark", "laser",
         "colorpicker",
         "selectarea", "zoomin", "zoomout", "undo", "redo", "print", "clearboard", "newboard",
         "copyboard", "save", "exit"]
COLOURS = ["red", "yellow", "green", "blue", "black", "white", "purple", "custom"]


def _rows():
    """(height, [(name, width, height), ...], gap) for each row, top to bottom."""
    rows = [(15, [("menu", 12, 9), ("open", 40, 15)], 4), (2, [], 0)]
    for n, side in enumerate([10, 15, 20, 25, 30], start=1):
        rows.append((side, [(f"size{n}", side, side)], 0))
    rows.append((8, [("custom_size", 28, 8)], 0))
    rows.append((2, [], 0))
    for i in range(0, 8, 2):
        rows.append((28, [(COLOURS[i], 28, 28), (COLOURS[i + 1], 28, 28)], 2))
    rows.append((2, [], 0))
    for i in range(0, len(TOOLS), 2):
        rows.append((22, [(TOOLS[i], 22, 22), (TOOLS[i + 1], 22, 22)], 6))
    rows.append((22, [("option", 22, 22), ("help", 22, 22)], 6))
    return rows


def button_centres(window_x, window_y):
    """Centre of every button, by name, for a strip window at (window_x, window_y)."""
    left = window_x + SHADOW
    y = window_y + SHADOW + TITLE
    centres = {}
    for height, buttons, gap in _rows():
        if buttons:
            total = sum(w for _, w, _ in buttons) + gap * (len(buttons) - 1)
            x = left + (COLUMN - total) // 2
            for name, w, h in buttons:
                centres[name] = (x + w // 2, y + height // 2)
                x += w + gap
        y += height + SPACING
    return centres


def title_close(window_x, window_y):
    """Centre of the title bar's close button (9 x 9, right-aligned, 2-pixel margin)."""
    return (window_x + SHADOW + COLUMN - 2 - 5, window_y + SHADOW + TITLE // 2)
