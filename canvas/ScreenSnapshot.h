#pragma once

#include <QPixmap>
#include <QRect>

// The picture a board is made from: one screen as it was when the board
// opened, and where that screen lies.
struct ScreenSnapshot {
    // Physical pixels, opaque; null when the capture failed.
    QPixmap pixels;
    // The screen's rectangle in logical desktop pixels: the board covers it exactly.
    QRect geometry;
    // The screen's device pixel ratio: pointer positions times this are image pixels.
    qreal ratio = 1.0;

    // Captures the primary screen now, synchronously.
    static ScreenSnapshot ofPrimaryScreen();
};
