// Writing and reading board files.

#include "canvas/BoardFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <utility>

#include <unzip.h>
#include <zip.h>

namespace {

const char kSnapshotEntry[] = "snapshot.png";
const char kBoardEntry[] = "board.json";
const char kFormatName[] = "scribbloom-board";
// What an entry may hold once inflated; a larger one is refused before it
// is read, and a header that lies about it is caught while reading.
constexpr qint64 kMaxSnapshotBytes = 256LL << 20;
constexpr qint64 kMaxBoardBytes = 192LL << 20;
// No screen is wider or taller than this.
constexpr int kMaxSide = 16384;

bool fail(QString* problem, const char* why)
{
    if (problem)
        *problem = QCoreApplication::translate("BoardFile", why);
    return false;
}

bool addEntry(zipFile zip, const char* name, const QByteArray& bytes)
{
    zip_fileinfo info = {};
    if (zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION,
                              0)
        != ZIP_OK)
        return false;
    const bool written = zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

// The entry `name` of the open archive, inflated, when it holds at most `limit` bytes.
bool readEntry(unzFile zip, const char* name, qint64 limit, QByteArray* bytes)
{
    if (unzLocateFile(zip, name, 1) != UNZ_OK)
        return false;
    unz_file_info64 info = {};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || info.uncompressed_size > static_cast<ZPOS64_T>(limit))
        return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    // Grown as it is read, never sized from what the header says.
    QByteArray out;
    char buffer[64 * 1024];
    bool sound = true;
    for (;;) {
        const int n = unzReadCurrentFile(zip, buffer, sizeof buffer);
        if (n < 0) {
            sound = false;
            break;
        }
        if (n == 0)
            break;
        if (out.size() + n > limit) {
            sound = false;
            break;
        }
        out.append(buffer, n);
    }
    // Closing checks the entry's CRC once it was read to its end.
    sound = unzCloseCurrentFile(zip) == UNZ_OK && sound;
    if (sound)
        *bytes = std::move(out);
    return sound;
}

} // namespace

namespace BoardFile {

bool write(const QString& path, const Contents& contents, QString* problem)
{
    if (contents.snapshot.isNull())
        return fail(problem, "There is no board to save.");
    QJsonObject board;
    board.insert(QStringLiteral("format"), QLatin1String(kFormatName));
    board.insert(QStringLiteral("version"), kFormatVersion);
    board.insert(QStringLiteral("width"), contents.snapshot.width());
    board.insert(QStringLiteral("height"), contents.snapshot.height());
    board.insert(QStringLiteral("ratio"), contents.ratio);
    board.insert(QStringLiteral("state"), BoardCodec::stateToJson(contents.state));
    const QByteArray json = QJsonDocument(board).toJson(QJsonDocument::Compact);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage snapshot = contents.snapshot;
    snapshot.setDevicePixelRatio(1.0);
    if (!QImageWriter(&buffer, "png").write(snapshot))
        return fail(problem, "The board's picture could not be encoded.");

    // The archive is made in a scratch file, then put in place whole.
    QTemporaryFile scratch;
    if (!scratch.open())
        return fail(problem, "No scratch file could be made for the board.");
    scratch.close();
    zipFile zip = zipOpen64(QFile::encodeName(scratch.fileName()).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return fail(problem, "No scratch file could be made for the board.");
    const bool built = addEntry(zip, kBoardEntry, json) && addEntry(zip, kSnapshotEntry, png);
    if (zipClose(zip, nullptr) != ZIP_OK || !built)
        return fail(problem, "The board could not be written.");
    if (!scratch.open())
        return fail(problem, "The board could not be written.");
    const QByteArray archive = scratch.readAll();

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size() || !file.commit()) {
        if (problem)
            *problem = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool read(const QString& path, Contents* contents, QString* problem)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        return fail(problem, "The file is not a Scribbloom board.");
    QByteArray json;
    QByteArray png;
    const bool haveBoard = readEntry(zip, kBoardEntry, kMaxBoardBytes, &json);
    const bool havePicture = haveBoard && readEntry(zip, kSnapshotEntry, kMaxSnapshotBytes, &png);
    unzClose(zip);
    if (!haveBoard || !havePicture)
        return fail(problem, "The file is not a Scribbloom board, or it is damaged.");

    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
    const QJsonObject board = document.object();
    if (parsed.error != QJsonParseError::NoError || !document.isObject()
        || board.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName))
        return fail(problem, "The file is not a Scribbloom board, or it is damaged.");
    if (board.value(QStringLiteral("version")).toInt(0) != kFormatVersion)
        return fail(problem, "The board was saved by a newer version of Scribbloom.");

    Contents read;
    read.ratio = board.value(QStringLiteral("ratio")).toDouble(0);
    if (!(read.ratio >= 0.25 && read.ratio <= 8))
        return fail(problem, "The file is not a Scribbloom board, or it is damaged.");
    QString why;
    if (!BoardCodec::stateFromJson(board.value(QStringLiteral("state")).toObject(), &read.state, &why)) {
        if (problem)
            *problem = QCoreApplication::translate("BoardFile", "The board is damaged: %1.").arg(why);
        return false;
    }

    // Measured before it is decoded: a small file may claim a vast picture.
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide
        || size.width() != board.value(QStringLiteral("width")).toInt()
        || size.height() != board.value(QStringLiteral("height")).toInt())
        return fail(problem, "The board's picture is damaged.");
    read.snapshot = reader.read().convertToFormat(QImage::Format_RGB32);
    if (read.snapshot.isNull())
        return fail(problem, "The board's picture is damaged.");
    *contents = std::move(read);
    return true;
}

bool fitTo(Contents* contents, const QSize& pixels)
{
    const QSize from = contents->snapshot.size();
    if (from == pixels || from.isEmpty() || pixels.isEmpty())
        return false;
    const double sx = double(pixels.width()) / from.width();
    const double sy = double(pixels.height()) / from.height();
    contents->snapshot = contents->snapshot.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double widths = std::min(sx, sy);
    for (ItemData& item : contents->state.items) {
        for (QPoint& p : item.points)
            p = QPoint(qRound(p.x() * sx), qRound(p.y() * sy));
        const auto size = item.properties.find(QStringLiteral("size"));
        if (size != item.properties.end()) {
            const int scaled = std::max(1, qRound(size.value().toInt() * widths));
            size.value() = QString::number(scaled);
        }
        // A selection's end is kept in its own properties.
        const std::pair<const char*, double> ends[] = {{"selectedCompleteX", sx}, {"selectedCompleteY", sy}};
        for (const auto& [key, factor] : ends) {
            const auto end = item.properties.find(QLatin1String(key));
            if (end != item.properties.end())
                end.value() = QString::number(qRound(end.value().toInt() * factor));
        }
    }
    return true;
}

} // namespace BoardFile
