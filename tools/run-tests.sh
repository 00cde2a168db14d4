#!/usr/bin/env bash
# Builds everything and runs the whole test suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/debug -j"$(nproc)"
ctest --test-dir build/debug --output-on-failure -j"$(nproc)"
