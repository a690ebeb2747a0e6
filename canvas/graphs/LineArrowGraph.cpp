#include "canvas/graphs/LineArrowGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>
#include <QPointF>

#include <cmath>

namespace {

// The arrow's geometry was tuned with this value of pi; keep it so heads
// come out the same.
constexpr double kPi = 3.1415926;

QPointF rotated(QPointF d, double degrees)
{
    const double r = degrees * kPi / 180;
    return QPointF(std::cos(r) * d.x() - std::sin(r) * d.y(),
                   std::sin(r) * d.x() + std::cos(r) * d.y());
}

} // namespace

QPolygonF LineArrowGraph::arrowPolygon(QPoint start, QPoint end, double angle1, double angle2,
                                       int length)
{
    const QPointF s(start);
    const QPointF e(end);
    const QPointF d = s - e;
    const double norm = std::sqrt(d.x() * d.x() + d.y() * d.y());
    if (norm == 0.0) {
        return QPolygonF();
    }
    const int h = length / 2;
    const int k = static_cast<int>(h - 1.5);
    const QPointF a1 = e + h * rotated(d, angle1) / norm;
    const QPointF a2 = e + h * rotated(d, -angle1) / norm;
    const QPointF b1 = e + k * rotated(d, angle2) / norm;
    const QPointF b2 = e + k * rotated(d, -angle2) / norm;
    return QPolygonF({ s, b1, a1, e, a2, b2 });
}

void LineArrowGraph::drawArrow(QPoint start, QPoint end, double angle1, double angle2, int length)
{
    const QPolygonF polygon = arrowPolygon(start, end, angle1, angle2, length);
    if (polygon.isEmpty()) {
        return;
    }
    painter->drawPolygon(polygon, Qt::OddEvenFill);
}

void LineArrowGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    painter->setBrush(itemBrush(item));
    drawArrow(item->points.front(), item->points.back(), 30.0, 15.0, kHeadLength);
}
