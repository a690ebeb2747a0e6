#include "platform/ScreenCapture.h"

namespace {

ScreenCapture* replacement = nullptr;

} // namespace

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
