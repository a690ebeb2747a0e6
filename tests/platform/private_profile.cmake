scribbloom_add_test(test_private_profile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PrivateProfileTest.cpp
  LIBS scribbloom_platform)
