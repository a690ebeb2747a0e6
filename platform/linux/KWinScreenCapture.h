#pragma once

#include "platform/ScreenCapture.h"
#include "platform/linux/CaptureWorker.h"
#include "platform/linux/PortalScreenCapture.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QDBusPendingCallWatcher;

// KWin's own screenshot interface (org.kde.KWin.ScreenShot2, KDE Plasma
// 5.27 and later): the workspace's raw pixels through a pipe, with the
// pointer drawn in. The desktop encodes no PNG, the program decodes none, and
// no file is made. KWin hands the interface only to programs whose desktop
// entry lists it in X-KDE-DBUS-Restricted-Interfaces, matched by the
// program's full path in Exec (as the installed entry has it); when KWin
// says no, the screenshot portal takes over for this and every later board
// (when the interface is missing for the moment, for this board).
class KWinScreenCapture : public QObject, public ScreenCapture {
    Q_OBJECT

public:
    KWinScreenCapture();
    ~KWinScreenCapture() override;

    // Whether the session is KDE's (XDG_CURRENT_DESKTOP names it).
    static bool suitsDesktop();

    // Waits in a local event loop; the program itself uses captureArea.
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;
    void captureArea(const QRect& area, Done done) override;

private:
    struct Request;

    void send();
    void onCallFinished(QDBusPendingCallWatcher* call, int serial);
    void fallBack(const QString& reason, bool forGood);
    void finish(const QPixmap& pixels, const QString& failure);

    PortalScreenCapture portal;
    bool refused = false;
    std::unique_ptr<Request> pending;
    int requests = 0;
    CaptureWorker worker;
};
