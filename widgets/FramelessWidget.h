#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;

// Installed on a frameless top-level widget, lets the user move it by
// dragging its body and resize it by dragging any of eight border zones
// `padding` pixels wide. Lives as a child of the widget it serves.
class FramelessWidget : public QObject {
    Q_OBJECT

public:
    explicit FramelessWidget(QObject* parent = nullptr);

    // The zone under a widget-local point, in the order the zones are tested.
    enum Zone { None, Left, Right, Top, Bottom, LeftTop, RightTop, LeftBottom, RightBottom };
    Zone zoneAt(const QPoint& pos) const;
    Zone pressedZone() const;

public slots:
    void setPadding(int padding);
    void setMoveEnable(bool moveEnable);
    void setResizeEnable(bool resizeEnable);
    // Ignored when a widget is already set.
    void setWidget(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateZones();
    void hoverMoved(const QPoint& pt);

    int padding = 8;
    bool moveEnable = true;
    bool resizeEnable = true;
    QWidget* widget = nullptr;

    bool pressed = false;
    bool pressedLeft = false;
    bool pressedRight = false;
    bool pressedTop = false;
    bool pressedBottom = false;
    bool pressedLeftTop = false;
    bool pressedRightTop = false;
    bool pressedLeftBottom = false;
    bool pressedRightBottom = false;

    int rectX = 0;
    int rectY = 0;
    int rectW = 0;
    int rectH = 0;
    QPoint lastPos;

    QRect rectLeft;
    QRect rectRight;
    QRect rectTop;
    QRect rectBottom;
    QRect rectLeftTop;
    QRect rectRightTop;
    QRect rectLeftBottom;
    QRect rectRightBottom;
};
