#pragma once

// A full-size image to paint on whose memory is taken tile by tile as it is
// first written. A tile never written stands for the snapshot, which is
// what every composite starts as. Each tile is one memory page of a row
// wide, so the memory a composite holds follows the area drawn on, not the
// size of the screen.

#include <QImage>
#include <QRect>

#include <memory>
#include <vector>

class QPainter;

class TiledComposite
{
public:
    // The tile grid for composites over `shown` (the canvas image).
    struct Grid {
        int tileWidth = 1;
        int tileHeight = 4;
        int columns = 0;
        int rows = 0;
        QRect image;

        static Grid over(const QImage& shown);
        QRect tile(int column, int row) const;
        size_t index(int column, int row) const;
    };

    TiledComposite();
    ~TiledComposite();
    TiledComposite(const TiledComposite&) = delete;
    TiledComposite& operator=(const TiledComposite&) = delete;

    // Takes (unwritten) memory for an image like `shown`: nothing is
    // resident until written. False when the memory is not there.
    bool allocate(const QImage& shown, const Grid& grid);
    bool allocated() const { return painting != nullptr; }

    QImage& image() { return pixels; }
    QPainter* painter() const { return painting.get(); }

    // Gives the tiles of `region` pixels of their own: the snapshot's,
    // unless `covered` (which the caller is about to write whole) holds them.
    void write(const QRect& region, const QRect& covered, const QImage& snapshot);
    // Copies `region` into `target`: written tiles from this image, the
    // others from the snapshot.
    void copyTo(QImage& target, const QRect& region, const QImage& snapshot) const;

    int tilesWritten() const { return written; }
    qint64 bytesWritten() const;

    // Copies the pixels of `area` from one image to another of the same
    // format and size, through the target painter's own buffer.
    static void copyPixels(const QImage& from, QImage& to, const QRect& area);

private:
    QImage pixels;
    std::unique_ptr<QPainter> painting;
    Grid grid;
    std::vector<bool> tiles;
    int written = 0;
};
