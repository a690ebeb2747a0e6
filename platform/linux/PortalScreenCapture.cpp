#include "platform/linux/PortalScreenCapture.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImageReader>
#include <QList>
#include <QScreen>
#include <QUrl>
#include <QtGlobal>

#include <cmath>

namespace {

const char* const kService = "org.freedesktop.portal.Desktop";
const char* const kObject = "/org/freedesktop/portal/desktop";
const char* const kScreenshot = "org.freedesktop.portal.Screenshot";
const char* const kRequest = "org.freedesktop.portal.Request";

// A window the program has just hidden (the strip) leaves the screen only
// once the compositor has drawn its next frame.
const int kSettleMs = 100;

// A screen's rectangle in physical pixels: Qt keeps each screen's top-left
// corner and scales its size by the screen's own ratio.
QRect physical(const QScreen* screen)
{
    const QRect logical = screen->geometry();
    return QRect(logical.topLeft(), logical.size() * screen->devicePixelRatio());
}

QRect physicalDesktop()
{
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop |= physical(screen);
    }
    return desktop;
}

// `area` (logical desktop pixels) in physical pixels, by the screen holding it.
QRect physicalArea(const QRect& area)
{
    const QScreen* screen = QGuiApplication::screenAt(area.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return area;
    }
    const QPoint origin = screen->geometry().topLeft();
    const qreal ratio = screen->devicePixelRatio();
    return QRect(origin + (area.topLeft() - origin) * ratio, area.size() * ratio);
}

} // namespace

struct PortalScreenCapture::Request {
    QRect area;
    Done done;
    QString token;
    QString path;
};

PortalScreenCapture::PortalScreenCapture(int timeoutMs)
{
    timer.setSingleShot(true);
    timer.setInterval(timeoutMs);
    connect(&timer, &QTimer::timeout, this, &PortalScreenCapture::onTimeout);
}

PortalScreenCapture::~PortalScreenCapture()
{
    // The program's capture lives until exit, when the bus may be gone already.
    if (QCoreApplication::instance()) {
        stopListening();
    }
}

QPixmap PortalScreenCapture::captureScreen(WId, int x, int y, int width, int height)
{
    QRect area(x, y, width, height);
    if (width < 0 || height < 0) {
        area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    }
    QPixmap result;
    bool answered = false;
    QEventLoop loop;
    captureArea(area, [&](const QPixmap& pixels, const QString& failure) {
        result = pixels;
        answered = true;
        if (!failure.isEmpty()) {
            qWarning("Screen capture: %s", qPrintable(failure));
        }
        loop.quit();
    });
    if (!answered) {
        loop.exec();
    }
    return result;
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
    QTimer::singleShot(kSettleMs, this, &PortalScreenCapture::send);
}

void PortalScreenCapture::send()
{
    if (!pending) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The request object's path is known beforehand; listening before the
    // call means an answer that comes quickly is not missed.
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, pending->token));

    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kObject),
                                                       QLatin1String(kScreenshot), QStringLiteral("Screenshot"));
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), pending->token);
    options.insert(QStringLiteral("interactive"), false);
    call << QString() << options;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &PortalScreenCapture::onCallFinished);
}

void PortalScreenCapture::listen(const QString& path)
{
    stopListening();
    if (!pending) {
        return;
    }
    pending->path = path;
    QDBusConnection::sessionBus().connect(QLatin1String(kService), path, QLatin1String(kRequest),
                                          QStringLiteral("Response"), this,
                                          SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenCapture::stopListening()
{
    if (!pending || pending->path.isEmpty()) {
        return;
    }
    QDBusConnection::sessionBus().disconnect(QLatin1String(kService), pending->path, QLatin1String(kRequest),
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(uint, QVariantMap)));
    pending->path.clear();
}

void PortalScreenCapture::onCallFinished(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (!pending) {
        return;
    }
    if (reply.isError()) {
        finish(QPixmap(), tr("The desktop's screenshot portal is not available (%1).").arg(reply.error().message()));
        return;
    }
    // Portals older than the handle token answer on a path of their own choosing.
    const QString path = reply.value().path();
    if (path != pending->path) {
        listen(path);
    }
}

void PortalScreenCapture::onResponse(uint response, const QVariantMap& results)
{
    if (!pending) {
        return;
    }
    if (response == 1) {
        finish(QPixmap(), tr("The desktop refused to take a screenshot."));
        return;
    }
    if (response != 0) {
        finish(QPixmap(), tr("The desktop could not take a screenshot."));
        return;
    }
    const QString file = QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
    QImageReader reader(file);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        finish(QPixmap(), tr("The screenshot \"%1\" could not be read (%2).").arg(file, reader.errorString()));
        return;
    }
    const QImage part = cutOut(picture, physicalDesktop(), physicalArea(pending->area));
    if (part.isNull()) {
        finish(QPixmap(), tr("The screenshot does not show this screen."));
        return;
    }
    finish(QPixmap::fromImage(part), QString());
}

void PortalScreenCapture::onTimeout()
{
    if (pending) {
        finish(QPixmap(), tr("The desktop gave no screenshot within %1 seconds.").arg(timer.interval() / 1000));
    }
}

void PortalScreenCapture::finish(const QPixmap& pixels, const QString& failure)
{
    timer.stop();
    stopListening();
    const Done done = std::move(pending->done);
    pending.reset();
    done(pixels, failure);
}

QImage PortalScreenCapture::cutOut(const QImage& picture, const QRect& desktop, const QRect& area)
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
    QImage part = picture.copy(inside).convertToFormat(QImage::Format_RGB32);
    if (part.size() != area.size()) {
        part = part.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return part;
}
