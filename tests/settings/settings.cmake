scribbloom_add_test(test_settings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
  LIBS scribbloom_settings)
# The theme cases register the real skin files built beside the test.
add_dependencies(test_settings scribbloom_skins)
