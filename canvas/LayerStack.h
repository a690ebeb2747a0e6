#pragma once

#include "canvas/ItemBounds.h"

#include <QMap>
#include <QPoint>
#include <QRect>
#include <QString>

#include <unordered_map>
#include <vector>

class GraphActioner;

// The painted items as the board's composites hold them: where each one
// reaches and what it looked like when it was painted. Each sync with the
// history tells what changed since the last one: items removed from the
// top, strokes that only grew, items changed in place and items added.
class LayerStack {
public:
    struct Layer {
        GraphActioner* item = nullptr;
        QRect bounds;
        // What the item looked like when painted, to spot changes in place.
        size_t count = 0;
        QPoint first;
        QPoint last;
        QMap<QString, QString> properties;
    };

    // What one sync found, in the order it happened.
    struct Changes {
        // Layers taken off the top: their index and bounds.
        std::vector<std::pair<int, QRect>> removed;
        // A stroke (pen or eraser) that only gained points at its end.
        struct Growth {
            int index = 0;
            // The image area the new segments reach.
            QRect added;
            // The first point of the new segments.
            size_t from = 0;
        };
        std::vector<Growth> grown;
        // Layers changed otherwise: their index and the area before and after.
        std::vector<std::pair<int, QRect>> changed;
        // Whether items were added or removed.
        bool restacked = false;
    };

    explicit LayerStack(ItemBounds bounds);

    // Brings the layers in line with `painted`. `watched` are the items
    // that may have changed in place since the last call.
    Changes sync(const std::vector<GraphActioner*>& painted, const std::vector<const GraphActioner*>& watched);

    int size() const { return static_cast<int>(layers.size()); }
    const Layer& operator[](int index) const { return layers[static_cast<size_t>(index)]; }
    const ItemBounds& bounds() const { return itemBounds; }

    // Everything layers [from, to) reach.
    QRect span(int from, int to) const;
    // `region` grown to hold whole every layer in [from, to) that reaches into it.
    QRect closure(const QRect& region, int from, int to) const;
    // A rough price of painting layers [from, to), to choose between plans.
    double paintCost(int from, int to) const;
    // The size of the stack just above the last background item below
    // `target`: there the picture is the snapshot itself.
    int snapshotBase(int target) const;

private:
    void record(Layer& layer) const;
    bool sameAsRecorded(const Layer& layer) const;
    void push(GraphActioner* item);
    void pop();

    ItemBounds itemBounds;
    std::vector<Layer> layers;
    std::unordered_map<const GraphActioner*, int> indexOf;
    // Indexes of the background items among the layers, ascending.
    std::vector<int> imageLayers;
    std::vector<const GraphActioner*> lastWatched;
};
