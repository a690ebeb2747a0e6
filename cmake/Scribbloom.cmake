# Helpers shared by the module and test CMake files.

# scribbloom_add_test(<name>
#     SOURCES <files...> [LIBS <targets...>]
#     [XVFB | WAYLAND] [SCREEN <WxHxD>] [ENV <VAR=value...>] [TIMEOUT <s>] [LABELS <l...>])
#
# Builds a test executable that also carries the compiled-in resources and
# registers it with CTest. By default it runs on Qt's offscreen platform;
# XVFB runs it on a private virtual X display of the given screen size
# (default 1920x1080x24), for tests that need real grabs, input or the clipboard.
# WAYLAND marks a test that starts its own Wayland session (label "wayland"),
# so Qt's platform is left for the program to choose.
function(scribbloom_add_test name)
  cmake_parse_arguments(T "XVFB;WAYLAND" "SCREEN;TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} scribbloom_resources Qt5::Test)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
  scribbloom_register_test(${name} $<TARGET_FILE:${name}> ${ARGN})
endfunction()

# scribbloom_register_test(<name> <command...> [XVFB | WAYLAND] [SCREEN ..] [ENV ..] [TIMEOUT ..] [LABELS ..])
# Registers any command (a script, the real program) the same way.
function(scribbloom_register_test name)
  cmake_parse_arguments(T "XVFB;WAYLAND" "SCREEN;TIMEOUT" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  set(cmd ${T_UNPARSED_ARGUMENTS})
  if(NOT T_SCREEN)
    set(T_SCREEN 1920x1080x24)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime" "SCRIBBLOOM_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
          "SCRIBBLOOM_BIN_DIR=${SCRIBBLOOM_BIN_DIR}"
          # Settings the program remembers stay with the test, away from the user's own.
          "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-config"
          # So are the open board's journal and other state.
          "XDG_STATE_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-state"
          # No test may report usage to the outside world; tests of the report opt back in.
          "DO_NOT_TRACK=1"
          # The program starts in the system's language when none is stored:
          # tests expect the designed default, Chinese, whatever the machine's.
          "LC_ALL=C.UTF-8" "LANG=C.UTF-8" ${T_ENV})
  if(T_XVFB)
    set(cmd ${CMAKE_SOURCE_DIR}/tests/tools/with-xvfb.sh ${T_SCREEN} ${cmd})
    list(APPEND T_LABELS xvfb)
  elseif(T_WAYLAND)
    list(APPEND T_LABELS wayland)
  else()
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
    list(APPEND T_LABELS offscreen)
  endif()
  add_test(NAME ${name} COMMAND ${cmd} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()

# scribbloom_module(<target> GLOBS <patterns...> [EXCLUDE <regex>] [LIBS <targets...>])
# A module library made of every source matching the patterns, so adding a
# file to a module needs no edit here. A module with no sources yet is an
# interface target that still carries its dependencies.
function(scribbloom_module target)
  cmake_parse_arguments(M "" "EXCLUDE" "GLOBS;LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${M_GLOBS})
  if(M_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${M_EXCLUDE}")
  endif()
  set(cpp ${srcs})
  list(FILTER cpp INCLUDE REGEX "\\.(cpp|c)$")
  if(cpp)
    add_library(${target} STATIC ${srcs})
    target_link_libraries(${target} PUBLIC ${M_LIBS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${M_LIBS})
  endif()
endfunction()
