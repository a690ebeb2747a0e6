# Window placement and stacking against a real X display.
scribbloom_add_test(desktop_windows_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop_windows_test.cpp
  LIBS scribbloom_platform Qt5::Widgets X11
  XVFB)
