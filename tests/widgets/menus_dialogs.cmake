scribbloom_add_test(test_menus_dialogs
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MenusDialogsTest.cpp
  LIBS scribbloom_widgets)

# Dragging the About box needs a real X server and real pointer input.
scribbloom_add_test(test_about_drag
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AboutDragTest.cpp
  LIBS scribbloom_widgets
  XVFB SCREEN 1280x1024x24 TIMEOUT 60)
