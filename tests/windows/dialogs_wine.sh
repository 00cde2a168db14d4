#!/usr/bin/env bash
# The Windows dialog program under Wine, on a virtual X display (Xvfb, with the
# openbox window manager giving the focus to new windows), driven by keyboard
# alone through two whole jobs:
#   plain     N-37-XIV: start screen, parameter dialog, the folder picked in the
#             system's folder dialog, OK, the outcome message;
#   refined   Q-37-XIV(2) at 1:500 000 through the refinement dialog, with a
#             refused value first (its message box), then corrected.
# Each job must end with exit code 0, and its layers must be byte for byte
# those of the same job given to the program as an argument file (the oracle:
# the argument-file mode, itself compared with the Linux build elsewhere).
# Screenshots of every step are left in SCREENSHOT-FOLDER for a person to
# look at.
#   dialogs_wine.sh WINE-RUN SHEETJOB-GUI.EXE SHEETJOB.EXE SCREENSHOT-FOLDER
# Exit code 77 (skipped) when Xvfb, openbox, xdotool or ImageMagick is missing.
set -euo pipefail
wine_run=$(realpath "$1")
gui_exe=$(realpath "$2")
batch_exe=$(realpath "$3")
shots=$(realpath -m "$4")

for tool in Xvfb openbox xdotool import; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d)
pids=()
# A Wine prefix of its own: its Wine server and desktop live on this display
# only, and end with the test.
export SHEETJOB_WINEPREFIX=$work/wineprefix
cleanup() {
    WINEPREFIX=$SHEETJOB_WINEPREFIX wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and tells it.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 20 display <&"$displayfd" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

fail() { echo "dialogs_wine: $*" >&2; exit 1; }
step=0
shot() { # shot NAME: the whole screen, numbered in the order taken
    step=$((step + 1))
    sleep 0.7
    import -window root "$(printf '%s/%02d-%s.png' "$shots" "$step" "$1")"
}
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
typed() { xdotool type --delay 60 "$1"; sleep 0.3; }
# Waits until a window of the search (xdotool's words) is shown, for at most
# a minute and a half (the first start makes the Wine prefix). A search can
# fail while Wine makes and drops windows: it is simply tried again.
appears() {
    for ((i = 0; i < 180; i++)); do
        if xdotool search --onlyvisible "$@" >/dev/null 2>&1; then
            sleep 1
            return 0
        fi
        sleep 0.5
    done
    return 1
}
# The start screen is the program's window without a title.
start_screen() { appears --class sheetjob-gui || fail "the start screen did not appear"; }
window() { appears --name "$1" || fail "no window \"$1\" appeared"; }
down() { for ((i = 0; i < $1; i++)); do xdotool key Down; done; sleep 0.3; }

# Texts of the windows' titles (UTF-8).
parameters='Задать параметры генерации'
refinement='Изменение параметров трапеции'
folder_search='Поиск папки для рез. файлов'
refine_error='Ошибка в уточнении параметров'
done_title='Состояние обработки'

# job NAME: runs the dialog program in $work/NAME with its result folder
# $work/NAME/result, leaving its exit code in $code.
start_job() {
    mkdir -p "$work/$1/result"
    (cd "$work/$1" && exec "$wine_run" "$gui_exe") >"$work/$1.log" 2>&1 &
    job_pid=$!
}
pick_folder() { # in the parameter dialog with the focus on "Найти"
    keys Return
    window "$folder_search"
    shot "$1-folder-dialog"
    typed "$(winepath_of "$work/$1/result")"
    keys Return
    window "$parameters"
}
# The Windows form of a path of this machine: Wine's drive Z: is /.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# ---- plain: N-37-XIV, SK-42, its own trapezium ----
start_job plain
start_screen
shot plain-start-screen
keys Return # "Продолжить"
window "$parameters"
shot plain-parameters
# Coordinate system, set scale, map scale, then belt N, zone 37, sheet XIV.
keys Tab Tab Tab n
keys Tab
down 4
keys Tab
down 13
shot plain-sheet-chosen
keys Tab Tab Tab Tab # sheet type, refinement, sub-sheet frames, "Найти"
pick_folder plain
shot plain-folder-chosen
keys Tab Return # OK
window "$done_title"
shot plain-outcome
keys Return
wait "$job_pid" && code=0 || code=$?
[ "$code" -eq 0 ] || fail "plain job: exit code $code: $(cat "$work/plain.log")"

# ---- refined: Q-37-XIV(2) at 1:500 000, west bound 37° 30', meridians every 10' ----
start_job refined
start_screen
keys Return
window "$parameters"
keys Tab Tab
down 1 # map scale 1:500 000
keys Tab q # belt Q, which has double sheets
keys Tab
down 4
keys Tab
down 13
keys Tab
down 1 # a double sheet
keys Tab Return # "Уточнить параметры разграфки"
window "$refinement"
shot refined-refinement-opened
# West bound first (the focus starts there), then a refused east bound.
keys ctrl+a
typed "37 30"
keys Tab ctrl+a
typed "41"
keys Tab
shot refined-refinement-typed
keys Return # OK: the east bound is a full sheet beyond the base one
window "$refine_error"
shot refined-refinement-refused
keys Return
window "$refinement"
keys Tab ctrl+a
typed "39"
keys Tab Tab Tab ctrl+a # south, north, meridian spacing
typed "0 10"
keys Tab
shot refined-refinement-corrected
keys Return # OK: accepted
window "$parameters"
shot refined-parameters
keys Tab Tab # sub-sheet frames, "Найти"
pick_folder refined
keys Tab Return
window "$done_title"
shot refined-outcome
keys Return
wait "$job_pid" && code=0 || code=$?
[ "$code" -eq 0 ] || fail "refined job: exit code $code: $(cat "$work/refined.log")"

# ---- the same jobs as argument files: the same layers, byte for byte ----
compare() { # compare NAME ARGUMENT-FILE-TEXT
    mkdir -p "$work/$1-batch"
    printf '%s\n' "$2" >"$work/$1-batch/job.txt"
    (cd "$work/$1-batch" && "$wine_run" "$batch_exe" job.txt) ||
        fail "$1: the argument file failed"
    diff -r --exclude=.sheetjob.lock "$work/$1-batch/result" "$work/$1/result" ||
        fail "$1: the dialogs' layers differ from the argument file's"
    echo "$1: $(find "$work/$1/result" -name '*.shp' | wc -l) layers as the argument file's"
}
compare plain "Nom=N-37-XIV; CS=CK-42; Path=result;"
compare refined "Nom=Q-37-XIV(2); CS=CK-42; MapScale=500; xFrom=37 30; xTo=39; MeridianStep=0 10; Path=result;"
echo "dialogs_wine: both jobs done by keyboard; screenshots in $shots"
