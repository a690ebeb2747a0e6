# The Debian package made by CPack from this build tree, installed on the
# machine, run, crashed and removed again. It needs root and skips without.
# A sanitizer build is not what a package ships, and its crash handling
# belongs to the sanitizer, so the test is left out there.
if(NOT SCRIBBLOOM_SANITIZE)
  scribbloom_register_test(e2e_package /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_package.py
    TIMEOUT 900 LABELS package)
  set_tests_properties(e2e_package PROPERTIES SKIP_RETURN_CODE 77 RESOURCE_LOCK installed_program)
endif()
