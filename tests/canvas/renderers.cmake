# Drawn items painted by their renderers into the canvas view, offscreen.
scribbloom_add_test(canvas_renderers
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/renderers_test.cpp
  LIBS scribbloom_canvas)
