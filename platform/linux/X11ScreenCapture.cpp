// One grab from the X server: the area in physical pixels, shared memory or
// the connection, the picture made opaque and the pointer drawn in.

#include "platform/linux/X11ScreenCapture.h"

#include "platform/ScreenGeometry.h"

#include <QImage>
#include <QRect>
#include <QtGlobal>

#include "platform/linux/X11Pixels.h"
#include "platform/linux/X11Pointer.h"
#include "platform/linux/X11SharedGrab.h"
#include "platform/linux/XlibGuards.h"

#include <X11/Xutil.h>

#include <memory>

using namespace x11;

bool X11ScreenCapture::trySharedMemory(Display* display)
{
    const char* why = nullptr;
    if (qEnvironmentVariableIsSet("SCRIBBLOOM_CAPTURE_NO_SHM")) {
        why = "shared memory turned off by SCRIBBLOOM_CAPTURE_NO_SHM";
    } else if (sharedMemoryBroken) {
        why = "the X server could not share memory with this process";
    } else if (!XShmQueryExtension(display)) {
        why = "the X server offers no MIT-SHM extension";
    }
    if (why) {
        sayFallback(why);
    }
    return !why;
}

void X11ScreenCapture::sayFallback(const char* why)
{
    if (!fallbackSaid) {
        fallbackSaid = true;
        qDebug("Screen capture: %s; reading the screen through the X connection instead", why);
    }
}

QPixmap X11ScreenCapture::captureScreen(WId window, int x, int y, int width, int height)
{
    const QRect physical = platform::physicalArea(QRect(x, y, width, height));
    int pw = physical.width();
    int ph = physical.height();

    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        warnCaptureFailed();
        return QPixmap();
    }
    const Window root = DefaultRootWindow(display.get());
    ErrorTrap trap;
    ErrorTrap::failed = false;

    if (pw < 0 || ph < 0) {
        XWindowAttributes attributes {};
        const Window measured = window ? static_cast<Window>(window) : root;
        if (!XGetWindowAttributes(display.get(), measured, &attributes) || ErrorTrap::failed) {
            warnCaptureFailed();
            return QPixmap();
        }
        if (pw < 0) {
            pw = attributes.width;
        }
        if (ph < 0) {
            ph = attributes.height;
        }
    }
    if (pw <= 0 || ph <= 0) {
        warnCaptureFailed();
        return QPixmap();
    }

    const QRect area(physical.x(), physical.y(), pw, ph);
    const QRect desktop(0, 0, DisplayWidth(display.get(), DefaultScreen(display.get())),
                        DisplayHeight(display.get(), DefaultScreen(display.get())));
    const QRect visible = area.intersected(desktop);
    std::unique_ptr<SharedPixels> shared;
    if (!visible.isEmpty() && trySharedMemory(display.get())) {
        shared = grabShared(display.get(), root, visible, visible == area);
        if (!shared) {
            sharedMemoryBroken = true;
            sayFallback("the X server could not share memory with this process");
        }
    }
    usedShared = shared != nullptr;
    std::unique_ptr<XImage, ImageDestroyer> pixels;
    if (!visible.isEmpty() && !shared) {
        pixels.reset(XGetImage(display.get(), root, visible.x(), visible.y(), static_cast<unsigned>(visible.width()),
                               static_cast<unsigned>(visible.height()), AllPlanes, ZPixmap));
        XSync(display.get(), False);
        if (!pixels || ErrorTrap::failed) {
            warnCaptureFailed();
            return QPixmap();
        }
    }
    XImage* grabbed = shared ? shared->image.get() : pixels.get();

    QImage image;
    if (grabbed && visible == area && adoptable(*grabbed)) {
        // The usual case: the grabbed pixels already are the picture. The
        // image takes over their buffer instead of copying it.
        if (!shared || !shared->opaque) {
            makeOpaque(*grabbed, 0, grabbed->height);
        }
        uchar* bits = reinterpret_cast<uchar*>(grabbed->data);
        if (shared) {
            image = QImage(bits, pw, ph, grabbed->bytes_per_line, QImage::Format_RGB32, &releaseSharedPixels,
                           shared->segment.shmaddr);
            grabbed->data = nullptr;
        } else {
            image = QImage(bits, pw, ph, grabbed->bytes_per_line, QImage::Format_RGB32,
                           [](void* adopted) { XDestroyImage(static_cast<XImage*>(adopted)); }, grabbed);
            pixels.release();
        }
    } else {
        // Whatever lies off the desktop comes back black, as a plain blit gives it.
        image = QImage(pw, ph, QImage::Format_RGB32);
        if (image.isNull()) {
            warnCaptureFailed();
            return QPixmap();
        }
        image.fill(Qt::black);
        if (grabbed) {
            copyOpaque(*grabbed, image, visible.x() - area.x(), visible.y() - area.y());
        }
        if (shared) {
            releaseSharedPixels(shared->segment.shmaddr);
            grabbed->data = nullptr;
        }
    }
    drawPointer(display.get(), image, area);
    return QPixmap::fromImage(std::move(image));
}
