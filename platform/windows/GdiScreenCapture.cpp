#include "platform/windows/GdiScreenCapture.h"

#include "platform/ScreenGeometry.h"

#include <QImage>
#include <QtGlobal>

#include <windows.h>

#include <vector>

namespace {

// A device-dependent bitmap as 32-bit pixels, rows top-down, every pixel
// made opaque; null with a warning when the system hands over no bits.
QPixmap pixmapFromHBITMAP(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof info, &info))
        return QPixmap();
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    BITMAPINFO wanted = {};
    wanted.bmiHeader.biSize = sizeof wanted.bmiHeader;
    wanted.bmiHeader.biWidth = width;
    wanted.bmiHeader.biHeight = -height;
    wanted.bmiHeader.biPlanes = 1;
    wanted.bmiHeader.biBitCount = 32;
    wanted.bmiHeader.biCompression = BI_RGB;
    wanted.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4u;
    std::vector<uchar> bits(static_cast<size_t>(width) * static_cast<size_t>(height) * 4u);
    HDC desktop = GetDC(nullptr);
    const int rows = GetDIBits(desktop, bitmap, 0, static_cast<UINT>(height), bits.data(), &wanted, DIB_RGB_COLORS);
    ReleaseDC(nullptr, desktop);
    if (rows == 0 || width <= 0 || height <= 0) {
        qWarning("QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
        return QPixmap();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return QPixmap();
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const quint32*>(bits.data() + static_cast<size_t>(y) * width * 4u);
        auto* out = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = in[x] | 0xff000000u;
    }
    return QPixmap::fromImage(image);
}

// The pointer's picture at its position, when that lies strictly inside the
// copied rectangle; its top-left corner goes where the pointer points.
void drawPointer(HDC memory, const QRect& area)
{
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    if (!GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING) || !cursor.hCursor)
        return;
    const int cx = cursor.ptScreenPos.x;
    const int cy = cursor.ptScreenPos.y;
    if (!(area.x() < cx && cx < area.x() + area.width() && area.y() < cy && cy < area.y() + area.height()))
        return;
    DrawIcon(memory, cx - area.x(), cy - area.y(), cursor.hCursor);
}

} // namespace

QPixmap GdiScreenCapture::captureScreen(WId window, int x, int y, int width, int height)
{
    // The process is aware of each monitor's scale (Qt asks for that), so GDI
    // counts physical pixels, as the conversion gives them.
    QRect area = platform::physicalArea(QRect(x, y, width, height));
    if (area.width() < 0 || area.height() < 0) {
        QSize client = platform::physicalDesktop().size();
        if (window) {
            RECT rect = {};
            if (GetClientRect(reinterpret_cast<HWND>(window), &rect))
                client = QSize(rect.right - rect.left, rect.bottom - rect.top);
        }
        if (area.width() < 0)
            area.setWidth(client.width());
        if (area.height() < 0)
            area.setHeight(client.height());
    }
    if (area.width() <= 0 || area.height() <= 0) {
        qWarning("GdiScreenCapture: nothing to capture in a %dx%d area", area.width(), area.height());
        return QPixmap();
    }

    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display) {
        qWarning("GdiScreenCapture: the display's device context could not be made");
        return QPixmap();
    }
    HDC memory = CreateCompatibleDC(display);
    HBITMAP bitmap = CreateCompatibleBitmap(display, area.width(), area.height());
    QPixmap pixels;
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, area.width(), area.height(), display, area.x(), area.y(), SRCCOPY | CAPTUREBLT)) {
            drawPointer(memory, area);
            SelectObject(memory, previous);
            pixels = pixmapFromHBITMAP(bitmap);
        } else {
            SelectObject(memory, previous);
            qWarning("GdiScreenCapture: BitBlt failed (error %lu)", GetLastError());
        }
    } else {
        qWarning("GdiScreenCapture: no memory for a %dx%d bitmap", area.width(), area.height());
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    DeleteDC(display);
    return pixels;
}

std::unique_ptr<ScreenCapture> ScreenCapture::createSystem()
{
    return std::make_unique<GdiScreenCapture>();
}
