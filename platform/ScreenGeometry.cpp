// Logical desktop rectangles to physical pixels, one rule for every capture.

#include "platform/ScreenGeometry.h"

#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QtGlobal>

namespace platform {

namespace {

int scaled(int length, float ratio)
{
    return static_cast<int>(static_cast<float>(length) * ratio);
}

} // namespace

QRect physicalScreen(const QScreen& screen)
{
    const QRect logical = screen.geometry();
    const float ratio = static_cast<float>(screen.devicePixelRatio());
    return QRect(logical.topLeft(), QSize(scaled(logical.width(), ratio), scaled(logical.height(), ratio)));
}

QRect physicalDesktop()
{
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop |= physicalScreen(*screen);
    }
    return desktop;
}

QRect physicalArea(const QRect& logical)
{
    // An empty or "size of the window" rectangle still has a screen: the
    // one under its top-left corner.
    const QRect probe(logical.topLeft(), QSize(qMax(logical.width(), 1), qMax(logical.height(), 1)));
    const QScreen* screen = QGuiApplication::screenAt(probe.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return logical;
    }
    const float ratio = static_cast<float>(screen->devicePixelRatio());
    const QPoint origin = screen->geometry().topLeft();
    return QRect(origin.x() + scaled(logical.x() - origin.x(), ratio), origin.y() + scaled(logical.y() - origin.y(), ratio),
                 scaled(logical.width(), ratio), scaled(logical.height(), ratio));
}

} // namespace platform
