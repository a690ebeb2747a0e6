#include "canvas/CanvasView.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/BrushEllipseGraph.h"
#include "canvas/graphs/BrushRectGraph.h"
#include "canvas/graphs/ColorPickerGraph.h"
#include "canvas/graphs/EllipseGraph.h"
#include "canvas/graphs/EraseGraph.h"
#include "canvas/graphs/IGraph.h"
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
#include "platform/ScreenCapture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRect>
#include <QScreen>

CanvasView::CanvasView()
{
    clipboard = QGuiApplication::clipboard();
    QRect rect;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        rect = screen->geometry();
    }
    screenWidth = rect.width();
    screenHeight = rect.height();
    // Window 0 is the whole desktop; the canvas is not shown yet, so it is
    // never part of its own snapshot.
    screenPixmap = ScreenCapture::instance().captureScreen(0, rect.x(), rect.y(), rect.width(),
                                                           rect.height());
    canvasImage = screenPixmap.toImage();
    background = screenPixmap.toImage();
}

CanvasView::~CanvasView() = default;

void CanvasView::registerGraphs()
{
    graphs[Pen] = std::make_unique<PenGraph>();
    graphs[Erase] = std::make_unique<EraseGraph>();
    graphs[Rect] = std::make_unique<RectGraph>(false);
    graphs[BrushRect] = std::make_unique<BrushRectGraph>();
    graphs[Image] = std::make_unique<ImageGraph>();
    graphs[Line] = std::make_unique<LineGraph>();
    graphs[Ellipse] = std::make_unique<EllipseGraph>(false);
    graphs[BrushEllipse] = std::make_unique<BrushEllipseGraph>();
    graphs[LineArrow] = std::make_unique<LineArrowGraph>();
    graphs[MarkingPen] = std::make_unique<MarkingPenGraph>();
    graphs[Text] = std::make_unique<TextGraph>();
    graphs[SelectArea] = std::make_unique<SelectAreaGraph>();
    graphs[RightSymbols] = std::make_unique<RightSymbolsGraph>();
    graphs[WrongSymbols] = std::make_unique<WrongSymbolsGraph>();
    graphs[Picker] = std::make_unique<ColorPickerGraph>();
}

void CanvasView::attachView(Screenview* view)
{
    this->view = view;
    if (!painter) {
        painter = std::make_unique<QPainter>();
    }
    if (painter->isActive()) {
        painter->end();
    }
    // A failed capture leaves a null image; the painter then stays inactive
    // and the board simply shows nothing.
    if (!canvasImage.isNull()) {
        painter->begin(&canvasImage);
    }
    for (auto& entry : graphs) {
        entry.second->setPainter(painter.get(), &background);
    }
}

void CanvasView::update(GraphActioner* item)
{
    if (!item || !painter || !painter->isActive()) {
        return;
    }
    const auto found = graphs.find(item->type);
    if (found == graphs.end()) {
        return;
    }
    found->second->draw(item);
}
