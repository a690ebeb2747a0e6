# Help pages and desktop integration.
#
# Everything the program looks for beside itself (translations, skins, the
# help pages, the crash-report library) goes into one private folder,
# <libdir>/scribbloom; <bindir>/scribbloom is a link to the program there.
# The build tree mirrors that folder in ${SCRIBBLOOM_BIN_DIR}, so a built
# program runs the same way as an installed one.

set(SCRIBBLOOM_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/scribbloom)

include(${CMAKE_CURRENT_LIST_DIR}/HelpPages.cmake)

install(TARGETS Scribbloom RUNTIME DESTINATION ${SCRIBBLOOM_INSTALL_DIR})
install(DIRECTORY ${SCRIBBLOOM_BIN_DIR}/translations DESTINATION ${SCRIBBLOOM_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.qm")

install(FILES ${help_pages} DESTINATION ${SCRIBBLOOM_INSTALL_DIR}/help)
install(FILES ${help_pictures} DESTINATION ${SCRIBBLOOM_INSTALL_DIR}/help/img)

# Skin files are optional at run time: install whichever the build made.
install(DIRECTORY ${SCRIBBLOOM_BIN_DIR}/skin DESTINATION ${SCRIBBLOOM_INSTALL_DIR} OPTIONAL)

install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK ../${SCRIBBLOOM_INSTALL_DIR}/Scribbloom
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/scribbloom\" SYMBOLIC)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/scribbloom\")
")

set(desktop_dir ${CMAKE_SOURCE_DIR}/resources/desktop)
set(packaging_dir ${CMAKE_SOURCE_DIR}/packaging)
# The desktop entry and the software-centre description share one id.
set(SCRIBBLOOM_DESKTOP_ID net.scribbloom.Scribbloom)
# The entry starts the link by its full path, known only when installing:
# KWin matches a program's executable against that path before it lets the
# program use its screenshot interface (X-KDE-DBUS-Restricted-Interfaces).
install(CODE "
  set(entry_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  file(READ \"${desktop_dir}/${SCRIBBLOOM_DESKTOP_ID}.desktop\" entry)
  string(REGEX REPLACE \"\nExec=[^\n]*\" \"\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/scribbloom %f\" entry \"\${entry}\")
  file(MAKE_DIRECTORY \"\${entry_dir}\")
  file(WRITE \"\${entry_dir}/${SCRIBBLOOM_DESKTOP_ID}.desktop\" \"\${entry}\")
  message(STATUS \"Installing: \${entry_dir}/${SCRIBBLOOM_DESKTOP_ID}.desktop\")
")
install(FILES ${packaging_dir}/${SCRIBBLOOM_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Saved boards (".sbboard") are a file type of their own, opened by the program.
install(FILES ${packaging_dir}/scribbloom-board.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${desktop_dir}/scribbloom.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${desktop_dir}/scribbloom-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME scribbloom.png)
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
