#!/usr/bin/env bash
# Times the heaviest job (a 1:200 000 sheet with sub-sheet frames and all its
# layers) against copying the tree it writes with `cp -r`, and measures its peak
# resident memory with /usr/bin/time -v (Debian package `time`).
#
#   bench/run-bench.sh [runs]        (default 20)
#
# The whole program is timed when it accepts "SubSheetFrames=1;" in an argument
# file; otherwise the in-process driver sheetjob_bench is. Targets: median wall
# time at most twice the median `cp -r` time, peak RSS under 16 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
build=build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -x /usr/bin/time ]; then
    echo "run-bench: /usr/bin/time is missing (apt-get install time)" >&2
    exit 2
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSHEETJOB_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target sheetjob >/dev/null

# The command that writes the whole tree into $work/out.
printf 'Nom=N-37-XIV; CS=CK-42; Path=%s; SubSheetFrames=1;\n' "$work/out" >"$work/job.txt"
mode="whole program"
run() { "$build/apps/sheetjob" "$work/job.txt"; }

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/job.ns"
: >"$work/cp.ns"
for _ in $(seq "$runs"); do
    rm -rf "$work/out" "$work/copy"
    t0=$(now)
    run
    t1=$(now)
    echo $((t1 - t0)) >>"$work/job.ns"
    t0=$(now)
    cp -r "$work/out" "$work/copy"
    t1=$(now)
    echo $((t1 - t0)) >>"$work/cp.ns"
done

peak=0
for _ in 1 2 3; do
    rm -rf "$work/out"
    /usr/bin/time -v -o "$work/time.txt" bash -c "$(declare -f run); build=$build; work=$work; run"
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
    [ "$kb" -gt "$peak" ] && peak=$kb
done
files=$(find "$work/out" -type f | wc -l)
bytes=$(du -sb "$work/out" | cut -f1)
job_ms=$(median <"$work/job.ns" | awk '{ printf "%.2f", $1 / 1e6 }')
cp_ms=$(median <"$work/cp.ns" | awk '{ printf "%.2f", $1 / 1e6 }')
ratio=$(awk -v a="$job_ms" -v b="$cp_ms" 'BEGIN { printf "%.2f", a / b }')

echo "mode:              $mode"
echo "output:            $files files, $bytes bytes"
echo "median wall time:  $job_ms ms over $runs runs"
echo "median cp -r time: $cp_ms ms"
echo "ratio:             $ratio (target <= 2)"
echo "peak RSS:          $peak kB (target < 16384 kB)"
awk -v r="$ratio" -v p="$peak" 'BEGIN { exit !(r <= 2 && p < 16384) }' && echo "targets met" || {
    echo "targets NOT met"
    exit 1
}
