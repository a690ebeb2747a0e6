// The table of drawn-item kinds, in the strip's order.

#include "canvas/ToolTable.h"

#include "canvas/GraphType.h"
#include "canvas/graphs/BrushEllipseGraph.h"
#include "canvas/graphs/BrushRectGraph.h"
#include "canvas/graphs/ColorPickerGraph.h"
#include "canvas/graphs/EllipseGraph.h"
#include "canvas/graphs/EraseGraph.h"
#include "canvas/graphs/HighlighterGraph.h"
#include "canvas/graphs/ImageGraph.h"
#include "canvas/graphs/LineArrowGraph.h"
#include "canvas/graphs/LineGraph.h"
#include "canvas/graphs/MarkingPenGraph.h"
#include "canvas/graphs/PenGraph.h"
#include "canvas/graphs/RectGraph.h"
#include "canvas/graphs/RightSymbolsGraph.h"
#include "canvas/graphs/SelectAreaGraph.h"
#include "canvas/graphs/TextGraph.h"
#include "canvas/graphs/WrongSymbolsGraph.h"

#include <QtGlobal>

namespace {

template <typename Graph>
std::unique_ptr<IGraph> make(const RendererSetup&)
{
    return std::make_unique<Graph>();
}

std::unique_ptr<IGraph> makeRect(const RendererSetup&) { return std::make_unique<RectGraph>(false); }
std::unique_ptr<IGraph> makeEllipse(const RendererSetup&) { return std::make_unique<EllipseGraph>(false); }
std::unique_ptr<IGraph> makeText(const RendererSetup& setup) { return std::make_unique<TextGraph>(setup.textScale); }

#define STRIP(text) QT_TRANSLATE_NOOP("PaintControlScene", text)
#define MENU(text) QT_TRANSLATE_NOOP("Screenview", text)

const std::vector<ToolRow> kRows = {
    // type, renderer, reach, two points, stamps, grows, strip button and tip, menu position, text and icon, key
    {Pen, make<PenGraph>, Reach::Segments, true, false, true, "pen_radio_btn", STRIP("pen"), 1, MENU("   Pen"),
     ":/main/resource/pen1.png", BoardCommand::Pen},
    {Highlighter, make<HighlighterGraph>, Reach::Segments, true, false, false, "highlighter_radio_btn",
     STRIP("highlighter"), 2, MENU("   Highlighter"), ":/main/resource/highlighter1.png",
     BoardCommand::Highlighter},
    {Line, make<LineGraph>, Reach::DragBox, true, false, false, "line_radio_btn", STRIP("line"), 4, MENU("   Line"),
     ":/main/resource/line1.png", BoardCommand::Line},
    {Erase, make<EraseGraph>, Reach::Segments, true, false, true, "eraser_radio_btn", STRIP("eraser"), 3,
     MENU("   Erase"), ":/main/resource/eraser1.png", BoardCommand::Eraser},
    {Rect, makeRect, Reach::DragBox, true, false, false, "rectangle_radio_btn", STRIP("rectangle"), 6,
     MENU("   Rectangle"), ":/main/resource/rect1.png", BoardCommand::Rectangle},
    {BrushRect, make<BrushRectGraph>, Reach::DragBox, true, false, false, "filledrectangle_radio_btn",
     STRIP("filled rectangle"), 7, MENU("   Solid rectangle"), ":/main/resource/brushRect1.png",
     BoardCommand::FilledRectangle},
    {Ellipse, makeEllipse, Reach::DragBox, true, false, false, "ellipse_radio_btn", STRIP("ellipse"), 8,
     MENU("   Ellipse"), ":/main/resource/ellipse1.png", BoardCommand::Ellipse},
    {BrushEllipse, make<BrushEllipseGraph>, Reach::DragBox, true, false, false, "solidellipse_radio_btn",
     STRIP("solid ellipse"), 9, MENU("   Solid ellipse"), ":/main/resource/brushEllips1.png",
     BoardCommand::FilledEllipse},
    {LineArrow, make<LineArrowGraph>, Reach::ArrowBox, true, false, false, "arrow_radio_btn", STRIP("arrow"), 5,
     MENU("   Line arrow"), ":/main/resource/arrow1.png", BoardCommand::Arrow},
    {MarkingPen, make<MarkingPenGraph>, Reach::Badge, false, true, false, "markerpen_radio_btn",
     STRIP("marker pen"), 13, MENU("   Mark pen"), ":/main/resource/markpen1.png", BoardCommand::Badge},
    {Text, makeText, Reach::Text, false, false, false, "inserttext_radio_btn", STRIP("insert text"), 10,
     MENU("   Text"), ":/main/resource/text1.png", BoardCommand::Text},
    {RightSymbols, make<RightSymbolsGraph>, Reach::Symbol, false, true, false, "rightmark_radio_btn",
     STRIP("right mark"), 11, MENU("   Tick"), ":/main/resource/right_p1.png", BoardCommand::Tick},
    {WrongSymbols, make<WrongSymbolsGraph>, Reach::Symbol, false, true, false, "wrongmark_radio_btn",
     STRIP("wrong mark"), 12, MENU("   Cross"), ":/main/resource/wrong1.png", BoardCommand::Cross},
    {Laser, nullptr, Reach::None, false, false, false, "laser_radio_btn", STRIP("laser pointer"), 0, nullptr,
     nullptr, BoardCommand::Laser},
    {Picker, make<ColorPickerGraph>, Reach::None, false, false, false, "colorpicker_radio_btn",
     STRIP("color picker"), 0, nullptr, nullptr, BoardCommand::ColorPicker},
    {SelectArea, make<SelectAreaGraph>, Reach::None, false, false, false, "selectarea_radio_btn",
     STRIP("select area"), 14, MENU("   Select area"), ":/main/resource/selectedArce1.png",
     BoardCommand::SelectArea},
    // The background: no tool chooses it.
    {Image, make<ImageGraph>, Reach::WholeImage, false, false, false, nullptr, nullptr, 0, nullptr, nullptr,
     BoardCommand::None},
};

#undef STRIP
#undef MENU

} // namespace

namespace ToolTable {

const std::vector<ToolRow>& rows()
{
    return kRows;
}

const ToolRow* row(int type)
{
    for (const ToolRow& entry : kRows) {
        if (entry.type == type)
            return &entry;
    }
    return nullptr;
}

const ToolRow* rowForKey(BoardCommand command)
{
    if (command == BoardCommand::None)
        return nullptr;
    for (const ToolRow& entry : kRows) {
        if (entry.key == command)
            return &entry;
    }
    return nullptr;
}

} // namespace ToolTable
