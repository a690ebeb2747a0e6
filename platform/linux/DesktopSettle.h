#pragma once

#include <functional>

class QObject;

// A Wayland desktop draws what XWayland shows at its own pace: a window the
// program has just hidden (the strip, before the board's picture) leaves
// the screen only once the X server has taken the request and the compositor
// has drawn a frame without it. The desktop's screenshot must come after.
namespace DesktopSettle {

// How the picture is asked for: through the portal (the request passes two
// more processes on the bus before the desktop sees it) or of the
// compositor itself.
enum class Route { Portal, Compositor };

// Calls `then` (on `context`'s thread, unless `context` is gone) when the
// windows hidden so far have had that time.
void afterHiding(QObject* context, Route route, std::function<void()> then);

} // namespace DesktopSettle
