#include "platform/ScreenCapture.h"

#include <QCoreApplication>

namespace {

ScreenCapture* replacement = nullptr;

} // namespace

void ScreenCapture::captureArea(const QRect& area, Done done)
{
    const QPixmap pixels = captureScreen(0, area.x(), area.y(), area.width(), area.height());
    done(pixels, pixels.isNull()
                     ? QCoreApplication::translate("ScreenCapture", "The display did not hand over the screen's pixels.")
                     : QString());
}

ScreenCapture& ScreenCapture::instance()
{
    if (replacement) {
        return *replacement;
    }
    static const std::unique_ptr<ScreenCapture> system = createSystem();
    return *system;
}

void ScreenCapture::setInstance(ScreenCapture* capture)
{
    replacement = capture;
}
