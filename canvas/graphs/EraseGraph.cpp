#include "canvas/graphs/EraseGraph.h"

#include "canvas/GraphActioner.h"

#include <QBrush>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>

void EraseGraph::draw(GraphActioner* item)
{
    if (!painter || !item || !background || item->points.size() < 2) {
        return;
    }
    // The snapshot is the pen's texture: erasing brings the screen back
    // rather than leaving holes, whatever size or colour the item carries.
    const QPen pen(QBrush(*background), kWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(pen);
    for (size_t i = 1; i < item->points.size(); ++i) {
        const QLine segment(item->points[i - 1], item->points[i]);
        painter->drawLines(&segment, 1);
    }
}
