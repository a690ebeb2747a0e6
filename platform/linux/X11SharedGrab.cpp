// Making, attaching, filling and releasing the shared segment of a grab.

// Qt's headers before Xlib's, whose macros clash with them.
#include <QRect>

#include "platform/BandedPageTaker.h"
#include "platform/linux/X11Pixels.h"
#include "platform/linux/X11SharedGrab.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstddef>

namespace x11 {

void releaseSharedPixels(void* address)
{
    shmdt(address);
}

std::unique_ptr<SharedPixels> grabShared(Display* display, Window root, const QRect& area, bool wholeArea)
{
    auto shared = std::make_unique<SharedPixels>();
    const int screen = DefaultScreen(display);
    shared->image.reset(XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                                        ZPixmap, nullptr, &shared->segment, static_cast<unsigned>(area.width()),
                                        static_cast<unsigned>(area.height())));
    if (!shared->image) {
        return nullptr;
    }
    XImage& image = *shared->image;
    const size_t bytes = static_cast<size_t>(image.bytes_per_line) * static_cast<size_t>(area.height());
    shared->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shared->segment.shmid < 0) {
        image.data = nullptr;
        return nullptr;
    }
    void* address = shmat(shared->segment.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shared->segment.shmid, IPC_RMID, nullptr);
        image.data = nullptr;
        return nullptr;
    }
    shared->segment.shmaddr = static_cast<char*>(address);
    image.data = shared->segment.shmaddr;
    shared->segment.readOnly = False;

    BandedPageTaker grab(image.data, static_cast<size_t>(image.bytes_per_line), image.height,
                         BandedPageTaker::bandsFor(bytes));
    BandedPageTaker::BandDone setPadBytes;
    if (wholeArea && adoptable(image)) {
        setPadBytes = [&image](int firstRow, int rows) { makeOpaque(image, firstRow, rows); };
    }
    grab.start(std::move(setPadBytes));
    ErrorTrap::failed = false;
    // A server on another machine cannot attach: that shows as an error here.
    const bool attached = XShmAttach(display, &shared->segment) && (XSync(display, False), !ErrorTrap::failed);
    shmctl(shared->segment.shmid, IPC_RMID, nullptr);
    bool got = attached;
    for (int band = 0; got && band < grab.count(); ++band) {
        if (!grab.bandReady(band)) {
            got = false;
            break;
        }
        // A picture of the band alone, over its rows of the segment.
        std::unique_ptr<XImage, ImageDestroyer> part(
            XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                            grab.rowAddress(grab.firstRow(band)), &shared->segment,
                            static_cast<unsigned>(area.width()), static_cast<unsigned>(grab.rows(band))));
        got = part
            && XShmGetImage(display, root, part.get(), area.x(), area.y() + grab.firstRow(band), AllPlanes)
            && (XSync(display, False), !ErrorTrap::failed);
        if (part) {
            part->data = nullptr;
        }
        if (got) {
            grab.bandWritten();
        }
    }
    shared->opaque = grab.finish(!got);
    if (attached) {
        XShmDetach(display, &shared->segment);
        XSync(display, False);
    }
    if (!got) {
        shmdt(address);
        image.data = nullptr;
        ErrorTrap::failed = false;
        return nullptr;
    }
    return shared;
}

} // namespace x11
