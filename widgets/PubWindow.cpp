#include "widgets/PubWindow.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPalette>

namespace {

constexpr int kBand = 20;
constexpr int kShadow = 10;

}  // namespace

PubWindow::PubWindow(QWidget* parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    central = new QWidget(this);
    central->setMouseTracking(true);
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(kShadow, kShadow, kShadow, kShadow);
    layout_->addWidget(central);
    setBackgroundColor(QColor(245, 245, 245));
    setShadowBlur(kShadow);
}

void PubWindow::setBackgroundColor(const QColor& color)
{
    QPalette pal = central->palette();
    pal.setBrush(QPalette::All, QPalette::Window, color);
    central->setPalette(pal);
    central->setAutoFillBackground(true);
}

void PubWindow::setShadowBlur(qreal radius)
{
    // setGraphicsEffect deletes the previous effect.
    central->setGraphicsEffect(nullptr);
    if (radius > 0) {
        auto* effect = new QGraphicsDropShadowEffect(central);
        effect->setOffset(0, 0);
        effect->setColor(shadowColor);
        effect->setBlurRadius(radius);
        central->setGraphicsEffect(effect);
    }
}

void PubWindow::setResizable(bool on)
{
    resizable = on;
}

int PubWindow::shadowMargin() const
{
    return layout_->contentsMargins().left();
}

int PubWindow::zoneAt(const QPoint& pos) const
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 11;
    const int column = pos.x() <= kBand ? 0 : (pos.x() > width() - kBand ? 2 : 1);
    const int row = pos.y() <= kBand ? 0 : (pos.y() > height() - kBand ? 2 : 1);
    return column + 10 * row;
}

Qt::CursorShape PubWindow::cursorForZone(int zone)
{
    switch (zone) {
    case 0:
    case 22:
        return Qt::SizeFDiagCursor;
    case 1:
    case 21:
        return Qt::SizeVerCursor;
    case 2:
    case 20:
        return Qt::SizeBDiagCursor;
    case 10:
    case 12:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void PubWindow::mousePressEvent(QMouseEvent* event)
{
    pressed = true;
    lastGlobalX = event->globalX();
    lastGlobalY = event->globalY();
    hitArea = zoneAt(event->pos());
    QWidget::mousePressEvent(event);
}

void PubWindow::mouseReleaseEvent(QMouseEvent* event)
{
    pressed = false;
    QWidget::mouseReleaseEvent(event);
}

void PubWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressed) {
        if (resizable) {
            const Qt::CursorShape shape = cursorForZone(zoneAt(event->pos()));
            if (shape != cursorShape) {
                cursorShape = shape;
                setCursor(shape);
            }
        } else if (cursorShape != Qt::ArrowCursor) {
            cursorShape = Qt::ArrowCursor;
            setCursor(Qt::ArrowCursor);
        }
        QWidget::mouseMoveEvent(event);
        return;
    }

    const int dx = event->globalX() - lastGlobalX;
    const int dy = event->globalY() - lastGlobalY;
    if (hitArea == 11) {
        if (windowState() & Qt::WindowFullScreen)
            return;
        if (windowState() & Qt::WindowMaximized) {
            if (dx != 0 || dy != 0) {
                showNormal();
                move(x(), dy);
            }
        } else {
            move(x() + dx, y() + dy);
        }
    } else if (resizable) {
        QRect g = geometry();
        switch (hitArea) {
        case 0:
            g.setTopLeft(g.topLeft() + QPoint(dx, dy));
            break;
        case 1:
            g.setTop(g.top() + dy);
            break;
        case 2:
            g.setTopRight(g.topRight() + QPoint(dx, dy));
            break;
        case 10:
            g.setLeft(g.left() + dx);
            break;
        case 12:
            g.setRight(g.right() + dx);
            break;
        case 20:
            g.setBottomLeft(g.bottomLeft() + QPoint(dx, dy));
            break;
        case 21:
            g.setBottom(g.bottom() + dy);
            break;
        case 22:
            g.setBottomRight(g.bottomRight() + QPoint(dx, dy));
            break;
        default:
            break;
        }
        setGeometry(g);
    }
    lastGlobalX = event->globalX();
    lastGlobalY = event->globalY();
}

void PubWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        emit windowStateChaned(windowState());
        if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
            layout_->setContentsMargins(0, 0, 0, 0);
            setShadowBlur(0);
        } else if (!(windowState() & Qt::WindowMinimized) && layout_->contentsMargins().left() == 0) {
            layout_->setContentsMargins(kShadow, kShadow, kShadow, kShadow);
            setShadowBlur(kShadow);
        }
    }
    QWidget::changeEvent(event);
}
