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
#include "canvas/ImageOutput.h"
#include "canvas/PrintGrapWindow.h"
#include "canvas/ScreenSnapshot.h"
#include "canvas/Screenview.h"
#include "widgets/MsgBox.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QRect>
#include <QRectF>
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
        return;
    }
    if (!exposed.isNull()) {
        painter->setClipRect(exposed, Qt::IntersectClip);
    }
    painter->translate(offsetX + w / 2, offsetY + h / 2);
    painter->scale(scale, scale);
    painter->drawImage(QRect(-w / 2, -h / 2, w, h), canvasImage);
}

QRect CanvasView::windowArea(const QRect& imageArea) const
{
    if (!view || imageArea.isEmpty() || canvasImage.isNull()) {
        return QRect();
    }
    const int w = view->width();
    const int h = view->height();
    // The same placement paint() uses: the image is stretched over the
    // window, scaled about its centre and shifted by the clamped pan.
    const double sx = scale * w / canvasImage.width();
    const double sy = scale * h / canvasImage.height();
    const double originX = clampOffset(offsetX, int((scale - 1.0) * w) / 2) + w / 2 - scale * (w / 2);
    const double originY = clampOffset(offsetY, int((scale - 1.0) * h) / 2) + h / 2 - scale * (h / 2);
    const QRectF mapped(originX + imageArea.x() * sx, originY + imageArea.y() * sy, imageArea.width() * sx,
                        imageArea.height() * sy);
    // Scaled drawing may reach a pixel further on each side.
    const int margin = int(std::ceil(scale)) + 1;
    return mapped.toAlignedRect().adjusted(-margin, -margin, margin, margin).intersected(QRect(0, 0, w, h));
}

void CanvasView::grabRect(const QRectF& r)
{
    // The window renders itself at its full physical resolution; the
    // selection, in device pixels, is then cut from that exactly.
    const QImage window = ImageOutput::grabAll(view);
    const QRect area = ImageOutput::deviceArea(r, window.size());
    outputPixmap = area.isEmpty() ? QPixmap() : QPixmap::fromImage(window.copy(area));
}

namespace {
// The whole window in device pixels, the unit selections come in.
QRectF wholeWindow(const QWidget* view)
{
    return QRectF(QPointF(0, 0), QSizeF(view->width(), view->height()) * view->devicePixelRatioF());
}
}

void CanvasView::saveAll()
{
    if (!view) {
        return;
    }
    saveRect(wholeWindow(view));
}

void CanvasView::saveRect(const QRectF& r)
{
    grabRect(r);
    const QString name = QFileDialog::getSaveFileName(
        view, QObject::tr("Save Image"), ImageOutput::defaultSavePath(QDateTime::currentDateTime()),
        ImageOutput::saveFilter());
    if (name.isEmpty()) {
        return;
    }
    QString reason;
    if (!ImageOutput::writeImage(outputPixmap.toImage(), name, &reason)) {
        // Never fail quietly: the user believes the picture is kept.
        MsgBox::information(view, QObject::tr("Save Image"),
                            QCoreApplication::translate("CanvasView", "The image could not be saved as %1.\n%2")
                                .arg(QDir::toNativeSeparators(name), reason),
                            QMessageBox::Ok);
    }
}

void CanvasView::copyRect(const QRectF& r)
{
    grabRect(r);
    if (outputPixmap.isNull() || !clipboard) {
        return;
    }
    // A self-contained image: the clipboard keeps serving it after the board is gone.
    clipboard->setImage(outputPixmap.toImage(), QClipboard::Clipboard);
}

void CanvasView::copyAll()
{
    if (!view) {
        return;
    }
    copyRect(wholeWindow(view));
}

void CanvasView::print()
{
    PrintGrapWindow window(nullptr);
    // Belonging to the board keeps it above the board on desktops that show
    // nothing else over a full-screen window. It sets its own window flags
    // without a window type, so it is made a dialog of the board explicitly.
    if (view) {
        window.setParent(view, window.windowFlags() | Qt::Dialog);
    }
    window.exec();
}
