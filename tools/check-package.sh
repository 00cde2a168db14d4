#!/usr/bin/env bash
# CI: builds the Debian packages, installs them with apt-get, runs the bundled
# example with /usr/bin/sheetjob and checks its layers, checks that the batch
# program maps no Qt library and that `man sheetjob` works, and runs lintian on
# both packages (any error fails). Runs as root. The packages are purged at the
# end, so that later runs use the build tree; --keep leaves them installed.
set -euo pipefail
cd "$(dirname "$0")/.."
keep=false
[ "${1:-}" = --keep ] && keep=true
root=$PWD
tools/build-package.sh >/dev/null
tools/install-deps.sh lintian
batch=$(ls build/package/sheetjob_*_amd64.deb)
gui=$(ls build/package/sheetjob-gui_*_amd64.deb)
work=$(mktemp -d)
cleanup() {
    rm -rf "$work"
    $keep || DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq sheetjob-gui sheetjob >/dev/null 2>&1 || true
}
trap cleanup EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== install"
install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$batch" "./$gui" >/dev/null; }
install || { apt-get update -qq && install; }

echo "== the bundled example with /usr/bin/sheetjob"
example=/usr/share/doc/sheetjob/examples/N-37-XIV.txt
[ -f "$example" ] || fail "$example is not installed"
cp "$example" "$work/"
set +e
(cd "$work" && /usr/bin/sheetjob N-37-XIV.txt) 2>"$work/stderr"
code=$?
set -e
[ "$code" -eq 0 ] || fail "sheetjob exit code $code: $(cat "$work/stderr")"
[ -s "$work/stderr" ] && fail "sheetjob wrote on stderr: $(cat "$work/stderr")"
# Every layer with its five files and the record count of the recorded job.
/usr/bin/python3 -c '
import json, sys
for name, layer in json.load(open(sys.argv[1], encoding="utf-8"))["layers"].items():
    print(name, len(layer["records"]))' tests/data/golden/N-37-XIV.json |
while read -r layer count; do
    base="$work/out/N-37-XIV/$layer"
    for ext in shp shx dbf PRJ cpg; do
        [ -f "$base.$ext" ] || fail "missing $layer.$ext"
    done
    got=$(ogrinfo -so "$base.shp" "$(basename "$layer")" | awk -F': ' '/^Feature Count/ { print $2 }')
    [ "$got" = "$count" ] || fail "$layer holds $got records, expected $count"
    echo "$layer: $got records"
done

echo "== the batch program maps no GUI library"
if ldd /usr/bin/sheetjob | grep -Ei 'libshp|libQt|libX11|libxcb|libEGL|libGL|fontconfig'; then
    fail "/usr/bin/sheetjob links a GUI or shapefile library"
fi
/usr/bin/sheetjob --version

echo "== man sheetjob"
[ -f /usr/share/man/man1/sheetjob.1.gz ] ||
    fail "the manual page was not installed (does dpkg exclude /usr/share/man on this machine?)"
MANWIDTH=80 man sheetjob 2>"$work/man.err" | grep -q "argument-file" || fail "man sheetjob: $(cat "$work/man.err")"
MANWIDTH=80 man sheetjob-gui 2>&1 | grep -q "sheetjob-gui" || fail "man sheetjob-gui does not work"

echo "== lintian"
# Errors fail the check; warnings and notes are shown for the record.
lintian --fail-on error --display-info "$root/$batch" "$root/$gui"
echo "check-package: all good"
