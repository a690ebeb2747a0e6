#pragma once

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRect>
#include <QResizeEvent>
#include <QScreen>
#include <QVector>
#include <QWidget>

#include <algorithm>

// A top-level window (a QDialog in this program) without the system frame:
// presses on the registered drag widgets move it, and when resizable its
// edges resize it. Edge zones: 0 top, 1 bottom, 2 left, 3 right, 4 top-left,
// 5 bottom-left, 6 bottom-right, 7 top-right, 8 none.
template <typename Base>
class FramelessDraggableWindow : public Base {
public:
    enum Zone { Top = 0, Bottom, Left, Right, TopLeft, BottomLeft, BottomRight, TopRight, NoZone };

    explicit FramelessDraggableWindow(bool translucent, QWidget* parent = nullptr, bool frameless = true)
        : Base(parent), frameless(frameless)
    {
        if (!frameless)
            return;
        borderWidth = int(4 * this->devicePixelRatioF());
        this->installEventFilter(this);
        this->setWindowFlags(this->windowFlags() | Qt::FramelessWindowHint);
        if (translucent)
            this->setAttribute(Qt::WA_TranslucentBackground);
    }

    void setDragWidgets(const QVector<QWidget*>& widgets)
    {
        if (frameless)
            dragWidgets = widgets;
    }

    void setResizable(bool on) { resizable = on; }
    bool isResizable() const { return resizable; }
    void setMoveLocked(bool on) { moveLocked = on; }
    void setResizeMargins(int left, int top, int right, int bottom)
    {
        marginLeft = left;
        marginTop = top;
        marginRight = right;
        marginBottom = bottom;
    }
    int currentZone() const { return resizeArea; }
    int edgeWidth() const { return borderWidth; }

    // The zone of a global point; bounds are inclusive on both sides.
    int zoneAt(const QPoint& global) const
    {
        const QRect inner = this->contentsRect().adjusted(marginLeft, marginTop, -marginRight, -marginBottom);
        const QPoint tl = this->mapToGlobal(inner.topLeft());
        const QPoint br = this->mapToGlobal(inner.bottomRight());
        const int L = tl.x(), T = tl.y(), R = br.x(), B = br.y(), b = borderWidth;
        const int x = global.x(), y = global.y();
        const bool left = L <= x && x <= L + b;
        const bool right = R - b <= x && x <= R;
        const bool top = T <= y && y <= T + b;
        const bool bottom = B - b <= y && y <= B;
        if (left && top)
            return TopLeft;
        if (right && bottom)
            return BottomRight;
        if (left && bottom)
            return BottomLeft;
        if (right && top)
            return TopRight;
        if (left)
            return Left;
        if (right)
            return Right;
        if (top)
            return Top;
        if (bottom)
            return Bottom;
        return NoZone;
    }

protected:
    // Called when an edge resize starts and when it ends.
    virtual void onResizeBegin() {}
    virtual void onResizeEnd() {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Children only see hover moves when tracking is on, and the
        // window's own hover zones depend on them passing moves up.
        if (watched == this && event->type() == QEvent::Paint && !trackingSpread) {
            trackingSpread = true;
            spreadMouseTracking(this);
        }
        return Base::eventFilter(watched, event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (!frameless || event->button() != Qt::LeftButton) {
            Base::mousePressEvent(event);
            return;
        }
        const QPoint global = event->globalPos();
        if (resizeArea == NoZone) {
            QWidget* under = this->childAt(event->pos());
            if (under && dragWidgets.contains(under)) {
                pressed = true;
                const QPoint origin = this->frameGeometry().topLeft();
                dragOffsetX = global.x() - origin.x();
                dragOffsetY = global.y() - origin.y();
                event->accept();
                return;
            }
        } else {
            pressed = true;
            this->grabMouse();
            onResizeBegin();
            event->accept();
            return;
        }
        Base::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!frameless) {
            Base::mouseMoveEvent(event);
            return;
        }
        const QPoint global = event->globalPos();
        if (!pressed) {
            if (resizable) {
                resizeArea = zoneAt(global);
                this->setCursor(cursorFor(resizeArea));
            }
            Base::mouseMoveEvent(event);
            return;
        }
        const auto screens = QGuiApplication::screens();
        const bool onScreen = std::any_of(screens.begin(), screens.end(), [&](const QScreen* s) {
            return s->availableGeometry().contains(global);
        });
        if (!onScreen) {
            event->ignore();
            return;
        }
        if (resizeArea == NoZone) {
            if (!moveLocked) {
                this->move(global.x() - dragOffsetX, global.y() - dragOffsetY);
                event->accept();
            }
            return;
        }
        this->setGeometry(resizedRect(this->geometry(), resizeArea, global, this->minimumWidth(),
                                      this->minimumHeight()));
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool wasResizing = pressed && resizeArea != NoZone;
        pressed = false;
        if (wasResizing) {
            resizeArea = NoZone;
            this->releaseMouse();
            this->setCursor(Qt::ArrowCursor);
            onResizeEnd();
        }
        Base::mouseReleaseEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (frameless && resizable && event->button() == Qt::LeftButton) {
            QWidget* under = this->childAt(event->pos());
            if (under && dragWidgets.contains(under)) {
                if (this->isMaximized())
                    this->showNormal();
                else
                    this->showMaximized();
                event->accept();
                return;
            }
        }
        Base::mouseDoubleClickEvent(event);
    }

    void resizeEvent(QResizeEvent* event) override { Base::resizeEvent(event); }

public:
    // The window rectangle after moving the sides of zone to the cursor: the
    // left and top sides stop short of the minimum size, the right and
    // bottom sides follow the cursor (the window's own minimum applies).
    static QRect resizedRect(QRect r, int zone, const QPoint& cursor, int minWidth, int minHeight)
    {
        const bool left = zone == Left || zone == TopLeft || zone == BottomLeft;
        const bool right = zone == Right || zone == TopRight || zone == BottomRight;
        const bool top = zone == Top || zone == TopLeft || zone == TopRight;
        const bool bottom = zone == Bottom || zone == BottomLeft || zone == BottomRight;
        if (right)
            r.setWidth(cursor.x() - r.left());
        if (bottom)
            r.setHeight(cursor.y() - r.top());
        if (left && r.right() - cursor.x() > minWidth)
            r.setLeft(cursor.x());
        if (top && r.bottom() - cursor.y() > minHeight)
            r.setTop(cursor.y());
        return r;
    }

    static Qt::CursorShape cursorFor(int zone)
    {
        switch (zone) {
        case Top:
        case Bottom:
            return Qt::SizeVerCursor;
        case Left:
        case Right:
            return Qt::SizeHorCursor;
        case TopLeft:
        case BottomRight:
            return Qt::SizeFDiagCursor;
        case TopRight:
        case BottomLeft:
            return Qt::SizeBDiagCursor;
        default:
            return Qt::ArrowCursor;
        }
    }

private:
    static void spreadMouseTracking(QWidget* w)
    {
        w->setMouseTracking(true);
        for (QWidget* child : w->findChildren<QWidget*>()) {
            if (qstrcmp(child->metaObject()->className(), "QWidget") == 0)
                child->setMouseTracking(true);
        }
    }

    const bool frameless;
    bool pressed = false;
    bool resizable = false;
    bool moveLocked = false;
    bool trackingSpread = false;
    int resizeArea = NoZone;
    int borderWidth = 4;
    int dragOffsetX = 0;
    int dragOffsetY = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    QVector<QWidget*> dragWidgets;
};
