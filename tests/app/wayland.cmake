# The real program on a headless Wayland session (sway, XWayland, the
# screenshot portal) that each test starts for itself. They share the
# portal's one screenshot file, so they run one at a time.
foreach(case board two-screens no-portal)
  string(REPLACE "-" "_" name "e2e_wayland_${case}")
  scribbloom_register_test(${name} /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_wayland.py ${case}
    WAYLAND TIMEOUT 300)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wayland_session)
endforeach()
