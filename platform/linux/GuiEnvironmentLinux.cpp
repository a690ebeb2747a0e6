#include "platform/GuiEnvironment.h"

#include <QByteArray>
#include <QtGlobal>

void GuiEnvironment::prepare()
{
    // The X11 platform plugin loads GLX or EGL support, and through it the
    // system's GL driver, at start unless this names none.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
}
