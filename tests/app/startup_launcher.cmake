# What the launcher sets up before the main window, offscreen.
scribbloom_add_test(startup_launcher
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_launcher_test.cpp
  LIBS scribbloom_app)
