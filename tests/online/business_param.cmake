# Request parameters: common entries, the encoded and signed body, system names, the channel.
scribbloom_add_test(online_business_param
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BusinessParamTest.cpp
  LIBS scribbloom_online
  TIMEOUT 120)
