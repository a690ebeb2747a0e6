scribbloom_add_test(screenview_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/screenview_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(screenview_test PRIVATE QTEST_QPA_MOUSE_HANDLING)

scribbloom_add_test(screenview_dpr_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/screenview_dpr_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas
  ENV QT_SCALE_FACTOR=1.5)
target_compile_definitions(screenview_dpr_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
