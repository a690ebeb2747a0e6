# Partial repaints of the canvas window, at device pixel ratios 1 and 1.5.
scribbloom_add_test(canvas_repaint
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/repaint_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(canvas_repaint PRIVATE QTEST_QPA_MOUSE_HANDLING)
scribbloom_register_test(canvas_repaint_scaled $<TARGET_FILE:canvas_repaint> XVFB ENV QT_SCALE_FACTOR=1.5)
