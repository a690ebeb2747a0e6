#include "platform/GuiPlatform.h"
#include "platform/ScreenCapture.h"
#include "platform/linux/KWinScreenCapture.h"
#include "platform/linux/PortalScreenCapture.h"
#include "platform/linux/X11ScreenCapture.h"

std::unique_ptr<ScreenCapture> ScreenCapture::createSystem()
{
    // Under XWayland the X server holds only the X11 windows: the rest of the
    // screen reads back black. The desktop hands out the real picture: KWin
    // directly when it lets the program, otherwise the screenshot portal.
    if (platform::isWaylandSession()) {
        if (KWinScreenCapture::suitsDesktop()) {
            return std::make_unique<KWinScreenCapture>();
        }
        return std::make_unique<PortalScreenCapture>();
    }
    return std::make_unique<X11ScreenCapture>();
}
