scribbloom_add_test(text_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(text_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
