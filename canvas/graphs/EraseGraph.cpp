#include "canvas/graphs/EraseGraph.h"

#include "canvas/GraphActioner.h"
#include "canvas/graphs/InkStroke.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPen>

void EraseGraph::draw(GraphActioner* item)
{
    drawFrom(item, 0);
}

void EraseGraph::drawFrom(GraphActioner* item, size_t from)
{
    if (!painter || !item || !background || item->points.size() < 2) {
        return;
    }
    // The background is the pen's texture: erasing brings back what the
    // board shows under the drawing rather than leaving holes, whatever
    // size or colour the item carries. It follows the same curve as the pen.
    const QPen pen(QBrush(*background), kWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    const size_t pieces = InkStroke::pieceCount(item->points);
    QPointF line[InkStroke::kMaxPiecePoints];
    for (size_t k = from; k < pieces; ++k) {
        painter->drawPolyline(line, InkStroke::piece(item->points, k, line));
    }
}
