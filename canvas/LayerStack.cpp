#include "canvas/LayerStack.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/ToolTable.h"

#include <algorithm>
#include <utility>

namespace {

// Rough relative costs, only used to choose between repair plans: every
// paint call has a fixed price besides the pixels it blends.
constexpr double kPaintPerPixel = 1.0;
constexpr double kPerCall = 3000.0;

double area(const QRect& rect)
{
    return rect.isEmpty() ? 0.0 : static_cast<double>(rect.width()) * rect.height();
}

} // namespace

LayerStack::LayerStack(ItemBounds bounds)
    : itemBounds(std::move(bounds))
{
}

void LayerStack::record(Layer& layer) const
{
    const GraphActioner& item = *layer.item;
    layer.count = item.points.size();
    layer.first = item.points.empty() ? QPoint() : item.points.front();
    layer.last = item.points.empty() ? QPoint() : item.points.back();
    layer.properties = item.properties;
}

bool LayerStack::sameAsRecorded(const Layer& layer) const
{
    const GraphActioner& item = *layer.item;
    if (item.points.size() != layer.count || item.properties != layer.properties) {
        return false;
    }
    return item.points.empty() || (item.points.front() == layer.first && item.points.back() == layer.last);
}

void LayerStack::push(GraphActioner* item)
{
    Layer layer;
    layer.item = item;
    layer.bounds = itemBounds.of(*item);
    record(layer);
    const int index = size();
    indexOf[item] = index;
    if (item->type == Image) {
        imageLayers.push_back(index);
    }
    layers.push_back(std::move(layer));
}

void LayerStack::pop()
{
    const int index = size() - 1;
    indexOf.erase(layers.back().item);
    if (!imageLayers.empty() && imageLayers.back() == index) {
        imageLayers.pop_back();
    }
    layers.pop_back();
}

LayerStack::Changes LayerStack::sync(const std::vector<GraphActioner*>& painted,
                                     const std::vector<const GraphActioner*>& watched)
{
    Changes changes;
    const int n = static_cast<int>(painted.size());
    const int before = size();
    // The history only adds and removes at the top, so the first item that
    // still sits where it was marks the part that stayed.
    int keep = std::min(before, n);
    while (keep > 0 && layers[static_cast<size_t>(keep - 1)].item != painted[static_cast<size_t>(keep - 1)]) {
        --keep;
    }
    while (size() > keep) {
        changes.removed.emplace_back(size() - 1, layers.back().bounds);
        pop();
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
        const ToolRow* row = ToolTable::row(item.type);
        const bool grew = row && row->growsBySegments && item.points.size() > layer.count
            && item.properties == layer.properties
            && (layer.count == 0
                || (item.points.front() == layer.first && item.points[layer.count - 1] == layer.last));
        if (grew) {
            const size_t from = layer.count > 0 ? layer.count - 1 : 0;
            const QRect added = itemBounds.ofSegments(item, from);
            layer.bounds |= added;
            changes.grown.push_back({ index, added, from });
        } else {
            const QRect now = itemBounds.of(item);
            const QRect region = layer.bounds | now;
            // An item that paints nothing (a selection) changes no pixel.
            if (!region.isEmpty()) {
                changes.changed.emplace_back(index, region);
            }
            layer.bounds = now;
        }
        record(layer);
    }

    for (int i = keep; i < n; ++i) {
        push(painted[static_cast<size_t>(i)]);
    }
    changes.restacked = keep != before || keep != n;
    return changes;
}

QRect LayerStack::span(int from, int to) const
{
    QRect united;
    for (int i = std::max(from, 0); i < to; ++i) {
        united |= layers[static_cast<size_t>(i)].bounds;
    }
    return united;
}

QRect LayerStack::closure(const QRect& region, int from, int to) const
{
    // Items are painted whole (a clip changes antialiased edges by a shade),
    // so the area rebuilt must hold every item that reaches into it. Grown
    // until no item straddles its edge; on a sparse board that stays near
    // the change, on a crowded one it may take most of the picture.
    QRect grown = region;
    bool again = true;
    while (again) {
        again = false;
        for (int i = std::max(from, 0); i < to; ++i) {
            const QRect& bounds = layers[static_cast<size_t>(i)].bounds;
            if (bounds.intersects(grown) && !grown.contains(bounds)) {
                grown |= bounds;
                again = true;
            }
        }
    }
    return grown;
}

double LayerStack::paintCost(int from, int to) const
{
    double cost = 0;
    for (int i = std::max(from, 0); i < to; ++i) {
        const Layer& layer = layers[static_cast<size_t>(i)];
        cost += kPerCall * static_cast<double>(std::max<size_t>(layer.count, 1)) + kPaintPerPixel * area(layer.bounds);
    }
    return cost;
}

int LayerStack::snapshotBase(int target) const
{
    // A background item repaints the whole snapshot, so just above the
    // last one below `target` the picture is the snapshot itself.
    const auto above = std::lower_bound(imageLayers.begin(), imageLayers.end(), target);
    if (above == imageLayers.begin()) {
        return 0;
    }
    return *(above - 1) + 1;
}
