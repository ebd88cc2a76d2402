# Installation and the Debian package: `cpack -G DEB` in a build folder makes
# dtutool_<version>_<arch>.deb with the programs, the desktop entry and icon,
# the man pages, and the optional udev rule for ModemManager. Included last,
# so that every program's target exists.
include(GNUInstallDirs)

set(DTU_PROGRAMS)
foreach(program dtutool dtu-sim dtuctl)
  if(TARGET ${program})
    list(APPEND DTU_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${DTU_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Man pages carry the version and go in gzipped, as Debian wants them.
set(DTU_MAN_PAGES)
foreach(program ${DTU_PROGRAMS})
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/${program}.1 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9nf -k ${page}
    DEPENDS ${page}
    COMMENT "Compressing the man page of ${program}")
  list(APPEND DTU_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(dtu_man_pages ALL DEPENDS ${DTU_MAN_PAGES})
install(FILES ${DTU_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(DTU_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/dtutool)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nf -k ${CMAKE_CURRENT_BINARY_DIR}/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(dtu_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz packaging/copyright README.md DESTINATION ${DTU_DOC_DIR})
# The README links to these, beside it.
install(DIRECTORY docs/ DESTINATION ${DTU_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md")

if(TARGET dtutool)
  install(FILES packaging/dtutool.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES resources/icons/dtu.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
    RENAME dtutool.svg)
endif()
# Offered, not imposed: whether ModemManager may touch serial adapters is the
# machine owner's choice (see the rule's own comment).
install(FILES packaging/udev/70-dtutool-modemmanager.rules DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/dtutool/udev)

set(CPACK_PACKAGE_NAME dtutool)
set(CPACK_PACKAGE_VENDOR "dtutool developers")
set(CPACK_PACKAGE_CONTACT "dtutool developers <maintainers@dtutool.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DTU configuration, test and firmware upgrade tool")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the SVG icons, Qt's
# own Chinese words, and a font with the Chinese captions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n")
# qt6-wayland: the window runs natively on a Wayland desktop (Debian's
# default) rather than through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary above is the synopsis; CPack indents these lines and marks
# the empty line between paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "dtutool configures and tests a DTU, a cellular modem module on a serial
line, and upgrades its firmware block by block with a CRC-32 check.

The package holds the desktop tool, a simulated DTU on a pseudo-terminal
(dtu-sim) and, where built, the command-line program dtuctl. The settings
page names USB adapters by maker, product and serial number, follows them
as they are plugged in and pulled, reopens a pulled adapter, and explains
setup problems with the command that fixes each.")
include(CPack)
