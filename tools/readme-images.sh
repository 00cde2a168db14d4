#!/usr/bin/env bash
# Remakes the README's pictures of a sheet in QGIS from the pages the qgis_client
# test exported (run the tests first); small grey-palette PNGs. Needs imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
pages=${1:-build/debug/tests/qgis-artefacts}/N-37-XIV
convert "$pages/layout.png" -resize 820x -colorspace Gray -colors 16 -strip \
    PNG8:docs/images/qgis-sheet-N-37-XIV.png
convert "$pages/corner-nw.png" -crop 800x800+239+160 +repage -resize 560x -colorspace Gray \
    -colors 16 -strip PNG8:docs/images/qgis-corner-N-37-XIV.png
ls -l docs/images/qgis-*.png
