#pragma once
// The screen through GDI: the display's pixels copied with BitBlt (layered
// windows included), the pointer drawn in with DrawIcon, the bitmap turned
// into an opaque 32-bit pixmap.

#include "platform/ScreenCapture.h"

class GdiScreenCapture : public ScreenCapture {
public:
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;
};
