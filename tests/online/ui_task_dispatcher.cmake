# Running work on the GUI thread from workers, also under a modal dialog.
scribbloom_add_test(online_ui_task_dispatcher
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/UiTaskDispatcherTest.cpp
  LIBS scribbloom_online Qt5::Widgets
  TIMEOUT 120)
