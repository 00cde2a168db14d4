#!/usr/bin/env bash
# Links in the result tree under Wine, made from Linux (a Windows program under
# Wine can make none): Wine shows a link to a folder as a reparse point and a
# link to a file as the file itself. Either way the Windows program never
# reads, writes or removes through one: a HYPS, HYPS_50 or FRAME that is a
# link, and a lock file that is one, are refused (exit code 8, one line); a
# link under a layer member's name is replaced. Nothing outside changes.
#   links_wine.sh WINE-RUN SHEETJOB.EXE
set -euo pipefail
wine_run=$(realpath "$1")
windows=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "links_wine: $*" >&2; exit 1; }

# run CASE ARGUMENT-FILE-TEXT: runs the job in $work/CASE, its results in res/.
run() {
    printf '%s\n' "$2" >"$work/$1/job.txt"
    set +e
    (cd "$work/$1" && "$wine_run" "$windows" job.txt) 2>"$work/$1.err"
    code=$?
    set -e
}
# The folder outside the result tree that the links point to, and a file there.
outside() {
    mkdir -p "$work/$1/res" "$work/$1/outside"
    printf 'keep' >"$work/$1/outside/HypsA.shp"
}
unchanged() {
    [ "$(ls "$work/$1/outside")" = "HypsA.shp" ] && [ "$(cat "$work/$1/outside/HypsA.shp")" = keep ] ||
        fail "$1: the link's target changed"
}

# Sub-folders that are links to a folder: refused by name.
for folder in HYPS FRAME HYPS_50 HYPS_25; do
    outside "$folder"
    ln -s ../outside "$work/$folder/res/$folder"
    run "$folder" "Nom=N-37-XIV; Path=res; SubSheetFrames=1;"
    [ "$code" -eq 8 ] || fail "$folder as a link: exit code $code"
    grep -q "$folder.*symbolic link" "$work/$folder.err" || fail "$folder: $(cat "$work/$folder.err")"
    [ "$(wc -l <"$work/$folder.err")" -eq 1 ] || fail "$folder: more than one line"
    unchanged "$folder"
    echo "$folder as a link: refused: $(cat "$work/$folder.err")"
done

# A dangling link where HYPS goes: not made through it.
outside dangling
ln -s ../outside/absent "$work/dangling/res/HYPS"
run dangling "Nom=N-37-XIV; Path=res;"
[ "$code" -eq 8 ] || fail "a dangling HYPS: exit code $code"
unchanged dangling
[ ! -e "$work/dangling/outside/absent" ] || fail "a folder was made through the dangling link"
echo "HYPS as a dangling link: refused: $(cat "$work/dangling.err")"

# The lock file as a link to a file: never opened through.
outside lock
ln -s ../outside/HypsA.shp "$work/lock/res/.sheetjob.lock"
run lock "Nom=N-37-XIV; Path=res;"
[ "$code" -eq 8 ] || fail "a linked lock file: exit code $code"
grep -q "symbolic link" "$work/lock.err" || fail "lock: $(cat "$work/lock.err")"
unchanged lock
echo "the lock file as a link: refused: $(cat "$work/lock.err")"

# A link under a member's name: replaced by the member, never written through.
outside member
mkdir -p "$work/member/res/HYPS"
ln -s ../../outside/HypsA.shp "$work/member/res/HYPS/HypsL.dbf"
run member "Nom=N-37-XIV; Path=res;"
[ "$code" -eq 0 ] || fail "a linked member: exit code $code: $(cat "$work/member.err")"
[ -f "$work/member/res/HYPS/HypsL.dbf" ] && [ ! -L "$work/member/res/HYPS/HypsL.dbf" ] ||
    fail "the linked member was not replaced"
unchanged member
echo "a member that is a link: replaced"
echo "links_wine: every link refused or replaced, nothing outside changed"
