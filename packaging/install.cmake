# Install rules and the Debian package (./dev.sh package): the program in bin/, the
# reference tables in share/vorn/DATA (found by the program as ../share/vorn/DATA), the
# user guide, the desktop entry, the MIME types of calculations and projects, the icons
# and the manual page.
include(GNUInstallDirs)

install(TARGETS vorn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/DATA/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vorn/DATA)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.md DESTINATION ${CMAKE_INSTALL_DATADIR}/vorn/doc)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vorn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vorn-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME vorn.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorn)

# Icons: the drawing itself, and PNG sizes rendered from it at build time. The file
# types carry the program's icon too.
set(vorn_icon ${CMAKE_CURRENT_LIST_DIR}/vorn.svg)
set(vorn_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${vorn_icon} DESTINATION ${vorn_hicolor}/scalable/apps)
foreach(type calculation project)
  install(FILES ${vorn_icon} DESTINATION ${vorn_hicolor}/scalable/mimetypes
    RENAME application-x-vorn-${type}.svg)
endforeach()
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(vorn_pngs)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/vorn.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${vorn_icon} -o ${png}
      DEPENDS ${vorn_icon} VERBATIM)
    list(APPEND vorn_pngs ${png})
    install(FILES ${png} DESTINATION ${vorn_hicolor}/${size}x${size}/apps)
  endforeach()
  add_custom_target(vorn_icons ALL DEPENDS ${vorn_pngs})
else()
  message(STATUS "rsvg-convert not found: the package gets the SVG icon only")
endif()

# The manual page and the package's changelog, compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
if(GZIP_PROGRAM)
  set(vorn_changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  add_custom_command(OUTPUT ${vorn_changelog}
    COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_BINARY_DIR}/doc/changelog > ${vorn_changelog}
    DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog)
  add_custom_target(vorn_changelog ALL DEPENDS ${vorn_changelog})
  install(FILES ${vorn_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorn)

  set(vorn_man ${CMAKE_BINARY_DIR}/man/vorn.1.gz)
  add_custom_command(OUTPUT ${vorn_man}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_CURRENT_LIST_DIR}/vorn.1 > ${vorn_man}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/vorn.1)
  add_custom_target(vorn_man ALL DEPENDS ${vorn_man})
  install(FILES ${vorn_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${CMAKE_BINARY_DIR}/doc/changelog DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorn)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/vorn.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR "ООО «Ворн-Холод»")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vorn <info@vorn-holod.ru>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "heat balance of a cold room and refrigeration equipment selection")
# Lines of the long description stay within 72 characters (Debian asks for at most 80).
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Vorn computes the nine heat gains of a cold room, their sum and the\n"
  "refrigerating capacity the equipment must deliver, selects refrigeration\n"
  "systems from a catalogue and prints the calculation report and the\n"
  "systems list. Russian user interface, data in dBase (DBF) tables.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The reports print in Liberation Sans; the window cannot start without Qt's platform
# plugins, which the shared-library dependencies do not name; the standard dialogs speak
# Russian with Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
