#pragma once

// One output's pixels through the screen-copy protocol of wlroots
// compositors (zwlr_screencopy_manager_v1), spoken on a Wayland connection
// of the program's own (WAYLAND_DISPLAY) beside XWayland.

#include <QImage>
#include <QRect>
#include <QString>

// The output holding `area` (compositor and XWayland coordinates), cut to
// `area` at `ratio` device pixels each. Blocks, so it runs on a worker.
// `noProtocol` tells a compositor without the protocol from a copy that failed.
QImage copyWlrOutput(const QRect& area, qreal ratio, QString* failure, bool* noProtocol);
