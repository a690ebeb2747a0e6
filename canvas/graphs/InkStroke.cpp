// The geometry of smooth strokes.

#include "canvas/graphs/InkStroke.h"

#include "canvas/GraphActioner.h"

#include <algorithm>
#include <cmath>

namespace {

// How far, in pixels, a piece's polyline may stray from its curve: below
// what antialiasing shows.
constexpr double kTolerance = 0.35;
// The longest straight segment of a bent piece, in pixels.
constexpr double kLongestSegment = 16.0;

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

int piece(const std::vector<QPoint>& points, size_t k, QPointF* out)
{
    if (k >= pieceCount(points)) {
        return 0;
    }
    if (k == 0) {
        out[0] = points[0];
        out[1] = middle(points[0], points[1]);
        return 2;
    }
    const QPointF start = middle(points[k - 1], points[k]);
    const QPointF control = points[k];
    const QPointF end = middle(points[k], points[k + 1]);
    // A quadratic curve strays from its chord by half the control point's
    // distance from the chord's middle; n segments leave an eighth of that
    // over n squared.
    const QPointF bend = control - (start + end) / 2.0;
    const double stray = std::hypot(bend.x(), bend.y()) / 2.0;
    // Long pieces (a fast drag on a large screen) get short segments too, so
    // that no corner shows where two of them meet.
    const QPointF chord = end - start;
    const int forStray = static_cast<int>(std::ceil(std::sqrt(stray / 8.0 / kTolerance)));
    const int forLength = static_cast<int>(std::ceil(std::hypot(chord.x(), chord.y()) / kLongestSegment));
    const int segments = std::clamp(std::max(forStray, forLength), 1, kMaxPiecePoints - 1);
    for (int i = 0; i <= segments; ++i) {
        const double t = double(i) / segments;
        const double u = 1.0 - t;
        out[i] = start * (u * u) + control * (2 * u * t) + end * (t * t);
    }
    return segments + 1;
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
