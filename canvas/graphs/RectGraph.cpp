#include "canvas/graphs/RectGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

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
    // Spanned the same whichever way the mouse was dragged: Qt's outline of
    // a rectangle with negative extent differs from the normalised one.
    const QPoint first = item->points.front();
    const QPoint last = item->points.back();
    painter->drawRect(std::min(first.x(), last.x()), std::min(first.y(), last.y()),
                        std::abs(last.x() - first.x()), std::abs(last.y() - first.y()));
}
