#pragma once

#include <QRect>
#include <Qt>
#include <qwindowdefs.h>

class QWindow;

// Placing and stacking top-level windows on the desktop.
namespace platform {

// Extra window flags for the always-on-top tool strip. On a Wayland session
// the compositor manages X11 windows the way a tiling window manager would
// (sway tiles a plain window, centres a floating one and ignores its later
// moves), so there the strip is left unmanaged and stays exactly where the
// program (or the user's drag) puts it, above everything.
Qt::WindowFlags toolStripFlags();

// Whether the board asks to be a full-screen window rather than only being
// as large as its screen. On a Wayland session that is what keeps the
// compositor from tiling it, and what stacks the dialogs that belong to it
// above it; a stacking window manager would instead lift a full-screen board
// over the strip, so on X11 sessions it stays a plain screen-sized window.
bool fullScreenBoard();

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
