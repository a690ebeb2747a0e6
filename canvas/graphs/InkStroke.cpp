// The geometry of smooth strokes.

#include "canvas/graphs/InkStroke.h"

#include "canvas/GraphActioner.h"

#include <algorithm>

namespace {

QPointF middle(const QPoint& a, const QPoint& b)
{
    return QPointF((a.x() + b.x()) / 2.0, (a.y() + b.y()) / 2.0);
}

} // namespace

namespace InkStroke {

size_t pieceCount(const std::vector<QPoint>& points)
{
    return points.size() < 2 ? 0 : points.size() - 1;
}

size_t firstPointOf(size_t k)
{
    return k == 0 ? 0 : k - 1;
}

QPainterPath piece(const std::vector<QPoint>& points, size_t k)
{
    QPainterPath path;
    if (k >= pieceCount(points)) {
        return path;
    }
    if (k == 0) {
        path.moveTo(points[0]);
        path.lineTo(middle(points[0], points[1]));
        return path;
    }
    path.moveTo(middle(points[k - 1], points[k]));
    path.quadTo(points[k], middle(points[k], points[k + 1]));
    return path;
}

QPainterPath path(const std::vector<QPoint>& points)
{
    QPainterPath whole;
    const size_t pieces = pieceCount(points);
    if (pieces == 0) {
        return whole;
    }
    whole.moveTo(points[0]);
    whole.lineTo(middle(points[0], points[1]));
    for (size_t k = 1; k < pieces; ++k) {
        whole.quadTo(points[k], middle(points[k], points[k + 1]));
    }
    whole.lineTo(points.back());
    return whole;
}

QLineF tail(const std::vector<QPoint>& points)
{
    if (points.size() < 2) {
        return QLineF();
    }
    const size_t n = points.size();
    return QLineF(middle(points[n - 2], points[n - 1]), points[n - 1]);
}

bool needsFinish(const GraphActioner& item)
{
    const std::vector<QPoint>& points = item.points;
    return points.size() >= 2 && points.back() != points[points.size() - 2];
}

double pressureFactor(double pressure)
{
    const double p = std::clamp(pressure, 0.0, 1.0);
    return 0.25 + (kMaxPressureFactor - 0.25) * p;
}

} // namespace InkStroke
