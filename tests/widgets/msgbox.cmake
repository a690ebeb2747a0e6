scribbloom_add_test(test_msgbox
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MsgBoxTest.cpp
  LIBS scribbloom_widgets)
