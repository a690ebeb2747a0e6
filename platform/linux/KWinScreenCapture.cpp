#include "platform/linux/KWinScreenCapture.h"

#include "platform/ScreenGeometry.h"

#include "platform/BoardOpenTrace.h"
#include "platform/linux/DesktopSettle.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QVariantMap>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const kService = "org.kde.KWin.ScreenShot2";
const char* const kObject = "/org/kde/KWin/ScreenShot2";
const char* const kInterface = "org.kde.KWin.ScreenShot2";
// KWin answers at its next frame.
const int kCallTimeoutMs = 10000;
// The pixels follow the answer at once; a pipe that stays quiet this long is dead.
const int kReadTimeoutMs = 10000;

// The read end of the pipe, closed by whoever holds it last.
class ReadEnd {
public:
    explicit ReadEnd(int fd)
        : fd(fd)
    {
    }
    ~ReadEnd()
    {
        if (fd >= 0) {
            close(fd);
        }
    }
    ReadEnd(const ReadEnd&) = delete;
    ReadEnd& operator=(const ReadEnd&) = delete;

    // Fills `into` from the pipe; false with `error` set when it cannot.
    bool read(char* into, qint64 bytes, QString* error) const
    {
        qint64 got = 0;
        while (got < bytes) {
            pollfd ready = {fd, POLLIN, 0};
            const int polled = poll(&ready, 1, kReadTimeoutMs);
            if (polled < 0 && errno == EINTR) {
                continue;
            }
            if (polled <= 0) {
                *error = polled == 0 ? QStringLiteral("no pixels came") : QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            const ssize_t n = ::read(fd, into + got, static_cast<size_t>(bytes - got));
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n <= 0) {
                *error = n == 0 ? QStringLiteral("the pixels ended early") : QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            got += n;
        }
        return true;
    }

    const int fd;
};

// KWin's metadata: an image format Qt knows, 32 bits a pixel.
bool usableFormat(uint format)
{
    switch (static_cast<QImage::Format>(format)) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return true;
    default:
        return false;
    }
}

} // namespace

struct KWinScreenCapture::Request {
    QRect area;
    Done done;
    int serial = 0;
    std::shared_ptr<ReadEnd> pipe;
};

KWinScreenCapture::KWinScreenCapture() = default;

KWinScreenCapture::~KWinScreenCapture()
{
    worker.wait();
}

bool KWinScreenCapture::suitsDesktop()
{
    const QList<QByteArray> desktops = qgetenv("XDG_CURRENT_DESKTOP").toUpper().split(':');
    return desktops.contains("KDE");
}

QPixmap KWinScreenCapture::captureScreen(WId, int x, int y, int width, int height)
{
    return waitForArea(x, y, width, height);
}

void KWinScreenCapture::captureArea(const QRect& area, Done done)
{
    if (refused || !QDBusConnection::sessionBus().isConnected()) {
        portal.captureArea(area, std::move(done));
        return;
    }
    if (pending) {
        done(QPixmap(), tr("A screenshot is already being taken."));
        return;
    }
    pending = std::make_unique<Request>();
    pending->area = area;
    pending->done = std::move(done);
    pending->serial = ++requests;
    const int serial = pending->serial;
    DesktopSettle::afterHiding(this, DesktopSettle::Route::Compositor, [this, serial] {
        if (pending && pending->serial == serial) {
            send();
        }
    });
}

void KWinScreenCapture::send()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        fallBack(QStringLiteral("no pipe for the pixels (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))), false);
        return;
    }
    pending->pipe = std::make_shared<ReadEnd>(ends[0]);
    // The message carries its own copy of the write end.
    const QDBusUnixFileDescriptor writeEnd(ends[1]);
    close(ends[1]);

    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kObject),
                                                       QLatin1String(kInterface), QStringLiteral("CaptureWorkspace"));
    QVariantMap options;
    // Each screen at its own scale, as XWayland counts its pixels when KWin
    // scales it; the pointer drawn in, as on X11.
    options.insert(QStringLiteral("native-resolution"), true);
    options.insert(QStringLiteral("include-cursor"), true);
    call << options << QVariant::fromValue(writeEnd);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, kCallTimeoutMs), this);
    const int serial = pending->serial;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serial](QDBusPendingCallWatcher* finished) { onCallFinished(finished, serial); });
    BoardOpenTrace::step("asked");
}

void KWinScreenCapture::onCallFinished(QDBusPendingCallWatcher* call, int serial)
{
    call->deleteLater();
    if (!pending || pending->serial != serial) {
        return;
    }
    const QDBusPendingReply<QVariantMap> reply = *call;
    if (reply.isError()) {
        // Refused, or a KWin without this call: for good. Not there right
        // now (KWin reloads its effects when the screens change): this time.
        const QString name = reply.error().name();
        fallBack(name + QStringLiteral(": ") + reply.error().message(),
                 name == QLatin1String("org.kde.KWin.ScreenShot2.Error.NoAuthorized")
                     || reply.error().type() == QDBusError::UnknownMethod);
        return;
    }
    BoardOpenTrace::step("answered");
    const QVariantMap meta = reply.value();
    const int width = meta.value(QStringLiteral("width")).toInt();
    const int height = meta.value(QStringLiteral("height")).toInt();
    const int stride = meta.value(QStringLiteral("stride")).toInt();
    const uint format = meta.value(QStringLiteral("format")).toUInt();
    if (meta.value(QStringLiteral("type")).toString() != QLatin1String("raw") || width <= 0 || height <= 0
        || stride < width * 4 || !usableFormat(format)) {
        fallBack(QStringLiteral("a picture of a kind not understood"), true);
        return;
    }
    // Some 8 to 33 megabytes to read, then to cut and convert: off the GUI thread.
    const QRect desktop = platform::physicalDesktop();
    const QRect area = platform::physicalArea(pending->area);
    const std::shared_ptr<ReadEnd> pipe = pending->pipe;
    worker.run([this, serial, pipe, width, height, stride, format, desktop, area] {
        QImage picture(width, height, static_cast<QImage::Format>(format));
        QString error;
        bool read = !picture.isNull();
        if (read && picture.bytesPerLine() == stride) {
            read = pipe->read(reinterpret_cast<char*>(picture.bits()), qint64(stride) * height, &error);
        } else if (read) {
            QByteArray row(stride, Qt::Uninitialized);
            for (int y = 0; y < height && read; ++y) {
                read = pipe->read(row.data(), stride, &error);
                std::memcpy(picture.scanLine(y), row.constData(), static_cast<size_t>(width) * 4);
            }
        }
        const qint64 readAt = BoardOpenTrace::now();
        const QImage part = read ? PortalScreenCapture::cutOut(std::move(picture), desktop, area) : QImage();
        QMetaObject::invokeMethod(
            this,
            [this, serial, read, error, part, readAt]() mutable {
                if (!pending || pending->serial != serial) {
                    return;
                }
                BoardOpenTrace::stepAt("decoded", readAt);
                if (!read) {
                    fallBack(QStringLiteral("the pixels could not be read (%1)").arg(error), false);
                } else if (part.isNull()) {
                    finish(QPixmap(), tr("The screenshot does not show this screen."));
                } else {
                    finish(QPixmap::fromImage(std::move(part)), QString());
                }
            },
            Qt::QueuedConnection);
    });
}

void KWinScreenCapture::fallBack(const QString& reason, bool forGood)
{
    // Not allowed (no desktop entry asking for it) or not understood: the
    // portal from now on. Otherwise for this picture.
    refused = refused || forGood;
    qDebug("Screen capture: KWin's screenshot interface gave no picture (%s); using the screenshot portal",
           qPrintable(reason));
    const QRect area = pending->area;
    Done done = std::move(pending->done);
    pending.reset();
    portal.captureArea(area, std::move(done));
}

void KWinScreenCapture::finish(const QPixmap& pixels, const QString& failure)
{
    const Done done = std::move(pending->done);
    pending.reset();
    done(pixels, failure);
}
