#include "canvas/graphs/HighlighterGraph.h"

#include "canvas/GraphActioner.h"
#include "canvas/graphs/InkStroke.h"

#include <QPainter>
#include <QPen>

void HighlighterGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    QColor colour = itemColor(item);
    colour.setAlpha(colour.alpha() * kStrength / 255);
    const QPen pen(colour, itemPenWidth(*item) * kWidthFactor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setCompositionMode(QPainter::CompositionMode_Multiply);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(InkStroke::path(item->points));
    painter->restore();
}
