#!/usr/bin/env bash
# Builds sheetjob (Release, without the dialogs, in build/bench) and measures
# whole jobs side by side with `cp -r` of their own output: processor and wall
# time, peak memory, system calls in all and per record (bench/bench.py says
# which jobs and targets). Further programs (an older build, say) are measured
# the same way for comparison.
#
#   bench/run-bench.sh [--runs N] [--check] [OTHER-PROGRAM...]   (default 20 runs)
#
# Needs /usr/bin/time (package time) and strace.
set -euo pipefail
cd "$(dirname "$0")/.."
options=()
while [ $# -gt 0 ] && [[ "$1" == --* ]]; do
    options+=("$1")
    [ "$1" = --runs ] && { options+=("$2"); shift; }
    shift
done
for tool in /usr/bin/time strace; do
    command -v "$tool" >/dev/null || { echo "run-bench: $tool is missing (tools/install-deps.sh)" >&2; exit 2; }
done
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSHEETJOB_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target sheetjob >/dev/null
exec /usr/bin/python3 bench/bench.py "${options[@]}" "$build/apps/sheetjob" "$@"
