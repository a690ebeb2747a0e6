# The colour picker: its layout, placement and texts offscreen; the pixel it
# reads from a real X screen under Xvfb, at a device pixel ratio of 1 and 1.5.
scribbloom_add_test(picker_widget
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/picker_widget_test.cpp
  LIBS scribbloom_canvas)
scribbloom_add_test(picker_screen
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/picker_screen_test.cpp
  LIBS scribbloom_canvas
  XVFB)
scribbloom_register_test(picker_screen_scaled $<TARGET_FILE:picker_screen>
  XVFB ENV QT_SCALE_FACTOR=1.5)

# On a real canvas window, at a device pixel ratio of 1 and 1.5.
scribbloom_add_test(picker_canvas
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/picker_canvas_test.cpp ${CMAKE_CURRENT_LIST_DIR}/output_fixture.h
  LIBS scribbloom_canvas
  XVFB)
target_compile_definitions(picker_canvas PRIVATE QTEST_QPA_MOUSE_HANDLING)
scribbloom_register_test(picker_canvas_scaled $<TARGET_FILE:picker_canvas> XVFB ENV QT_SCALE_FACTOR=1.5)
