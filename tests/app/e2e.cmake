# The real program under its own virtual X display, driven with xdotool as a
# user drives it; the scripts read the screen back from Xvfb's framebuffer file.
add_executable(e2e_imageprobe ${CMAKE_CURRENT_LIST_DIR}/e2e/imageprobe.cpp)
target_link_libraries(e2e_imageprobe PRIVATE Qt5::Gui)
set_target_properties(e2e_imageprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
add_dependencies(e2e_imageprobe Scribbloom)

scribbloom_register_test(e2e_board /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_board.py
  TIMEOUT 240 LABELS e2e)
scribbloom_register_test(e2e_shell /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_shell.py
  TIMEOUT 240 LABELS e2e)
scribbloom_register_test(e2e_install /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_install.py
  TIMEOUT 240 LABELS e2e)
scribbloom_register_test(e2e_wm /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_wm.py
  TIMEOUT 240 LABELS e2e)
scribbloom_register_test(e2e_survive /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_survive.py
  TIMEOUT 240 LABELS e2e)
