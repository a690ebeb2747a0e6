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
    painter->drawEllipse(p0.x(), p0.y(), 20, 20);

    // SimSun, asked for by its Chinese family name as the font tables list it.
    QFont font(QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93"), 13, QFont::Bold, false);
    painter->setFont(font);
    QPen pen = painter->pen();
    pen.setColor(QColor(255, 255, 255, 255));
    painter->setPen(pen);
    const int number = item->propertyInt("number");
    const QString text = QString("%1").arg(number, 0, 10, QLatin1Char(' '));
    // One digit is centred in the disc by shifting it right.
    const int x = number < 10 ? p0.x() + 5 : p0.x();
    painter->drawText(QPointF(x, p0.y() + 15), text);
}
