#pragma once

#include "canvas/graphs/IGraph.h"

#include <QPen>
#include <QRect>
#include <QRectF>

// An area selection. Its dash-dot marquee is a state of the canvas, not
// part of the drawing: the canvas paints it over the board (paintMarquee),
// so the board image, and everything saved, copied or printed from it,
// never contains it. draw() therefore paints nothing.
class SelectAreaGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;

    // The selected area in item pixels, from the first point to the far
    // corner: the latest point while dragging, the stored corner once the
    // selection is finished. Not normalised; empty below two points.
    static QRect area(const GraphActioner& item);
    // Draws the marquee of `outline` (in the painter's coordinates).
    static void paintMarquee(QPainter& painter, const QRectF& outline);
};
