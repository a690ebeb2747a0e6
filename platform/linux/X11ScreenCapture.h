#pragma once

#include "platform/ScreenCapture.h"

typedef struct _XDisplay Display;

// Reads the screen from the X server, and the pointer's picture through the
// XFixes extension (a plain X grab never contains the pointer). The server
// writes the pixels into memory shared with this process (MIT-SHM) where it
// can; a remote display, or SCRIBBLOOM_CAPTURE_NO_SHM set, sends them through
// the connection instead, which the debug log tells once.
class X11ScreenCapture : public ScreenCapture {
public:
    QPixmap captureScreen(WId window, int x, int y, int width, int height) override;

    // Whether the last capture went through shared memory.
    bool usedSharedMemory() const { return usedShared; }

private:
    bool trySharedMemory(Display* display);
    void sayFallback(const char* why);

    bool usedShared = false;
    // Attaching failed once: the server cannot reach this process's memory.
    bool sharedMemoryBroken = false;
    bool fallbackSaid = false;
};
