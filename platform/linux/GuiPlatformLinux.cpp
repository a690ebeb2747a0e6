#include "platform/GuiPlatform.h"

#include <QByteArray>
#include <QtGlobal>

#include <X11/Xlib.h>

namespace platform {

bool isWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
}

bool prepareGuiPlatform(std::string* problem)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && isWaylandSession())
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    // The X11 plugin loads GLX or EGL support, and through it the system's
    // GL driver, at start unless this names none.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", QByteArrayLiteral("none"));

    // Only the X platform needs a display here; "offscreen" and the like do
    // not, and a list of fallbacks is Qt's to try.
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty() && chosen != "xcb" && !chosen.startsWith("xcb:"))
        return true;

    if (Display* display = XOpenDisplay(nullptr)) {
        XCloseDisplay(display);
        return true;
    }
    if (problem) {
        const QByteArray name = qgetenv("DISPLAY");
        *problem = name.isEmpty() ? std::string("Scribbloom: no X display to run on (DISPLAY is not set)")
                                  : "Scribbloom: cannot open the X display \"" + name.toStdString() + "\"";
        if (isWaylandSession())
            *problem += "; on a Wayland session it runs on XWayland, which is not available";
    }
    return false;
}

}  // namespace platform
