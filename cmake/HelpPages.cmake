# The offline help pages, laid out in ${SCRIBBLOOM_BIN_DIR}/help beside the
# program, which opens them from there.

# The help page shows the strip's own pictures next to each tool's text.
set(help_dir ${CMAKE_SOURCE_DIR}/resources/help)
set(help_pages ${help_dir}/index.html ${help_dir}/index_zh.html ${help_dir}/help.css)
set(help_pictures ${CMAKE_SOURCE_DIR}/resources/desktop/scribbloom.svg)
foreach(name pen highlighter laser line eraser rect brushRect ellipse brushEllips arrow markpen text right_p wrong
             colorPicker selectedArce zoomin zoomout undo redo print clearBoard newPainter copyboard
             save exit)
  list(APPEND help_pictures ${CMAKE_SOURCE_DIR}/resources/resource/${name}4.png)
endforeach()
foreach(name open1 off1 menu1 opt1 help1 custom_size1 close size1_3 size5_3 color_red color_yellow
             color_green color_blue color_black color_white color_purple color_custom)
  list(APPEND help_pictures ${CMAKE_SOURCE_DIR}/resources/resource/${name}.png)
endforeach()

set(help_outputs)
foreach(page ${help_pages})
  get_filename_component(name ${page} NAME)
  set(out ${SCRIBBLOOM_BIN_DIR}/help/${name})
  add_custom_command(OUTPUT ${out} COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page} ${out}
                     DEPENDS ${page} VERBATIM)
  list(APPEND help_outputs ${out})
endforeach()
foreach(picture ${help_pictures})
  get_filename_component(name ${picture} NAME)
  set(out ${SCRIBBLOOM_BIN_DIR}/help/img/${name})
  add_custom_command(OUTPUT ${out} COMMAND ${CMAKE_COMMAND} -E copy_if_different ${picture} ${out}
                     DEPENDS ${picture} VERBATIM)
  list(APPEND help_outputs ${out})
endforeach()
add_custom_target(scribbloom_help ALL DEPENDS ${help_outputs})
add_dependencies(Scribbloom scribbloom_help)
