#pragma once

// The laser pointer: a bright dot that follows the pointer while the button
// is held, with a short trail that fades within a second. It lives only in
// the board's window, over the picture: it is never an item, so it is not
// undone, journalled, saved, copied or printed.

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <deque>

class QPainter;
class QWidget;

class LaserPointer : public QObject
{
    Q_OBJECT

public:
    // Repaints the parts of `board` the pointer covers as it moves and fades;
    // owned by `board`, so its fade never outlives the window.
    explicit LaserPointer(QWidget& board);

    // The button is down or moves with it held, at `pos` (window pixels).
    void follow(const QPoint& pos);
    // The button went up: the dot goes, the trail fades out.
    void lift();
    // Paints the dot and what is left of the trail.
    void paint(QPainter& painter) const;
    // Whether anything is still shown.
    bool showing() const { return held || !trail.empty(); }

    static constexpr int kFadeMs = 700;
    static constexpr int kDotRadius = 7;

private:
    struct Mark {
        QPoint pos;
        qint64 at;
    };
    void fade();
    QRect area() const;

    QWidget& board;
    QElapsedTimer clock;
    QTimer ticker;
    std::deque<Mark> trail;
    bool held = false;
    QRect shownArea;
};
