# Unit tests of FaultTrace's parts: configuration, text formats, packaging
# with real ZIP readers, and the crash-path pieces in a healthy process.
find_package(GTest REQUIRED)

add_executable(faulttrace_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/ConfigTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CrashTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PackagingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CrashPathTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemSourcesTest.cpp)
target_link_libraries(faulttrace_unit_tests PRIVATE faulttrace_core faulttrace_helper_core FaultTrace GTest::gtest_main)
set_target_properties(faulttrace_unit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
scribbloom_register_test(faulttrace_unit_tests $<TARGET_FILE:faulttrace_unit_tests>
  ENV FAULTTRACE_IPSERV=127.0.0.1:1 TIMEOUT 120 LABELS faulttrace)

# Built as "libVersionedLibrary.so" with the soname "libVersionedLibrary.so.3.1".
add_library(VersionedLibrary SHARED ${CMAKE_CURRENT_LIST_DIR}/VersionedLibrary.cpp)
set_target_properties(VersionedLibrary PROPERTIES NO_SONAME ON LIBRARY_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
target_link_options(VersionedLibrary PRIVATE -Wl,-soname,libVersionedLibrary.so.3.1)
add_dependencies(faulttrace_unit_tests VersionedLibrary)
target_link_libraries(faulttrace_unit_tests PRIVATE ${CMAKE_DL_LIBS})

# Nothing on the crash path may call an unsafe function. (The sanitizer
# build instruments every object with calls of its own.)
if(NOT SCRIBBLOOM_SANITIZE)
  scribbloom_register_test(faulttrace_crash_path_calls
    /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/crash_path_calls.py $<TARGET_OBJECTS:faulttrace_crash_path>
    TIMEOUT 60 LABELS faulttrace)
endif()
