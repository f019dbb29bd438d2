#!/usr/bin/env bash
# Runs every test: sets the machine up, builds both presets and runs CTest on each.
#   host:  unit tests of the portable code under AddressSanitizer and UBSan, and the lint
#   win32: the programs under Wine on a virtual display, driven as a user would
set -euo pipefail
repo="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
cd "$repo"

tools/setup.sh

status=0
for preset in host win32; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >"build/$preset-configure.log" 2>&1 ||
        { tail -n 40 "build/$preset-configure.log"; exit 1; }
    cmake --build --preset "$preset" >"build/$preset-build.log" 2>&1 ||
        { grep -E 'error|Error' -A5 "build/$preset-build.log" | head -n 80; exit 1; }
    echo "== $preset: test"
    ctest --preset "$preset" || status=1
done
exit "$status"
