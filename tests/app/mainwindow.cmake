# The main window, its menus, tray icon and exit question, offscreen.
scribbloom_add_test(mainwindow_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mainwindow_test.cpp
  LIBS scribbloom_app)
add_dependencies(mainwindow_test scribbloom_translations scribbloom_help)
