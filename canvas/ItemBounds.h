#pragma once

#include <QFontMetricsF>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <map>
#include <vector>

class GraphActioner;
class QFont;
class QImage;

// Where a drawn item can touch the canvas image, in the image's own pixels.
// The answer errs on the large side (pen width, antialiasing, glyph
// overhang): the canvas repaints only inside these rectangles, so a pixel
// an item paints outside its bounds would be left stale on screen.
class ItemBounds {
public:
    // `target` is the image items are painted into: its size, pixel ratio
    // and font resolution decide where things land. `symbolSizes` gives the
    // picture size of each stamp kind (tick, cross).
    // `textFont` is the font text items are painted in.
    ItemBounds(const QImage& target, std::map<int, QSize> symbolSizes, const QFont& textFont);

    // The whole item as its renderer would paint it now.
    QRect of(const GraphActioner& item) const;
    // Only the pen or eraser segments from point `from` (inclusive) onward.
    QRect ofSegments(const GraphActioner& item, size_t from) const;

    QRect imageRect() const { return image; }

private:
    // Item coordinates to image pixels, grown by `margin` item pixels plus
    // two image pixels of antialiasing, clipped to the image.
    QRect toImage(const QRectF& itemRect, double margin) const;
    static QRectF textRect(const QFontMetricsF& metrics, const QString& text, const QPointF& baseline);
    static double halfPen(const GraphActioner& item);
    static QRectF span(const std::vector<QPoint>& points, size_t from, size_t to);

    QRect image;
    double ratio = 1.0;
    // Badge numbers and text, measured at the image's resolution.
    QFontMetricsF metrics;
    QFontMetricsF textMetrics;
    std::map<int, QSize> symbols;
};
