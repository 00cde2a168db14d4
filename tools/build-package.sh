#!/usr/bin/env bash
# Builds the Debian packages into build/package/:
#   sheetjob_<version>_amd64.deb      the batch program (no Qt), its manual page,
#                                     the README and the examples
#   sheetjob-gui_<version>_amd64.deb  the dialogs, the desktop entry and the icon
# Installs what is missing with apt-get first (quick when everything is there),
# compiles with Debian's hardening flags for /usr, and packs with CPack; the
# library dependencies come from dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
# Beyond the build: dpkg-shlibdeps (dpkg-dev), file (CPack's ELF detection),
# rsvg-convert (the icon's PNG sizes).
tools/install-deps.sh dpkg-dev file librsvg2-bin
build=build/package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
    cat "$build/cpack.log" >&2
    exit 1
fi
ls "$build"/*.deb
