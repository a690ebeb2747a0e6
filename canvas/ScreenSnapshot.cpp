#include "canvas/ScreenSnapshot.h"

#include "platform/ScreenCapture.h"

#include <QGuiApplication>
#include <QScreen>

ScreenSnapshot ScreenSnapshot::ofPrimaryScreen()
{
    ScreenSnapshot snapshot;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        snapshot.geometry = screen->geometry();
        snapshot.ratio = screen->devicePixelRatio();
    }
    const QRect& rect = snapshot.geometry;
    // Window 0 is the whole desktop; the canvas is not shown yet, so it is
    // never part of its own snapshot.
    snapshot.pixels = ScreenCapture::instance().captureScreen(0, rect.x(), rect.y(), rect.width(), rect.height());
    return snapshot;
}
