#pragma once

#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class CanvasView;
class GraphActioner;
class QPoint;
class Screenview;

// The edit history of one canvas: the drawn items in painting order, the
// current tool, undo and redo. It repaints by replaying every painted item,
// oldest first, into the canvas image; the first item is always the
// background, so a replay rebuilds the picture from scratch.
class GraphManager
{
public:
    explicit GraphManager(Screenview* view);
    ~GraphManager();

    GraphManager(const GraphManager&) = delete;
    GraphManager& operator=(const GraphManager&) = delete;

    // Begins a new item of `type` (a negative type means the current tool)
    // and returns it. The one select-area item is reused with its points cleared.
    GraphActioner* beginAction(int type);
    // Appends a point (canvas-image pixels) to the current item and replays.
    void addPoint(int x, int y);
    void undo();
    void redo();
    // Puts the text on the current item when it is a text item, and replays.
    void setText(const QString& text);
    // Removes every drawn item from the picture as one step that undo brings back.
    void clear();

    // The current selection, unnormalised; empty unless the select-area item
    // is the current item.
    QRect selectionRect() const;
    bool selectionContains(const QPoint& point) const;

    // The reference repaint: every painted item, from the background up.
    void replay();

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
    GraphActioner* current() const { return currentActioner; }
    const std::vector<GraphActioner*>& painted() const { return doneList; }
    const std::vector<GraphActioner*>& undone() const { return undoneList; }

    // The kind used for new items; written by the canvas's tool selectors.
    int currentTool = 0;

private:
    GraphActioner* createItem(int type);

    GraphActioner* currentActioner = nullptr;
    GraphActioner* selectActioner = nullptr;
    std::unique_ptr<CanvasView> canvasView;
    std::vector<GraphActioner*> doneList;
    std::vector<GraphActioner*> undoneList;
    // Every item ever created, whichever list holds it: items live as long as the history.
    std::vector<std::unique_ptr<GraphActioner>> items;
};
