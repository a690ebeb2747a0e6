#pragma once

#include "canvas/graphs/IGraph.h"

#include <QPoint>
#include <QPointF>

// A numbered badge: a 20 x 20 disc at the first point with its number in white.
class MarkingPenGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;

    // The disc's width and height; its bounding box starts at the first point.
    static constexpr int kDiscSize = 20;
    // Where the number's baseline starts for a badge at `first`: one digit is
    // centred in the disc by shifting it right.
    static QPointF labelOrigin(QPoint first, int number);
};
