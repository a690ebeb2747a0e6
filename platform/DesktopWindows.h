#pragma once

#include <QRect>
#include <Qt>
#include <qwindowdefs.h>

class QWindow;

// Placing and stacking top-level windows on the desktop.
namespace platform {

// Extra window flags for the always-on-top tool strip and for the board that
// covers one screen. On a Wayland session the compositor manages X11 windows
// like a tiling window manager would (sway centres every floating window and
// ignores its moves, and puts a full-screen one on the output it has focused),
// so there both are left unmanaged and stay exactly where the program puts them.
Qt::WindowFlags toolStripFlags();
Qt::WindowFlags boardFlags();

// Window-manager hint for the strip, set before it is first shown: a utility
// window, which tiling window managers float instead of tiling.
void markToolStrip(QWindow* window);

// The first display monitor the system reports, in desktop pixels; empty when
// it reports none.
QRect firstMonitorGeometry();

// Puts the window above every other top-level window, as a click on it would,
// without moving or resizing it.
void raiseAboveAll(WId window);

// Keeps `window` above `owner` the way a window manager keeps a dialog above
// the window it belongs to, whatever else it stacks (0: no owner any more).
// Call it after showing `window`: showing it may reset the link.
void keepAboveOwner(WId window, WId owner);

}  // namespace platform
