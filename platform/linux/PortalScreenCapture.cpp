#include "platform/linux/PortalScreenCapture.h"

#include "platform/BoardOpenTrace.h"
#include "platform/ScreenGeometry.h"
#include "platform/linux/DesktopSettle.h"
#include "platform/linux/PortalRequest.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QList>
#include <QScreen>
#include <QUrl>
#include <QtGlobal>

#include <cmath>
#include <utility>

namespace {

using portal::kObject;
using portal::kRequest;
using portal::kService;
using portal::requestPath;
const char* const kScreenshot = "org.freedesktop.portal.Screenshot";

QString pictureFile(const QVariantMap& results)
{
    return QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
}

} // namespace

struct PortalScreenCapture::Request {
    QRect area;
    Done done;
    QString token;
    // The object listened to for the answer; empty before the call and
    // once the answer has come.
    QString path;
    bool answered = false;
};

PortalScreenCapture::PortalScreenCapture(int timeoutMs)
{
    timer.setSingleShot(true);
    timer.setInterval(timeoutMs);
    connect(&timer, &QTimer::timeout, this, &PortalScreenCapture::onTimeout);
}

PortalScreenCapture::~PortalScreenCapture()
{
    worker.wait();
    // The program's capture lives until exit, when the bus may be gone already.
    if (QCoreApplication::instance()) {
        if (pending) {
            stopListening(pending->path);
        }
        for (const QString& path : qAsConst(abandoned)) {
            stopListening(path);
        }
    }
}

QPixmap PortalScreenCapture::captureScreen(WId, int x, int y, int width, int height)
{
    return waitForArea(x, y, width, height);
}

void PortalScreenCapture::captureArea(const QRect& area, Done done)
{
    if (pending) {
        done(QPixmap(), tr("A screenshot is already being taken."));
        return;
    }
    if (!QDBusConnection::sessionBus().isConnected()) {
        done(QPixmap(), tr("There is no D-Bus session bus to reach the desktop's screenshot portal."));
        return;
    }
    pending = std::make_unique<Request>();
    pending->area = area;
    pending->done = std::move(done);
    pending->token = QStringLiteral("scribbloom%1_%2").arg(QCoreApplication::applicationPid()).arg(++requests);
    timer.start();
    const QString token = pending->token;
    DesktopSettle::afterHiding(this, DesktopSettle::Route::Portal, [this, token] {
        if (pending && pending->token == token) {
            send();
        }
    });
}

void PortalScreenCapture::send()
{
    // Listening before the call means an answer that comes quickly is not missed.
    listen(requestPath(pending->token));

    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kObject),
                                                       QLatin1String(kScreenshot), QStringLiteral("Screenshot"));
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), pending->token);
    options.insert(QStringLiteral("interactive"), false);
    call << QString() << options;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    const QString token = pending->token;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, token](QDBusPendingCallWatcher* call) { onCallFinished(call, token); });
    BoardOpenTrace::step("asked");
}

void PortalScreenCapture::listen(const QString& path)
{
    if (pending) {
        pending->path = path;
    }
    QDBusConnection::sessionBus().connect(QLatin1String(kService), path, QLatin1String(kRequest),
                                          QStringLiteral("Response"), this,
                                          SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
}

void PortalScreenCapture::stopListening(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    QDBusConnection::sessionBus().disconnect(QLatin1String(kService), path, QLatin1String(kRequest),
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
}

void PortalScreenCapture::onCallFinished(QDBusPendingCallWatcher* call, const QString& token)
{
    call->deleteLater();
    QDBusPendingReply<QDBusObjectPath> reply = *call;
    const QString path = reply.isError() ? QString() : reply.value().path();
    if (!pending || pending->token != token) {
        // The call of a request given up: whatever it says is no news for
        // the one now pending. A portal that answers on an object of its own
        // choosing still gets heard, for the picture's file.
        if (!path.isEmpty() && path != requestPath(token) && !abandoned.contains(path)) {
            abandoned << path;
            QDBusConnection::sessionBus().connect(QLatin1String(kService), path, QLatin1String(kRequest),
                                                  QStringLiteral("Response"), this,
                                                  SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
        }
        return;
    }
    if (reply.isError()) {
        finish(QPixmap(), tr("The desktop's screenshot portal is not available (%1).").arg(reply.error().message()));
        return;
    }
    // Portals older than the handle token answer on a path of their own choosing.
    if (!pending->answered && path != pending->path) {
        stopListening(pending->path);
        listen(path);
    }
}

void PortalScreenCapture::onResponse(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    const QString path = message.path();
    if (!pending || pending->answered || path != pending->path) {
        if (abandoned.removeAll(path) > 0) {
            // The late answer to a request given up: no board waits for it,
            // but the picture it names was made for it alone.
            stopListening(path);
            if (response == 0) {
                removePicture(pictureFile(results));
            }
        }
        return;
    }
    timer.stop();
    stopListening(path);
    pending->path.clear();
    pending->answered = true;
    if (response == 1) {
        finish(QPixmap(), tr("The desktop refused to take a screenshot."));
        return;
    }
    if (response != 0) {
        finish(QPixmap(), tr("The desktop could not take a screenshot."));
        return;
    }
    BoardOpenTrace::step("answered");
    decode(pictureFile(results));
}

void PortalScreenCapture::decode(const QString& file)
{
    // Reading and decoding a screen's PNG takes tens of milliseconds: off the
    // GUI thread, which meanwhile goes on with its events.
    const QString token = pending->token;
    const QRect desktop = platform::physicalDesktop();
    const QRect area = platform::physicalArea(pending->area);
    worker.run([this, token, file, desktop, area] {
        QImageReader reader(file);
        QImage picture = reader.read();
        const QString readError = reader.errorString();
        const qint64 decodedAt = BoardOpenTrace::now();
        removePicture(file);
        const bool readable = !picture.isNull();
        const QImage part = cutOut(std::move(picture), desktop, area);
        QMetaObject::invokeMethod(
            this,
            [this, token, file, readable, readError, part, decodedAt]() mutable {
                if (!pending || pending->token != token) {
                    return;
                }
                BoardOpenTrace::stepAt("decoded", decodedAt);
                if (!readable) {
                    finish(QPixmap(), tr("The screenshot \"%1\" could not be read (%2).").arg(file, readError));
                } else if (part.isNull()) {
                    finish(QPixmap(), tr("The screenshot does not show this screen."));
                } else {
                    finish(QPixmap::fromImage(std::move(part)), QString());
                }
            },
            Qt::QueuedConnection);
    });
}

void PortalScreenCapture::onTimeout()
{
    if (!pending || pending->answered) {
        return;
    }
    abandon(pending->path);
    pending->path.clear();
    finish(QPixmap(), tr("The desktop gave no screenshot within %1 seconds.").arg(timer.interval() / 1000));
}

void PortalScreenCapture::abandon(const QString& path)
{
    if (path.isEmpty()) {
        return;
    }
    // Still listened to: a late answer's picture gets removed. The portal
    // is asked to drop the request, which it may do before taking any.
    abandoned << path;
    QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        QLatin1String(kService), path, QLatin1String(kRequest), QStringLiteral("Close")));
}

void PortalScreenCapture::finish(const QPixmap& pixels, const QString& failure)
{
    timer.stop();
    stopListening(pending->path);
    const Done done = std::move(pending->done);
    pending.reset();
    done(pixels, failure);
}

void PortalScreenCapture::removePicture(const QString& file)
{
    if (file.isEmpty()) {
        return;
    }
    QFile picture(file);
    if (!picture.remove() && picture.exists()) {
        qDebug("Screen capture: the desktop's picture %s could not be removed (%s)", qPrintable(file),
               qPrintable(picture.errorString()));
    }
}

QImage PortalScreenCapture::cutOut(QImage picture, const QRect& desktop, const QRect& area)
{
    if (picture.isNull() || desktop.isEmpty() || area.isEmpty()) {
        return QImage();
    }
    // The desktop may have been pictured at another scale than ours.
    const double sx = double(picture.width()) / desktop.width();
    const double sy = double(picture.height()) / desktop.height();
    const QRect source(int(std::lround((area.x() - desktop.x()) * sx)), int(std::lround((area.y() - desktop.y()) * sy)),
                       int(std::lround(area.width() * sx)), int(std::lround(area.height() * sy)));
    const QRect inside = source.intersected(picture.rect());
    if (inside.width() * 2 < source.width() || inside.height() * 2 < source.height()) {
        return QImage();
    }
    QImage part;
    if (inside == picture.rect() && picture.format() == QImage::Format_ARGB32 && picture.isDetached()) {
        // The picture is the screen's already, and ours alone: made opaque
        // where it lies rather than copied.
        part = std::move(picture);
        for (int y = 0; y < part.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x) {
                row[x] |= 0xff000000u;
            }
        }
        part.reinterpretAsFormat(QImage::Format_RGB32);
    } else if (inside == picture.rect()) {
        part = picture.convertToFormat(QImage::Format_RGB32);
    } else {
        part = picture.copy(inside).convertToFormat(QImage::Format_RGB32);
    }
    if (part.size() != area.size()) {
        part = part.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return part;
}
