#include "platform/DesktopWindows.h"

#include <QGuiApplication>
#include <QList>
#include <QScreen>

#include <X11/Xlib.h>

namespace platform {

QRect firstMonitorGeometry()
{
    // Qt's screen list is the X server's RandR monitor list, in its order.
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return QRect();
    return screens.first()->geometry();
}

void raiseAboveAll(WId window)
{
    // One connection for the whole run: raising is rare but must not fail
    // for want of a fresh connection.
    static Display* display = XOpenDisplay(nullptr);
    if (!display || window == 0)
        return;
    XRaiseWindow(display, static_cast<Window>(window));
    XFlush(display);
}

}  // namespace platform
