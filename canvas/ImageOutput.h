#pragma once

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

class QWidget;

// How the board leaves the program as an image: the area of the window to
// take, the name proposed to the user and the writing of the file.
class ImageOutput
{
public:
    // "./Scribbloom_yyyyMMdd_hhmmss.jpg" for the given moment.
    static QString defaultSavePath(const QDateTime& now);

    // The file dialog's filter list, JPEG first.
    static QString saveFilter();

    // A selection in device pixels, as the user dragged it, turned into the
    // area of the board it covers: dragged up or left it is the same area as
    // dragged down and right, and it never reaches past the board's edges.
    static QRect deviceArea(const QRectF& selection, const QSize& boardSize);

    // The whole window at full physical resolution.
    static QImage grabAll(QWidget* view);

    // Writes `image` to `path` in the format its suffix names. On failure
    // returns false and puts a reason a user can act on into `reason`; an
    // existing file is only replaced once the new one is completely written.
    static bool writeImage(const QImage& image, const QString& path, QString* reason);
};
