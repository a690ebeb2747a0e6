# The Debian package, built by CPack from the install rules:
#
#   cpack -G DEB          (in the build tree, after a build)
#
# It holds exactly what `cmake --install` lays out, under /usr, plus the
# files Debian wants of every package: the manual page and the changelog,
# both compressed, and the copyright file.

set(SCRIBBLOOM_PACKAGE_VERSION ${SCRIBBLOOM_FULL_VERSION})
set(SCRIBBLOOM_PACKAGE_PREFIX /usr)
# Where the program's own folder lies once the package is installed.
set(SCRIBBLOOM_PACKAGED_DIR ${SCRIBBLOOM_PACKAGE_PREFIX}/${SCRIBBLOOM_INSTALL_DIR})

find_program(SCRIBBLOOM_GZIP gzip REQUIRED)
set(package_build_dir ${CMAKE_BINARY_DIR}/packaging)

configure_file(${CMAKE_SOURCE_DIR}/packaging/scribbloom.1.in ${package_build_dir}/scribbloom.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/postrm.in ${package_build_dir}/postrm @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)

# Debian compresses manual pages and changelogs with gzip -9, without a time
# stamp in the header, so the same sources give the same package.
set(man_page ${package_build_dir}/scribbloom.1.gz)
set(changelog ${package_build_dir}/changelog.gz)
add_custom_command(OUTPUT ${man_page}
  COMMAND ${SCRIBBLOOM_GZIP} -9nc ${package_build_dir}/scribbloom.1 > ${man_page}
  DEPENDS ${package_build_dir}/scribbloom.1 VERBATIM)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${SCRIBBLOOM_GZIP} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(scribbloom_package_files ALL DEPENDS ${man_page} ${changelog})

install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/scribbloom)
install(FILES ${changelog} ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scribbloom)
set(CPACK_PACKAGE_VERSION ${SCRIBBLOOM_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR "Scribbloom developers")
set(CPACK_PACKAGE_CONTACT "Scribbloom developers <dev@scribbloom.net>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${SCRIBBLOOM_PACKAGE_PREFIX})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "freeze the screen and draw on it")
set(CPACK_PACKAGE_DESCRIPTION
"Scribbloom freezes a snapshot of the screen and lets a presenter or teacher
draw on it: pen, lines, arrows, rectangles, ellipses, numbered badges, text,
tick and cross, eraser; zoom, select an area to copy or save, pick colours,
save or print the board. A narrow tool strip stays at the right edge of the
screen, above every other window.

Its crash-report library, FaultTrace, writes a minidump and a text report
when the program crashes.")
# Installed binaries carry no debugging information, as Debian wants.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://scribbloom.net/")
# The libraries come from dpkg-shlibdeps; the texts are Chinese, and the
# font that draws them is loaded by name, so no linker sees it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
# The help page opens in the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_build_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
