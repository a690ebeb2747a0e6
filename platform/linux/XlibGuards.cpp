// The X error trap and the capture's failure warning.

#include "platform/linux/XlibGuards.h"

#include <QtGlobal>

namespace x11 {

bool ErrorTrap::failed = false;

ErrorTrap::ErrorTrap()
    : previous(XSetErrorHandler(&ErrorTrap::onError))
{
}

ErrorTrap::~ErrorTrap()
{
    XSetErrorHandler(previous);
}

int ErrorTrap::onError(Display*, XErrorEvent*)
{
    failed = true;
    return 0;
}

void warnCaptureFailed()
{
    qWarning("QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
}

} // namespace x11
