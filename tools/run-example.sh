#!/usr/bin/env bash
# Builds sheetjob and runs it on the bundled example (sheet N-37-XIV, SK-42);
# the layers land in out/N-37-XIV/ under the working tree.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target sheetjob
mkdir -p out
set +e
build/release/apps/sheetjob examples/N-37-XIV.txt
code=$?
set -e
echo "sheetjob exit code: $code"
[ -d out/N-37-XIV ] && find out/N-37-XIV -maxdepth 2 | sort
exit "$code"
