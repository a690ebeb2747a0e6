scribbloom_add_test(journal_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/journal_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(journal_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
