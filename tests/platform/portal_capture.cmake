# Cutting the screenshot portal's picture down to one screen, and heeding only each
# request's own answer (a stand-in portal on a private bus), offscreen.
scribbloom_add_test(platform_portal_capture
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/portal_capture_test.cpp
  LIBS scribbloom_platform Qt5::Gui Qt5::DBus)
