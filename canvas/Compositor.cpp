#include "canvas/Compositor.h"

#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/IGraph.h"
#include "canvas/graphs/SymbolsGraph.h"
#include "canvas/graphs/TextGraph.h"
#include "canvas/TiledComposite.h"
#include "canvas/ToolTable.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>

namespace {

// Rough relative cost of copying a pixel, against blending one: only used
// to choose between repair plans (see LayerStack::paintCost).
constexpr double kCopyPerPixel = 0.15;
double area(const QRect& rect)
{
    return rect.isEmpty() ? 0.0 : static_cast<double>(rect.width()) * rect.height();
}

std::map<int, QSize> symbolSizes(const CanvasView& canvas)
{
    std::map<int, QSize> sizes;
    for (const ToolRow& row : ToolTable::rows()) {
        if (row.reach != Reach::Symbol) {
            continue;
        }
        const int kind = row.type;
        const auto found = canvas.graphs.find(kind);
        if (found == canvas.graphs.end()) {
            continue;
        }
        const auto* symbols = dynamic_cast<const SymbolsGraph*>(found->second.get());
        if (!symbols) {
            continue;
        }
        const QSize size = QImageReader(symbols->imagePath()).size();
        // A picture that cannot be measured cannot be loaded either, so it
        // paints nothing; a generous box keeps even that case safe.
        sizes[kind] = size.isValid() ? size : QSize(256, 256);
    }
    return sizes;
}

QFont textFont(const CanvasView& canvas)
{
    const auto found = canvas.graphs.find(Text);
    const auto* text = found == canvas.graphs.end() ? nullptr : dynamic_cast<const TextGraph*>(found->second.get());
    return text ? text->font() : IGraph::itemFont();
}

// Whether painting the snapshot over a picture can leave any of that
// picture showing. Only then is the board after a background item not
// simply the snapshot. Grabs are opaque even in formats that could carry
// alpha, so those are looked at pixel by pixel.
bool seeThrough(const QImage& snapshot)
{
    if (!snapshot.hasAlphaChannel()) {
        return false;
    }
    if (snapshot.format() != QImage::Format_ARGB32 && snapshot.format() != QImage::Format_ARGB32_Premultiplied) {
        return true;
    }
    for (int y = 0; y < snapshot.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(snapshot.constScanLine(y));
        for (int x = 0; x < snapshot.width(); ++x) {
            if (qAlpha(line[x]) != 255) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

Compositor::Compositor(CanvasView& canvas, int spacing)
    : canvas(canvas)
    , spacing(std::max(spacing, 1))
    , layers(ItemBounds(canvas.canvasImage, symbolSizes(canvas), textFont(canvas)))
{
    const QImage& shown = canvas.canvasImage;
    const QImage& snapshot = canvas.background;
    replayOnly = shown.isNull() || snapshot.isNull() || shown.size() != snapshot.size()
        || shown.format() != snapshot.format() || seeThrough(snapshot) || !canvas.painter;

    canvasSlot.image = &canvas.canvasImage;
    canvasSlot.painter = canvas.painter.get();
    canvasSlot.isCanvas = true;
    cacheSlot.tiles = &cacheTiles;
    checkpointSlot.tiles = &checkpointTiles;
    if (!replayOnly) {
        grid = TiledComposite::Grid::over(shown);
    }
}

Compositor::~Compositor() = default;

int Compositor::fullImages() const
{
    return 2 + (cacheSlot.allocated() ? 1 : 0) + (checkpointSlot.allocated() ? 1 : 0);
}

qint64 Compositor::compositeBytes() const
{
    return cacheTiles.bytesWritten() + checkpointTiles.bytesWritten();
}

QRect Compositor::takeDirty()
{
    const QRect taken = dirty;
    dirty = QRect();
    return taken;
}

void Compositor::markStale(int index, const QRect& region)
{
    for (Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
        if (slot->len > index) {
            slot->stale |= region;
        }
    }
}

int Compositor::apply(const LayerStack::Changes& changes, int painted, bool paintGrowth)
{
    int lowest = painted;
    for (const auto& [index, bounds] : changes.removed) {
        for (Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
            if (slot->len > index) {
                slot->len = index;
                slot->stale |= bounds;
            }
        }
        lowest = std::min(lowest, index);
    }
    for (const LayerStack::Changes::Growth& growth : changes.grown) {
        const bool direct = paintGrowth && growth.index == painted - 1 && canvasSlot.clean()
            && canvasSlot.len == painted;
        if (!direct) {
            markStale(growth.index, growth.added);
            lowest = std::min(lowest, growth.index);
            continue;
        }
        for (Slot* slot : { &cacheSlot, &checkpointSlot }) {
            if (slot->len > growth.index) {
                slot->stale |= growth.added;
            }
        }
        // Only the new segments, painted over what the canvas shows.
        canvas.updateFrom(layers[growth.index].item, growth.from);
        dirty |= growth.added;
    }
    for (const auto& [index, region] : changes.changed) {
        markStale(index, region);
        lowest = std::min(lowest, index);
    }
    return lowest;
}

const Compositor::Slot* Compositor::bestBase(const Slot& exclude, int target, int* baseLen) const
{
    const Slot* best = nullptr;
    *baseLen = layers.snapshotBase(target);
    for (const Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
        if (slot != &exclude && slot->clean() && slot->len <= target && slot->len > *baseLen) {
            best = slot;
            *baseLen = slot->len;
        }
    }
    return best;
}

void Compositor::writeTiles(Slot& slot, const QRect& region, const QRect& covered)
{
    if (!slot.isCanvas && slot.tiles) {
        slot.tiles->write(region, covered, canvas.background);
    }
}

void Compositor::copyRegion(const Slot* from, Slot& to, const QRect& region)
{
    const QRect area = region.intersected(layers.bounds().imageRect());
    if (area.isEmpty()) {
        return;
    }
    writeTiles(to, area, area);
    if (!from || from->isCanvas) {
        TiledComposite::copyPixels(from ? *from->image : canvas.background, *to.image, area);
    } else {
        from->tiles->copyTo(*to.image, area, canvas.background);
    }
    if (to.isCanvas) {
        dirty |= area;
    }
}

void Compositor::paintItem(Slot& slot, GraphActioner* item, const QRect& bounds)
{
    if (slot.isCanvas) {
        canvas.update(item);
        return;
    }
    if (canvas.graphs.find(item->type) == canvas.graphs.end()) {
        return;
    }
    writeTiles(slot, bounds);
    canvas.paintWith(slot.painter, item);
}

void Compositor::paintLayers(Slot& slot, int from, int to)
{
    for (int i = std::max(from, 0); i < to; ++i) {
        const LayerStack::Layer& layer = layers[i];
        paintItem(slot, layer.item, layer.bounds);
        if (slot.isCanvas) {
            dirty |= layer.bounds;
        }
    }
}

void Compositor::bring(Slot& slot, int target)
{
    target = std::clamp(target, 0, layers.size());
    if (!slot.allocated()) {
        return;
    }
    const QRect region = slot.stale | layers.span(std::min(slot.len, target), std::max(slot.len, target));
    if (region.isEmpty()) {
        slot.len = target;
        return;
    }
    const bool forwardPossible = slot.stale.isEmpty() && slot.len <= target;
    const double forwardCost = forwardPossible ? layers.paintCost(slot.len, target) : std::numeric_limits<double>::max();
    int baseLen = 0;
    const Slot* base = bestBase(slot, target, &baseLen);
    const QRect copyArea = layers.closure(region, baseLen, target);
    double baseCost = kCopyPerPixel * area(copyArea);
    for (int i = std::max(baseLen, 0); i < target; ++i) {
        if (layers[i].bounds.intersects(copyArea)) {
            baseCost += layers.paintCost(i, i + 1);
        }
    }
    if (forwardPossible && forwardCost <= baseCost) {
        paintLayers(slot, slot.len, target);
    } else {
        // Inside copyArea the slot now equals the base; outside it already
        // equalled the target. Items that reach into copyArea lie wholly
        // inside it, so painting them whole touches nothing outside.
        copyRegion(base, slot, copyArea);
        for (int i = std::max(baseLen, 0); i < target; ++i) {
            const LayerStack::Layer& layer = layers[i];
            if (layer.bounds.intersects(copyArea)) {
                paintItem(slot, layer.item, layer.bounds);
            }
        }
    }
    slot.len = target;
    slot.stale = QRect();
}

void Compositor::allocate(Slot& slot)
{
    if (!slot.tiles->allocate(canvas.canvasImage, grid)) {
        return;
    }
    slot.image = &slot.tiles->image();
    slot.painter = slot.tiles->painter();
    // Unwritten, it is the snapshot: what the layers up to just above the
    // last background item paint.
    slot.len = layers.snapshotBase(canvasSlot.len);
    slot.stale = QRect();
}

int Compositor::reach() const
{
    // Walking down (undo after undo) the checkpoint is rebuilt from the
    // snapshot each time the walk passes it, and every repair in between
    // starts from it: the further below the top it sits, the rarer the
    // rebuilds and the dearer the repairs. The square root of the history
    // length balances the two.
    return std::max(spacing, static_cast<int>(std::sqrt(static_cast<double>(layers.size()))));
}

void Compositor::prepareCache(int target)
{
    if (!cacheSlot.allocated()) {
        return;
    }
    int baseLen = 0;
    bestBase(cacheSlot, target, &baseLen);
    const int nearest = cacheSlot.clean() && cacheSlot.len <= target ? std::max(baseLen, cacheSlot.len) : baseLen;
    // A change near the top (an undo walk) far from every composite: move
    // the checkpoint below it first, so the next changes around here start
    // from it. A change deep down (a selection made long ago, text on an
    // old item) leaves it near the top, where the drawing goes on.
    const int size = layers.size();
    if (checkpointSlot.allocated() && target - nearest > 2 * reach() && size - target <= 2 * reach()) {
        bring(checkpointSlot, std::max(1, target - reach()));
    }
    bring(cacheSlot, target);
}

void Compositor::keepCheckpointNear()
{
    const int target = layers.size() - 1 - reach();
    if (target < 1 || !canvasSlot.clean()) {
        return;
    }
    if (!checkpointSlot.allocated()) {
        allocate(checkpointSlot);
        bring(checkpointSlot, target);
        return;
    }
    if (checkpointSlot.clean() && checkpointSlot.len <= target && target - checkpointSlot.len >= reach()) {
        bring(checkpointSlot, target);
    }
}

void Compositor::fullReplay(const std::vector<GraphActioner*>& painted)
{
    for (GraphActioner* item : painted) {
        item->notify();
    }
    dirty = layers.bounds().imageRect();
}

void Compositor::compose(const std::vector<GraphActioner*>& painted,
                         const std::vector<const GraphActioner*>& watched)
{
    if (replayOnly || !canvas.ownCanvas()) {
        fullReplay(painted);
        return;
    }
    if (!cacheSlot.allocated() && canvasSlot.clean()) {
        allocate(cacheSlot);
    }
    const int n = static_cast<int>(painted.size());
    const LayerStack::Changes changes = layers.sync(painted, watched);
    const int changed = apply(changes, n, true);
    if (!canvasSlot.clean()) {
        // An item changed in place is repainted from just below it: the
        // cache is moved there (and stays there for its next move). Items
        // only taken off the top (undo) are repaired from a composite not
        // far below, where there is one, without moving it.
        int baseLen = 0;
        bestBase(canvasSlot, n, &baseLen);
        const bool nearBase = n - baseLen <= 4 * reach();
        if (!changes.changed.empty() || !changes.grown.empty() || !nearBase) {
            prepareCache(std::max(1, std::min(changed, n)));
        }
    }
    bring(canvasSlot, n);
    keepCheckpointNear();
}

void Compositor::replayed(const std::vector<GraphActioner*>& painted,
                          const std::vector<const GraphActioner*>& watched)
{
    dirty = layers.bounds().imageRect();
    if (replayOnly) {
        return;
    }
    apply(layers.sync(painted, watched), static_cast<int>(painted.size()), false);
    canvasSlot.len = layers.size();
    canvasSlot.stale = QRect();
}
