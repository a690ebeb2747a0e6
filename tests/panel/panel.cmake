# The tool strip against a real canvas, driven by button clicks, offscreen.
scribbloom_add_test(panel_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/panel_test.cpp
  LIBS scribbloom_panel)
