# Installation and the Debian package (`make package`, or `cpack -G DEB` in
# the build folder): both programs, the menu entry, the icons, the AppStream
# metadata, the manual pages and the Debian copyright and changelog.
include(GNUInstallDirs)

set(DESKTALLY_APP_ID org.desktally.DeskTally)
set(DESKTALLY_MAINTAINER "The DeskTally developers <maintainers@desktally.org>")
set(DESKTALLY_DEB_RELEASE 1)
set(DESKTALLY_DEB_VERSION ${PROJECT_VERSION}-${DESKTALLY_DEB_RELEASE})
set(data ${PROJECT_SOURCE_DIR}/data)
set(staged ${PROJECT_BINARY_DIR}/data)

install(TARGETS desktally desktally-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/${DESKTALLY_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${DESKTALLY_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/icons/desktally.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${data}/icons/hicolor/${size}x${size}/desktally.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages and the changelog are installed compressed, without a time
# stamp in the gzip header, so that the package is the same on every build.
configure_file(${data}/debian/changelog.in ${staged}/changelog.Debian @ONLY)
set(compressed)
foreach(source man/desktally.1 man/desktally-cli.1)
  list(APPEND compressed ${staged}/${source}.gz)
  add_custom_command(OUTPUT ${staged}/${source}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${staged}/man
                     COMMAND gzip -9nc ${data}/${source} > ${staged}/${source}.gz
                     DEPENDS ${data}/${source} VERBATIM)
endforeach()
add_custom_command(OUTPUT ${staged}/changelog.Debian.gz
                   COMMAND gzip -9nc ${staged}/changelog.Debian > ${staged}/changelog.Debian.gz
                   DEPENDS ${staged}/changelog.Debian VERBATIM)
list(APPEND compressed ${staged}/changelog.Debian.gz)
add_custom_target(desktally_package_data ALL DEPENDS ${compressed})
install(FILES ${staged}/man/desktally.1.gz ${staged}/man/desktally-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data}/debian/copyright ${staged}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/desktally)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME desktally)
set(CPACK_PACKAGE_VENDOR "The DeskTally developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${DESKTALLY_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for the inventories of managed PCs")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${DESKTALLY_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DESKTALLY_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://desktally.org/)
# The shared libraries come from dpkg-shlibdeps; what the programs load at
# run time without linking it is named here: Qt's window-system plugins and
# the Korean font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-nanum")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# Follows the summary as the synopsis; CPack indents it and marks the blank
# line between paragraphs.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "DeskTally loads a site of PC inventories (hardware, Windows information,\n"
       "installed programs and program usage, written as XML files by agents on\n"
       "the PCs), arranges the PCs in the tree of groups of a group file, gathers\n"
       "every inventory up the tree and shows it in lists that can be sorted,\n"
       "filtered and exported.\n"
       "\n"
       "The package holds the console window, desktally, and the headless\n"
       "console, desktally-cli, which prints the tree or a list for scripts.")
include(CPack)
