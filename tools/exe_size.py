#!/usr/bin/env python3
"""What each part of a MinGW-built program costs, from the map file the linker writes beside it.

Usage: tools/exe_size.py PROGRAM.exe [--objects N] [--budget KB]
  --objects N  also lists the N largest object files
  --budget KB  exits with status 1 when the stripped program is larger than KB kibibytes

The map lists every input section the linker kept and its size; each is charged to a part
(the program's own code, libjpeg, libstdc++, ...) by the archive it came from. What the map
does not list (PE headers, section alignment) is shown as the rest. The resources are also
broken down by type from the program itself.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_file import read_pe  # noqa: E402

# First match wins; matched against the object's file name (archive(member) or file.o).
PARTS = [
    ("libjpeg", r"^libjpeg\.a\("),
    ("libstdc++", r"^lib(std|sup)c\+\+\.a\("),
    ("libgcc (unwinder, helpers)", r"^libgcc(_eh)?\.a\(|^crt(begin|end)\.o$"),
    ("winpthread", r"^lib(win)?pthread\.a\("),
    # The jump stubs of an import library: libkernel32.a(libkernel32s00123.o) and the like.
    ("import tables", r"^lib(\w+)\.a\(lib\1\w*(h|t|s\d+)\.o\)$"),
    ("MinGW C runtime", r"^(libmingw\w*|libmsvcrt\w*|libmoldname)\.a\(|^crt\w*\.o$"),
    ("resources (banner, icon, manifest, version)", r"\.rc\.res\)?$|\.res$"),
    ("program", r"^(libcft_\w+\.a|objects\.a)\("),
]
LINKER_MADE = {"dll stuff": "base relocations (for ASLR)"}
INPUT_SECTION = re.compile(r"^ (\.\S+)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+))?$")
CONTINUATION = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")


def kept_sections(map_path):
    """(section, bytes, object file) for every input section in the map's memory map."""
    with open(map_path, encoding="utf-8", errors="replace") as stream:
        lines = stream.read().splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("Linker script and memory map"))
    pending = None
    for line in lines[start:]:
        match = INPUT_SECTION.match(line)
        if match and match.group(2):
            yield match.group(1), int(match.group(3), 16), match.group(4).strip()
            pending = None
            continue
        if match:
            pending = match.group(1)  # a long section name: address, size and file follow
            continue
        follow = CONTINUATION.match(line)
        if follow and pending:
            yield pending, int(follow.group(2), 16), follow.group(3).strip()
        pending = None


def part_of(section, source):
    if section.startswith(".idata"):
        return "import tables"
    if source in LINKER_MADE:
        return LINKER_MADE[source]
    name = os.path.basename(source.split("(")[0]) + ("(" + source.split("(", 1)[1] if "(" in source else "")
    for part, pattern in PARTS:
        if re.search(pattern, name):
            return part
    return "other: " + name


def stripped_size(exe):
    """The size of the program without symbols: its own size when it has none."""
    pe = read_pe(exe)
    if not any(section.name.startswith((".debug", "/")) for section in pe.sections):
        return os.path.getsize(exe)
    strip = shutil.which("i686-w64-mingw32-strip") or "strip"
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "stripped.exe")
        subprocess.run([strip, "-o", copy, exe], check=True)
        return os.path.getsize(copy)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--objects", type=int, default=0)
    parser.add_argument("--budget", type=float)
    args = parser.parse_args()

    map_path = os.path.splitext(args.exe)[0] + ".map"
    if not os.path.exists(map_path):
        sys.exit(f"exe_size: no map file {map_path} (the MinGW build writes one with -Wl,-Map)")
    parts, objects = Counter(), Counter()
    for section, size, source in kept_sections(map_path):
        if size == 0 or section.startswith((".debug", ".stab", ".bss", ".tls$ZZZ")):
            continue
        parts[part_of(section, source)] += size
        objects[os.path.basename(source)] += size

    total = stripped_size(args.exe)
    parts["PE headers and section alignment"] = total - sum(parts.values())
    print(f"{os.path.basename(args.exe)}: {total} bytes stripped ({total / 1024:.1f} KB)")
    for part, size in parts.most_common():
        print(f"  {part:<44} {size / 1024:7.1f} KB  {100 * size / total:5.1f} %")
    print("  resources by type: " + ", ".join(
        f"{kind} {size / 1024:.1f} KB" for kind, size in sorted(
            read_pe(args.exe).resource_sizes().items(), key=lambda item: -item[1])))
    if args.objects:
        print(f"  largest {args.objects} object files:")
        for name, size in objects.most_common(args.objects):
            print(f"    {name:<58} {size / 1024:6.1f} KB")
    if args.budget is not None and total > args.budget * 1024:
        print(f"exe_size: {total / 1024:.1f} KB is over the budget of {args.budget:g} KB")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
