#include "platform/linux/DesktopSettle.h"

#include <QGuiApplication>
#include <QTimer>

#include <utility>

namespace {

// A frame of the compositor's, with room for its drawing to take a little
// longer than one refresh.
const int kFrameMs = 100;

} // namespace

namespace DesktopSettle {

void afterHiding(QObject* context, std::function<void()> then)
{
    // A round trip on Qt's own X connection: when it returns, the server has
    // handled every request Qt sent before it, the unmapping among them.
    QGuiApplication::queryKeyboardModifiers();
    QTimer::singleShot(kFrameMs, context, std::move(then));
}

} // namespace DesktopSettle
