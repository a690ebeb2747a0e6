#include "platform/GuiPlatform.h"
#include "platform/ScreenCapture.h"
#include "platform/linux/KWinScreenCapture.h"
#include "platform/linux/PortalScreenCapture.h"
#include "platform/linux/WlrScreenCapture.h"
#include "platform/linux/X11ScreenCapture.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

std::unique_ptr<ScreenCapture> ScreenCapture::createSystem()
{
    // Under XWayland the X server holds only the X11 windows: the rest of the
    // screen reads back black. The desktop hands out the real picture: KWin
    // or a wlroots compositor directly, otherwise (GNOME, or when they do not
    // let the program) the screenshot portal.
    if (platform::isWaylandSession()) {
        if (KWinScreenCapture::suitsDesktop()) {
            return std::make_unique<KWinScreenCapture>();
        }
        // GNOME's compositor offers no screen copy of its own to programs.
        if (qgetenv("XDG_CURRENT_DESKTOP").toUpper().split(':').value(0) == "GNOME") {
            return std::make_unique<PortalScreenCapture>();
        }
        return std::make_unique<WlrScreenCapture>();
    }
    return std::make_unique<X11ScreenCapture>();
}
