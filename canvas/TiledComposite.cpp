// Composite images whose memory is taken tile by tile.

#include "canvas/TiledComposite.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The unit in which memory is handed out: composite rows are padded to a
// whole number of these, so each tile column is its own pages.
constexpr int kPageBytes = 4096;

void freeBuffer(void* buffer)
{
    std::free(buffer);
}

} // namespace

TiledComposite::Grid TiledComposite::Grid::over(const QImage& shown)
{
    Grid grid;
    grid.image = QRect(QPoint(0, 0), shown.size());
    // Narrower on a small board, where memory hardly matters, so that a
    // change there too holds only the tiles around it.
    const int pageWidth = std::max(1, kPageBytes / std::max(1, shown.depth() / 8));
    grid.tileWidth = shown.width() >= 4 * pageWidth ? pageWidth : std::max(8, (shown.width() + 3) / 4);
    grid.columns = (shown.width() + grid.tileWidth - 1) / grid.tileWidth;
    grid.rows = (shown.height() + grid.tileHeight - 1) / grid.tileHeight;
    return grid;
}

QRect TiledComposite::Grid::tile(int column, int row) const
{
    return QRect(column * tileWidth, row * tileHeight, tileWidth, tileHeight).intersected(image);
}

size_t TiledComposite::Grid::index(int column, int row) const
{
    return static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column);
}

TiledComposite::TiledComposite() = default;

TiledComposite::~TiledComposite()
{
    // The painter goes before the memory it paints on.
    painting.reset();
}

bool TiledComposite::allocate(const QImage& shown, const Grid& tileGrid)
{
    const int bytesPerPixel = shown.depth() / 8;
    const qsizetype stride = (static_cast<qsizetype>(shown.width()) * bytesPerPixel + kPageBytes - 1)
        / kPageBytes * kPageBytes;
    // Left unwritten: the system lends memory to such a buffer page by page
    // as it is first written, and only written tiles are ever read.
    void* buffer = std::malloc(static_cast<size_t>(stride) * static_cast<size_t>(shown.height()));
    if (!buffer) {
        return false;
    }
    pixels = QImage(static_cast<uchar*>(buffer), shown.width(), shown.height(), stride, shown.format(), &freeBuffer,
                    buffer);
    // The canvas's pixel ratio and font resolution, so items paint into it
    // exactly as into the canvas.
    pixels.setDevicePixelRatio(shown.devicePixelRatio());
    pixels.setDotsPerMeterX(shown.dotsPerMeterX());
    pixels.setDotsPerMeterY(shown.dotsPerMeterY());
    painting = std::make_unique<QPainter>(&pixels);
    grid = tileGrid;
    tiles.assign(static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows), false);
    written = 0;
    return true;
}

void TiledComposite::write(const QRect& region, const QRect& covered, const QImage& snapshot)
{
    const QRect area = region.intersected(grid.image);
    if (area.isEmpty()) {
        return;
    }
    for (int row = area.top() / grid.tileHeight; row <= area.bottom() / grid.tileHeight; ++row) {
        for (int column = area.left() / grid.tileWidth; column <= area.right() / grid.tileWidth; ++column) {
            const size_t index = grid.index(column, row);
            if (tiles[index]) {
                continue;
            }
            const QRect tile = grid.tile(column, row);
            if (!covered.contains(tile)) {
                copyPixels(snapshot, pixels, tile);
            }
            tiles[index] = true;
            ++written;
        }
    }
}

void TiledComposite::copyTo(QImage& target, const QRect& region, const QImage& snapshot) const
{
    const QRect area = region.intersected(grid.image);
    if (area.isEmpty()) {
        return;
    }
    // Tile by tile: those never written are the snapshot's pixels.
    for (int row = area.top() / grid.tileHeight; row <= area.bottom() / grid.tileHeight; ++row) {
        for (int column = area.left() / grid.tileWidth; column <= area.right() / grid.tileWidth; ++column) {
            copyPixels(tiles[grid.index(column, row)] ? pixels : snapshot, target,
                       grid.tile(column, row).intersected(area));
        }
    }
}

qint64 TiledComposite::bytesWritten() const
{
    return static_cast<qint64>(grid.tileWidth) * grid.tileHeight * (pixels.depth() / 8) * written;
}

void TiledComposite::copyPixels(const QImage& from, QImage& to, const QRect& area)
{
    if (area.isEmpty()) {
        return;
    }
    const int bytesPerPixel = from.depth() / 8;
    const size_t rowBytes = static_cast<size_t>(area.width()) * static_cast<size_t>(bytesPerPixel);
    // Written through the painter's own buffer: bits() would detach the
    // canvas image from the painter if anyone held a shallow copy of it.
    auto* target = const_cast<uchar*>(to.constBits());
    const qsizetype targetStride = to.bytesPerLine();
    const uchar* source = from.constBits();
    const qsizetype sourceStride = from.bytesPerLine();
    const qsizetype offset = static_cast<qsizetype>(area.x()) * bytesPerPixel;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        std::memcpy(target + y * targetStride + offset, source + y * sourceStride + offset, rowBytes);
    }
}
