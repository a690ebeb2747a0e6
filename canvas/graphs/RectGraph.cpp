#include "canvas/graphs/RectGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>

RectGraph::RectGraph(bool filled)
    : filled(filled)
{
}

void RectGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    painter->setBrush(filled ? itemBrush(item) : QBrush(Qt::NoBrush));
    painter->drawRect(dragSpan(item));
}
