#pragma once

#include <QRect>
#include <qwindowdefs.h>

// Placing and stacking top-level windows on the desktop.
namespace platform {

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
