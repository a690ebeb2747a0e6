#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <qwindowdefs.h>

#include <functional>
#include <memory>

// Grabs what the screen shows. The board is built from one such grab.
class ScreenCapture {
public:
    // Gets the grab, or a null pixmap and one sentence saying why there is none.
    using Done = std::function<void(const QPixmap& pixels, const QString& failure)>;

    virtual ~ScreenCapture() = default;

    // Returns the pixels of a rectangle given in logical desktop pixels, at
    // the display's physical resolution, as an opaque 32-bit image with the
    // mouse pointer drawn in when it lies strictly inside the rectangle. A
    // negative width or height stands for that of `window`'s client area
    // (0 means the whole desktop). A capture that fails gives a null pixmap
    // and a warning in Qt's log.
    virtual QPixmap captureScreen(WId window, int x, int y, int width, int height) = 0;

    // Called when a board opens, for the screen it will cover (`area`, in
    // logical desktop pixels). Calls `done` exactly once on the GUI thread,
    // possibly before returning: a system that asks the desktop for the
    // picture answers later, with the event loop running meanwhile. The
    // pixels are as captureScreen gives them.
    virtual void captureArea(const QRect& area, Done done);

    // The capture the program uses: the system's own, unless a test has put
    // another in its place.
    static ScreenCapture& instance();
    // Not owned; nullptr goes back to the system's capture.
    static void setInstance(ScreenCapture* capture);
    // Made by the implementation for the platform the program is built for.
    static std::unique_ptr<ScreenCapture> createSystem();

protected:
    // captureScreen for a capture that only answers through captureArea:
    // asks for the rectangle (the primary screen when its width or height is
    // negative) and waits in a local event loop for the answer.
    QPixmap waitForArea(int x, int y, int width, int height);
};
