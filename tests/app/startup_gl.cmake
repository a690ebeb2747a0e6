# What the real program loads at start.
scribbloom_register_test(startup_without_gl
  ${CMAKE_CURRENT_LIST_DIR}/startup_without_gl.sh $<TARGET_FILE:Scribbloom>
  XVFB SCREEN 1280x1024x24 TIMEOUT 120)
