scribbloom_add_test(test_frameless_kit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FramelessKitTest.cpp
  LIBS scribbloom_widgets)
