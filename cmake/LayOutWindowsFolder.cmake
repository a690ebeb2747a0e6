# Lays out the Windows program folder (see WindowsFolder.cmake) from the
# build's bin/ folder and packs it into a ZIP. Run with cmake -P and
#   BIN_DIR FOLDER ZIP QT_PREFIX DLL_DIRS (folders split by "|") OBJDUMP STRIP
# It is made beside FOLDER and renamed into place, so a failed run leaves no
# half folder behind under the finished name.

cmake_minimum_required(VERSION 3.16)
string(REPLACE "|" ";" DLL_DIRS "${DLL_DIRS}")

set(staging ${FOLDER}.new)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging})

file(COPY ${BIN_DIR}/Scribbloom.exe ${BIN_DIR}/FaultTrace.dll DESTINATION ${staging})
# Windows' own dbghelp reads no DWARF: the debug sections (nine tenths of the
# program's size) stay in the build's bin/ copies.
foreach(module Scribbloom.exe FaultTrace.dll)
  execute_process(COMMAND ${STRIP} --strip-debug ${staging}/${module} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "strip failed on ${module}")
  endif()
endforeach()
foreach(dir translations skin help)
  if(EXISTS ${BIN_DIR}/${dir})
    file(COPY ${BIN_DIR}/${dir} DESTINATION ${staging})
  endif()
endforeach()

# The Qt plugins the program loads: the window system, the native style,
# printing, picture formats (JPEG and BMP saving, SVG and ICO pictures) and
# SVG icons.
set(plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll printsupport/windowsprintersupport.dll
            imageformats/qjpeg.dll imageformats/qsvg.dll imageformats/qico.dll imageformats/qgif.dll
            iconengines/qsvgicon.dll)
foreach(plugin ${plugins})
  if(NOT EXISTS ${QT_PREFIX}/plugins/${plugin})
    message(FATAL_ERROR "Qt plugin missing: ${QT_PREFIX}/plugins/${plugin}")
  endif()
  get_filename_component(sub ${plugin} DIRECTORY)
  file(COPY ${QT_PREFIX}/plugins/${plugin} DESTINATION ${staging}/${sub})
endforeach()

# Every DLL the executables and plugins import that is not the system's own,
# followed through the DLLs that brings in.
file(GLOB_RECURSE pending ${staging}/*.exe ${staging}/*.dll)
set(seen)
while(pending)
  list(POP_FRONT pending module)
  execute_process(COMMAND ${OBJDUMP} -p ${module} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${module}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
  foreach(line ${imports})
    string(REGEX REPLACE "DLL Name: " "" name "${line}")
    string(TOLOWER ${name} key)
    if(key IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${key})
    foreach(dir ${DLL_DIRS})
      if(EXISTS ${dir}/${name})
        if(NOT EXISTS ${staging}/${name})
          file(COPY ${dir}/${name} DESTINATION ${staging})
          # Third-party DLLs carry no symbols the crash report needs.
          execute_process(COMMAND ${STRIP} --strip-unneeded ${staging}/${name})
          list(APPEND pending ${staging}/${name})
        endif()
        break()
      endif()
    endforeach()
  endforeach()
endwhile()

file(WRITE ${staging}/README.txt
"Scribbloom for Windows (64-bit)\r\n\r\n"
"Start Scribbloom.exe; the tool strip appears at the right edge of the screen.\r\n"
"Keep this folder together: the program loads the DLLs, plugins, translations,\r\n"
"skins and help pages beside it.\r\n\r\n"
"After a crash, FaultTrace.dll writes its report into the folder \"dump\" here and\r\n"
"starts a post-mortem program when one is put beside the program as\r\n"
"\"Postmortem.exe\"; none is shipped.\r\n")

file(REMOVE_RECURSE ${FOLDER})
file(RENAME ${staging} ${FOLDER})

get_filename_component(parent ${FOLDER} DIRECTORY)
get_filename_component(name ${FOLDER} NAME)
file(REMOVE ${ZIP}.new)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP}.new --format=zip ${name}
                WORKING_DIRECTORY ${parent} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "packing ${ZIP} failed")
endif()
file(RENAME ${ZIP}.new ${ZIP})
