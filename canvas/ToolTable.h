#pragma once

// Every kind of drawn item, written once: what the strip, the board's menu,
// the keys, the item bounds, the compositor and the canvas need of it. A
// new tool is a renderer class and one row here.

#include "canvas/BoardKeys.h"

#include <memory>
#include <vector>

class IGraph;

// How far an item's paint reaches beyond its points.
enum class Reach {
    None,       // paints nothing on the board (the picker, a selection)
    WholeImage, // the background
    Segments,   // a stroke: its points' span plus half the pen
    DragBox,    // the box from the first to the last point plus half the pen
    ArrowBox,   // the drag box plus the arrow's head
    Badge,      // the numbered disc and its label
    Text,       // the text's box on its baseline
    Symbol,     // the symbol's picture at the first point
};

struct RendererSetup {
    // Canvas-image pixels per logical pixel of the text editor.
    double textScale = 1.0;
};

struct ToolRow {
    int type; // a GraphType
    std::unique_ptr<IGraph> (*renderer)(const RendererSetup& setup);
    Reach reach;
    // A click alone, with no drag, draws nothing.
    bool twoPoints;
    // Drawn whole at the press: shown at the release with no move between.
    bool stampsOnClick;
    // A stroke: points added at the end only add segments to repaint.
    bool growsBySegments;
    // On the strip: the button's object name and tooltip (context
    // "PaintControlScene"); null when the strip has no button for it.
    const char* stripButton;
    const char* stripTip;
    // In the board's menu (context "Screenview"), in this position (from 1;
    // 0 for none), with this icon.
    int menuPosition;
    const char* menuText;
    const char* menuIcon;
    // The key that chooses it on the board.
    BoardCommand key;
};

namespace ToolTable {

// In strip order.
const std::vector<ToolRow>& rows();
// The row of `type`; null for a type with none.
const ToolRow* row(int type);
// The row whose key is `command`; null for none.
const ToolRow* rowForKey(BoardCommand command);

} // namespace ToolTable
