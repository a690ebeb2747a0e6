#include "canvas/Compositor.h"

#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/IGraph.h"
#include "canvas/graphs/SymbolsGraph.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace {

// Rough relative costs, only used to choose between repair plans: copying
// a pixel is several times cheaper than blending one, and every paint call
// has a fixed price of its own.
constexpr double kCopyPerPixel = 0.15;
constexpr double kPaintPerPixel = 1.0;
constexpr double kPerCall = 3000.0;

double area(const QRect& rect)
{
    return rect.isEmpty() ? 0.0 : static_cast<double>(rect.width()) * rect.height();
}

std::map<int, QSize> symbolSizes(const CanvasView& canvas)
{
    std::map<int, QSize> sizes;
    for (int kind : { RightSymbols, WrongSymbols }) {
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
    , itemBounds(std::make_unique<ItemBounds>(canvas.canvasImage, symbolSizes(canvas)))
{
    const QImage& shown = canvas.canvasImage;
    const QImage& snapshot = canvas.background;
    replayOnly = shown.isNull() || snapshot.isNull() || shown.size() != snapshot.size()
        || shown.format() != snapshot.format() || seeThrough(snapshot) || !canvas.painter
        || !canvas.painter->isActive();

    canvasSlot.image = &canvas.canvasImage;
    canvasSlot.painter = canvas.painter.get();
    canvasSlot.isCanvas = true;
    cacheSlot.image = &cacheImage;
    checkpointSlot.image = &checkpointImage;

    // A band painted with its origin moved by a whole number of the
    // painter's units lands on exactly the same pixels as on the canvas;
    // any other shift would move every edge by a fraction of a pixel.
    const double ratio = shown.isNull() ? 1.0 : shown.devicePixelRatio();
    for (int units = 1; units <= 64 && bandStep == 0; ++units) {
        const double pixels = units * ratio;
        if (pixels >= 1.0 && pixels == std::round(pixels)) {
            bandStep = static_cast<int>(pixels);
            bandUnits = units;
        }
    }
}

Compositor::~Compositor() = default;

int Compositor::fullImages() const
{
    return 2 + (cacheSlot.allocated() ? 1 : 0) + (checkpointSlot.allocated() ? 1 : 0);
}

QRect Compositor::takeDirty()
{
    const QRect taken = dirty;
    dirty = QRect();
    return taken;
}

void Compositor::record(Layer& layer) const
{
    const GraphActioner& item = *layer.item;
    layer.count = item.points.size();
    layer.first = item.points.empty() ? QPoint() : item.points.front();
    layer.last = item.points.empty() ? QPoint() : item.points.back();
    layer.properties = item.properties;
}

bool Compositor::sameAsRecorded(const Layer& layer) const
{
    const GraphActioner& item = *layer.item;
    if (item.points.size() != layer.count || item.properties != layer.properties) {
        return false;
    }
    return item.points.empty() || (item.points.front() == layer.first && item.points.back() == layer.last);
}

void Compositor::popLayer()
{
    const int index = static_cast<int>(layers.size()) - 1;
    const Layer& layer = layers.back();
    for (Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
        if (slot->len > index) {
            slot->len = index;
            slot->stale |= layer.bounds;
        }
    }
    indexOf.erase(layer.item);
    if (!imageLayers.empty() && imageLayers.back() == index) {
        imageLayers.pop_back();
    }
    layers.pop_back();
}

void Compositor::pushLayer(GraphActioner* item)
{
    Layer layer;
    layer.item = item;
    layer.bounds = itemBounds->of(*item);
    record(layer);
    const int index = static_cast<int>(layers.size());
    indexOf[item] = index;
    if (item->type == Image) {
        imageLayers.push_back(index);
    }
    layers.push_back(std::move(layer));
}

void Compositor::changedInPlace(int index, const QRect& region)
{
    for (Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
        if (slot->len > index) {
            slot->stale |= region;
        }
    }
}

int Compositor::syncLayers(const std::vector<GraphActioner*>& painted,
                           const std::vector<const GraphActioner*>& watched, bool paintGrowth)
{
    const int n = static_cast<int>(painted.size());
    const int before = static_cast<int>(layers.size());
    inPlace.clear();
    // The history only adds and removes at the top, so the first item that
    // still sits where it was marks the part that stayed.
    int keep = std::min(static_cast<int>(layers.size()), n);
    while (keep > 0 && layers[static_cast<size_t>(keep - 1)].item != painted[static_cast<size_t>(keep - 1)]) {
        --keep;
    }
    int changed = n;
    while (static_cast<int>(layers.size()) > keep) {
        changed = std::min(changed, static_cast<int>(layers.size()) - 1);
        popLayer();
    }

    std::vector<const GraphActioner*> suspects = watched;
    suspects.insert(suspects.end(), lastWatched.begin(), lastWatched.end());
    lastWatched = watched;
    std::sort(suspects.begin(), suspects.end());
    suspects.erase(std::unique(suspects.begin(), suspects.end()), suspects.end());
    for (const GraphActioner* suspect : suspects) {
        const auto found = suspect ? indexOf.find(suspect) : indexOf.end();
        if (found == indexOf.end()) {
            continue;
        }
        const int index = found->second;
        Layer& layer = layers[static_cast<size_t>(index)];
        if (sameAsRecorded(layer)) {
            continue;
        }
        const GraphActioner& item = *layer.item;
        // Strokes paint segment by segment, so points added at the end only
        // add segments: those are all that needs painting.
        inPlace.push_back({ index, layer.bounds });
        const bool grew = (item.type == Pen || item.type == Erase) && item.points.size() > layer.count
            && item.properties == layer.properties
            && (layer.count == 0
                || (item.points.front() == layer.first && item.points[layer.count - 1] == layer.last));
        if (grew) {
            const size_t from = layer.count > 0 ? layer.count - 1 : 0;
            const QRect added = itemBounds->ofSegments(item, from);
            layer.bounds |= added;
            const bool direct = paintGrowth && index == n - 1 && canvasSlot.clean() && canvasSlot.len == n;
            for (Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
                if (slot->len > index && !(direct && slot->isCanvas)) {
                    slot->stale |= added;
                }
            }
            if (!direct) {
                changed = std::min(changed, index);
            } else {
                GraphActioner tail;
                tail.type = item.type;
                tail.properties = item.properties;
                tail.points.assign(item.points.begin() + static_cast<std::ptrdiff_t>(from), item.points.end());
                paintItem(canvasSlot, &tail);
                dirty |= added;
            }
        } else {
            const QRect now = itemBounds->of(item);
            changedInPlace(index, layer.bounds | now);
            layer.bounds = now;
            changed = std::min(changed, index);
        }
        record(layer);
    }

    for (int i = keep; i < n; ++i) {
        pushLayer(painted[static_cast<size_t>(i)]);
    }
    restacked = keep != before || keep != n;
    return changed;
}

QRect Compositor::span(int from, int to) const
{
    QRect united;
    for (int i = std::max(from, 0); i < to; ++i) {
        united |= layers[static_cast<size_t>(i)].bounds;
    }
    return united;
}

double Compositor::paintCost(int from, int to) const
{
    double cost = 0;
    for (int i = std::max(from, 0); i < to; ++i) {
        const Layer& layer = layers[static_cast<size_t>(i)];
        cost += kPerCall * static_cast<double>(std::max<size_t>(layer.count, 1)) + kPaintPerPixel * area(layer.bounds);
    }
    return cost;
}

int Compositor::snapshotBase(int target) const
{
    // A background item repaints the whole snapshot, so just above the
    // last one below `target` the picture is the snapshot itself.
    const auto above = std::lower_bound(imageLayers.begin(), imageLayers.end(), target);
    if (above == imageLayers.begin()) {
        return 0;
    }
    return *(above - 1) + 1;
}

const Compositor::Slot* Compositor::bestBase(const Slot& exclude, int target, int* baseLen) const
{
    const Slot* best = nullptr;
    *baseLen = snapshotBase(target);
    for (const Slot* slot : { &canvasSlot, &cacheSlot, &checkpointSlot }) {
        if (slot != &exclude && slot->clean() && slot->len <= target && slot->len > *baseLen) {
            best = slot;
            *baseLen = slot->len;
        }
    }
    return best;
}

void Compositor::copyRegion(const QImage& from, Slot& to, const QRect& region)
{
    const QRect area = region.intersected(itemBounds->imageRect());
    if (area.isEmpty()) {
        return;
    }
    const int bytesPerPixel = from.depth() / 8;
    const size_t rowBytes = static_cast<size_t>(area.width()) * static_cast<size_t>(bytesPerPixel);
    // Written through the painter's own buffer: bits() would detach the
    // canvas image from the painter if anyone held a shallow copy of it.
    auto* target = const_cast<uchar*>(to.image->constBits());
    const qsizetype targetStride = to.image->bytesPerLine();
    const uchar* source = from.constBits();
    const qsizetype sourceStride = from.bytesPerLine();
    const qsizetype offset = static_cast<qsizetype>(area.x()) * bytesPerPixel;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        std::memcpy(target + y * targetStride + offset, source + y * sourceStride + offset, rowBytes);
    }
    if (to.isCanvas) {
        dirty |= area;
    }
}

void Compositor::paintItem(Slot& slot, GraphActioner* item)
{
    if (slot.isCanvas) {
        canvas.update(item);
        return;
    }
    const auto found = canvas.graphs.find(item->type);
    if (found == canvas.graphs.end()) {
        return;
    }
    IGraph& graph = *found->second;
    graph.setPainter(slot.painter, &canvas.background);
    graph.draw(item);
    graph.setPainter(canvas.painter.get(), &canvas.background);
}

void Compositor::paintWith(QPainter& painter, GraphActioner* item)
{
    const auto found = canvas.graphs.find(item->type);
    if (found == canvas.graphs.end()) {
        return;
    }
    IGraph& graph = *found->second;
    graph.setPainter(&painter, &canvas.background);
    graph.draw(item);
    graph.setPainter(canvas.painter.get(), &canvas.background);
}

void Compositor::paintLayers(Slot& slot, int from, int to)
{
    for (int i = std::max(from, 0); i < to; ++i) {
        const Layer& layer = layers[static_cast<size_t>(i)];
        paintItem(slot, layer.item);
        if (slot.isCanvas) {
            dirty |= layer.bounds;
        }
    }
}

void Compositor::bring(Slot& slot, int target)
{
    target = std::clamp(target, 0, static_cast<int>(layers.size()));
    if (!slot.allocated()) {
        return;
    }
    const QRect region = slot.stale | span(std::min(slot.len, target), std::max(slot.len, target));
    if (region.isEmpty()) {
        slot.len = target;
        return;
    }
    const bool forwardPossible = slot.stale.isEmpty() && slot.len <= target;
    const double forwardCost = forwardPossible ? paintCost(slot.len, target) : std::numeric_limits<double>::max();
    int baseLen = 0;
    const Slot* base = bestBase(slot, target, &baseLen);
    const QRect copyArea = closure(region, baseLen, target);
    double baseCost = kCopyPerPixel * area(copyArea);
    for (int i = std::max(baseLen, 0); i < target; ++i) {
        if (layers[static_cast<size_t>(i)].bounds.intersects(copyArea)) {
            baseCost += paintCost(i, i + 1);
        }
    }
    if (forwardPossible && forwardCost <= baseCost) {
        paintLayers(slot, slot.len, target);
    } else {
        // Inside copyArea the slot now equals the base; outside it already
        // equalled the target. Items that reach into copyArea lie wholly
        // inside it, so painting them whole touches nothing outside.
        copyRegion(base ? *base->image : canvas.background, slot, copyArea);
        for (int i = std::max(baseLen, 0); i < target; ++i) {
            const Layer& layer = layers[static_cast<size_t>(i)];
            if (layer.bounds.intersects(copyArea)) {
                paintItem(slot, layer.item);
            }
        }
    }
    slot.len = target;
    slot.stale = QRect();
}

QRect Compositor::closure(const QRect& region, int from, int to) const
{
    // Items are painted whole (a clip changes antialiased edges by a shade),
    // so the area rebuilt must hold every item that reaches into it. Grown
    // until no item straddles its edge; on a sparse board that stays near
    // the change, on a crowded one it may take most of the picture.
    QRect area = region;
    bool grew = true;
    while (grew) {
        grew = false;
        for (int i = std::max(from, 0); i < to; ++i) {
            const QRect& bounds = layers[static_cast<size_t>(i)].bounds;
            if (bounds.intersects(area) && !area.contains(bounds)) {
                area |= bounds;
                grew = true;
            }
        }
    }
    return area;
}

void Compositor::allocate(Slot& slot, std::unique_ptr<QPainter>& painter)
{
    // A copy of the canvas image carries its format, pixel ratio and font
    // resolution, so items paint into it exactly as into the canvas.
    *slot.image = canvas.canvasImage.copy();
    painter = std::make_unique<QPainter>(slot.image);
    slot.painter = painter.get();
    slot.len = canvasSlot.len;
    slot.stale = canvasSlot.stale;
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
    const int size = static_cast<int>(layers.size());
    if (checkpointSlot.allocated() && target - nearest > 2 * reach() && size - target <= 2 * reach()) {
        bring(checkpointSlot, std::max(1, target - reach()));
    }
    bring(cacheSlot, target);
}

void Compositor::keepCheckpointNear()
{
    const int target = static_cast<int>(layers.size()) - 1 - reach();
    if (target < 1 || !canvasSlot.clean()) {
        return;
    }
    if (!checkpointSlot.allocated()) {
        allocate(checkpointSlot, checkpointPainter);
        bring(checkpointSlot, target);
        return;
    }
    if (checkpointSlot.clean() && checkpointSlot.len <= target && target - checkpointSlot.len >= reach()) {
        bring(checkpointSlot, target);
    }
}

namespace {

void copyRows(const QImage& from, const QPoint& fromAt, QImage& to, const QPoint& toAt, const QSize& size)
{
    const int bytesPerPixel = from.depth() / 8;
    const size_t rowBytes = static_cast<size_t>(size.width()) * static_cast<size_t>(bytesPerPixel);
    // Through the painters' own buffers: bits() would detach an image from
    // its painter if anyone held a shallow copy of it.
    auto* target = const_cast<uchar*>(to.constBits());
    for (int y = 0; y < size.height(); ++y) {
        std::memcpy(target + static_cast<qsizetype>(toAt.y() + y) * to.bytesPerLine()
                        + static_cast<qsizetype>(toAt.x()) * bytesPerPixel,
                    from.constScanLine(fromAt.y() + y) + static_cast<qsizetype>(fromAt.x()) * bytesPerPixel, rowBytes);
    }
}

} // namespace

bool Compositor::hairline(const GraphActioner& item) const
{
    // Lines at most one pixel wide are drawn by Qt's hairline stroker, which
    // cuts them at the edges of the image it paints on (moving where their
    // dashes and antialiased ends fall), but only masks them by a clip.
    const double ratio = canvas.canvasImage.devicePixelRatio();
    switch (item.type) {
    case SelectArea:
        return ratio <= 1.0;
    default:
        if (!drawnWithItemPen(item)) {
            return false;
        }
        // A negative width is refused by the pen, which keeps its own 1.
        const int size = item.propertyInt("size");
        const double width = size < 0 ? 1.0 : size;
        return width * ratio <= 1.0;
    }
}

double Compositor::largestScratch() const
{
    // A quarter of the picture, or a few hundred pixels square on a small one.
    return std::max(area(itemBounds->imageRect()) / 4.0, 512.0 * 512.0);
}

bool Compositor::filled(const GraphActioner& item)
{
    return item.type == BrushRect || item.type == BrushEllipse || item.type == LineArrow || item.type == MarkingPen;
}

double Compositor::lineWidth(const GraphActioner& item)
{
    switch (item.type) {
    case Erase:
        return 10.0;
    case SelectArea:
        return 1.0;
    default:
        return drawnWithItemPen(item) ? std::max(1.0, static_cast<double>(item.propertyInt("size"))) : 0.0;
    }
}

bool Compositor::drawnWithItemPen(const GraphActioner& item)
{
    switch (item.type) {
    case Pen:
    case Line:
    case Rect:
    case BrushRect:
    case Ellipse:
    case BrushEllipse:
    case LineArrow:
    case MarkingPen:
        return true;
    default:
        return false;
    }
}

bool Compositor::repaintBand(const QRect& band, int from, QRect& touched)
{
    const QRect imageRect = itemBounds->imageRect();
    const QRect inside = band.intersected(imageRect);
    if (inside.isEmpty()) {
        return true;
    }
    // Whole units of the painter's own coordinates on every side.
    const auto down = [this](int v) { return v - v % bandStep; };
    const QRect aligned(QPoint(down(inside.left()), down(inside.top())),
                        QPoint(down(inside.right() + bandStep) - 1, down(inside.bottom() + bandStep) - 1));
    const QRect core = aligned.intersected(imageRect);
    const QRect units(aligned.left() / bandStep * bandUnits, aligned.top() / bandStep * bandUnits,
                      aligned.width() / bandStep * bandUnits, aligned.height() / bandStep * bandUnits);
    // Antialiased edges come out a shade different in the pixels right at
    // the border of the image they are painted on, so the piece painted on
    // reaches a few pixels past the band and only the band is kept.
    // How far that reaches grows with the width of the lines crossing it.
    double widest = 0;
    for (int i = from; i < static_cast<int>(layers.size()); ++i) {
        const Layer& layer = layers[static_cast<size_t>(i)];
        if (layer.bounds.intersects(core)) {
            widest = std::max(widest, lineWidth(*layer.item));
        }
    }
    const double reach = 8.0 + 2.0 * widest * canvas.canvasImage.devicePixelRatio();
    if (reach > 512.0) {
        return false;
    }
    const int guard = bandStep * (static_cast<int>(reach) / bandStep + 1);
    const QRect area = aligned.adjusted(-guard, -guard, guard, guard).intersected(imageRect);
    const QPoint coreInPiece = core.topLeft() - area.topLeft();
    touched |= core;

    // A copy carries the pixel ratio and font resolution of the cache, so
    // items paint into it as into the canvas.
    QImage piece = cacheImage.copy(area);
    QImage& shown = canvas.canvasImage;
    bool onCanvas = false;
    {
        QPainter painter(&piece);
        // Whole items, unclipped, as everywhere else.
        painter.translate(-area.left() / bandStep * bandUnits, -area.top() / bandStep * bandUnits);
        for (int i = from; i < static_cast<int>(layers.size()); ++i) {
            const Layer& layer = layers[static_cast<size_t>(i)];
            if (!layer.bounds.intersects(core)) {
                continue;
            }
            if (hairline(*layer.item) && filled(*layer.item)) {
                // A clip would shade the fill's edges differently; painted
                // whole on an image that holds all of it instead.
                if (onCanvas) {
                    copyRows(shown, core.topLeft(), piece, coreInPiece, core.size());
                    onCanvas = false;
                }
                const QRect reach = layer.bounds | core;
                const QRect whole = QRect(QPoint(down(reach.left()), down(reach.top())), reach.bottomRight())
                                        .intersected(imageRect);
                if (static_cast<double>(whole.width()) * whole.height() > largestScratch()) {
                    return false;
                }
                const QPoint coreInWhole = core.topLeft() - whole.topLeft();
                QImage scratch = cacheImage.copy(whole);
                copyRows(piece, coreInPiece, scratch, coreInWhole, core.size());
                {
                    QPainter wholePainter(&scratch);
                    wholePainter.translate(-whole.left() / bandStep * bandUnits, -whole.top() / bandStep * bandUnits);
                    paintWith(wholePainter, layer.item);
                }
                copyRows(scratch, coreInWhole, piece, coreInPiece, core.size());
            } else if (hairline(*layer.item)) {
                // Painted on the canvas itself, masked to the band; the
                // piece's margin goes without it, as it is thrown away.
                if (!onCanvas) {
                    copyRows(piece, coreInPiece, shown, core.topLeft(), core.size());
                    onCanvas = true;
                }
                canvas.painter->save();
                canvas.painter->setClipRect(units);
                canvas.update(layer.item);
                canvas.painter->restore();
            } else {
                if (onCanvas) {
                    copyRows(shown, core.topLeft(), piece, coreInPiece, core.size());
                    onCanvas = false;
                }
                paintWith(painter, layer.item);
            }
        }
    }
    if (!onCanvas) {
        copyRows(piece, coreInPiece, shown, core.topLeft(), core.size());
    }
    dirty |= core;
    return true;
}

bool Compositor::moveOutline(int index, const QRect& before)
{
    if (bandStep == 0 || layers[static_cast<size_t>(index)].item->type != SelectArea) {
        return false;
    }
    // Filled hairline items are painted whole on an image of their own
    // size: a large one is left to the usual path, to keep memory small.
    const QRect reach = before | layers[static_cast<size_t>(index)].bounds;
    const double largest = largestScratch();
    for (size_t i = static_cast<size_t>(index) + 1; i < layers.size(); ++i) {
        const Layer& layer = layers[i];
        if (layer.bounds.intersects(reach) && area(layer.bounds) > largest && filled(*layer.item)
            && hairline(*layer.item)) {
            return false;
        }
    }
    prepareCache(index);
    if (!cacheSlot.clean() || cacheSlot.len != index) {
        return false;
    }
    // The marquee is a one-pixel dashed line inside the select item's
    // bounds; the bands reach well past it on both sides.
    const double ratio = canvas.canvasImage.devicePixelRatio();
    const int thick = static_cast<int>(std::ceil(2.0 * ratio)) + 5;
    for (const QRect& bounds : { before, layers[static_cast<size_t>(index)].bounds }) {
        if (bounds.isEmpty()) {
            continue;
        }
        std::vector<QRect> bands;
        if (bounds.width() <= 2 * thick || bounds.height() <= 2 * thick) {
            bands = { bounds };
        } else {
            bands = { QRect(bounds.left(), bounds.top(), bounds.width(), thick),
                      QRect(bounds.left(), bounds.bottom() - thick + 1, bounds.width(), thick),
                      QRect(bounds.left(), bounds.top() + thick, thick, bounds.height() - 2 * thick),
                      QRect(bounds.right() - thick + 1, bounds.top() + thick, thick, bounds.height() - 2 * thick) };
        }
        for (const QRect& band : bands) {
            // Lines too wide for a small piece: the usual path then repairs
            // both marquees and whatever was done here.
            QRect touched;
            if (!repaintBand(band, index, touched)) {
                canvasSlot.stale |= touched;
                return false;
            }
        }
    }
    canvasSlot.stale = QRect();
    canvasSlot.len = static_cast<int>(layers.size());
    return true;
}

void Compositor::fullReplay(const std::vector<GraphActioner*>& painted)
{
    for (GraphActioner* item : painted) {
        item->notify();
    }
    dirty = itemBounds->imageRect();
}

void Compositor::compose(const std::vector<GraphActioner*>& painted,
                         const std::vector<const GraphActioner*>& watched)
{
    if (replayOnly) {
        fullReplay(painted);
        return;
    }
    if (!cacheSlot.allocated() && canvasSlot.clean()) {
        allocate(cacheSlot, cachePainter);
    }
    const bool wasCurrent = canvasSlot.clean() && canvasSlot.len == static_cast<int>(layers.size());
    const int changed = syncLayers(painted, watched, true);
    const int n = static_cast<int>(layers.size());
    if (wasCurrent && !restacked && inPlace.size() == 1 && moveOutline(inPlace.front().index, inPlace.front().before)) {
        keepCheckpointNear();
        return;
    }
    if (!canvasSlot.clean()) {
        // Repaint from just below the lowest change: the cache is moved
        // there (and stays there for the next move of the same item).
        prepareCache(std::max(1, std::min(changed, n)));
    }
    bring(canvasSlot, n);
    keepCheckpointNear();
}

void Compositor::replayed(const std::vector<GraphActioner*>& painted,
                          const std::vector<const GraphActioner*>& watched)
{
    dirty = itemBounds->imageRect();
    if (replayOnly) {
        return;
    }
    syncLayers(painted, watched, false);
    canvasSlot.len = static_cast<int>(layers.size());
    canvasSlot.stale = QRect();
}
