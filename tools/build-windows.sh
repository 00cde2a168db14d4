#!/usr/bin/env bash
# Builds the Windows programs on Debian 12 with MinGW-w64 and packs them:
#   build/windows/sheetjob-<version>-win64.exe   the installer
#   build/windows/sheetjob-<version>-win64.zip   the same files
# Installs what is missing with apt-get first: the cross compiler, NSIS, the
# icon's tools (librsvg2-bin, icoutils), GoogleTest's sources and Wine, which
# runs the tests built beside the programs:
#   ctest --test-dir build/windows
# (the dialog test also wants xvfb, xdotool, imagemagick and openbox).
# Further CMake options may be given, e.g. -DSHEETJOB_LINUX_EXE=<a Linux
# build's sheetjob> to compare the two programs' files.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --only cmake make pkg-config g++-mingw-w64-x86-64-posix nsis librsvg2-bin \
    icoutils googletest wine wine64
build=build/windows
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/sheetjob-*-win64.exe "$build"/sheetjob-*-win64.zip
if ! (cd "$build" && cpack >cpack.log 2>&1); then
    cat "$build/cpack.log" >&2
    exit 1
fi
ls "$build"/sheetjob-*-win64.exe "$build"/sheetjob-*-win64.zip
