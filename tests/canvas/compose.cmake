# The incremental canvas picture against a fresh full replay, offscreen.
scribbloom_add_test(canvas_compose
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/compose_test.cpp
  LIBS scribbloom_canvas)
