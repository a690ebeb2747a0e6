# The HTTP client against a real HTTP and HTTPS server on 127.0.0.1.
set(online_test_dir ${CMAKE_CURRENT_LIST_DIR})
scribbloom_add_test(online_http_client
  SOURCES ${online_test_dir}/HttpClientTest.cpp ${online_test_dir}/TestServer.cpp ${online_test_dir}/TestServer.h
  LIBS scribbloom_online
  TIMEOUT 240)
