# What `cmake --install` puts in place, and the Debian package made from it
# with `cpack -G DEB`. Paths are relative to the prefix, so the same rules
# serve /usr/local, /usr (the package) and any temporary prefix.

set(QUORVANE_DATA "${CMAKE_SOURCE_DIR}/data")

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${QUORVANE_DATA}/${QUORVANE_APP_ID}.desktop"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${QUORVANE_DATA}/${QUORVANE_APP_ID}.metainfo.xml"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# "Rename with Quorvane" in the file managers' menus for a selection: a
# Dolphin service menu and a Nemo action. Thunar and Nautilus take the same
# entry from the user (see the manual).
install(FILES "${QUORVANE_DATA}/quorvane-rename.service-menu.desktop"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus RENAME quorvane-rename.desktop)
install(FILES "${QUORVANE_DATA}/quorvane-rename.nemo_action"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)

set(QUORVANE_ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES "${QUORVANE_DATA}/icons/${QUORVANE_APP_ID}.svg"
  DESTINATION ${QUORVANE_ICON_DIR}/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES "${QUORVANE_DATA}/icons/png/quorvane-${size}.png"
    DESTINATION ${QUORVANE_ICON_DIR}/${size}x${size}/apps
    RENAME ${QUORVANE_APP_ID}.png)
endforeach()

# Manual pages are kept compressed, as man and Debian expect them.
find_program(GZIP_EXE gzip)
if(GZIP_EXE)
  set(QUORVANE_MAN_PAGE "${CMAKE_BINARY_DIR}/quorvane.1.gz")
  add_custom_command(OUTPUT "${QUORVANE_MAN_PAGE}"
    COMMAND ${CMAKE_COMMAND} -E copy "${QUORVANE_DATA}/quorvane.1" "${CMAKE_BINARY_DIR}/quorvane.1"
    COMMAND "${GZIP_EXE}" -n -9 -f "${CMAKE_BINARY_DIR}/quorvane.1"
    DEPENDS "${QUORVANE_DATA}/quorvane.1"
    COMMENT "Compressing the manual page")
  add_custom_target(quorvane_man_page ALL DEPENDS "${QUORVANE_MAN_PAGE}")
  # The package's history, where Debian's tools look for it.
  set(QUORVANE_CHANGELOG "${CMAKE_BINARY_DIR}/changelog.gz")
  add_custom_command(OUTPUT "${QUORVANE_CHANGELOG}"
    COMMAND ${CMAKE_COMMAND} -E copy "${QUORVANE_DATA}/changelog" "${CMAKE_BINARY_DIR}/changelog"
    COMMAND "${GZIP_EXE}" -n -9 -f "${CMAKE_BINARY_DIR}/changelog"
    DEPENDS "${QUORVANE_DATA}/changelog"
    COMMENT "Compressing the changelog")
  add_custom_target(quorvane_changelog ALL DEPENDS "${QUORVANE_CHANGELOG}")
else()
  set(QUORVANE_MAN_PAGE "${QUORVANE_DATA}/quorvane.1")
  set(QUORVANE_CHANGELOG "${QUORVANE_DATA}/changelog")
endif()
install(FILES "${QUORVANE_MAN_PAGE}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${QUORVANE_CHANGELOG}" DESTINATION ${QUORVANE_DOC_DIR})

install(DIRECTORY "${QUORVANE_DATA}/manual/" DESTINATION ${QUORVANE_MANUAL_DIR}
  FILES_MATCHING PATTERN "*.html" PATTERN "*.css" PATTERN "*.png")
configure_file("${QUORVANE_DATA}/copyright.in" "${CMAKE_BINARY_DIR}/copyright" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/copyright" DESTINATION ${QUORVANE_DOC_DIR})

# ---- Debian package ----
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian wants the long description in lines of under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quorvane lists the files of a folder that match a wildcard filter,"
  "proposes new names by a rule (letter case and extension, insert, delete,"
  "replace with plain text or a regular expression, numbering, or names from"
  "the ID3v2 or ID3v1 tags of MP3 files), shows them beside the current names"
  "with the conflicts marked before Apply, renames the files and can undo the"
  "last run or any run of its history."
  "A further page changes file attributes and time stamps. No run ever"
  "replaces an existing file.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${QUORVANE_WEB_SITE}")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/COPYING")
set(CPACK_PACKAGE_CONTACT "${QUORVANE_SUPPORT_MAIL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # quorvane_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane developers <${QUORVANE_SUPPORT_MAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends are read off the binary's libraries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the manual and the web links goes through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
