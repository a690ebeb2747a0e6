// Qt's window-system platform on Windows: always the system's own.

#include "platform/GuiPlatform.h"

#include <QtGlobal>

namespace platform {

bool isWaylandSession()
{
    return false;
}

bool prepareGuiPlatform(std::string* problem)
{
    if (problem)
        problem->clear();
    // The program paints with QPainter only: Qt's OpenGL integration would
    // only load a GL driver it never uses.
    if (!qEnvironmentVariableIsSet("QT_OPENGL"))
        qputenv("QT_OPENGL", "software");
    return true;
}

}  // namespace platform
