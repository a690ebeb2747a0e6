// Qt's window-system platform on Windows: always the system's own, which
// loads no OpenGL driver for a program that paints with QPainter only.

#include "platform/GuiPlatform.h"

namespace platform {

bool isWaylandSession()
{
    return false;
}

bool prepareGuiPlatform(std::string* problem)
{
    if (problem)
        problem->clear();
    return true;
}

}  // namespace platform
