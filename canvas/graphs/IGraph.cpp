#include "canvas/graphs/IGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>

void IGraph::setPainter(QPainter* painter, const QImage* background)
{
    this->painter = painter;
    this->background = background;
}

QColor IGraph::itemColor(const GraphActioner* item)
{
    QColor color;
    color.setRgb(item->propertyInt("r"), item->propertyInt("g"), item->propertyInt("b"),
                 item->propertyInt("a"));
    return color;
}

void IGraph::applyItemPen(const GraphActioner* item)
{
    QPen pen;
    pen.setWidth(item->propertyInt("size"));
    pen.setColor(itemColor(item));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(pen);
}

QBrush IGraph::itemBrush(const GraphActioner* item)
{
    return QBrush(itemColor(item), Qt::SolidPattern);
}

QRect IGraph::dragSpan(const GraphActioner* item)
{
    const QPoint first = item->points.front();
    const QPoint last = item->points.back();
    return QRect(std::min(first.x(), last.x()), std::min(first.y(), last.y()),
                 std::abs(last.x() - first.x()), std::abs(last.y() - first.y()));
}
