#include "canvas/graphs/PenGraph.h"

#include "canvas/GraphActioner.h"

#include <QLine>
#include <QPainter>

void PenGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    // One call per segment, so a translucent stroke darkens where the round
    // ends of consecutive segments overlap, like a real marker.
    for (size_t i = 1; i < item->points.size(); ++i) {
        const QLine segment(item->points[i - 1], item->points[i]);
        painter->drawLines(&segment, 1);
    }
}
