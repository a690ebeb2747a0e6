#include "platform/DesktopWindows.h"

#include "platform/GuiPlatform.h"

#include <QGuiApplication>
#include <QList>
#include <QScreen>
#include <QWindow>
#include <QtPlatformHeaders/QXcbWindowFunctions>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

QRect firstMonitorGeometry()
{
    // Qt's screen list is the X server's RandR monitor list, in its order.
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return QRect();
    return screens.first()->geometry();
}

Qt::WindowFlags toolStripFlags()
{
    return isWaylandSession() ? Qt::WindowFlags(Qt::X11BypassWindowManagerHint) : Qt::WindowFlags();
}

bool fullScreenBoard()
{
    return isWaylandSession();
}

void markToolStrip(QWindow* window)
{
    if (window)
        QXcbWindowFunctions::setWmWindowType(window, QXcbWindowFunctions::Utility);
}

namespace {

// One connection for the whole run: these calls are rare but must not fail
// for want of a fresh connection.
Display* connection()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

}  // namespace

void raiseAboveAll(WId window)
{
    Display* display = connection();
    if (!display || window == 0)
        return;
    XRaiseWindow(display, static_cast<Window>(window));
    XFlush(display);
}

void keepAboveOwner(WId window, WId owner)
{
    Display* display = connection();
    if (!display || window == 0)
        return;
    // Qt clears WM_TRANSIENT_FOR of an ordinary window each time it shows it,
    // through its own connection; a round trip on that connection sends any
    // such pending request to the server before ours.
    QGuiApplication::queryKeyboardModifiers();
    // WM_TRANSIENT_FOR: window managers stack a window above the one it is
    // transient for, even when that one covers the screen.
    if (owner != 0)
        XSetTransientForHint(display, static_cast<Window>(window), static_cast<Window>(owner));
    else
        XDeleteProperty(display, static_cast<Window>(window), XInternAtom(display, "WM_TRANSIENT_FOR", False));
    XFlush(display);
}

}  // namespace platform
