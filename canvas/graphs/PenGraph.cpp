#include "canvas/graphs/PenGraph.h"

#include "canvas/GraphActioner.h"
#include "canvas/graphs/InkStroke.h"

#include <QPainter>
#include <QPen>

void PenGraph::draw(GraphActioner* item)
{
    drawFrom(item, 0);
}

void PenGraph::drawFrom(GraphActioner* item, size_t from)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    applyItemPen(item);
    painter->setBrush(Qt::NoBrush);
    const bool pressed = item->pressures.size() == item->points.size();
    QPen pen = painter->pen();
    const double width = itemPenWidth(*item);
    // One call per piece, so a translucent stroke darkens where the round
    // ends of consecutive pieces overlap, like a real marker; and a stroke
    // that grows paints only its new pieces, to the same pixels.
    const size_t pieces = InkStroke::pieceCount(item->points);
    QPointF line[InkStroke::kMaxPiecePoints];
    for (size_t k = from; k < pieces; ++k) {
        if (pressed) {
            pen.setWidthF(width * InkStroke::pressureFactor(item->pressures[k]));
            painter->setPen(pen);
        }
        painter->drawPolyline(line, InkStroke::piece(item->points, k, line));
    }
}
