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
    const QPoint first = item->points.front();
    const QPoint last = item->points.back();
    painter->drawRect(first.x(), first.y(), last.x() - first.x(), last.y() - first.y());
}
