# The real program, started the way a user starts it, on a virtual display.
add_executable(closewindow ${CMAKE_CURRENT_LIST_DIR}/closewindow.cpp)
target_link_libraries(closewindow PRIVATE X11)
set_target_properties(closewindow PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})

scribbloom_register_test(startup_single_instance
  ${CMAKE_CURRENT_LIST_DIR}/startup_single_instance.sh $<TARGET_FILE:Scribbloom>
  $<TARGET_FILE:closewindow>
  XVFB SCREEN 1280x1024x24 TIMEOUT 120)

scribbloom_register_test(startup_no_display /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/startup_no_display.py
  $<TARGET_FILE:Scribbloom> TIMEOUT 120)

scribbloom_register_test(startup_relocatable ${CMAKE_CURRENT_LIST_DIR}/startup_relocatable.sh ${SCRIBBLOOM_BIN_DIR}
  TIMEOUT 60)
# Not while the package test has the program installed on the system.
set_tests_properties(startup_relocatable PROPERTIES RESOURCE_LOCK installed_program)

scribbloom_register_test(startup_board_command
  ${CMAKE_CURRENT_LIST_DIR}/startup_board_command.sh $<TARGET_FILE:Scribbloom>
  XVFB SCREEN 1280x1024x24 TIMEOUT 120)
