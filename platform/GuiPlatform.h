#pragma once

#include <string>

// Which of Qt's window-system platforms the program runs on.
namespace platform {

// Whether the desktop session is a Wayland one (WAYLAND_DISPLAY set, or
// XDG_SESSION_TYPE=wayland). The program then runs as an X11 client under
// the session's XWayland, so that its always-on-top strip and full-screen
// board keep their X11 behaviour.
bool isWaylandSession();

// Called first thing in main, before any application object exists. On a
// Wayland session it picks Qt's xcb platform unless QT_QPA_PLATFORM already
// names one. The program paints with QPainter only and never uses OpenGL,
// so Qt is also told to skip its OpenGL integration, which would load a GL
// driver (tens of megabytes with a software renderer), unless the user chose
// one. When the program is to run on X but no X display answers, it returns
// false with `problem` set to one line saying so.
bool prepareGuiPlatform(std::string* problem);

}  // namespace platform
