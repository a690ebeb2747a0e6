#pragma once

#include "platform/ScreenCapture.h"
#include "platform/linux/CaptureWorker.h"
#include "platform/linux/PortalScreenCapture.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

// The screen-copy protocol of wlroots compositors (sway, and others built on
// wlroots: zwlr_screencopy_manager_v1), spoken to the compositor on a
// Wayland connection of the program's own beside XWayland: one output's raw
// pixels in shared memory, at that output's own scale. The desktop encodes
// no PNG, the program decodes none, and no file is made (the portal's wlr
// back end writes every picture to the one file /tmp/out.png). A compositor
// without the protocol (GNOME's, KDE's) gets the screenshot portal instead,
// for this and every later board; so does one whose copy fails.
class WlrScreenCapture : public QObject, public ScreenCapture {
    Q_OBJECT

public:
    WlrScreenCapture();
    ~WlrScreenCapture() override;

    // Waits in a local event loop; the program itself uses captureArea.
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;
    void captureArea(const QRect& area, Done done) override;

private:
    struct Request;

    void send();
    void fallBack(const QString& reason, bool forGood);
    void finish(const QPixmap& pixels, const QString& failure);

    PortalScreenCapture portal;
    bool refused = false;
    std::unique_ptr<Request> pending;
    int requests = 0;
    CaptureWorker worker;
};
