#include "widgets/FramelessWidget.h"

#include <QEvent>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QWidget>

FramelessWidget::FramelessWidget(QObject* parent) : QObject(parent)
{
    if (auto* w = qobject_cast<QWidget*>(parent))
        setWidget(w);
}

void FramelessWidget::setPadding(int value)
{
    padding = value;
    updateZones();
}

void FramelessWidget::setMoveEnable(bool value)
{
    moveEnable = value;
}

void FramelessWidget::setResizeEnable(bool value)
{
    resizeEnable = value;
}

void FramelessWidget::setWidget(QWidget* w)
{
    if (widget || !w)
        return;
    widget = w;
    widget->setAttribute(Qt::WA_MouseTracking);
    widget->setAttribute(Qt::WA_Hover);
    widget->installEventFilter(this);
    updateZones();
}

void FramelessWidget::updateZones()
{
    if (!widget)
        return;
    const int w = widget->width();
    const int h = widget->height();
    const int p = padding;
    rectLeft = QRect(0, p, p, h - 2 * p);
    rectTop = QRect(p, 0, w - 2 * p, p);
    rectRight = QRect(w - p, p, p, h - 2 * p);
    rectBottom = QRect(p, h - p, w - 2 * p, p);
    rectLeftTop = QRect(0, 0, p, p);
    rectRightTop = QRect(w - p, 0, p, p);
    rectLeftBottom = QRect(0, h - p, p, p);
    rectRightBottom = QRect(w - p, h - p, p, p);
}

FramelessWidget::Zone FramelessWidget::zoneAt(const QPoint& pt) const
{
    if (rectLeft.contains(pt))
        return Left;
    if (rectRight.contains(pt))
        return Right;
    if (rectTop.contains(pt))
        return Top;
    if (rectBottom.contains(pt))
        return Bottom;
    if (rectLeftTop.contains(pt))
        return LeftTop;
    if (rectRightTop.contains(pt))
        return RightTop;
    if (rectLeftBottom.contains(pt))
        return LeftBottom;
    if (rectRightBottom.contains(pt))
        return RightBottom;
    return None;
}

FramelessWidget::Zone FramelessWidget::pressedZone() const
{
    if (pressedLeft)
        return Left;
    if (pressedRight)
        return Right;
    if (pressedTop)
        return Top;
    if (pressedBottom)
        return Bottom;
    if (pressedLeftTop)
        return LeftTop;
    if (pressedRightTop)
        return RightTop;
    if (pressedLeftBottom)
        return LeftBottom;
    if (pressedRightBottom)
        return RightBottom;
    return None;
}

void FramelessWidget::hoverMoved(const QPoint& pt)
{
    if (resizeEnable) {
        switch (zoneAt(pt)) {
        case Left:
        case Right:
            widget->setCursor(Qt::SizeHorCursor);
            break;
        case Top:
        case Bottom:
            widget->setCursor(Qt::SizeVerCursor);
            break;
        case LeftTop:
        case RightBottom:
            widget->setCursor(Qt::SizeFDiagCursor);
            break;
        case RightTop:
        case LeftBottom:
            widget->setCursor(Qt::SizeBDiagCursor);
            break;
        case None:
            widget->setCursor(Qt::ArrowCursor);
            break;
        }
    }

    const int offsetX = pt.x() - lastPos.x();
    const int offsetY = pt.y() - lastPos.y();
    if (moveEnable && pressed)
        widget->move(widget->x() + offsetX, widget->y() + offsetY);
    if (!resizeEnable)
        return;

    const int minW = widget->minimumWidth();
    const int minH = widget->minimumHeight();
    switch (pressedZone()) {
    case Left: {
        const int newW = widget->width() - offsetX;
        if (minW <= newW)
            widget->setGeometry(widget->x() + offsetX, rectY, newW, rectH);
        break;
    }
    case Right:
        widget->setGeometry(rectX, rectY, rectW + offsetX, rectH);
        break;
    case Top: {
        const int newH = widget->height() - offsetY;
        if (minH <= newH)
            widget->setGeometry(rectX, widget->y() + offsetY, rectW, newH);
        break;
    }
    case Bottom:
        widget->setGeometry(rectX, rectY, rectW, rectH + offsetY);
        break;
    case LeftTop: {
        const int newW = widget->width() - offsetX;
        const int newH = widget->height() - offsetY;
        if (minW <= newW)
            widget->setGeometry(widget->x() + offsetX, widget->y(), newW, newH);
        if (minH <= newH)
            widget->setGeometry(widget->x(), widget->y() + offsetY, newW, newH);
        break;
    }
    case RightTop: {
        const int newW = rectW + offsetX;
        const int newH = widget->height() - offsetY;
        if (minH <= newH)
            widget->setGeometry(widget->x(), widget->y() + offsetY, newW, newH);
        break;
    }
    case LeftBottom: {
        const int newW = widget->width() - offsetX;
        const int newH = rectH + offsetY;
        if (minW <= newW)
            widget->setGeometry(widget->x() + offsetX, widget->y(), newW, newH);
        if (minH <= newH)
            widget->setGeometry(widget->x(), widget->y(), newW, newH);
        break;
    }
    case RightBottom:
        widget->setGeometry(widget->x(), widget->y(), rectW + offsetX, rectH + offsetY);
        break;
    case None:
        break;
    }
}

bool FramelessWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (!widget || watched != widget)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::Resize:
        updateZones();
        break;
    case QEvent::HoverMove:
        hoverMoved(static_cast<QHoverEvent*>(event)->pos());
        break;
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        rectX = widget->x();
        rectY = widget->y();
        rectW = widget->width();
        rectH = widget->height();
        lastPos = e->pos();
        switch (zoneAt(lastPos)) {
        case Left:
            pressedLeft = true;
            break;
        case Right:
            pressedRight = true;
            break;
        case Top:
            pressedTop = true;
            break;
        case Bottom:
            pressedBottom = true;
            break;
        case LeftTop:
            pressedLeftTop = true;
            break;
        case RightTop:
            pressedRightTop = true;
            break;
        case LeftBottom:
            pressedLeftBottom = true;
            break;
        case RightBottom:
            pressedRightBottom = true;
            break;
        case None:
            pressed = true;
            break;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        pressed = pressedLeft = pressedRight = pressedTop = pressedBottom = false;
        pressedLeftTop = pressedRightTop = pressedLeftBottom = pressedRightBottom = false;
        widget->setCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
