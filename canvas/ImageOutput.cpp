#include "canvas/ImageOutput.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

QString ImageOutput::defaultSavePath(const QDateTime& now)
{
    const QString name = QStringLiteral("Scribbloom_") + now.toString(QStringLiteral("yyyyMMdd_hhmmss")) + QStringLiteral(".jpg");
    return QStringLiteral("./") + name;
}

QString ImageOutput::saveFilter()
{
    return QStringLiteral("JPEG File (*.jpg);;BMP File (*.bmp);;PNG File (*.png)");
}

QRect ImageOutput::deviceArea(const QRectF& selection, const QSize& boardSize)
{
    const QRectF n = selection.normalized();
    const QRect area(int(n.x()), int(n.y()), int(n.width()), int(n.height()));
    return area.intersected(QRect(QPoint(0, 0), boardSize));
}

QImage ImageOutput::grabAll(QWidget* view)
{
    if (!view)
        return QImage();
    QImage image = view->grab().toImage();
    // The pixels are what matter from here on; a ratio left on the image
    // would make other programs show it shrunk.
    image.setDevicePixelRatio(1.0);
    return image;
}

bool ImageOutput::writeImage(const QImage& image, const QString& path, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (image.isNull())
        return fail(QCoreApplication::translate("ImageOutput", "There is no picture to save."));

    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        return fail(QCoreApplication::translate("ImageOutput", "The file name must end in .jpg, .bmp or .png."));

    // Encode in memory first: the encoders do not report a write that the
    // disk refused, the file commit below does.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return fail(writer.errorString());
    buffer.close();

    QSaveFile file(path);
    // Replacing a file in a folder we may not create files in still works.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
