#pragma once

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

class CanvasView;

// How the board leaves the program: saved as a file, copied to the
// clipboard or printed. What leaves is the board itself, the composed image
// at full physical resolution: never the window's zoom, the selection
// marquee, an open editor or a window that happens to lie over the board.
class ImageOutput
{
public:
    explicit ImageOutput(CanvasView& canvas);

    // Keeps the area `r` (item pixels, as the user dragged it) of the board
    // in the canvas's output pixmap.
    void grabRect(const QRectF& r);
    // The save dialog for that area, then the file; a failure is told.
    void saveRect(const QRectF& r);
    void saveAll();
    // The area onto the system clipboard, as an image of its own.
    void copyRect(const QRectF& r);
    void copyAll();
    // Runs the print window modally over the whole board.
    void print();

    // The whole board as it is now, in item pixels.
    QRectF wholeBoard() const;

    // "Scribbloom_yyyyMMdd_hhmmss.jpg" for the given moment.
    static QString defaultFileName(const QDateTime& now);
    // Where the save dialog opens: the folder saved to last in this run,
    // else the user's pictures folder (made if missing), else the home folder.
    static QString saveFolder();
    // Remembered as the folder the next save dialog opens in.
    static void rememberSaveFolder(const QString& savedPath);

    // The file dialog's filter list, JPEG first.
    static QString saveFilter();
    // `name` as typed in the save dialog, given the suffix of the chosen
    // filter when it has none (".jpg" without a filter).
    static QString completeName(const QString& name, const QString& chosenFilter);

    // A selection in item pixels, as the user dragged it, turned into the
    // area of a board image with `ratio` image pixels per item pixel:
    // dragged up or left it is the same area as dragged down and right, and
    // it never reaches past the board's edges.
    static QRect deviceArea(const QRectF& selection, const QSize& boardSize, double ratio = 1.0);

    // Writes `image` to `path` in the format its suffix names. On failure
    // returns false and puts a reason a user can act on into `reason`; an
    // existing file is only replaced once the new one is completely written.
    static bool writeImage(const QImage& image, const QString& path, QString* reason);

private:
    // Writes the whole board as a board file (".sbboard"), to open again later.
    bool writeBoard(const QString& path, QString* reason) const;

    CanvasView& canvas;
};
