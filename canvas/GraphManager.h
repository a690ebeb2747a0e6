#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class CanvasView;
class Compositor;
class GraphActioner;
class QPoint;
class Screenview;
struct BoardState;
struct ScreenSnapshot;

// The edit history of one canvas: the drawn items in painting order, the
// current tool, undo and redo. It repaints by replaying every painted item,
// oldest first, into the canvas image; the first item is always the
// background, so a replay rebuilds the picture from scratch.
class GraphManager
{
public:
    // `checkpointSpacing` is how far below the newest item the repaint
    // checkpoint is kept; only tests need anything but the default.
    explicit GraphManager(Screenview* view, int checkpointSpacing = 32);
    // The same over a snapshot already taken (the other takes the primary screen's).
    GraphManager(Screenview* view, const ScreenSnapshot& snapshot, int checkpointSpacing = 32);
    ~GraphManager();

    GraphManager(const GraphManager&) = delete;
    GraphManager& operator=(const GraphManager&) = delete;

    // Begins a new item of `type` (a negative type means the current tool)
    // and returns it. The one select-area item is reused with its points cleared.
    GraphActioner* beginAction(int type);
    // Appends a point (canvas-image pixels) to the current item and replays;
    // with the stylus's pressure there (0 to 1), when it has one.
    void addPoint(int x, int y, double pressure = -1);
    void undo();
    void redo();
    // Puts the text on the current item when it is a text item, and replays.
    void setText(const QString& text);
    // Removes every drawn item from the picture as one step that undo brings back.
    void clear();
    // Takes the current item back out of the history when it is of `type`
    // and on top, as if it had never begun: for presses that drew nothing.
    void discardCurrent(int type);

    // The current selection, unnormalised; empty unless the select-area item
    // is the current item.
    QRect selectionRect() const;
    // Whether the selection the board shows (see visibleSelection) holds `point`.
    bool selectionContains(const QPoint& point) const;
    // The selection whose marquee the board shows, normalised: the newest
    // select item that is drawn with no clear above it; empty for none.
    QRect visibleSelection() const;

    // The reference repaint: every painted item, from the background up.
    // Edits repaint incrementally to exactly the same picture.
    void replay();
    // The part of the canvas image (image pixels) that changed since the
    // last call; the window repaints only that.
    QRect takeChangedArea();

    void zoomIn();
    void zoomOut();
    void resetZoom();
    void setOffset(int x, int y);
    void print();
    void saveAll();
    void copyAll();
    void copySelection();
    void saveSelection();

    CanvasView* canvas() const { return canvasView.get(); }
    const Compositor& composer() const { return *compositor; }
    GraphActioner* current() const { return currentActioner; }
    const std::vector<GraphActioner*>& painted() const { return doneList; }
    const std::vector<GraphActioner*>& undone() const { return undoneList; }

    // Every item ever made, in the order made (their ids in a BoardState).
    const std::vector<std::unique_ptr<GraphActioner>>& allItems() const { return items; }
    GraphActioner* selection() const { return selectActioner; }
    // The history as data, and a history put back from such data (then
    // painted afresh): the same pixels, and undo and redo go on as before.
    BoardState state() const;
    void restore(const BoardState& state);

    // What the board shows under the drawing: the screen's snapshot, or
    // plain white or black as on a whiteboard or a blackboard. The eraser
    // brings back whichever shows, and it is part of every output.
    enum class Backdrop { Snapshot = 0, White = 1, Black = 2 };
    void setBackdrop(Backdrop backdrop);
    Backdrop backdrop() const { return shownBackdrop; }
    // The screen's snapshot, whatever backdrop shows.
    const QImage& snapshot() const;

    // The kind used for new items; written by the canvas's tool selectors.
    int currentTool = 0;

private:
    GraphManager(Screenview* view, std::unique_ptr<CanvasView> canvas, int checkpointSpacing);
    GraphActioner* createItem(int type);
    // Brings the canvas image up to date after a change of the history.
    void compose();
    // Paints everything afresh, with a compositor that starts anew.
    void repaintAll();

    // What the last look for the visible selection found, and for which top
    // of the history.
    struct MarqueeWalk {
        size_t size = 0;
        const GraphActioner* top = nullptr;
        const GraphActioner* select = nullptr;
    };
    mutable MarqueeWalk marqueeWalk;

    GraphActioner* currentActioner = nullptr;
    GraphActioner* selectActioner = nullptr;
    std::unique_ptr<CanvasView> canvasView;
    // Declared after the view: it paints into the view's image and must go first.
    std::unique_ptr<Compositor> compositor;
    int spacing = 32;
    Backdrop shownBackdrop = Backdrop::Snapshot;
    // The snapshot, kept while another backdrop shows.
    QImage keptSnapshot;
    std::vector<GraphActioner*> doneList;
    std::vector<GraphActioner*> undoneList;
    // Every item ever created, whichever list holds it: items live as long as the history.
    std::vector<std::unique_ptr<GraphActioner>> items;
};
