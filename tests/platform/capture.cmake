# The screen grab on a real (virtual) X display, at scale 1 and at 1.5.
scribbloom_add_test(platform_capture
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
  LIBS scribbloom_platform Qt5::Widgets
  XVFB SCREEN 1280x1024x24)
scribbloom_add_test(platform_capture_scaled
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
  LIBS scribbloom_platform Qt5::Widgets
  XVFB SCREEN 1920x1080x24 ENV QT_SCALE_FACTOR=1.5)
