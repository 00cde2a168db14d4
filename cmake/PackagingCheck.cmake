# Read by cpack before it packs: refuses a build folder configured for another
# prefix than /usr, whose programs would name folders the packages lack.
if(NOT CPACK_SHEETJOB_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "configure the build with -DCMAKE_INSTALL_PREFIX=/usr before packing "
                        "(it is ${CPACK_SHEETJOB_INSTALL_PREFIX}); tools/build-package.sh does")
endif()
