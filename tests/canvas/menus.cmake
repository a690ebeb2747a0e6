# The canvas's context menus, chosen through the real popups.
scribbloom_add_test(menus_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/menus_test.cpp ${CMAKE_CURRENT_LIST_DIR}/output_fixture.h
  LIBS scribbloom_canvas)
target_compile_definitions(menus_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
