#include "canvas/graphs/MarkingPenGraph.h"

#include "canvas/GraphActioner.h"

#include <QFont>
#include <QLatin1Char>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QString>

void MarkingPenGraph::draw(GraphActioner* item)
{
    if (!painter || !item || item->points.empty()) {
        return;
    }
    const QPoint p0 = item->points.front();
    applyItemPen(item);
    painter->setBrush(itemBrush(item));
    painter->drawEllipse(p0.x(), p0.y(), kDiscSize, kDiscSize);

    painter->setFont(itemFont());
    QPen pen = painter->pen();
    pen.setColor(QColor(255, 255, 255, 255));
    painter->setPen(pen);
    const int number = item->propertyInt("number");
    const QString text = QString("%1").arg(number, 0, 10, QLatin1Char(' '));
    painter->drawText(labelOrigin(p0, number), text);
}

QPointF MarkingPenGraph::labelOrigin(QPoint first, int number)
{
    return QPointF(number < 10 ? first.x() + 5 : first.x(), first.y() + 15);
}
