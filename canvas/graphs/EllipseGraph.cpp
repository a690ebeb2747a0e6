#include "canvas/graphs/EllipseGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>

EllipseGraph::EllipseGraph(bool filled)
    : filled(filled)
{
}

void EllipseGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    painter->setBrush(filled ? itemBrush(item) : QBrush(Qt::NoBrush));
    painter->drawEllipse(dragSpan(item));
}
