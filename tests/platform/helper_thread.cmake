scribbloom_add_test(test_helper_thread
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelperThreadTest.cpp
  LIBS scribbloom_platform)
