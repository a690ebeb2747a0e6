#pragma once

#include <QColor>
#include <QWidget>

class QHBoxLayout;

// The frameless, translucent top-level window the main window derives from:
// a 10-pixel drop-shadow margin around centralWidget(), moving by mouse and,
// when resizable, resizing from 20-pixel border bands.
//
// Zone codes (column + 10 x row): 0 top-left, 1 top, 2 top-right, 10 left,
// 11 body, 12 right, 20 bottom-left, 21 bottom, 22 bottom-right.
class PubWindow : public QWidget {
    Q_OBJECT

public:
    explicit PubWindow(QWidget* parent = nullptr);

    QWidget* centralWidget() const { return central; }
    void setBackgroundColor(const QColor& color);
    void setShadowBlur(qreal radius);
    void setResizable(bool on);
    bool isResizable() const { return resizable; }

    // The zone code of a widget-local point; 11 everywhere while maximised or full screen.
    int zoneAt(const QPoint& pos) const;
    int pressedZone() const { return hitArea; }
    int shadowMargin() const;

signals:
    void windowStateChaned(Qt::WindowStates state);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static Qt::CursorShape cursorForZone(int zone);

    bool pressed = false;
    int lastGlobalX = 0;
    int lastGlobalY = 0;
    int hitArea = 11;
    int cursorShape = Qt::ArrowCursor;
    QWidget* central = nullptr;
    QHBoxLayout* layout_ = nullptr;
    QColor shadowColor = Qt::gray;
    bool resizable = false;
};
