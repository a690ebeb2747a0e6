# The board's key on a Wayland desktop with a global-shortcuts portal (a
# stand-in on a private bus): asked for, bound, pressed, given up.
scribbloom_add_test(platform_portal_shortcut
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/portal_shortcut_test.cpp
  LIBS scribbloom_platform Qt5::Gui Qt5::DBus)
