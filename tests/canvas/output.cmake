# Image output: the print window (preview, PDF page, a real CUPS-PDF queue
# started by with-cups.sh), saving and copying the board.
scribbloom_add_test(output_print
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/output_print_test.cpp
  LIBS scribbloom_canvas Qt5::PrintSupport
  XVFB)
set_tests_properties(output_print PROPERTIES
  ENVIRONMENT_MODIFICATION "SCRIBBLOOM_CUPS_PDF_DIR=unset:")
scribbloom_register_test(output_print_cups ${CMAKE_CURRENT_LIST_DIR}/with-cups.sh $<TARGET_FILE:output_print>
  XVFB)

scribbloom_add_test(output_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/output_test.cpp ${CMAKE_CURRENT_LIST_DIR}/output_fixture.h
  LIBS scribbloom_canvas
  XVFB)
target_compile_definitions(output_test PRIVATE QTEST_QPA_MOUSE_HANDLING)
scribbloom_register_test(output_test_scaled $<TARGET_FILE:output_test> XVFB ENV QT_SCALE_FACTOR=1.5)
