#pragma once

#include "canvas/LayerStack.h"
#include "canvas/TiledComposite.h"

#include <QImage>
#include <QRect>

#include <memory>
#include <vector>

class CanvasView;
class GraphActioner;
class QPainter;

// Keeps the canvas image equal, pixel for pixel, to what replaying every
// painted item from the background up would give, at a cost that follows
// the size of the change instead of the length of the history.
//
// Besides the canvas image it keeps two more composites: a cache of
// everything below the item being drawn (so a drag repaints only that item
// over it, and undoing it is a copy), and a checkpoint some dozens of items
// further down (so deeper undos and changes to recent items repaint only
// the items above it). Each composite remembers how many layers it holds
// and where it may be out of date; items paint only inside their bounds, so
// copying such an area from a lower composite and painting, whole and
// unclipped, the items in between that reach into it repairs it exactly.
// (Clipping them instead is not exact: Qt's antialiased edges can come out
// a shade different under a clip.) The layer bookkeeping lives in
// LayerStack; this class does the painting.
//
// The two composites are full-size images to paint on (so items land on
// exactly the pixels they do on the canvas), holding memory only in the
// tiles ever written (TiledComposite).
//
// A change under many later items (text committed on an item others were
// redone over) repaints every later item that overlaps it, like a full
// replay would. A selection costs nothing here: its marquee is painted
// over the board by the canvas, never into it.
class Compositor {
public:
    // `spacing` is how many items the checkpoint stays below the top at
    // least; on long histories it stays further down.
    explicit Compositor(CanvasView& canvas, int spacing = 32);
    ~Compositor();

    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // Called after every change of the history. `painted` is the list a
    // replay would paint; `watched` are the items that may have changed in
    // place since the last call (points added or cleared, properties set).
    void compose(const std::vector<GraphActioner*>& painted, const std::vector<const GraphActioner*>& watched);
    // Called after a full replay repainted the canvas image by itself.
    void replayed(const std::vector<GraphActioner*>& painted, const std::vector<const GraphActioner*>& watched);
    // The part of the canvas image changed since the last call, in image
    // pixels; empty when nothing changed.
    QRect takeDirty();

    // How many full-size images this board holds: snapshot, canvas image
    // and the composites allocated so far (which hold memory only where
    // they were written).
    int fullImages() const;
    // Bytes of the composites' tiles written so far.
    qint64 compositeBytes() const;
    const ItemBounds& bounds() const { return layers.bounds(); }

private:
    // A composite: equal to painting layers [0, len) outside `stale`.
    struct Slot {
        QImage* image = nullptr;
        QPainter* painter = nullptr;
        int len = -1;
        QRect stale;
        bool isCanvas = false;
        // The composite's memory; null for the canvas, which is all its own.
        TiledComposite* tiles = nullptr;

        bool allocated() const { return len >= 0; }
        bool clean() const { return allocated() && stale.isEmpty(); }
    };

    // Marks the composites stale where the history changed. Returns the
    // lowest layer that changed in place or was removed (the size of the
    // stack when only items were added or grew). With `paintGrowth`,
    // strokes that only grew at the top are painted onto the canvas at once.
    int apply(const LayerStack::Changes& changes, int painted, bool paintGrowth);
    void markStale(int index, const QRect& region);

    // Makes `slot` equal to painting layers [0, target).
    void bring(Slot& slot, int target);
    // Largest clean composite (or the snapshot after a background item)
    // holding at most `target` layers; nullptr stands for the snapshot.
    const Slot* bestBase(const Slot& exclude, int target, int* baseLen) const;
    // Copies `region` of a composite (nullptr: the snapshot) into `to`.
    void copyRegion(const Slot* from, Slot& to, const QRect& region);
    void paintLayers(Slot& slot, int from, int to);
    // Paints an item whose pixels all lie within `bounds`.
    void paintItem(Slot& slot, GraphActioner* item, const QRect& bounds);
    // Gives the tiles of `region` pixels of their own, the snapshot's
    // unless `covered` (which the caller is about to write whole) holds them.
    void writeTiles(Slot& slot, const QRect& region, const QRect& covered = QRect());
    // Starts a composite as the snapshot, with no memory of its own yet.
    void allocate(Slot& slot);
    // How far below the top the checkpoint is kept.
    int reach() const;
    void prepareCache(int target);
    void keepCheckpointNear();
    void fullReplay(const std::vector<GraphActioner*>& painted);

    CanvasView& canvas;
    const int spacing;
    LayerStack layers;
    // The snapshot or canvas cannot serve as plain copies of each other
    // (different formats, or a see-through snapshot): every change then
    // replays everything, as before.
    bool replayOnly = false;

    TiledComposite::Grid grid;

    Slot canvasSlot;
    Slot cacheSlot;
    Slot checkpointSlot;
    TiledComposite cacheTiles;
    TiledComposite checkpointTiles;

    QRect dirty;
};
