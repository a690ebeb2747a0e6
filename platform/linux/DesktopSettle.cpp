#include "platform/linux/DesktopSettle.h"

#include <QGuiApplication>
#include <QTimer>

#include <utility>

namespace {

// After the X server has taken the unmapping, XWayland has passed it on to
// the compositor. A request through the portal goes through two or three
// processes on the bus before the compositor sees it, by which time it has
// long read what XWayland sent: a moment for the compositor to read its
// input is enough (GNOME's shell draws the picture afresh, wlroots
// compositors take the next frame they draw). A request straight to the
// compositor (KWin, which takes its next frame) can overtake XWayland's
// news: a frame's time, at 60 Hz. A desktop that has not drawn the screen
// without the strip by then gives a picture that still shows it, which the
// strip's panel recognises and takes again.
const int kPortalMs = 2;
const int kCompositorMs = 20;

} // namespace

namespace DesktopSettle {

void afterHiding(QObject* context, Route route, std::function<void()> then)
{
    // A round trip on Qt's own X connection: when it returns, the server has
    // handled every request Qt sent before it, the unmapping among them.
    QGuiApplication::queryKeyboardModifiers();
    QTimer::singleShot(route == Route::Portal ? kPortalMs : kCompositorMs, context, std::move(then));
}

} // namespace DesktopSettle
