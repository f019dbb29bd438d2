#!/usr/bin/env bash
# Builds the Windows programs twice from one snapshot of this working tree, copied to two
# source folders and built in two build folders, all with different names and name lengths (so
# that a leaked path would change bytes), and compares the results byte for byte. Exits
# non-zero when they differ. The snapshot keeps edits made during the run out of the builds.
#
# Usage: tools/check-reproducible.sh [FOLDER]
#   FOLDER  where the copies and builds go (default build/reproducible; emptied first)
set -euo pipefail
repo="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
root="${1:-$repo/build/reproducible}"
programs=(app/ChenfengTimer.exe tests/seams/ChenfengTimerTest.exe)
export LC_ALL=C

# build SOURCES FOLDER: configures and builds the programs of SOURCES in FOLDER.
build() {
    local sources="$1" folder="$2"
    cmake -S "$sources" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$sources/cmake/mingw-i686.cmake" \
        -DCFT_DEPS_PREFIX="$repo/build/deps/mingw" -DCMAKE_BUILD_TYPE=Release >"$folder.log" 2>&1 ||
        { tail -n 30 "$folder.log" >&2; exit 1; }
    cmake --build "$folder" --target ChenfengTimer ChenfengTimerTest --parallel 2 >>"$folder.log" 2>&1 ||
        { grep -E 'error' -A5 "$folder.log" | head -n 40 >&2; exit 1; }
}

# Only a folder this script made (or none) is emptied.
marker="$root/.made-by-check-reproducible"
if [[ -e "$root" && ! -e "$marker" ]]; then
    echo "reproducible: $root exists and was not made by this script; name another folder" >&2
    exit 2
fi
rm -rf "$root"
mkdir -p "$root/snapshot"
touch "$marker"
tar -C "$repo" --exclude=./build --exclude=./.git -cf - . | tar -C "$root/snapshot" -xf -
cp -a "$root/snapshot" "$root/sources-of-the-second-build"
first="$root/b1"
second="$root/the-second-build-folder"
echo "reproducible: building in $first"
build "$root/snapshot" "$first"
echo "reproducible: building in $second"
build "$root/sources-of-the-second-build" "$second"

status=0
for program in "${programs[@]}"; do
    one="$(sha256sum <"$first/$program" | cut -d' ' -f1)"
    two="$(sha256sum <"$second/$program" | cut -d' ' -f1)"
    if [[ "$one" == "$two" ]]; then
        echo "reproducible: $(basename "$program") same bytes, sha256 $one"
    else
        status=1
        echo "reproducible: $(basename "$program") DIFFERS: $one vs $two" >&2
        cmp -l "$first/$program" "$second/$program" | head -n 10 >&2 || true
    fi
done
exit "$status"
