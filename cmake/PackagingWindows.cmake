# The Windows packages, built by CPack in the Windows build folder
# (tools/build-windows.sh does it all):
#   sheetjob-<version>-win64.exe  the installer (NSIS): for the current user,
#                                 without administrator rights; Start-menu
#                                 entry, uninstaller (packaging/windows)
#   sheetjob-<version>-win64.zip  the same files, to unpack anywhere
# Both hold sheetjob.exe, sheetjob-gui.exe, the README, the licence text and
# the examples.

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . COMPONENT batch)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME COPYRIGHT.txt
        COMPONENT batch)
install(FILES ${PROJECT_SOURCE_DIR}/examples/N-37-XIV.txt
              ${PROJECT_SOURCE_DIR}/examples/N-37-XIV-subsheets.txt
        DESTINATION examples COMPONENT batch)

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME sheetjob)
set(CPACK_PACKAGE_VENDOR "sheetjob project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME sheetjob-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY sheetjob)
set(CPACK_STRIP_FILES ON)
# Our own installer script in place of CPack's (which installs for all users).
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_SHEETJOB_ICON ${CMAKE_BINARY_DIR}/apps/icon/sheetjob.ico)
include(CPack)
