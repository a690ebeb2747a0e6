#include "platform/linux/X11ScreenCapture.h"

#include <QDebug>

std::unique_ptr<ScreenCapture> ScreenCapture::createSystem()
{
    return std::make_unique<X11ScreenCapture>();
}

QPixmap X11ScreenCapture::captureScreen(WId, int, int, int, int)
{
    qWarning("QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
    return QPixmap();
}
