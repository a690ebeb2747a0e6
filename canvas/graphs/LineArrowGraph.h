#pragma once

#include "canvas/graphs/IGraph.h"

#include <QPoint>
#include <QPolygonF>

// An arrow from the first point to a barbed head at the last point.
class LineArrowGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;

    // The six outline points S, B1, A1, E, A2, B2 (inner notches B at angle2,
    // barbs A at angle1 from the shaft). Empty when start and end coincide,
    // since the head has no direction then.
    static QPolygonF arrowPolygon(QPoint start, QPoint end, double angle1 = 30.0,
                                  double angle2 = 15.0, int length = kHeadLength);

    static constexpr int kHeadLength = 40;
    // How far the barbs reach from the tip: half the head length.
    static constexpr int headReach() { return kHeadLength / 2; }

private:
    void drawArrow(QPoint start, QPoint end, double angle1 = 30.0, double angle2 = 15.0,
                   int length = kHeadLength);
};
