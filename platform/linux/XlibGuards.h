#pragma once

// Scoped ownership of what Xlib hands out, and a trap that turns X protocol
// errors into a failed call instead of the end of the process. Include it
// after Qt's headers: Xlib's macros (None, Bool, Status) clash with theirs.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace x11 {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
struct XFreer {
    void operator()(void* data) const { XFree(data); }
};

// Xlib's default handler ends the process on any protocol error; a window
// that vanished between the caller's look-up and ours must only fail the
// capture. The capture runs on the GUI thread only, so swapping the
// process-wide handler for the duration is safe.
class ErrorTrap {
public:
    ErrorTrap();
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Set by any error since it was last cleared.
    static bool failed;

private:
    static int onError(Display*, XErrorEvent*);

    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

// A failed capture's warning: the same text as the other platforms write,
// so logs read alike everywhere.
void warnCaptureFailed();

} // namespace x11
