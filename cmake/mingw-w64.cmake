# Shared part of the mingw-w64 toolchain files: the compilers, resource
# compiler and libraries of Debian's mingw-w64 for MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
# The whole program links Qt, which is built with the posix-thread compilers
# (std::thread needs them); the crash-report library alone links everything
# statically and keeps the default ones.
if(SCRIBBLOOM_WINDOWS_DEPS)
  set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
  set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
else()
  set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc)
  set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++)
endif()
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
