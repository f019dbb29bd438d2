#!/usr/bin/env bash
# Runs the benchmarks on demand (they are no CTest test): sets the machine up, builds the win32
# programs and measures the timer against the baseline program (tests/bench/baseline.cpp) under
# Wine on a virtual display. Takes about 12 minutes; prints the table and writes it to
# docs/benchmarks.md. See tests/bench/bench.py for what is measured and how.
#
# Usage: tools/bench.sh [options of tests/bench/bench.py, e.g. --runs 20 --output FILE]
#   CFT_BUILD_DIR=FOLDER  build in FOLDER (Release, MinGW toolchain) instead of the win32
#                         preset's build/win32
set -euo pipefail
repo="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
cd "$repo"

tools/setup.sh

build="${CFT_BUILD_DIR:-$repo/build/win32}"
mkdir -p "$build"
targets=(ChenfengTimer ChenfengTimerTest cft_e2e_driver cft_bench_baseline)
echo "== bench: building ${targets[*]} in $build"
if [[ -z "${CFT_BUILD_DIR:-}" ]]; then
    configure=(cmake --preset win32)
    compile=(cmake --build --preset win32 --target "${targets[@]}")
else
    configure=(cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake"
               -DCMAKE_BUILD_TYPE=Release)
    compile=(cmake --build "$build" --parallel 2 --target "${targets[@]}")
fi
"${configure[@]}" >"$build/bench-configure.log" 2>&1 ||
    { tail -n 40 "$build/bench-configure.log" >&2; exit 1; }
"${compile[@]}" >"$build/bench-build.log" 2>&1 ||
    { grep -E 'error|Error' -A5 "$build/bench-build.log" | head -n 80 >&2; exit 1; }

export CFT_REPO="$repo"
export CFT_TEST_EXE="$build/tests/seams/ChenfengTimerTest.exe"
export CFT_SHIPPED_EXE="$build/app/ChenfengTimer.exe"
export CFT_DRIVER_EXE="$build/tests/e2e/cft_e2e_driver.exe"
export CFT_BASELINE_EXE="$build/tests/bench/cft_bench_baseline.exe"
export CFT_SCREENSHOT_DIR="$build/screenshots"
echo "== bench: measuring (about 12 minutes)"
exec python3 "$repo/tests/bench/bench.py" "$@"
