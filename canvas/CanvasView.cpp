#include "canvas/CanvasView.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/IGraph.h"
#include "canvas/graphs/InkStroke.h"
#include "canvas/graphs/SelectAreaGraph.h"
#include "canvas/ImageOutput.h"
#include "canvas/ScreenSnapshot.h"
#include "canvas/ToolTable.h"
#include "canvas/Screenview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QScreen>

#include <cmath>

CanvasView::CanvasView()
    : CanvasView(ScreenSnapshot::ofPrimaryScreen())
{
}

CanvasView::CanvasView(const ScreenSnapshot& snapshot)
{
    clipboard = QGuiApplication::clipboard();
    screenWidth = snapshot.geometry.width();
    screenHeight = snapshot.geometry.height();
    screenPixmap = snapshot.pixels;
    deviceRatio = snapshot.ratio;
    canvasImage = screenPixmap.toImage();
    background = screenPixmap.toImage();
}

CanvasView::~CanvasView() = default;

void CanvasView::registerGraphs()
{
    // Items are in the image's pixels; the editor types in logical ones.
    const double imageRatio = canvasImage.isNull() ? 1.0 : canvasImage.devicePixelRatio();
    RendererSetup setup;
    setup.textScale = deviceRatio / imageRatio;
    for (const ToolRow& row : ToolTable::rows()) {
        // The laser pointer is no item and has no renderer.
        if (row.renderer) {
            graphs[row.type] = row.renderer(setup);
        }
    }
}

void CanvasView::attachView(Screenview* view)
{
    this->view = view;
    if (!painter) {
        painter = std::make_unique<QPainter>();
    }
    if (painter->isActive()) {
        painter->end();
        painter->begin(&canvasImage);
    }
    for (auto& entry : graphs) {
        entry.second->setPainter(painter.get(), &background);
    }
}

bool CanvasView::ownCanvas()
{
    // A failed capture leaves a null image; the painter then stays inactive
    // and the board simply shows nothing.
    if (!painter || canvasImage.isNull()) {
        return false;
    }
    if (!painter->isActive()) {
        // Starting the painter detaches the image from the snapshot: the one
        // full copy an opening needs, made here rather than before the board shows.
        painter->begin(&canvasImage);
    }
    return painter->isActive();
}

void CanvasView::update(GraphActioner* item)
{
    if (!item || !ownCanvas()) {
        return;
    }
    const auto found = graphs.find(item->type);
    if (found == graphs.end()) {
        return;
    }
    found->second->draw(item);
}

void CanvasView::updateFrom(GraphActioner* item, size_t from)
{
    if (!item || !ownCanvas()) {
        return;
    }
    const auto found = graphs.find(item->type);
    if (found != graphs.end()) {
        found->second->drawFrom(item, from);
    }
}

void CanvasView::paintWith(QPainter* target, GraphActioner* item)
{
    const auto found = graphs.find(item->type);
    if (found == graphs.end()) {
        return;
    }
    IGraph& graph = *found->second;
    graph.setPainter(target, &background);
    graph.draw(item);
    graph.setPainter(painter.get(), &background);
}

void CanvasView::zoomIn()
{
    scale += 0.2;
    if (view) {
        view->update();
    }
}

void CanvasView::zoomOut()
{
    if (scale <= 1.0) {
        return;
    }
    const double before = scale;
    scale -= 0.2;
    if (scale <= 0) {
        scale = before;
    }
    if (scale != before && view) {
        view->update();
    }
}

void CanvasView::resetZoom()
{
    scale = 1.0;
    if (view) {
        view->update();
    }
}

void CanvasView::setOffset(int x, int y)
{
    offsetX = x;
    offsetY = y;
}

namespace {
// At most half the overflow either way, so no edge of the board comes into view.
int clampOffset(int offset, int limit)
{
    if (offset >= 0 && offset >= limit) {
        return limit;
    }
    if (offset < 0 && qAbs(offset) >= qAbs(limit)) {
        return -limit;
    }
    return offset;
}
}

void CanvasView::paint(QPainter* painter, const QRect& exposed)
{
    if (!view || !painter) {
        return;
    }
    const int w = view->width();
    const int h = view->height();
    if (w <= 0 || h <= 0) {
        return;
    }
    offsetX = clampOffset(offsetX, int((scale - 1.0) * w) / 2);
    offsetY = clampOffset(offsetY, int((scale - 1.0) * h) / 2);
    if (canvasImage.isNull()) {
        // The window paints no background of its own.
        painter->fillRect(exposed.isNull() ? QRect(0, 0, w, h) : exposed, Qt::black);
    }

    if (scale == 1.0 && !exposed.isNull() && !canvasImage.isNull()) {
        // Unzoomed, the image lies pixel for pixel on the window's device
        // pixels: copy only the exposed part instead of the whole board.
        const qreal rx = canvasImage.width() / qreal(w);
        const qreal ry = canvasImage.height() / qreal(h);
        const QRect source = QRectF(exposed.x() * rx, exposed.y() * ry, exposed.width() * rx, exposed.height() * ry)
                                 .toAlignedRect()
                                 .intersected(canvasImage.rect());
        const QRectF target(source.x() / rx, source.y() / ry, source.width() / rx, source.height() / ry);
        painter->drawImage(target, canvasImage, QRectF(source));
    } else {
        painter->save();
        if (!exposed.isNull()) {
            painter->setClipRect(exposed, Qt::IntersectClip);
        }
        painter->translate(offsetX + w / 2, offsetY + h / 2);
        painter->scale(scale, scale);
        painter->drawImage(QRect(-w / 2, -h / 2, w, h), canvasImage);
        painter->restore();
    }
    if (!shownTail.line.isNull()) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(shownTail.colour, shownTail.width * windowScale(), Qt::SolidLine, Qt::RoundCap));
        painter->drawLine(QLineF(windowPoint(shownTail.line.p1()), windowPoint(shownTail.line.p2())));
        painter->restore();
    }
    // The marquee is a state of the canvas, drawn over the board at the
    // current zoom and pan; the board image never holds it.
    if (!marqueeArea.isEmpty()) {
        const double ratio = imageRatio();
        SelectAreaGraph::paintMarquee(*painter, windowRect(QRectF(marqueeArea.topLeft() * ratio,
                                                                  marqueeArea.size() * ratio)));
    }
}

double CanvasView::imageRatio() const
{
    return canvasImage.isNull() ? 1.0 : canvasImage.devicePixelRatio();
}

QRectF CanvasView::windowRect(const QRectF& imageArea) const
{
    if (!view || canvasImage.isNull()) {
        return QRectF();
    }
    const int w = view->width();
    const int h = view->height();
    // The same placement paint() uses: the image is stretched over the
    // window, scaled about its centre and shifted by the clamped pan.
    const double sx = scale * w / canvasImage.width();
    const double sy = scale * h / canvasImage.height();
    const double originX = clampOffset(offsetX, int((scale - 1.0) * w) / 2) + w / 2 - scale * (w / 2);
    const double originY = clampOffset(offsetY, int((scale - 1.0) * h) / 2) + h / 2 - scale * (h / 2);
    return QRectF(originX + imageArea.x() * sx, originY + imageArea.y() * sy, imageArea.width() * sx,
                  imageArea.height() * sy);
}

QRect CanvasView::windowArea(const QRect& imageArea) const
{
    if (!view || imageArea.isEmpty() || canvasImage.isNull()) {
        return QRect();
    }
    // Scaled drawing may reach a pixel further on each side.
    const int margin = int(std::ceil(scale)) + 1;
    return windowRect(QRectF(imageArea)).toAlignedRect().adjusted(-margin, -margin, margin, margin).intersected(
        QRect(0, 0, view->width(), view->height()));
}

QPoint CanvasView::boardPoint(const QPointF& windowPos) const
{
    if (!view || canvasImage.isNull()) {
        return windowPos.toPoint();
    }
    const QRectF board = windowRect(QRectF(canvasImage.rect()));
    const double ratio = imageRatio();
    const double x = (windowPos.x() - board.x()) * canvasImage.width() / board.width() / ratio;
    const double y = (windowPos.y() - board.y()) * canvasImage.height() / board.height() / ratio;
    return QPoint(qRound(x), qRound(y));
}

QRegion CanvasView::marqueeRegion(const QRect& itemArea) const
{
    if (itemArea.isEmpty() || !view) {
        return QRegion();
    }
    const double ratio = imageRatio();
    const QRect outline =
        windowRect(QRectF(itemArea.topLeft() * ratio, itemArea.size() * ratio)).toAlignedRect();
    // A one-pixel antialiased line touches a pixel or two either side.
    constexpr int reach = 2;
    const QRect inner = outline.adjusted(reach, reach, -reach, -reach);
    QRegion edges(outline.adjusted(-reach, -reach, reach, reach));
    if (inner.isValid() && !inner.isEmpty()) {
        edges -= QRegion(inner);
    }
    return edges.intersected(QRect(0, 0, view->width(), view->height()));
}

QPointF CanvasView::windowPoint(const QPointF& itemPoint) const
{
    return windowRect(QRectF(itemPoint * imageRatio(), QSizeF(0, 0))).topLeft();
}

double CanvasView::windowScale() const
{
    if (!view || canvasImage.isNull()) {
        return 1.0;
    }
    return scale * view->width() / canvasImage.width() * imageRatio();
}

QRegion CanvasView::tailRegion(const Tail& tail) const
{
    if (tail.line.isNull() || !view) {
        return QRegion();
    }
    const double reach = tail.width * windowScale() / 2.0 + 2.0;
    const QRectF span = QRectF(windowPoint(tail.line.p1()), windowPoint(tail.line.p2())).normalized();
    return QRegion(span.adjusted(-reach, -reach, reach, reach).toAlignedRect())
        .intersected(QRect(0, 0, view->width(), view->height()));
}

QRegion CanvasView::showTail(const GraphActioner* stroke)
{
    Tail next;
    if (stroke && stroke->type == Pen && InkStroke::needsFinish(*stroke)) {
        next.line = InkStroke::tail(stroke->points);
        next.width = IGraph::itemPenWidth(*stroke);
        if (stroke->pressures.size() == stroke->points.size()) {
            next.width *= InkStroke::pressureFactor(stroke->pressures.back());
        }
        next.colour.setRgb(stroke->propertyInt("r"), stroke->propertyInt("g"), stroke->propertyInt("b"),
                           stroke->propertyInt("a"));
    }
    if (next.line == shownTail.line && next.width == shownTail.width && next.colour == shownTail.colour) {
        return QRegion();
    }
    QRegion changed = tailRegion(shownTail) | tailRegion(next);
    shownTail = next;
    return changed;
}

QRegion CanvasView::showMarquee(const QRect& itemArea)
{
    const QRect shown = itemArea.isEmpty() ? QRect() : itemArea;
    if (shown == marqueeArea) {
        return QRegion();
    }
    QRegion changed = marqueeRegion(marqueeArea) | marqueeRegion(shown);
    marqueeArea = shown;
    return changed;
}

void CanvasView::grabRect(const QRectF& r) { ImageOutput(*this).grabRect(r); }
void CanvasView::saveAll() { ImageOutput(*this).saveAll(); }
void CanvasView::saveRect(const QRectF& r) { ImageOutput(*this).saveRect(r); }
void CanvasView::copyRect(const QRectF& r) { ImageOutput(*this).copyRect(r); }
void CanvasView::copyAll() { ImageOutput(*this).copyAll(); }
void CanvasView::print() { ImageOutput(*this).print(); }
