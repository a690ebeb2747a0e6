#include "canvas/ItemBounds.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/ToolTable.h"
#include "canvas/graphs/EraseGraph.h"
#include "canvas/graphs/HighlighterGraph.h"
#include "canvas/graphs/InkStroke.h"
#include "canvas/graphs/IGraph.h"
#include "canvas/graphs/LineArrowGraph.h"
#include "canvas/graphs/MarkingPenGraph.h"

#include <QFont>
#include <QImage>
#include <QPoint>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Measured on a stand-in with the target's resolution, because font metrics
// need a paint device and the target is busy with the canvas painter.
QFontMetricsF metricsFor(const QImage& target, const QFont& font)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    if (!target.isNull()) {
        probe.setDotsPerMeterX(target.dotsPerMeterX());
        probe.setDotsPerMeterY(target.dotsPerMeterY());
    }
    return QFontMetricsF(font, &probe);
}

// The barbs' corners are rounded outward by up to a pixel.
constexpr double kArrowReach = LineArrowGraph::headReach() + 1.0;
// Sizes are read from text; absurd ones are clamped so the arithmetic stays sane.
constexpr double kMaxPen = 1.0e6;

} // namespace

ItemBounds::ItemBounds(const QImage& target, std::map<int, QSize> symbolSizes, const QFont& textFont)
    : image(QPoint(0, 0), target.size())
    , ratio(target.isNull() ? 1.0 : target.devicePixelRatio())
    , metrics(metricsFor(target, IGraph::itemFont()))
    , textMetrics(metricsFor(target, textFont))
    , symbols(std::move(symbolSizes))
{
}

double ItemBounds::halfPen(const GraphActioner& item)
{
    return std::min(IGraph::itemPenWidth(item), kMaxPen) / 2.0;
}

QRectF ItemBounds::span(const std::vector<QPoint>& points, size_t from, size_t to)
{
    if (from >= to || to > points.size()) {
        return QRectF();
    }
    int left = points[from].x();
    int right = left;
    int top = points[from].y();
    int bottom = top;
    for (size_t i = from + 1; i < to; ++i) {
        left = std::min(left, points[i].x());
        right = std::max(right, points[i].x());
        top = std::min(top, points[i].y());
        bottom = std::max(bottom, points[i].y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QRect ItemBounds::toImage(const QRectF& itemRect, double margin) const
{
    const double left = (itemRect.left() - margin) * ratio - 2.0;
    const double top = (itemRect.top() - margin) * ratio - 2.0;
    const double right = (itemRect.right() + margin) * ratio + 2.0;
    const double bottom = (itemRect.bottom() + margin) * ratio + 2.0;
    // Clamp before converting so far-off points cannot overflow an int.
    const auto clampX = [this](double v) {
        return static_cast<int>(std::clamp(v, -1.0, static_cast<double>(image.width()) + 1.0));
    };
    const auto clampY = [this](double v) {
        return static_cast<int>(std::clamp(v, -1.0, static_cast<double>(image.height()) + 1.0));
    };
    const QRect rect(QPoint(clampX(std::floor(left)), clampY(std::floor(top))),
                     QPoint(clampX(std::ceil(right)), clampY(std::ceil(bottom))));
    return rect.intersected(image);
}

QRectF ItemBounds::textRect(const QFontMetricsF& metrics, const QString& text, const QPointF& baseline)
{
    // Glyphs may overhang their advance and fallback fonts may be taller,
    // so a full line height of slack goes on every side.
    const double slack = metrics.height();
    QRectF box = metrics.boundingRect(text);
    const double advance = metrics.horizontalAdvance(text);
    box |= QRectF(0, -metrics.ascent(), std::max(advance, 0.0), metrics.height());
    box.translate(baseline);
    return box.adjusted(-slack, -slack, slack, slack);
}

QRect ItemBounds::of(const GraphActioner& item) const
{
    const std::vector<QPoint>& points = item.points;
    const ToolRow* row = ToolTable::row(item.type);
    // Unknown kinds have no renderer and paint nothing.
    switch (row ? row->reach : Reach::None) {
    case Reach::WholeImage:
        return image;
    case Reach::Segments:
        return ofSegments(item, 0);
    case Reach::DragBox:
        if (points.size() < 2) {
            return QRect();
        }
        return toImage(QRectF(points.front(), points.back()).normalized(), halfPen(item));
    case Reach::ArrowBox:
        if (points.size() < 2) {
            return QRect();
        }
        return toImage(QRectF(points.front(), points.back()).normalized(),
                       kArrowReach + halfPen(item));
    case Reach::Badge: {
        if (points.empty()) {
            return QRect();
        }
        const QPointF p0 = points.front();
        const QRectF disc(p0, QSizeF(MarkingPenGraph::kDiscSize, MarkingPenGraph::kDiscSize));
        const int number = item.propertyInt("number");
        const QRectF label = textRect(metrics, QString::number(number), MarkingPenGraph::labelOrigin(points.front(), number));
        return toImage(disc.adjusted(-halfPen(item), -halfPen(item), halfPen(item), halfPen(item)) | label, 0.0);
    }
    case Reach::Text: {
        const QString text = item.property("text");
        if (text.isEmpty() || points.empty()) {
            return QRect();
        }
        return toImage(textRect(textMetrics, text, QPointF(points.front())), 0.0);
    }
    case Reach::Symbol: {
        const auto found = symbols.find(item.type);
        if (points.empty() || found == symbols.end()) {
            return QRect();
        }
        return toImage(QRectF(QPointF(points.front()), QSizeF(found->second)), 1.0);
    }
    case Reach::None:
        // The picker paints nothing, nor does a selection (its marquee is
        // painted over the board).
        break;
    }
    return QRect();
}

QRect ItemBounds::ofSegments(const GraphActioner& item, size_t from) const
{
    const std::vector<QPoint>& points = item.points;
    if (points.size() < 2 || from >= points.size()) {
        return QRect();
    }
    double half = halfPen(item);
    if (item.type == Highlighter) {
        half *= HighlighterGraph::kWidthFactor;
        return toImage(span(points, from, points.size()), half);
    }
    if (item.type == Erase) {
        // The eraser's width is fixed whatever the item says.
        half = EraseGraph::kWidth / 2.0;
    } else if (!item.pressures.empty()) {
        half *= InkStroke::kMaxPressureFactor;
    }
    QRectF reach = span(points, from, points.size());
    if (from > 0) {
        // The curve's new piece starts in the middle of the segment before.
        const QPointF start = (QPointF(points[from - 1]) + QPointF(points[from])) / 2.0;
        reach = QRectF(QPointF(std::min(reach.left(), start.x()), std::min(reach.top(), start.y())),
                       QPointF(std::max(reach.right(), start.x()), std::max(reach.bottom(), start.y())));
    }
    return toImage(reach, half);
}
