#pragma once

// Drawing the pointer into a grab: a plain X grab never contains it, so its
// picture comes from the XFixes extension.

class QImage;
class QRect;
typedef struct _XDisplay Display;

namespace x11 {

// Draws the pointer's picture into `target`, which shows `area` of the
// screen (physical pixels), with its top-left corner at the pointer's
// position, when that position lies strictly inside the area.
void drawPointer(Display* display, QImage& target, const QRect& area);

} // namespace x11
