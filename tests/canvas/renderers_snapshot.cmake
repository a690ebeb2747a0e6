# The canvas view's snapshot taken from a real (virtual) X screen at scale 1.5.
scribbloom_add_test(canvas_renderers_snapshot
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/renderers_snapshot_test.cpp
  LIBS scribbloom_canvas
  XVFB SCREEN 1920x1080x24 ENV QT_SCALE_FACTOR=1.5)
