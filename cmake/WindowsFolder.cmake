# The folder a Windows user copies to a machine, ${CMAKE_BINARY_DIR}/Scribbloom:
# the program, FaultTrace.dll, the DLLs they load (Qt's, the compiler's),
# Qt's plugins, translations, skins and the offline help; and a ZIP of it.
# Laid out anew by cmake/LayOutWindowsFolder.cmake after every build.

include(${CMAKE_CURRENT_LIST_DIR}/HelpPages.cmake)

get_target_property(qt_core_location Qt5::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_prefix ${qt_core_location} DIRECTORY)
get_filename_component(qt_prefix ${qt_prefix} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE compiler_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(compiler_dll_dir ${compiler_dll} DIRECTORY)
find_program(SCRIBBLOOM_MINGW_OBJDUMP ${MINGW_TRIPLE}-objdump REQUIRED)
find_program(SCRIBBLOOM_MINGW_STRIP ${MINGW_TRIPLE}-strip REQUIRED)

set(SCRIBBLOOM_WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/Scribbloom)
set(SCRIBBLOOM_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/Scribbloom-${SCRIBBLOOM_FULL_VERSION}-windows-x86_64.zip)
add_custom_target(scribbloom_windows_folder ALL
  COMMAND ${CMAKE_COMMAND}
          -DBIN_DIR=${SCRIBBLOOM_BIN_DIR}
          -DFOLDER=${SCRIBBLOOM_WINDOWS_FOLDER}
          -DZIP=${SCRIBBLOOM_WINDOWS_ZIP}
          -DQT_PREFIX=${qt_prefix}
          "-DDLL_DIRS=${qt_prefix}/bin|${compiler_dll_dir}|/usr/${MINGW_TRIPLE}/lib|/usr/${MINGW_TRIPLE}/bin"
          -DOBJDUMP=${SCRIBBLOOM_MINGW_OBJDUMP}
          -DSTRIP=${SCRIBBLOOM_MINGW_STRIP}
          -P ${CMAKE_CURRENT_LIST_DIR}/LayOutWindowsFolder.cmake
  DEPENDS Scribbloom FaultTrace scribbloom_translations scribbloom_skins scribbloom_help
  COMMENT "Laying out ${SCRIBBLOOM_WINDOWS_FOLDER} and its ZIP"
  VERBATIM)
