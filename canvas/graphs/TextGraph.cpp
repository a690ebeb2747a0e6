#include "canvas/graphs/TextGraph.h"

#include "canvas/GraphActioner.h"

#include <QDebug>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>

TextGraph::TextGraph(double scale)
    : scale(scale > 0 ? scale : 1.0)
{
}

QFont TextGraph::font() const
{
    QFont font = itemFont();
    font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

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
    painter->setFont(font());
    // Text is always red so it stands out whatever pen colour is current.
    painter->setPen(QColor(255, 0, 0, 255));
    painter->drawText(QPointF(p0), text);
}
