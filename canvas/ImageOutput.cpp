#include "canvas/ImageOutput.h"

#include "canvas/BoardFile.h"
#include "canvas/CanvasView.h"
#include "canvas/GraphManager.h"
#include "canvas/ItemFactory.h"
#include "canvas/PrintGrapWindow.h"
#include "canvas/Screenview.h"
#include "widgets/MsgBox.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// The folder saved to last; empty until the first save of this run.
QString& lastSaveFolder()
{
    static QString folder;
    return folder;
}

} // namespace

ImageOutput::ImageOutput(CanvasView& canvas)
    : canvas(canvas)
{
}

QRectF ImageOutput::wholeBoard() const
{
    const double ratio = canvas.canvasImage.isNull() ? 1.0 : canvas.canvasImage.devicePixelRatio();
    return QRectF(QPointF(0, 0), QSizeF(canvas.canvasImage.size()) / ratio);
}

void ImageOutput::grabRect(const QRectF& r)
{
    const QImage& board = canvas.canvasImage;
    const QRect area = deviceArea(r, board.size(), board.isNull() ? 1.0 : board.devicePixelRatio());
    if (area.isEmpty()) {
        canvas.outputPixmap = QPixmap();
        return;
    }
    QImage cut = board.copy(area);
    // The pixels are what matter from here on; a ratio left on the image
    // would make other programs show it shrunk.
    cut.setDevicePixelRatio(1.0);
    canvas.outputPixmap = QPixmap::fromImage(cut);
}

void ImageOutput::saveRect(const QRectF& r)
{
    grabRect(r);
    QWidget* parent = canvas.view;
    const QString proposed = QDir(saveFolder()).filePath(defaultFileName(QDateTime::currentDateTime()));
    QString name;
    for (QString offered = proposed;;) {
        QString chosenFilter;
        const QString typed = QFileDialog::getSaveFileName(parent, QObject::tr("Save Image"), offered, saveFilter(),
                                                           &chosenFilter);
        if (typed.isEmpty()) {
            return;
        }
        name = completeName(typed, chosenFilter);
        // The dialog asked about the name as typed; with the suffix added it
        // names another file, which is asked about with the dialog's own words.
        if (name == typed || !QFileInfo::exists(name)) {
            break;
        }
        const QString question = QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                                     .arg(QFileInfo(name).fileName());
        if (MsgBox::question(parent, QObject::tr("Save Image"), question, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No)
            == QMessageBox::Yes) {
            break;
        }
        offered = name;
    }
    QString reason;
    const bool saved = QFileInfo(name).suffix().compare(QLatin1String(BoardFile::kSuffix), Qt::CaseInsensitive) == 0
        ? writeBoard(name, &reason)
        : writeImage(canvas.outputPixmap.toImage(), name, &reason);
    if (!saved) {
        // Never fail quietly: the user believes the picture is kept.
        MsgBox::information(parent, QObject::tr("Save Image"),
                            QCoreApplication::translate("CanvasView", "The image could not be saved as %1.\n%2")
                                .arg(QDir::toNativeSeparators(name), reason),
                            QMessageBox::Ok);
        return;
    }
    rememberSaveFolder(name);
}

void ImageOutput::saveAll()
{
    saveRect(wholeBoard());
}

void ImageOutput::copyRect(const QRectF& r)
{
    grabRect(r);
    if (canvas.outputPixmap.isNull() || !canvas.clipboard) {
        return;
    }
    // A self-contained image: the clipboard keeps serving it after the board is gone.
    canvas.clipboard->setImage(canvas.outputPixmap.toImage(), QClipboard::Clipboard);
}

void ImageOutput::copyAll()
{
    copyRect(wholeBoard());
}

void ImageOutput::print()
{
    QImage board = canvas.canvasImage.copy();
    board.setDevicePixelRatio(1.0);
    PrintGrapWindow window(nullptr, board);
    // Belonging to the board keeps it above the board on desktops that show
    // nothing else over a full-screen window. It sets its own window flags
    // without a window type, so it is made a dialog of the board explicitly.
    if (canvas.view) {
        window.setParent(canvas.view, window.windowFlags() | Qt::Dialog);
    }
    window.exec();
}

QString ImageOutput::defaultFileName(const QDateTime& now)
{
    return QStringLiteral("Scribbloom_") + now.toString(QStringLiteral("yyyyMMdd_hhmmss")) + QStringLiteral(".jpg");
}

QString ImageOutput::saveFolder()
{
    if (!lastSaveFolder().isEmpty() && QFileInfo(lastSaveFolder()).isDir()) {
        return lastSaveFolder();
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QDir().mkpath(pictures)) {
        return pictures;
    }
    return QDir::homePath();
}

void ImageOutput::rememberSaveFolder(const QString& savedPath)
{
    lastSaveFolder() = QFileInfo(savedPath).absolutePath();
}

QString ImageOutput::saveFilter()
{
    return QStringLiteral("JPEG File (*.jpg);;BMP File (*.bmp);;PNG File (*.png);;Scribbloom board (*.sbboard)");
}

QString ImageOutput::completeName(const QString& name, const QString& chosenFilter)
{
    if (!QFileInfo(name).suffix().isEmpty()) {
        return name;
    }
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(chosenFilter);
    return name + (match.hasMatch() ? match.captured(1) : QStringLiteral(".jpg"));
}

QRect ImageOutput::deviceArea(const QRectF& selection, const QSize& boardSize, double ratio)
{
    const QRectF n = selection.normalized();
    const QRect area(int(n.x() * ratio), int(n.y() * ratio), int(n.width() * ratio), int(n.height() * ratio));
    return area.intersected(QRect(QPoint(0, 0), boardSize));
}
bool ImageOutput::writeBoard(const QString& path, QString* reason) const
{
    // The whole board, to go on with later: its snapshot (whatever
    // backdrop shows) and its history, undo and redo included.
    const GraphManager* history = canvas.view ? canvas.view->manager() : nullptr;
    if (!history) {
        if (reason)
            *reason = QCoreApplication::translate("ImageOutput", "There is no picture to save.");
        return false;
    }
    BoardFile::Contents contents;
    contents.snapshot = history->snapshot();
    contents.ratio = canvas.deviceRatio;
    contents.state = history->state();
    contents.state.nextBadge = ItemFactory::nextBadge;
    return BoardFile::write(path, contents, reason);
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
