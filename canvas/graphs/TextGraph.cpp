#include "canvas/graphs/TextGraph.h"

#include "canvas/GraphActioner.h"

#include <QDebug>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>

void TextGraph::draw(GraphActioner* item)
{
    if (!painter || !item) {
        return;
    }
    const QString text = item->property("text");
    if (text.isEmpty()) {
        qDebug() << static_cast<void*>(item) << "---empty!";
        return;
    }
    if (item->points.empty()) {
        return;
    }
    const QPoint p0 = item->points.front();
    qDebug() << "TextGraph=x==" << p0.x() << "y==" << p0.y();
    QFont font(QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93"), 13, QFont::Bold, false);
    painter->setFont(font);
    // Text is always red so it stands out whatever pen colour is current.
    painter->setPen(QColor(255, 0, 0, 255));
    painter->drawText(QPointF(p0), text);
}
