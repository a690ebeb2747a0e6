// Placing and stacking the program's top-level windows on Windows.

#include "platform/DesktopWindows.h"

#include <QGuiApplication>
#include <QList>
#include <QScreen>

#include <windows.h>

namespace platform {

namespace {

BOOL CALLBACK takeFirstMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* info = reinterpret_cast<MONITORINFOEXW*>(data);
    info->cbSize = sizeof *info;
    if (!GetMonitorInfoW(monitor, info))
        info->cbSize = 0;
    return FALSE;
}

} // namespace

Qt::WindowFlags toolStripFlags()
{
    return Qt::WindowFlags();
}

bool fullScreenBoard()
{
    return false;
}

void markToolStrip(QWindow*)
{
}

QRect firstMonitorGeometry()
{
    MONITORINFOEXW info = {};
    EnumDisplayMonitors(nullptr, nullptr, &takeFirstMonitor, reinterpret_cast<LPARAM>(&info));
    if (info.cbSize == 0)
        return QRect();
    // The system counts physical pixels, Qt places windows in logical ones:
    // the screen Qt made for that monitor (named after its device) has both.
    const QString device = QString::fromWCharArray(info.szDevice);
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen->name() == device)
            return screen->geometry();
    }
    const RECT& r = info.rcMonitor;
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void raiseAboveAll(WId window)
{
    HWND hwnd = reinterpret_cast<HWND>(window);
    if (!hwnd)
        return;
    // A stay-on-top window goes above the other stay-on-top ones too.
    const bool topmost = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void keepAboveOwner(WId window, WId owner)
{
    HWND hwnd = reinterpret_cast<HWND>(window);
    if (!hwnd)
        return;
    // An owned window always stays above its owner.
    SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, static_cast<LONG_PTR>(owner));
    if (owner)
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace platform
