scribbloom_add_test(board_file_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/board_file_test.cpp ${CMAKE_CURRENT_LIST_DIR}/screenview_harness.h
  LIBS scribbloom_canvas)
target_compile_definitions(board_file_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
scribbloom_register_test(board_file_test_scaled $<TARGET_FILE:board_file_test> ENV QT_SCALE_FACTOR=1.5)
