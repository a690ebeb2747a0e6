#include "canvas/graphs/IGraph.h"

#include "canvas/GraphActioner.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>

void IGraph::setPainter(QPainter* painter, const QImage* background)
{
    this->painter = painter;
    this->background = background;
}

void IGraph::drawFrom(GraphActioner* item, size_t from)
{
    if (!item || from >= item->points.size()) {
        return;
    }
    GraphActioner tail;
    tail.type = item->type;
    tail.properties = item->properties;
    tail.points.assign(item->points.begin() + static_cast<std::ptrdiff_t>(from), item->points.end());
    draw(&tail);
}

QFont IGraph::itemFont()
{
    return QFont(QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93"), 13, QFont::Bold, false);
}

double IGraph::itemPenWidth(const GraphActioner& item)
{
    const int size = item.propertyInt("size");
    return size <= 1 ? 1.0 : static_cast<double>(size);
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
    return spanBetween(item->points.front(), item->points.back());
}

QRect IGraph::spanBetween(const QPoint& first, const QPoint& last)
{
    return QRect(std::min(first.x(), last.x()), std::min(first.y(), last.y()),
                 std::abs(last.x() - first.x()), std::abs(last.y() - first.y()));
}
