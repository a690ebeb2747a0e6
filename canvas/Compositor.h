#pragma once

#include "canvas/ItemBounds.h"

#include <QImage>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

class CanvasView;
class GraphActioner;
class QPainter;

// Keeps the canvas image equal, pixel for pixel, to what replaying every
// painted item from the background up would give, at a cost that follows
// the size of the change instead of the length of the history.
//
// Besides the canvas image it keeps two more full-size composites: a cache
// of everything below the item being drawn (so a drag repaints only that
// item over it, and undoing it is a copy), and a checkpoint some dozens of
// items further down (so deeper undos and changes to recent items repaint
// only the items above it). Each composite remembers how many items it
// holds and where it may be out of date; items paint only inside their
// bounds, so copying such an area from a lower composite and painting,
// whole and unclipped, the items in between that reach into it repairs it
// exactly. (Clipping them instead is not exact: Qt's antialiased edges
// can come out a shade different under a clip.)
//
// A change under many later items (text committed on an item others were
// redone over) repaints every later item that overlaps it, like a full
// replay would. A selection being dragged is the common case of that (the
// select item is reused and keeps its place under everything drawn since),
// so it gets a path of its own: the cache is held just below the select
// item, and each move rebuilds only the thin bands along the old and new
// marquee, on small images of their own.
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
    // and the composites allocated so far.
    int fullImages() const;
    const ItemBounds& bounds() const { return *itemBounds; }

private:
    // One painted item as the composites hold it.
    struct Layer {
        GraphActioner* item = nullptr;
        QRect bounds;
        // What the item looked like when painted, to spot changes in place.
        size_t count = 0;
        QPoint first;
        QPoint last;
        QMap<QString, QString> properties;
    };

    // A composite: equal to painting layers [0, len) outside `stale`.
    struct Slot {
        QImage* image = nullptr;
        QPainter* painter = nullptr;
        int len = -1;
        QRect stale;
        bool isCanvas = false;

        bool allocated() const { return len >= 0; }
        bool clean() const { return allocated() && stale.isEmpty(); }
    };

    void record(Layer& layer) const;
    bool sameAsRecorded(const Layer& layer) const;
    // Brings the layer list in line with `painted`, marking the composites
    // stale where it changed. Returns the lowest index that changed in
    // place or was removed (the size of the list when only items were added
    // or grew). With `paintGrowth`, strokes that only grew at the top are
    // painted onto the canvas at once.
    int syncLayers(const std::vector<GraphActioner*>& painted,
                   const std::vector<const GraphActioner*>& watched, bool paintGrowth);
    void popLayer();
    void pushLayer(GraphActioner* item);
    void changedInPlace(int index, const QRect& region);
    // The marquee of the select item at `index` moved from `before` to its
    // current bounds and nothing else changed: repaints the bands along
    // both outlines. False when this board cannot take that path.
    bool moveOutline(int index, const QRect& before);
    // `band` rebuilt from the cache (holding layers [0, from)) plus every
    // later layer that reaches into it, painted on an image of the band's
    // size and copied into the canvas image. `touched` gets the canvas
    // pixels written.
    // False when the lines crossing it are too wide for that.
    bool repaintBand(const QRect& band, int from, QRect& touched);
    void paintWith(QPainter& painter, GraphActioner* item);
    bool hairline(const GraphActioner& item) const;
    static bool filled(const GraphActioner& item);
    static double lineWidth(const GraphActioner& item);
    // The kinds whose width is the item's "size": everything on the shared item pen.
    static bool drawnWithItemPen(const GraphActioner& item);
    // Most pixels a scratch image for one item may have.
    double largestScratch() const;

    // Makes `slot` equal to painting layers [0, target).
    void bring(Slot& slot, int target);
    QRect span(int from, int to) const;
    // `region` grown to hold whole every item in [from, to) that reaches into it.
    QRect closure(const QRect& region, int from, int to) const;
    double paintCost(int from, int to) const;
    // Largest clean composite (or the snapshot after a background item)
    // holding at most `target` layers; nullptr stands for the snapshot.
    const Slot* bestBase(const Slot& exclude, int target, int* baseLen) const;
    int snapshotBase(int target) const;
    void copyRegion(const QImage& from, Slot& to, const QRect& region);
    void paintLayers(Slot& slot, int from, int to);
    void paintItem(Slot& slot, GraphActioner* item);
    // Starts a composite as a copy of the canvas image.
    void allocate(Slot& slot, std::unique_ptr<QPainter>& painter);
    // How far below the top the checkpoint is kept.
    int reach() const;
    void prepareCache(int target);
    void keepCheckpointNear();
    void fullReplay(const std::vector<GraphActioner*>& painted);

    CanvasView& canvas;
    const int spacing;
    std::unique_ptr<ItemBounds> itemBounds;
    // The snapshot or canvas cannot serve as plain copies of each other
    // (different formats, or a see-through snapshot): every change then
    // replays everything, as before.
    bool replayOnly = false;

    std::vector<Layer> layers;
    std::unordered_map<const GraphActioner*, int> indexOf;
    // Indexes of the background items among the layers, ascending.
    std::vector<int> imageLayers;
    std::vector<const GraphActioner*> lastWatched;

    // What the last syncLayers() saw: whether items were added or removed,
    // and the layers changed in place with their bounds before the change.
    struct InPlace {
        int index = 0;
        QRect before;
    };
    bool restacked = false;
    std::vector<InPlace> inPlace;
    // Band origins are kept on multiples of this many image pixels, which
    // map to a whole number of the painter's own units; 0 when the pixel
    // ratio has no such multiple (bands are then not used).
    int bandStep = 0;
    int bandUnits = 0;

    Slot canvasSlot;
    Slot cacheSlot;
    Slot checkpointSlot;
    QImage cacheImage;
    QImage checkpointImage;
    std::unique_ptr<QPainter> cachePainter;
    std::unique_ptr<QPainter> checkpointPainter;

    QRect dirty;
};
