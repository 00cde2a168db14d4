# Debian packages built by CPack (`cpack -G DEB` in a build folder configured
# with -DCMAKE_INSTALL_PREFIX=/usr; tools/build-package.sh does it all):
#   sheetjob_<version>_amd64.deb      the batch program, its manual page, the README
#                                     and examples; no GUI library
#   sheetjob-gui_<version>_amd64.deb  the dialog program, its manual page, the
#                                     desktop entry and the icon; depends on sheetjob
# The library dependencies are found by dpkg-shlibdeps.

set(SHEETJOB_MAINTAINER "sheetjob maintainers <maintainers@users.noreply.c-seed-e9b992b8.example>"
    CACHE STRING "Maintainer field of the Debian packages")
set(SHEETJOB_HOMEPAGE "https://sheetjob.c-seed-e9b992b8.example/"
    CACHE STRING "Homepage field of the Debian packages")

# The programs name the folders they are installed in (the README in --help),
# so a package is only made of a build configured for /usr: cpack checks it.
set(CPACK_SHEETJOB_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingCheck.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sheetjob)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SHEETJOB_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SHEETJOB_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackagingStrip.cmake)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL batch)
if(SHEETJOB_BUILD_GUI)
    list(APPEND CPACK_COMPONENTS_ALL gui)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SHEETJOB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SHEETJOB_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Control files with the modes dpkg-deb would give them (lintian checks them).
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Descriptions: the synopsis, then the long text (CPack indents its lines and
# turns an empty line into the paragraph break).
set(CPACK_DEBIAN_BATCH_PACKAGE_NAME sheetjob)
set(CPACK_DEBIAN_BATCH_DESCRIPTION
    "mathematical basis of map sheets as shapefile layers
sheetjob builds the mathematical basis of a sheet of the international
1:1 000 000 map grid or of its 1:200 000 subdivision: the sheet's trapezium,
its graticule, its frame (minute frame, outer frame, outlets, value labels,
the neighbouring sheets' names) and, on request, the frames of the 1:50 000
and 1:25 000 sheets inside it, in SK-42, SK-95 or GSK-2011. Everything is
written as ESRI shapefile layers in geographic coordinates, ready to be
compiled into a printed map in a GIS.

This package holds the batch program, which runs one or more argument files
and needs no display. The dialogs are in the package sheetjob-gui.")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME sheetjob-gui)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "sheetjob (= ${PROJECT_VERSION})")
# Qt's own texts (the folder picker, message-box buttons) in Russian.
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_GUI_DESCRIPTION
    "mathematical basis of map sheets as shapefile layers - dialogs
sheetjob builds the mathematical basis of a sheet of the international
1:1 000 000 map grid or of its 1:200 000 subdivision (trapezium, graticule,
frame, sub-sheet frames) as ESRI shapefile layers.

This package holds the dialog program sheetjob-gui (Qt 6), which sets up a
job in a start screen, a parameter dialog and a refinement dialog, with its
desktop entry and icon.")

include(CPack)
