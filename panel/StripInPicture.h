#pragma once

#include <QImage>
#include <QRect>

class QPixmap;
class QWidget;

// The strip leaves the screen before the board's picture is taken, but a
// desktop draws its screen at its own pace: a slow one may still show the
// strip when it takes the picture. What the strip looked like where it
// stood, kept just before it went, tells such a picture apart so that it can
// be taken again.
class StripInPicture {
public:
    // Keeps the look and place of `strip` (a visible top-level window).
    void take(QWidget* strip);

    // Whether `picture`, of the desktop's `area` (logical pixels) at `ratio`
    // device pixels each, shows the strip where it stood.
    bool shownIn(const QPixmap& picture, const QRect& area, qreal ratio) const;

private:
    QImage look;
    QRect geometry;
};
