#!/usr/bin/env bash
# Builds the release package: build/release/ChenfengTimer-<version>-win32.zip with the program,
# the README and the licence, and its SHA-256 beside it (<zip>.sha256, for `sha256sum -c`).
#
# Usage: tools/package.sh
#
# The zip is reproducible: the same commit gives the same bytes. Its entries come in a fixed
# order with fixed attributes, dated SOURCE_DATE_EPOCH when set, else the time of the last
# commit. The program is built in Release in build/release/win32 and must pass the PE checks
# (tests/release/test_pe.py) before it is packed.
set -euo pipefail
repo="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
cd "$repo"
export LC_ALL=C

tools/setup.sh

version="$(sed -n 's/^project(ChenfengTimer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[[ -n "$version" ]] || { echo "package: no version in CMakeLists.txt's project()" >&2; exit 1; }
out="$repo/build/release"
build="$out/win32"
zip="$out/ChenfengTimer-$version-win32.zip"
mkdir -p "$out"

echo "== package: building ChenfengTimer.exe (Release) in $build"
cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$out/configure.log" 2>&1 ||
    { tail -n 30 "$out/configure.log" >&2; exit 1; }
cmake --build "$build" --target ChenfengTimer --parallel 2 >"$out/build.log" 2>&1 ||
    { grep -E 'error' -A5 "$out/build.log" | head -n 60 >&2; exit 1; }
exe="$build/app/ChenfengTimer.exe"

echo "== package: checking the program"
python3 tests/release/test_pe.py "$exe" >"$out/test_pe.log" 2>&1 ||
    { cat "$out/test_pe.log" >&2; exit 1; }
python3 tools/exe_size.py "$exe"

date="${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 315532800)}"
python3 - "$zip" "$date" "$exe" README.md LICENSE <<'EOF'
import sys, time, zipfile

zip_path, epoch, *files = sys.argv[1:]
# DOS dates start in 1980 and carry no time zone: the date in UTC, never earlier.
stamp = time.gmtime(max(int(epoch), 315532800))[:6]
with zipfile.ZipFile(zip_path, "w") as archive:
    for path in files:
        entry = zipfile.ZipInfo(path.rsplit("/", 1)[-1], date_time=stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        # Plain rw-r--r-- files, whatever the modes in this checkout (Windows ignores them).
        entry.create_system = 3
        entry.external_attr = 0o100644 << 16
        with open(path, "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
EOF
(cd "$out" && sha256sum "$(basename "$zip")" >"$(basename "$zip").sha256")
echo "== package: $zip ($(stat -c %s "$zip") bytes)"
cat "$zip.sha256"
