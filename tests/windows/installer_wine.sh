#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix: made by CPack from this
# build, installed silently for the user (no administrator), the installed
# sheetjob.exe run on the installed example (exit code 0, every layer there),
# the Start-menu entry and the uninstall entry present; then uninstalled
# silently, leaving neither programs nor entry.
#   installer_wine.sh WINE-RUN CPACK BUILD-FOLDER
set -euo pipefail
wine_run=$(realpath "$1")
cpack=$2
build=$(realpath "$3")
work=$(mktemp -d)
export SHEETJOB_WINEPREFIX=$work/wineprefix
cleanup() {
    WINEPREFIX=$SHEETJOB_WINEPREFIX wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "installer_wine: $*" >&2; exit 1; }

"$cpack" -G NSIS --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
installer=$(ls "$work"/package/sheetjob-*-win64.exe)

"$wine_run" "$installer" /S || fail "the silent install failed"
user_dir="$SHEETJOB_WINEPREFIX/drive_c/users/$(id -un)"
installed="$user_dir/AppData/Local/Programs/sheetjob"
for file in sheetjob.exe sheetjob-gui.exe README.md COPYRIGHT.txt Uninstall.exe \
    examples/N-37-XIV.txt; do
    [ -f "$installed/$file" ] || fail "$file was not installed"
done
entry="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Математическая основа листа карты.lnk"
[ -f "$entry" ] || fail "no Start-menu entry"
WINEPREFIX=$SHEETJOB_WINEPREFIX wine reg query \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\sheetjob' >/dev/null 2>&1 ||
    fail "no uninstall entry"
echo "installed into $installed, with its Start-menu entry"

# The installed program on the installed example, from its own folder.
windows_dir='C:\users\'"$(id -un)"'\AppData\Local\Programs\sheetjob'
(cd "$installed/examples" && "$wine_run" "$windows_dir\\sheetjob.exe" N-37-XIV.txt) \
    2>"$work/run.err" || fail "the installed program failed: $(cat "$work/run.err")"
[ ! -s "$work/run.err" ] || fail "the installed program wrote: $(cat "$work/run.err")"
for layer in HYPS/HypsA HYPS/HypsL HYPS/HypsP FRAME/Frame FRAME/FrameAdj FRAME/FrameDig; do
    for member in shp shx dbf PRJ cpg; do
        [ -s "$installed/examples/out/N-37-XIV/$layer.$member" ] || fail "no $layer.$member"
    done
done
echo "the installed program wrote the example's layers"

# Uninstalled in place (_?= keeps the uninstaller from copying itself away and
# returning at once); the layers the user made stay.
"$wine_run" "$installed/Uninstall.exe" /S "_?=$windows_dir" || fail "the silent uninstall failed"
for file in sheetjob.exe sheetjob-gui.exe README.md; do
    [ ! -e "$installed/$file" ] || fail "$file is still there after the uninstall"
done
[ ! -e "$entry" ] || fail "the Start-menu entry is still there"
[ -d "$installed/examples/out/N-37-XIV" ] || fail "the user's layers went with the program"
echo "installer_wine: installed, run and uninstalled"
