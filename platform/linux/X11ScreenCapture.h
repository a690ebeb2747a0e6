#pragma once

#include "platform/ScreenCapture.h"

// Reads the screen from the X server, and the pointer's picture through the
// XFixes extension (a plain X grab never contains the pointer).
class X11ScreenCapture : public ScreenCapture {
public:
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;
};
