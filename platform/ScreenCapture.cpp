#include "platform/ScreenCapture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

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

QPixmap ScreenCapture::waitForArea(int x, int y, int width, int height)
{
    QRect area(x, y, width, height);
    if (width < 0 || height < 0) {
        area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    }
    QPixmap result;
    bool answered = false;
    QEventLoop loop;
    captureArea(area, [&](const QPixmap& pixels, const QString& failure) {
        result = pixels;
        answered = true;
        if (!failure.isEmpty()) {
            qWarning("Screen capture: %s", qPrintable(failure));
        }
        loop.quit();
    });
    if (!answered) {
        loop.exec();
    }
    return result;
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
