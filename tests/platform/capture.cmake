# The screen grab on a real (virtual) X display, at scale 1 and at 1.5.
scribbloom_add_test(platform_capture
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
  LIBS scribbloom_platform Qt5::Widgets
  XVFB SCREEN 1280x1024x24)
scribbloom_add_test(platform_capture_scaled
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
  LIBS scribbloom_platform Qt5::Widgets
  XVFB SCREEN 1920x1080x24 ENV QT_SCALE_FACTOR=1.5)
# The same cases with the shared-memory grab turned off, and on a server
# that offers no MIT-SHM at all.
scribbloom_register_test(platform_capture_noshm $<TARGET_FILE:platform_capture>
  XVFB SCREEN 1280x1024x24 ENV SCRIBBLOOM_CAPTURE_NO_SHM=1)
scribbloom_register_test(platform_capture_scaled_noshm $<TARGET_FILE:platform_capture>
  XVFB SCREEN 1920x1080x24 ENV QT_SCALE_FACTOR=1.5 SCRIBBLOOM_CAPTURE_NO_SHM=1)
scribbloom_register_test(platform_capture_no_extension $<TARGET_FILE:platform_capture>
  XVFB SCREEN "1280x1024x24 -extension MIT-SHM")
