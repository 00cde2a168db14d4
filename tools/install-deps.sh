#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, and only those
# that are missing, so a second run is quick. Further packages to install may be
# given as arguments (tools/build-package.sh and tools/check-package.sh do);
# with --only first, just those (tools/build-windows.sh).
set -euo pipefail
# The faces the frame labels fall back to (fonts-paratype, fonts-freefont-ttf)
# and QGIS with what its headless test uses (python3-numpy, python3-fonttools,
# poppler-utils) come with the rest.
packages=(build-essential cmake pkg-config libshp-dev qt6-base-dev qt6-translations-l10n
          libgtest-dev libgmock-dev nlohmann-json3-dev libexpat1-dev gdal-bin proj-bin clang
          libclang-rt-14-dev fonts-dejavu-core fonts-paratype fonts-freefont-ttf
          qgis python3-qgis python3-numpy python3-fonttools poppler-utils
          groff-base man-db desktop-file-utils time strace locales "$@")
only=false
if [ "${1:-}" = --only ]; then
    only=true
    shift
    packages=("$@")
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
$only && exit 0
# A Russian locale, whose decimal comma the tests use to show that nothing the
# program writes depends on the locale (the dialogs run in the user's).
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || true
fi
