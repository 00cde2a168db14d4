#!/usr/bin/env bash
# Times the heaviest job, the 1:200 000 sheet N-37-I with its sub-sheet frames
# (all its layers and the 80 layers of the 1:50 000 and 1:25 000 sheets),
# against copying the tree it writes with `cp -r`, and a run that fails at once
# (a missing argument file); measures the peak resident memory of both with
# /usr/bin/time (Debian package `time`).
#
#   bench/run-bench.sh [runs] [PROGRAM...]        (default 20 runs)
#
# The program built here (Release, build/bench) is measured first; any further
# program (an older build, say) is measured side by side with it, run for run,
# for comparison. Targets, for the program built here: median wall time of the
# heavy job at most twice the median `cp -r` time, peak RSS under 16 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
shift || true
build=build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -x /usr/bin/time ]; then
    echo "run-bench: /usr/bin/time is missing (apt-get install time)" >&2
    exit 2
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSHEETJOB_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target sheetjob >/dev/null
programs=("$build/apps/sheetjob" "$@")

printf 'Nom=N-37-I; SubSheetFrames=1; Path=%s;\n' "$work/out" >"$work/job.txt"
now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { median <"$1" | awk '{ printf "%.2f", $1 / 1e6 }'; }

for i in "${!programs[@]}"; do
    : >"$work/job$i.ns"
    : >"$work/cp$i.ns"
    : >"$work/fail$i.ns"
done
for _ in $(seq "$runs"); do
    for i in "${!programs[@]}"; do
        rm -rf "$work/out" "$work/copy"
        t0=$(now)
        "${programs[$i]}" "$work/job.txt" || { echo "run-bench: ${programs[$i]} failed" >&2; exit 1; }
        t1=$(now)
        cp -r "$work/out" "$work/copy"
        t2=$(now)
        echo $((t1 - t0)) >>"$work/job$i.ns"
        echo $((t2 - t1)) >>"$work/cp$i.ns"
        t0=$(now)
        "${programs[$i]}" "$work/missing.txt" 2>/dev/null && exit 1
        t1=$(now)
        echo $((t1 - t0)) >>"$work/fail$i.ns"
    done
done

# Peak resident set size in kB, the largest of three runs.
peak() {
    local top=0 kb
    for _ in 1 2 3; do
        rm -rf "$work/out"
        /usr/bin/time -f %M -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
        kb=$(tail -n 1 "$work/time.txt")
        [ "$kb" -gt "$top" ] && top=$kb
    done
    echo "$top"
}

files=$(find "$work/out" -type f | wc -l)
bytes=$(du -sb "$work/out" | cut -f1)
echo "heavy job: Nom=N-37-I; SubSheetFrames=1; ($files files, $bytes bytes), $runs runs, medians"
printf '%-40s %10s %10s %6s %10s | %12s %10s\n' program "job ms" "cp -r ms" ratio "peak kB" "fail ms" "peak kB"
status=0
for i in "${!programs[@]}"; do
    job_ms=$(ms "$work/job$i.ns")
    cp_ms=$(ms "$work/cp$i.ns")
    fail_ms=$(ms "$work/fail$i.ns")
    ratio=$(awk -v a="$job_ms" -v b="$cp_ms" 'BEGIN { printf "%.2f", a / b }')
    job_kb=$(peak "${programs[$i]}" "$work/job.txt")
    fail_kb=$(peak "${programs[$i]}" "$work/missing.txt")
    printf '%-40s %10s %10s %6s %10s | %12s %10s\n' "${programs[$i]}" "$job_ms" "$cp_ms" "$ratio" \
        "$job_kb" "$fail_ms" "$fail_kb"
    if [ "$i" -eq 0 ] && ! awk -v r="$ratio" -v p="$job_kb" 'BEGIN { exit !(r <= 2 && p < 16384) }'; then
        status=1
    fi
done
if [ "$status" -eq 0 ]; then
    echo "targets met (ratio <= 2, peak RSS < 16384 kB)"
else
    echo "targets NOT met (ratio <= 2, peak RSS < 16384 kB)"
fi
exit "$status"
