#pragma once

#include "platform/ScreenCapture.h"
#include "platform/linux/CaptureWorker.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <memory>

class QDBusMessage;
class QDBusPendingCallWatcher;

// Asks the desktop for the screen through the screenshot portal
// (org.freedesktop.portal.Screenshot on the session bus), the one way an
// X11 client under XWayland gets to see other programs' windows. The answer
// comes as a signal, after the desktop has perhaps asked the user first, so
// the request never blocks the event loop. The portal draws no pointer.
//
// Each request has a token of its own, and only the answer on that
// request's object counts; an answer to a request that was given up (timed
// out) is ignored, apart from removing the picture it names. The desktop
// saves each picture as a file made for that request alone (in the user's
// Pictures folder, the home folder or /tmp): the file is read on a worker
// thread and then removed.
class PortalScreenCapture : public QObject, public ScreenCapture {
    Q_OBJECT

public:
    // `timeoutMs`: how long to wait for the desktop's answer.
    explicit PortalScreenCapture(int timeoutMs = 60000);
    ~PortalScreenCapture() override;

    // Waits in a local event loop; the program itself uses captureArea.
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;
    void captureArea(const QRect& area, Done done) override;

    // The part of a picture of the whole desktop that shows `area`: the
    // desktop spans `desktop` in physical pixels, whatever size the picture
    // came in; the result has `area`'s size and is opaque 32-bit. A picture
    // handed over whole (moved in) may be made opaque in place.
    static QImage cutOut(QImage picture, const QRect& desktop, const QRect& area);

    // Removes the desktop's picture file once it has been read; says in the
    // debug log when it cannot.
    static void removePicture(const QString& file);

private slots:
    void onResponse(uint response, const QVariantMap& results, const QDBusMessage& message);
    void onTimeout();

private:
    struct Request;

    void send();
    void listen(const QString& path);
    void stopListening(const QString& path);
    void onCallFinished(QDBusPendingCallWatcher* call, const QString& token);
    void abandon(const QString& path);
    void decode(const QString& file);
    void finish(const QPixmap& pixels, const QString& failure);

    std::unique_ptr<Request> pending;
    // Objects of requests given up, still listened to for the picture's file.
    QStringList abandoned;
    QTimer timer;
    int requests = 0;
    CaptureWorker worker;
};
