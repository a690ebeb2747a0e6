#include "canvas/graphs/SelectAreaGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>
#include <QPen>

void SelectAreaGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.size() < 2) {
        return;
    }
    const QPen pen(QBrush(Qt::red), 1, Qt::DashDotLine, Qt::RoundCap, Qt::RoundJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, true);
    // Once the selection is finished its corner no longer follows the mouse.
    QPoint farCorner = item->points.back();
    if (item->propertyInt("selectedComplete") != 0) {
        farCorner = QPoint(item->propertyInt("selectedCompleteX"),
                           item->propertyInt("selectedCompleteY"));
    }
    const QPoint first = item->points.front();
    painter->drawRect(first.x(), first.y(), farCorner.x() - first.x(), farCorner.y() - first.y());
}
