# Base64, MD5, HMAC and AES against their published vectors; the decoders under random input.
scribbloom_add_test(online_business_codec
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BusinessCodecTest.cpp
  LIBS scribbloom_online
  TIMEOUT 120)
