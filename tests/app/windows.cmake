# The Windows build of the program under Wine (tests/app/windows/wine_app_test.py):
# build-windows/ made by scripts/build-windows.sh, one Wine prefix for the
# run under this build tree, each case on its own Xvfb screen. The cases
# share the prefix, so they run one at a time.
find_program(SCRIBBLOOM_WINE wine)
find_program(SCRIBBLOOM_WINEBOOT wineboot)
find_program(SCRIBBLOOM_WINESERVER wineserver)
find_program(SCRIBBLOOM_MINGW_CXX_POSIX x86_64-w64-mingw32-g++-posix)
if(NOT (SCRIBBLOOM_WINE AND SCRIBBLOOM_WINEBOOT AND SCRIBBLOOM_WINESERVER AND SCRIBBLOOM_MINGW_CXX_POSIX))
  message(STATUS "Wine tests of the Windows program left out: mingw-w64 or Wine is missing (./scripts/setup.sh windows)")
  return()
endif()
if(NOT DEFINED SCRIBBLOOM_WINDOWS_BUILD_DIR)
  set(SCRIBBLOOM_WINDOWS_BUILD_DIR ${CMAKE_SOURCE_DIR}/build-windows CACHE PATH
      "The mingw-w64 build that the Windows tests run")
endif()

set(wine_app_script ${CMAKE_CURRENT_LIST_DIR}/windows/wine_app_test.py)
set(wine_app_env
  WINDOWS_BUILD_DIR=${SCRIBBLOOM_WINDOWS_BUILD_DIR}
  WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-app-prefix)

scribbloom_register_test(windows_app_prepare /usr/bin/python3 ${wine_app_script} prepare
  ENV ${wine_app_env} TIMEOUT 1800 LABELS windows)
scribbloom_register_test(windows_app_cleanup /usr/bin/python3 ${wine_app_script} cleanup
  ENV ${wine_app_env} TIMEOUT 120 LABELS windows)
# Both Windows fixtures build the same tree: never at once.
set_tests_properties(windows_app_prepare PROPERTIES FIXTURES_SETUP wine_app
                     RESOURCE_LOCK "wine_app_prefix;windows_build_tree")
set_tests_properties(windows_app_cleanup PROPERTIES FIXTURES_CLEANUP wine_app RESOURCE_LOCK wine_app_prefix)
foreach(case units board second crash)
  scribbloom_register_test(windows_app_${case} /usr/bin/python3 ${wine_app_script} ${case}
    ENV ${wine_app_env} TIMEOUT 300 LABELS windows)
  # Wine starts slowly on a busy machine: the cases have it to themselves.
  set_tests_properties(windows_app_${case} PROPERTIES FIXTURES_REQUIRED wine_app RESOURCE_LOCK wine_app_prefix
                       RUN_SERIAL TRUE)
endforeach()
