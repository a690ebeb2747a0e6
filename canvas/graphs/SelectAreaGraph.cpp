#include "canvas/graphs/SelectAreaGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>
#include <QPoint>

void SelectAreaGraph::draw(GraphActioner*)
{
}

QRect SelectAreaGraph::area(const GraphActioner& item)
{
    if (item.points.size() < 2) {
        return QRect(0, 0, 0, 0);
    }
    // Once the selection is finished its corner no longer follows the mouse.
    QPoint farCorner = item.points.back();
    if (item.propertyInt("selectedComplete") != 0) {
        farCorner = QPoint(item.propertyInt("selectedCompleteX"), item.propertyInt("selectedCompleteY"));
    }
    const QPoint first = item.points.front();
    return QRect(first.x(), first.y(), farCorner.x() - first.x(), farCorner.y() - first.y());
}

void SelectAreaGraph::paintMarquee(QPainter& painter, const QRectF& outline)
{
    painter.save();
    painter.setPen(QPen(QBrush(Qt::red), 1, Qt::DashDotLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawRect(outline);
    painter.restore();
}
