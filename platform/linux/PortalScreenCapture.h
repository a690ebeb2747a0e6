#pragma once

#include "platform/ScreenCapture.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <memory>

class QDBusPendingCallWatcher;

// Asks the desktop for the screen through the screenshot portal
// (org.freedesktop.portal.Screenshot on the session bus), the one way an
// X11 client under XWayland gets to see other programs' windows. The answer
// comes as a signal, after the desktop has perhaps asked the user first, so
// the request never blocks the event loop. The portal draws no pointer.
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
    // came in; the result has `area`'s size and is opaque 32-bit.
    static QImage cutOut(const QImage& picture, const QRect& desktop, const QRect& area);

private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onCallFinished(QDBusPendingCallWatcher* call);
    void onTimeout();

private:
    struct Request;

    void send();
    void listen(const QString& path);
    void stopListening();
    void finish(const QPixmap& pixels, const QString& failure);

    std::unique_ptr<Request> pending;
    QTimer timer;
    int requests = 0;
};
