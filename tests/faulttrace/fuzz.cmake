# The configuration parser under libFuzzer, built with clang (the rest of the
# project may use another compiler), run for a bounded time in CI.
find_program(FAULTTRACE_CLANGXX NAMES clang++ clang++-14)
if(FAULTTRACE_CLANGXX)
  set(fuzz_sources
    ${CMAKE_CURRENT_LIST_DIR}/ConfigFuzz.cpp
    ${CMAKE_SOURCE_DIR}/faulttrace/CConfigHandle.cpp
    ${CMAKE_SOURCE_DIR}/faulttrace/CGlobalSet.cpp
    ${CMAKE_SOURCE_DIR}/faulttrace/TextConv.cpp)
  set(fuzz_binary ${SCRIBBLOOM_BIN_DIR}/faulttrace_config_fuzz)
  add_custom_command(OUTPUT ${fuzz_binary}
    COMMAND ${FAULTTRACE_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
            -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR} ${fuzz_sources} -o ${fuzz_binary}
    DEPENDS ${fuzz_sources} ${CMAKE_SOURCE_DIR}/faulttrace/CConfigHandle.h ${CMAKE_SOURCE_DIR}/faulttrace/CGlobalSet.h
    COMMENT "Building the configuration fuzz target with clang")
  add_custom_target(faulttrace_config_fuzz ALL DEPENDS ${fuzz_binary})
  scribbloom_register_test(faulttrace_config_fuzz
    ${CMAKE_CURRENT_LIST_DIR}/run_fuzz.sh ${fuzz_binary} ${CMAKE_CURRENT_LIST_DIR}/fuzz-seeds
    ${CMAKE_CURRENT_BINARY_DIR}/fuzz-work 30
    TIMEOUT 180 LABELS faulttrace)
else()
  message(WARNING "clang++ not found: the configuration fuzz target is not built")
endif()
