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

}  // namespace platform
