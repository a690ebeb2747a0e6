#include "platform/linux/X11ScreenCapture.h"

#include "platform/ProcessMemory.h"

#include <QGuiApplication>
#include <QImage>
#include <QPoint>
#include <QPainter>
#include <QRect>
#include <QScreen>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Same text as the other platforms write, so logs read alike everywhere.
void warnFailed()
{
    qWarning("QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
}

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
    ErrorTrap()
        : previous(XSetErrorHandler(&ErrorTrap::onError))
    {
    }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    static bool failed;

private:
    static int onError(Display*, XErrorEvent*)
    {
        failed = true;
        return 0;
    }
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

bool ErrorTrap::failed = false;

int maskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) {
        return 0;
    }
    const unsigned long value = (pixel & mask) >> maskShift(mask);
    const unsigned long max = mask >> maskShift(mask);
    return static_cast<int>(value * 255 / max);
}

// Copies the X image into `target` at (dx, dy), every pixel fully opaque.
void copyOpaque(const XImage& source, QImage& target, int dx, int dy)
{
    const bool directRgb = source.bits_per_pixel == 32 && source.byte_order == LSBFirst
        && source.red_mask == 0xFF0000 && source.green_mask == 0xFF00 && source.blue_mask == 0xFF;
    for (int y = 0; y < source.height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(dy + y)) + dx;
        if (directRgb) {
            const auto* in = reinterpret_cast<const uint32_t*>(source.data + y * source.bytes_per_line);
            for (int x = 0; x < source.width; ++x) {
                out[x] = in[x] | 0xFF000000u;
            }
            continue;
        }
        for (int x = 0; x < source.width; ++x) {
            const unsigned long pixel = XGetPixel(const_cast<XImage*>(&source), x, y);
            out[x] = qRgb(channel(pixel, source.red_mask), channel(pixel, source.green_mask),
                          channel(pixel, source.blue_mask));
        }
    }
}

// Draws the pointer's picture with its top-left corner at the pointer's
// position, when that position lies strictly inside the captured area.
void drawPointer(Display* display, QImage& target, const QRect& area)
{
    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
        return;
    }
    const std::unique_ptr<XFixesCursorImage, XFreer> cursor(XFixesGetCursorImage(display));
    if (!cursor || cursor->width == 0 || cursor->height == 0) {
        return;
    }
    const int cx = cursor->x;
    const int cy = cursor->y;
    if (!(area.x() < cx && cx < area.x() + area.width() && area.y() < cy
          && cy < area.y() + area.height())) {
        return;
    }
    QImage picture(cursor->width, cursor->height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            // Each pixel sits in an unsigned long whose upper half is junk.
            out[x] = static_cast<uint32_t>(cursor->pixels[y * picture.width() + x]);
        }
    }
    QPainter painter(&target);
    painter.drawImage(cx - area.x(), cy - area.y(), picture);
}

// The X server writes the pixels straight into a segment shared with this
// process instead of sending them through the socket. The segment is marked
// for removal as soon as both sides have it attached, so it goes away with
// the last image using it even if this process dies.
struct SharedPixels {
    XShmSegmentInfo segment {};
    std::unique_ptr<XImage, ImageDestroyer> image;
    // Every pixel's pad byte was set opaque on the way.
    bool opaque = false;
};

void releaseSharedPixels(void* address)
{
    shmdt(address);
}

// Whether the X image's own buffer can serve as an opaque 32-bit picture.
bool adoptable(const XImage& image)
{
    return image.bits_per_pixel == 32 && image.byte_order == LSBFirst && image.red_mask == 0xFF0000
        && image.green_mask == 0xFF00 && image.blue_mask == 0xFF && image.bytes_per_line % 4 == 0;
}

// The server leaves the pad byte of each pixel undefined: set it opaque in place.
void makeOpaque(XImage& image, int firstRow, int rows)
{
    for (int y = firstRow; y < firstRow + rows; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.data + static_cast<qsizetype>(y) * image.bytes_per_line);
        for (int x = 0; x < image.width; ++x) {
            row[x] |= 0xFF000000u;
        }
    }
}

// The segment is filled band by band on two processors: a helper thread
// takes the fresh pages of the next band while the server copies the
// screen into the band before, then sets the pad bytes of bands the server
// has finished, so neither the page taking nor that pass waits for the
// whole copy.
class BandedGrab {
public:
    BandedGrab(XImage& image, int bands)
        : image(image)
        , bands(bands)
        , rowsPerBand((image.height + bands - 1) / bands)
    {
    }

    int count() const { return bands; }
    int firstRow(int band) const { return band * rowsPerBand; }
    int rows(int band) const { return std::min(rowsPerBand, image.height - firstRow(band)); }
    char* rowAddress(int row) const { return image.data + static_cast<qsizetype>(row) * image.bytes_per_line; }

    void start(bool setOpaque)
    {
        const bool started = helper.start([this, setOpaque] {
            for (int band = 0; band < bands && !isStopped(); ++band) {
                char* begin = rowAddress(firstRow(band));
                ProcessMemory::takePages(begin, static_cast<size_t>(rowAddress(firstRow(band) + rows(band)) - begin));
                advance(populated);
            }
            if (!setOpaque) {
                return;
            }
            for (int band = 0; band < bands; ++band) {
                if (!waitFor(grabbed, band + 1)) {
                    return;
                }
                makeOpaque(image, firstRow(band), rows(band));
            }
            opaqueDone = true;
        });
        if (!started) {
            // No helper: the server writes into pages nobody took ahead,
            // and the caller sets the pad bytes itself.
            std::lock_guard<std::mutex> lock(mutex);
            populated = bands;
        }
    }

    bool bandReady(int band) { return waitFor(populated, band + 1); }
    void bandGrabbed() { advance(grabbed); }

    // Ends the helper; after a failure it stops at once.
    bool finish(bool failed)
    {
        if (failed) {
            std::lock_guard<std::mutex> lock(mutex);
            stopped = true;
            changed.notify_all();
        }
        helper.join();
        return opaqueDone;
    }

private:
    bool isStopped()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stopped;
    }
    void advance(int& counter)
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++counter;
        changed.notify_all();
    }
    bool waitFor(const int& counter, int value)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return counter >= value || stopped; });
        return counter >= value;
    }

    XImage& image;
    const int bands;
    const int rowsPerBand;
    HelperThread helper;
    std::mutex mutex;
    std::condition_variable changed;
    int populated = 0;
    int grabbed = 0;
    bool stopped = false;
    bool opaqueDone = false;
};

// About 2 MB per band: small enough to overlap well, large enough that the
// round trip per band stays a small part of it.
int bandCount(size_t bytes)
{
    constexpr size_t kBandBytes = size_t(2) << 20;
    return static_cast<int>(std::clamp<size_t>(bytes / kBandBytes, 1, 16));
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

    BandedGrab grab(image, bandCount(bytes));
    grab.start(wholeArea && adoptable(image));
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
            grab.bandGrabbed();
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

} // namespace

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
    // Qt places windows in logical pixels; the X server counts physical ones.
    // Each screen keeps its top-left corner and scales from there by its own ratio.
    float scale = 1.0f;
    QPoint origin;
    QScreen* screen = QGuiApplication::screenAt(QRect(x, y, qMax(width, 1), qMax(height, 1)).center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        scale = static_cast<float>(screen->devicePixelRatio());
        origin = screen->geometry().topLeft();
    }
    int px = origin.x() + static_cast<int>(static_cast<float>(x - origin.x()) * scale);
    int py = origin.y() + static_cast<int>(static_cast<float>(y - origin.y()) * scale);
    int pw = static_cast<int>(static_cast<float>(width) * scale);
    int ph = static_cast<int>(static_cast<float>(height) * scale);

    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        warnFailed();
        return QPixmap();
    }
    const Window root = DefaultRootWindow(display.get());
    ErrorTrap trap;
    ErrorTrap::failed = false;

    if (pw < 0 || ph < 0) {
        XWindowAttributes attributes {};
        const Window measured = window ? static_cast<Window>(window) : root;
        if (!XGetWindowAttributes(display.get(), measured, &attributes) || ErrorTrap::failed) {
            warnFailed();
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
        warnFailed();
        return QPixmap();
    }

    const QRect area(px, py, pw, ph);
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
            warnFailed();
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
            warnFailed();
            return QPixmap();
        }
        image.fill(Qt::black);
        if (grabbed) {
            copyOpaque(*grabbed, image, visible.x() - area.x(), visible.y() - area.y());
        }
        if (shared) {
            shmdt(shared->segment.shmaddr);
            grabbed->data = nullptr;
        }
    }
    drawPointer(display.get(), image, area);
    return QPixmap::fromImage(std::move(image));
}
