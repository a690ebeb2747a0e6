# Crash tests: a real crashing program, a real FTP server and address service
find_package(Threads REQUIRED)
# on 127.0.0.1, Breakpad's minidump reader and real ZIP readers.
add_executable(CrashProgram ${CMAKE_CURRENT_LIST_DIR}/CrashProgram.cpp)
# The HTTP pool, for a crash on one of its workers.
target_link_libraries(CrashProgram PRIVATE FaultTrace scribbloom_online Threads::Threads ${CMAKE_DL_LIBS})
# Unoptimised with full debug information, so the walked frames match the source.
target_compile_options(CrashProgram PRIVATE -O0 -g -fno-inline)
set_target_properties(CrashProgram PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
add_dependencies(CrashProgram FaultTraceHelper)

add_library(TruncatedLibrary SHARED ${CMAKE_CURRENT_LIST_DIR}/TruncatedLibrary.cpp)
set_target_properties(TruncatedLibrary PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
add_dependencies(CrashProgram TruncatedLibrary)

# Under AddressSanitizer the sanitizer's own fault handler sits beneath ours
# and ends the process its way; these tests check the plain build.
if(SCRIBBLOOM_SANITIZE)
  return()
endif()

set(FAULTTRACE_MINIDUMP_TOOLS ${CMAKE_BINARY_DIR}/test-tools/minidump/bin/linux-x64)
foreach(crash_case null abort overflow thread malloc double-free heap-overrun trap pool-overflow second-fault
        truncated-library end-still-reports end-gives-back-previous server-down dump-folder-blocked wrong-password postmortem-missing
        no-config sections-off system-off zone-changed helper-missing helper-crashes helper-hangs helper-fails
        handling-stuck
        address-service-silent ftp-server-silent version-with-slashes)
  # The allocator crashes run twenty times in a row.
  set(crash_timeout 120)
  if(crash_case MATCHES "^(malloc|double-free|heap-overrun)$")
    set(crash_timeout 600)
  endif()
  scribbloom_register_test(faulttrace_crash_${crash_case}
    /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/crash_test.py ${crash_case}
    ENV MINIDUMP_TOOLS=${FAULTTRACE_MINIDUMP_TOOLS}
    TIMEOUT ${crash_timeout} LABELS faulttrace)
endforeach()
