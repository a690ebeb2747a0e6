# Zoom and pan on a real canvas window, on a 1920 x 1080 X screen and on the
# same screen at a device pixel ratio of 1.5.
scribbloom_add_test(zoom_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/zoom_test.cpp ${CMAKE_CURRENT_LIST_DIR}/output_fixture.h
  LIBS scribbloom_canvas
  XVFB)
target_compile_definitions(zoom_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
scribbloom_register_test(zoom_test_scaled $<TARGET_FILE:zoom_test> XVFB ENV QT_SCALE_FACTOR=1.5)
