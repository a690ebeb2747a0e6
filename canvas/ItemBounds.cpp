#include "canvas/ItemBounds.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"

#include <QFont>
#include <QImage>
#include <QPoint>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The badge and text renderers' font; only its size matters here.
QFont itemFont()
{
    return QFont(QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93"), 13, QFont::Bold, false);
}

// Measured on a stand-in with the target's resolution, because font metrics
// need a paint device and the target is busy with the canvas painter.
QFontMetricsF metricsFor(const QImage& target)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    if (!target.isNull()) {
        probe.setDotsPerMeterX(target.dotsPerMeterX());
        probe.setDotsPerMeterY(target.dotsPerMeterY());
    }
    return QFontMetricsF(itemFont(), &probe);
}

// Arrow heads reach 20 pixels from the tip (half the fixed head length).
constexpr double kArrowReach = 21.0;
// Badges are a 20 x 20 disc.
constexpr double kBadgeSize = 20.0;
// Sizes are read from text; absurd ones are clamped so the arithmetic stays sane.
constexpr double kMaxPen = 1.0e6;

} // namespace

ItemBounds::ItemBounds(const QImage& target, std::map<int, QSize> symbolSizes)
    : image(QPoint(0, 0), target.size())
    , ratio(target.isNull() ? 1.0 : target.devicePixelRatio())
    , metrics(metricsFor(target))
    , symbols(std::move(symbolSizes))
{
}

double ItemBounds::halfPen(const GraphActioner& item)
{
    const double size = std::min(std::abs(static_cast<double>(item.propertyInt("size"))), kMaxPen);
    // A width of 0 or 1 is Qt's one-pixel pen.
    return std::max(size, 1.0) / 2.0;
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

QRectF ItemBounds::textRect(const QString& text, const QPointF& baseline) const
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
    switch (item.type) {
    case Image:
        return image;
    case Pen:
        return ofSegments(item, 0);
    case Erase:
        return ofSegments(item, 0);
    case Line:
    case Rect:
    case BrushRect:
    case Ellipse:
    case BrushEllipse:
        if (points.size() < 2) {
            return QRect();
        }
        return toImage(QRectF(points.front(), points.back()).normalized(), halfPen(item));
    case LineArrow:
        if (points.size() < 2) {
            return QRect();
        }
        return toImage(QRectF(points.front(), points.back()).normalized(),
                       kArrowReach + halfPen(item));
    case SelectArea: {
        if (points.size() < 2) {
            return QRect();
        }
        QPoint farCorner = points.back();
        if (item.propertyInt("selectedComplete") != 0) {
            farCorner = QPoint(item.propertyInt("selectedCompleteX"), item.propertyInt("selectedCompleteY"));
        }
        return toImage(QRectF(points.front(), farCorner).normalized(), 1.0);
    }
    case MarkingPen: {
        if (points.empty()) {
            return QRect();
        }
        const QPointF p0 = points.front();
        const QRectF disc(p0, QSizeF(kBadgeSize, kBadgeSize));
        const int number = item.propertyInt("number");
        const QRectF label = textRect(QString::number(number), QPointF(p0.x() + 5, p0.y() + 15));
        return toImage(disc.adjusted(-halfPen(item), -halfPen(item), halfPen(item), halfPen(item)) | label
                               | label.translated(-5, 0),
                       0.0);
    }
    case Text: {
        const QString text = item.property("text");
        if (text.isEmpty() || points.empty()) {
            return QRect();
        }
        return toImage(textRect(text, QPointF(points.front())), 0.0);
    }
    case RightSymbols:
    case WrongSymbols: {
        const auto found = symbols.find(item.type);
        if (points.empty() || found == symbols.end()) {
            return QRect();
        }
        return toImage(QRectF(QPointF(points.front()), QSizeF(found->second)), 1.0);
    }
    default:
        // The picker paints nothing; unknown kinds have no renderer.
        return QRect();
    }
}

QRect ItemBounds::ofSegments(const GraphActioner& item, size_t from) const
{
    const std::vector<QPoint>& points = item.points;
    if (points.size() < 2 || from >= points.size()) {
        return QRect();
    }
    // The eraser's width is fixed whatever the item says.
    const double half = item.type == Erase ? 5.0 : halfPen(item);
    return toImage(span(points, from, points.size()), half);
}
