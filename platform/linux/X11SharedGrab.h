#pragma once

// The MIT-SHM grab: the X server writes the pixels straight into a segment
// shared with this process instead of sending them through the socket. The
// segment is marked for removal as soon as both sides have it attached, so
// it goes away with the last image using it even if this process dies.
// Include it after Qt's headers (see XlibGuards.h).

#include "platform/linux/XlibGuards.h"

#include <X11/extensions/XShm.h>

#include <memory>

class QRect;

namespace x11 {

struct SharedPixels {
    XShmSegmentInfo segment {};
    // Its data is the segment, until a QImage takes it over.
    std::unique_ptr<XImage, ImageDestroyer> image;
    // Every pixel's pad byte was set opaque on the way.
    bool opaque = false;
};

// Grabs `area` (physical pixels, on the desktop) of `root` into a fresh
// segment, band by band while a helper takes the pages of the next band
// (see BandedPageTaker); when `wholeArea` is set and the layout allows, the
// helper sets the pad bytes too. Null when the server cannot share memory
// with this process or the grab fails; nothing is left attached then.
std::unique_ptr<SharedPixels> grabShared(Display* display, Window root, const QRect& area, bool wholeArea);

// Detaches a segment from this process: when done with `segment.shmaddr`,
// or as the cleanup of a QImage that took it over.
void releaseSharedPixels(void* address);

} // namespace x11
