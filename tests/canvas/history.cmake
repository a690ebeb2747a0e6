scribbloom_add_test(history_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/history_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(history_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
