# Finding the libraries cross-built for Windows (scripts/build-windows-deps.sh)
# in the folders SCRIBBLOOM_WINDOWS_DEPS names, and the host's Qt tools that
# the Windows build's Qt lacks (the Linguist tools).

list(APPEND CMAKE_FIND_ROOT_PATH ${SCRIBBLOOM_WINDOWS_DEPS})
set(OPENSSL_USE_STATIC_LIBS TRUE)
set(CURL_NO_CURL_CMAKE OFF)

# pkg-config reads only those folders' files, never the host's.
set(windows_pc_dirs)
foreach(dir ${SCRIBBLOOM_WINDOWS_DEPS})
  if(EXISTS ${dir}/lib/pkgconfig)
    list(APPEND windows_pc_dirs ${dir}/lib/pkgconfig)
  endif()
endforeach()
string(REPLACE ";" ":" windows_pc_dirs "${windows_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${windows_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")

# Translations are data: the host's tools of the same Qt version make them.
find_program(SCRIBBLOOM_HOST_LRELEASE lrelease PATHS /usr/lib/qt5/bin NO_DEFAULT_PATH)
find_program(SCRIBBLOOM_HOST_LCONVERT lconvert PATHS /usr/lib/qt5/bin NO_DEFAULT_PATH)
find_program(SCRIBBLOOM_HOST_QMAKE qmake PATHS /usr/lib/qt5/bin NO_DEFAULT_PATH)
if(NOT (SCRIBBLOOM_HOST_LRELEASE AND SCRIBBLOOM_HOST_LCONVERT AND SCRIBBLOOM_HOST_QMAKE))
  message(FATAL_ERROR "The host's Qt tools (lrelease, lconvert, qmake; package qttools5-dev-tools) are missing")
endif()
