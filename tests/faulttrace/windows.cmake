# Windows crash tests: FaultTrace.dll of the mingw-w64 build (build-windows/,
# made by scripts/build-windows.sh) crashing under Wine, with a real FTP
# server and address service on 127.0.0.1 and Breakpad's minidump reader.
# A fixture builds the Windows tree (a no-op when it is up to date) and makes
# one fresh Wine prefix for the run, under this build tree; it is removed after.
set(SCRIBBLOOM_WINDOWS_BUILD_DIR ${CMAKE_SOURCE_DIR}/build-windows CACHE PATH
    "The mingw-w64 build of FaultTrace that the Windows crash tests run")
find_program(FAULTTRACE_WINE wine)
find_program(FAULTTRACE_WINEBOOT wineboot)
find_program(FAULTTRACE_WINESERVER wineserver)
find_program(FAULTTRACE_MINGW_CXX x86_64-w64-mingw32-g++)
find_program(FAULTTRACE_MINGW_NM x86_64-w64-mingw32-nm)
find_program(FAULTTRACE_MINGW_OBJDUMP x86_64-w64-mingw32-objdump)
if(NOT (FAULTTRACE_WINE AND FAULTTRACE_WINEBOOT AND FAULTTRACE_WINESERVER AND FAULTTRACE_MINGW_CXX
        AND FAULTTRACE_MINGW_NM AND FAULTTRACE_MINGW_OBJDUMP))
  message(STATUS "Windows crash tests left out: mingw-w64 or Wine is missing (./scripts/setup.sh windows installs them)")
  return()
endif()

set(windows_test_script ${CMAKE_CURRENT_LIST_DIR}/windows_crash_test.py)
set(windows_test_env
  WINDOWS_BUILD_DIR=${SCRIBBLOOM_WINDOWS_BUILD_DIR}
  WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-prefix
  MINIDUMP_TOOLS=${CMAKE_BINARY_DIR}/test-tools/minidump/bin/linux-x64
  MINGW_NM=${FAULTTRACE_MINGW_NM}
  MINGW_OBJDUMP=${FAULTTRACE_MINGW_OBJDUMP})

scribbloom_register_test(faulttrace_windows_prepare /usr/bin/python3 ${windows_test_script} prepare
  ENV ${windows_test_env} TIMEOUT 600 LABELS faulttrace windows)
scribbloom_register_test(faulttrace_windows_cleanup /usr/bin/python3 ${windows_test_script} cleanup
  ENV ${windows_test_env} TIMEOUT 60 LABELS faulttrace windows)
set_tests_properties(faulttrace_windows_prepare PROPERTIES FIXTURES_SETUP faulttrace_wine
                     RESOURCE_LOCK windows_build_tree)
set_tests_properties(faulttrace_windows_cleanup PROPERTIES FIXTURES_CLEANUP faulttrace_wine)

scribbloom_register_test(faulttrace_windows_units /usr/bin/python3 ${windows_test_script} units
  ENV ${windows_test_env} TIMEOUT 90 LABELS faulttrace windows)
set_tests_properties(faulttrace_windows_units PROPERTIES FIXTURES_REQUIRED faulttrace_wine)

foreach(crash_case null overflow thread divide raise server-down)
  scribbloom_register_test(faulttrace_windows_crash_${crash_case}
    /usr/bin/python3 ${windows_test_script} ${crash_case}
    ENV ${windows_test_env} TIMEOUT 90 LABELS faulttrace windows)
  set_tests_properties(faulttrace_windows_crash_${crash_case} PROPERTIES FIXTURES_REQUIRED faulttrace_wine)
endforeach()
