#include "platform/linux/X11ScreenCapture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPoint>
#include <QPainter>
#include <QRect>
#include <QScreen>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstring>
#include <memory>

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

} // namespace

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
    // Whatever lies off the desktop comes back black, as a plain blit gives it.
    QImage image(pw, ph, QImage::Format_RGB32);
    if (image.isNull()) {
        warnFailed();
        return QPixmap();
    }
    image.fill(Qt::black);
    const QRect desktop(0, 0, DisplayWidth(display.get(), DefaultScreen(display.get())),
                        DisplayHeight(display.get(), DefaultScreen(display.get())));
    const QRect visible = area.intersected(desktop);
    if (!visible.isEmpty()) {
        const std::unique_ptr<XImage, ImageDestroyer> pixels(
            XGetImage(display.get(), root, visible.x(), visible.y(),
                      static_cast<unsigned>(visible.width()), static_cast<unsigned>(visible.height()),
                      AllPlanes, ZPixmap));
        XSync(display.get(), False);
        if (!pixels || ErrorTrap::failed) {
            warnFailed();
            return QPixmap();
        }
        copyOpaque(*pixels, image, visible.x() - area.x(), visible.y() - area.y());
    }
    drawPointer(display.get(), image, area);
    return QPixmap::fromImage(image);
}
