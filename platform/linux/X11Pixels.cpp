// Pixel layout and conversion of grabbed X images.

#include "platform/linux/X11Pixels.h"

#include <QImage>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

namespace x11 {

namespace {

// 32 bits a pixel, blue in the lowest byte: Qt's own layout.
bool directRgb32(const XImage& image)
{
    return image.bits_per_pixel == 32 && image.byte_order == LSBFirst && image.red_mask == 0xFF0000
        && image.green_mask == 0xFF00 && image.blue_mask == 0xFF;
}

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

} // namespace

bool adoptable(const XImage& image)
{
    return directRgb32(image) && image.bytes_per_line % 4 == 0;
}

void makeOpaque(XImage& image, int firstRow, int rows)
{
    for (int y = firstRow; y < firstRow + rows; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.data + static_cast<qsizetype>(y) * image.bytes_per_line);
        for (int x = 0; x < image.width; ++x) {
            row[x] |= 0xFF000000u;
        }
    }
}

void copyOpaque(const XImage& source, QImage& target, int dx, int dy)
{
    const bool direct = directRgb32(source);
    for (int y = 0; y < source.height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(dy + y)) + dx;
        if (direct) {
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

} // namespace x11
