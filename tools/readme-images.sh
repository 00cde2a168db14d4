#!/usr/bin/env bash
# Remakes the README's pictures of sheets in QGIS from the pages the qgis_client
# test exported (run the tests first); small grey-palette PNGs. Needs imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
pages=${1:-build/debug/tests/qgis-artefacts}
small() { # page, width, picture
    convert "$1" -resize "$2"x -colorspace Gray -colors 16 -strip "PNG8:docs/images/$3"
}
small "$pages/N-37-XIV/layout.png" 820 qgis-sheet-N-37-XIV.png
small "$pages/Q-02/layout.png" 560 qgis-sheet-Q-02.png
convert "$pages/N-37-XIV/corner-nw.png" -crop 800x800+239+160 +repage -resize 560x -colorspace Gray \
    -colors 16 -strip PNG8:docs/images/qgis-corner-N-37-XIV.png
# The screen: colours kept for the two kinds of sub-sheet frames.
convert "$pages/N-37-XIV-subsheets/screen.png" -crop 1400x1200+0+0 +repage -resize 700x \
    -colors 32 -strip PNG8:docs/images/qgis-subsheets-N-37-XIV.png
ls -l docs/images/qgis-*.png
