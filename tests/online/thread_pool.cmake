# Worker threads: naming, the pool's queue, fatal exceptions (in child processes).
scribbloom_add_test(online_thread_pool
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ThreadPoolTest.cpp
  LIBS scribbloom_online
  TIMEOUT 180)
