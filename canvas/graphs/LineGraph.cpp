#include "canvas/graphs/LineGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>

void LineGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    painter->drawLine(item->points.front(), item->points.back());
}
