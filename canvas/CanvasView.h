#pragma once

#include "canvas/IObserver.h"

#include <QImage>
#include <QPixmap>

#include <map>
#include <memory>

class GraphActioner;
class IGraph;
class QClipboard;
class QPainter;
class Screenview;

// What the canvas window shows: the screen snapshot taken when the board
// opens and the picture every drawn item is painted into. It observes every
// item and hands each to the renderer of the item's kind.
class CanvasView : public IObserver {
public:
    // Takes the snapshot of the primary screen.
    CanvasView();
    ~CanvasView() override;

    CanvasView(const CanvasView&) = delete;
    CanvasView& operator=(const CanvasView&) = delete;

    // Makes the fifteen renderers, one per GraphType.
    void registerGraphs();
    // Remembers the canvas window and (re)starts the one painter on canvasImage.
    void attachView(Screenview* view);
    void update(GraphActioner* item) override;

    // The snapshot; never drawn into (the background item and the eraser read it).
    QImage background;
    // Everything is painted into this; it starts as a copy of the snapshot.
    QImage canvasImage;
    Screenview* view = nullptr;
    // Kept active on canvasImage for the view's whole life.
    std::unique_ptr<QPainter> painter;
    std::map<int, std::unique_ptr<IGraph>> graphs;
    QPixmap screenPixmap;
    // The primary screen's size in logical pixels when the board opened.
    double screenWidth = 0;
    double screenHeight = 0;
    QClipboard* clipboard = nullptr;
    // The last area grabbed for saving or copying.
    QPixmap outputPixmap;
    double scale = 1.0;
    int offsetX = 0;
    int offsetY = 0;
};
