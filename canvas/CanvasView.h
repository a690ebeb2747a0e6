#pragma once

#include "canvas/IObserver.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QRect>
#include <QRegion>

#include <map>
#include <memory>

class GraphActioner;
class IGraph;
class QClipboard;
class QPainter;
class QPoint;
class QRectF;
class Screenview;
struct ScreenSnapshot;

// What the canvas window shows: the screen snapshot taken when the board
// opens and the picture every drawn item is painted into. It observes every
// item and hands each to the renderer of the item's kind.
class CanvasView : public IObserver {
public:
    // Takes the snapshot of the primary screen.
    CanvasView();
    // Made from a snapshot already taken.
    explicit CanvasView(const ScreenSnapshot& snapshot);
    ~CanvasView() override;

    CanvasView(const CanvasView&) = delete;
    CanvasView& operator=(const CanvasView&) = delete;

    // Makes the fifteen renderers, one per GraphType.
    void registerGraphs();
    // Remembers the canvas window and (re)starts the one painter on
    // canvasImage, once that has pixels of its own (see ownCanvas()).
    void attachView(Screenview* view);
    void update(GraphActioner* item) override;
    // Paints only what the points of a grown stroke from `from` on add.
    void updateFrom(GraphActioner* item, size_t from);
    // Paints `item` with `target` (a composite's painter) instead of the
    // canvas's own; the renderer paints on the canvas again afterwards.
    void paintWith(QPainter* target, GraphActioner* item);
    // The canvas image starts out sharing the snapshot's pixels, so that the
    // board shows without waiting for a full-screen copy. Called before
    // anything is drawn into it: gives it its own copy and starts the painter
    // on it. False when there is no picture to draw on (a failed capture).
    bool ownCanvas();

    // Zoom and pan only change how the composed image is drawn; nothing is
    // composed again. The scale moves in steps of 0.2 and never below 1.0.
    void zoomIn();
    void zoomOut();
    void resetZoom();
    // Stored as given; paint() keeps it within the board.
    void setOffset(int x, int y);
    // Called by the canvas window's paintEvent: draws the composed image with
    // the current zoom and pan, clamping the pan (and storing it back) so the
    // window never shows anything beyond the board. Only `exposed` (window
    // coordinates) is drawn when given.
    void paint(QPainter* painter, const QRect& exposed);
    // Where an area of the canvas image (image pixels) shows in the window
    // under the current zoom and pan, in window coordinates; what paint()
    // must redraw after that area changed.
    QRect windowArea(const QRect& imageArea) const;
    // The point of the board (item pixels) shown at `windowPos` (window
    // coordinates) under the current zoom and pan.
    QPoint boardPoint(const QPointF& windowPos) const;

    // The selection whose marquee paint() draws over the board, in item
    // pixels and normalised; empty for none. Returns the window area to
    // repaint for the change.
    QRegion showMarquee(const QRect& itemArea);
    const QRect& marquee() const { return marqueeArea; }
    // The straight rest of the pen stroke being drawn, from the end of its
    // curve to the pointer, which paint() draws over the board until the
    // stroke's next point (or its end) makes it part of the curve; null for
    // none. Returns the window area to repaint for the change.
    QRegion showTail(const GraphActioner* stroke);

    // Output of the board (ImageOutput does the work): selections are in item pixels.
    void grabRect(const QRectF& r);
    void saveAll();
    void saveRect(const QRectF& r);
    void copyRect(const QRectF& r);
    void copyAll();
    // Runs the print window modally.
    void print();

    // The snapshot; never drawn into (the background item and the eraser read it).
    QImage background;
    // Everything is painted into this; it starts as the snapshot.
    QImage canvasImage;
    Screenview* view = nullptr;
    // Kept active on canvasImage from the first drawing for the view's whole life.
    std::unique_ptr<QPainter> painter;
    std::map<int, std::unique_ptr<IGraph>> graphs;
    QPixmap screenPixmap;
    // The board's screen's size in logical pixels when the board opened.
    double screenWidth = 0;
    double screenHeight = 0;
    // The screen's device pixels per logical pixel when the board opened.
    double deviceRatio = 1.0;
    QClipboard* clipboard = nullptr;
    // The last area grabbed for saving or copying.
    QPixmap outputPixmap;
    double scale = 1.0;
    int offsetX = 0;
    int offsetY = 0;

private:
    // Where an area of the canvas image lands in the window, exactly.
    QRectF windowRect(const QRectF& imageArea) const;
    // The window pixels the marquee of `itemArea` may touch.
    QRegion marqueeRegion(const QRect& itemArea) const;
    double imageRatio() const;

    QRect marqueeArea;
    struct Tail {
        QLineF line; // item pixels
        double width = 0;
        QColor colour;
    };
    QRegion tailRegion(const Tail& tail) const;
    // Where an item point shows in the window, and how many window pixels
    // an item pixel spans.
    QPointF windowPoint(const QPointF& itemPoint) const;
    double windowScale() const;
    Tail shownTail;
};
