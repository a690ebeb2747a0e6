// Boards' pictures from a wlroots compositor's screen copy, taken on a
// worker; the screenshot portal when the compositor has no such copy.

#include "platform/linux/WlrScreenCapture.h"

#include "platform/BoardOpenTrace.h"
#include "platform/linux/DesktopSettle.h"
#include "platform/linux/WlrScreenCopy.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>

#include <utility>

struct WlrScreenCapture::Request {
    QRect area;
    Done done;
    int serial = 0;
};

WlrScreenCapture::WlrScreenCapture() = default;

WlrScreenCapture::~WlrScreenCapture()
{
    worker.wait();
}

QPixmap WlrScreenCapture::captureScreen(WId, int x, int y, int width, int height)
{
    return waitForArea(x, y, width, height);
}

void WlrScreenCapture::captureArea(const QRect& area, Done done)
{
    if (refused) {
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

void WlrScreenCapture::send()
{
    const QRect area = pending->area;
    const QScreen* screen = QGuiApplication::screenAt(area.center());
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const int serial = pending->serial;
    BoardOpenTrace::step("asked");
    worker.run([this, serial, area, ratio] {
        QString failure;
        bool noProtocol = false;
        QImage picture = copyWlrOutput(area, ratio, &failure, &noProtocol);
        const qint64 copiedAt = BoardOpenTrace::now();
        QMetaObject::invokeMethod(
            this,
            [this, serial, picture, failure, noProtocol, copiedAt]() mutable {
                if (!pending || pending->serial != serial) {
                    return;
                }
                BoardOpenTrace::stepAt("decoded", copiedAt);
                if (picture.isNull()) {
                    fallBack(failure, noProtocol);
                } else {
                    finish(QPixmap::fromImage(std::move(picture)), QString());
                }
            },
            Qt::QueuedConnection);
    });
}

void WlrScreenCapture::fallBack(const QString& reason, bool forGood)
{
    // A compositor without the protocol (GNOME's, KDE's) never will have
    // it; a copy that failed may work the next time.
    refused = refused || forGood;
    qDebug("Screen capture: the compositor's screen copy gave no picture (%s); using the screenshot portal",
           qPrintable(reason));
    const QRect area = pending->area;
    Done done = std::move(pending->done);
    pending.reset();
    portal.captureArea(area, std::move(done));
}

void WlrScreenCapture::finish(const QPixmap& pixels, const QString& failure)
{
    const Done done = std::move(pending->done);
    pending.reset();
    done(pixels, failure);
}
