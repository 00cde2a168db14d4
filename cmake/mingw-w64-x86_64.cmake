# Cross build of the Windows programs on Debian with MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64):
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# tools/build-windows.sh does it all. The "posix" flavour of the compiler is
# the one whose C++ library has std::thread. (The programs are linked
# statically, see CMakeLists.txt, so no DLL has to be shipped beside them.)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SHEETJOB_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${SHEETJOB_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SHEETJOB_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SHEETJOB_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; programs (the host's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SHEETJOB_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the target's libraries only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
