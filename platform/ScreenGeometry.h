#pragma once

// Where a rectangle of the desktop lies in the display's physical pixels.
// Qt places windows in logical pixels while the display system counts
// physical ones; every capture converts the same way, here.

#include <QRect>

class QScreen;

namespace platform {

// `screen`'s rectangle in physical pixels: it keeps its top-left corner and
// scales its size by its own device pixel ratio.
QRect physicalScreen(const QScreen& screen);

// The union of every screen's physical rectangle.
QRect physicalDesktop();

// `logical` (logical desktop pixels) in physical pixels, by the screen that
// holds its centre (the primary screen when none does; unchanged when there
// is no screen at all). The screen's top-left corner stays where it is and
// offsets and sizes from there scale by its ratio, each product in single
// precision and truncated toward zero. A negative width or height stays
// negative, so a caller's "size of the window" marker survives.
QRect physicalArea(const QRect& logical);

} // namespace platform
