#pragma once

// The kind of a drawn item. The same numbers are the canvas's tool numbers,
// and the renderer table, the panel and the menus all key on them: the values
// are shared and fixed, never renumber or reorder them.
enum GraphType {
    Pen = 0,
    Erase = 1,
    Rect = 2,
    BrushRect = 3,
    Image = 4,
    Line = 5,
    Ellipse = 6,
    BrushEllipse = 7,
    LineArrow = 8,
    MarkingPen = 9,
    Text = 10,
    SelectArea = 11,
    RightSymbols = 12,
    WrongSymbols = 13,
    Picker = 14,
    Highlighter = 15,
    // The laser pointer: a tool, never an item.
    Laser = 16,
};
