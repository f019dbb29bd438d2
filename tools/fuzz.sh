#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz) with clang and runs each for a while.
#
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
#   SECONDS  how long each target runs (default 5; `tools/fuzz.sh 600` for ten minutes each)
#   TARGET   the targets to run, by name (default: all of them, one after another)
# CFT_FUZZ_BUILD names the build folder (default build/fuzz). Two runs may share it: the build
# step takes a lock, and each target's run takes a lock of its own.
#
# Each target starts from its seeds in tests/fuzz/corpus/<target>/ plus what earlier runs in
# this build folder found (<build>/corpus/<target>/, where new finds go). A failing input is
# saved as <build>/artifacts/<target>/crash-...; replay it with `<build>/tests/fuzz/<target>
# <file>`. Each run's full output is in <build>/logs/<target>.log. Prints one line per target
# and exits non-zero when any target found a fault.
set -euo pipefail
repo="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
seconds="${1:-5}"
shift || true
build="${CFT_FUZZ_BUILD:-$repo/build/fuzz}"

[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "fuzz: SECONDS must be a whole number above 0" >&2; exit 2; }
command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (tools/setup.sh installs it)" >&2; exit 1; }

mkdir -p "$build/logs"
(
    flock 9
    # The tools' messages in English whatever the caller's locale (tools/env.sh sets GBK).
    export LC_ALL=C
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        # -O1 keeps the runs fast without losing the assertions a release build would drop.
        cmake -S "$repo" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS=-O1 -DCMAKE_CXX_FLAGS=-O1 -DCFT_FUZZ=ON \
            >"$build/logs/configure.log" 2>&1 ||
            { tail -n 30 "$build/logs/configure.log" >&2; exit 1; }
    fi
    cmake --build "$build" --target fuzz_all --parallel 2 >"$build/logs/build.log" 2>&1 ||
        { grep -E 'error' -A5 "$build/logs/build.log" | head -n 60 >&2; exit 1; }
) 9>"$build/.build.lock"

if (($# > 0)); then
    targets=("$@")
else
    mapfile -t targets <"$build/tests/fuzz/targets.txt"
fi

status=0
for target in "${targets[@]}"; do
    exe="$build/tests/fuzz/$target"
    seeds="$repo/tests/fuzz/corpus/$target"
    [[ -x "$exe" ]] || { echo "fuzz: no target named $target" >&2; exit 2; }
    [[ -d "$seeds" ]] || { echo "fuzz: $target has no seed folder $seeds" >&2; exit 2; }
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$artifacts"
    result=ok
    (
        flock 9
        "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1
    ) 9>"$corpus.lock" || result=FAULT
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    coverage="$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -n 1 || true)"
    printf 'fuzz: %-24s %-5s %ss, %s runs, %s\n' "$target" "$result" "$seconds" \
        "${executions:-?}" "${coverage:-no coverage reported}"
    if [[ "$result" != ok ]]; then
        status=1
        grep -E 'property broken|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 8 >&2 || true
    fi
done
exit "$status"
