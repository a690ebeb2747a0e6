// The pointer's picture, read through XFixes and painted into a grab.

#include "platform/linux/X11Pointer.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/linux/XlibGuards.h"

#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <memory>

namespace x11 {

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

} // namespace x11
