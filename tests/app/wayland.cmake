# The real program on headless Wayland desktops (sway, GNOME, KDE Plasma),
# each with XWayland and the desktop's screenshot portal, started by each
# test for itself (tests/app/e2e/wayland.py). A desktop session takes both
# processors for a while, and sway's portal back end writes every picture to
# one shared file, so they run one at a time. Labels: wayland, and the desktop.
foreach(desktop sway gnome kde)
  set(cases board two-screens)
  if(desktop STREQUAL "sway")
    # Only sway's back end is started apart from its bus, so only it can be
    # stopped; only sway's key bindings are set from outside.
    list(APPEND cases no-portal bound-key)
  endif()
  foreach(case ${cases})
    string(REPLACE "-" "_" name "e2e_${desktop}_${case}")
    scribbloom_register_test(${name} /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_wayland.py ${desktop} ${case}
      WAYLAND TIMEOUT 180 LABELS ${desktop})
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wayland_session)
  endforeach()
endforeach()
