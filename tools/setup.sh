#!/usr/bin/env bash
# tools/setup.sh - installs and prepares everything the build and the tests need.
#
# Usage: tools/setup.sh        (as root, or as a user who may use sudo)
#
# Works on a fresh Debian 12 machine and is idempotent: every step first checks
# whether its result is already there and then does nothing, so a second run
# takes about a second. The steps:
#   1. Debian packages (adds the i386 architecture for 32-bit Wine first);
#   2. libjpeg-turbo from Debian's source package, built as a static MinGW i686
#      library into build/deps/mingw (adds a deb-src entry derived from the
#      machine's own apt sources when none is configured);
#   3. the zh_CN.GBK locale compiled into build/deps/locale (not into the system);
#   4. the stand-in browser build/deps/bin/stand-in-browser;
#   5. the project's own 32-bit Wine prefix build/deps/wineprefix with a virtual
#      desktop, font replacements and the stand-in browser.
# tools/env.sh sets the variables that point Wine at all this.
#
# Output: one short line per step that does some work; the tools' own output
# goes to build/deps/logs/*.log, whose last lines are shown if a step fails.
set -euo pipefail

REPO="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
CFT_DEPS="$REPO/build/deps"
LOGS="$CFT_DEPS/logs"
STAMPS="$CFT_DEPS/stamps"

# apt, cmake and the compilers run in the C locale: plain English logs, whatever
# the caller's locale is (even when the caller has sourced tools/env.sh, whose
# LOCPATH would hide the system's locales). The Wine steps source env.sh in a
# subshell of their own.
export LC_ALL=C
unset LOCPATH

say() { printf 'setup: %s\n' "$*"; }
die() { printf 'setup: error: %s\n' "$*" >&2; exit 1; }

# run_logged LOG COMMAND...: runs COMMAND with its output appended to LOG; on
# failure shows the end of LOG and stops the script.
run_logged() {
    local log="$1"
    shift
    local shown
    shown="$(printf '%q ' "$@")" # quoted as a shell would need it
    printf '\n$ %s\n' "$shown" >>"$log"
    if ! "$@" >>"$log" 2>&1; then
        printf 'setup: error: this failed: %s\n' "$shown" >&2
        printf 'setup: last lines of %s:\n' "$log" >&2
        tail -n 40 "$log" >&2
        exit 1
    fi
}

# require_root WHAT: stops with a message unless we are root or have sudo.
# Called before the logged commands that need root, so that the message is
# not lost in a log file.
require_root() {
    [[ "$(id -u)" -eq 0 ]] || command -v sudo >/dev/null 2>&1 ||
        die "need root to $1: run as root, or install and set up sudo"
}

# as_root COMMAND...: runs COMMAND as root, through sudo when we are not root.
as_root() {
    if [[ "$(id -u)" -eq 0 ]]; then
        "$@"
    else
        sudo "$@"
    fi
}

# apt-get with a non-interactive front end and a patient wait for the dpkg/apt
# locks (another apt, e.g. unattended-upgrades, may hold them on a fresh machine).
apt_get() {
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get -o DPkg::Lock::Timeout=600 "$@"
}

# sha256 of standard input, without the trailing " -".
hash_stdin() { sha256sum | cut -d' ' -f1; }

mkdir -p "$LOGS" "$STAMPS"

# One run at a time per checkout: a second run (say, two scripts that both call
# setup) waits here, then finds everything done instead of racing on the prefix.
exec 9>"$CFT_DEPS/.setup.lock"
flock 9

# --------------------------------------------------------------------------
# 1. Debian packages
# --------------------------------------------------------------------------
PACKAGES=(
    g++-mingw-w64-i686      # i686-w64-mingw32-{gcc,g++}{,-posix,-win32}, windres
    nasm cmake ninja-build g++ make
    wine wine32:i386 wine64 # 32-bit Wine (wine64 brings the 64-bit wineserver)
    # X extensions 32-bit Wine loads on demand (antialiased text, cursors, screen size);
    # without them it falls back to plainer drawing and logs failures.
    libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386
    libxcomposite1:i386 libxfixes3:i386
    xvfb imagemagick x11-utils
    fonts-arphic-ukai       # AR PL UKai CN, stands in for 楷体 (KaiTi)
    fonts-wqy-microhei      # WenQuanYi Micro Hei, stands in for 宋体 (SimSun)
    libjpeg62-turbo-dev     # host libjpeg for the native build
    googletest libgtest-dev
    dpkg-dev                # dpkg-source, which `apt-get source` needs
    python3
    locales                 # localedef and the zh_CN / GBK definitions
    clang-format clang-tidy
    clang libclang-rt-14-dev # the fuzz targets (tools/fuzz.sh): libFuzzer and the sanitizers
    fonts-wine              # Marlett: Wine draws the title bar's buttons with it
)

# Binary packages (wine32:i386) need the i386 architecture before apt can see them.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    require_root "add the i386 architecture"
    say "adding the i386 architecture"
    as_root dpkg --add-architecture i386
fi

installed() {
    # "ii " = wanted install, installed; anything else (or unknown) is missing.
    [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null || true)" == "ii " ]]
}

missing=()
for pkg in "${PACKAGES[@]}"; do
    installed "$pkg" || missing+=("$pkg")
done
if ((${#missing[@]} > 0)); then
    require_root "install packages"
    say "installing packages: ${missing[*]} (log: build/deps/logs/apt.log)"
    run_logged "$LOGS/apt.log" apt_get update
    run_logged "$LOGS/apt.log" apt_get install -y --no-install-recommends "${missing[@]}"
    for pkg in "${missing[@]}"; do
        installed "$pkg" || die "package $pkg is still not installed (see $LOGS/apt.log)"
    done
fi

# --------------------------------------------------------------------------
# 2. libjpeg-turbo, static, for MinGW i686
# --------------------------------------------------------------------------
JPEG_SRC_ROOT="$CFT_DEPS/src"
JPEG_BUILD="$CFT_DEPS/build/libjpeg-turbo"
JPEG_PREFIX="$CFT_DEPS/mingw"
JPEG_STAMP="$STAMPS/libjpeg-turbo"
JPEG_LOG="$LOGS/libjpeg-turbo.log"
TOOLCHAIN="$REPO/cmake/mingw-i686.cmake"
JPEG_OPTIONS=(
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
    -DWITH_TURBOJPEG=OFF
    -DWITH_SIMD=OFF # the banner is tiny; without SIMD the exe stays small
    -DCMAKE_BUILD_TYPE=MinSizeRel
    # NO_GETENV: libjpeg would read JPEGMEM from the environment, and the shipped
    # program reads none. No unwind tables: no C++ exception passes through libjpeg
    # (its errors leave by longjmp), and on Windows they would keep every function
    # alive past --gc-sections. msvcrt's own printf for its messages (which the
    # program discards anyway) instead of a second, static one.
    "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections -DNO_GETENV -fno-asynchronous-unwind-tables -D__USE_MINGW_ANSI_STDIO=0"
)
# Decoder paths the program never takes: it decodes at full size (no scaled IDCTs),
# with the default accurate DCT and fancy upsampling (no merged upsampling), into true
# colour (no quantizing). libjpeg chooses them at run time through function pointers,
# so the linker cannot drop them; jmorecfg.h, which has no options for them, is
# patched in a copy of the source instead. Progressive and arithmetic-coded files
# still decode. Saves about 40 KB of the exe.
JPEG_UNUSED_FEATURES=(
    DCT_IFAST_SUPPORTED DCT_FLOAT_SUPPORTED IDCT_SCALING_SUPPORTED
    UPSAMPLE_MERGING_SUPPORTED QUANT_1PASS_SUPPORTED QUANT_2PASS_SUPPORTED
)
JPEG_PATCHED="$CFT_DEPS/build/libjpeg-turbo-src"

[[ -f "$TOOLCHAIN" ]] || die "$TOOLCHAIN is missing"

# Is a deb-src entry configured anywhere (deb822 or one-line format)?
have_deb_src() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$f" ]] || continue
        grep -qiE '^Types:.*(^|[[:space:]:])deb-src([[:space:]]|$)' "$f" && return 0
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$f" ]] || continue
        grep -qE '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
    done
    return 1
}

# Prints a deb-src copy of every enabled "deb" entry of the machine's apt
# sources, as deb822 stanzas. Nothing about the mirror is known in advance:
# URIs, suites, components and keys are all taken from the existing entries.
derive_deb_src() {
    local f
    # deb822 files: the stanza again, with "Types: deb-src", without comments
    # and architectures (binary architectures mean nothing for sources).
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$f" ]] || continue
        [[ "$f" == */chenfeng-deb-src.sources ]] && continue
        awk '
            function flush(   i) {
                if (n > 0 && has_deb && !disabled) {
                    print "Types: deb-src"
                    for (i = 1; i <= n; i++) print lines[i]
                    print ""
                }
                n = 0; has_deb = 0; disabled = 0; skip = 0
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            /^[ \t]/   { if (!skip) lines[++n] = $0; next }   # continuation line
            {
                field = tolower($0); sub(/:.*/, "", field)
                value = $0; sub(/^[^:]*:[ \t]*/, "", value)
                skip = (field == "types" || field == "architectures")
                if (field == "types") {
                    m = split(value, t, /[ \t]+/)
                    for (i = 1; i <= m; i++) if (t[i] == "deb") has_deb = 1
                }
                if (field == "enabled" && tolower(value) == "no") disabled = 1
                if (!skip) lines[++n] = $0
            }
            END { flush() }
        ' "$f"
    done
    # One-line files: "deb [options] URI suite [component...]" becomes a stanza.
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$f" ]] || continue
        awk '
            function cap(s,   parts, k, m, out) {   # signed-by -> Signed-By
                m = split(s, parts, "-"); out = ""
                for (k = 1; k <= m; k++)
                    out = out (k > 1 ? "-" : "") toupper(substr(parts[k], 1, 1)) substr(parts[k], 2)
                return out
            }
            { sub(/#.*/, "") }
            $1 != "deb" { next }
            {
                line = $0; sub(/^[ \t]*deb[ \t]+/, "", line)
                opts = ""
                if (substr(line, 1, 1) == "[") {
                    close_at = index(line, "]")
                    if (close_at == 0) next
                    opts = substr(line, 2, close_at - 2)
                    line = substr(line, close_at + 1)
                }
                m = split(line, w, /[ \t]+/)
                k = 1; while (k <= m && w[k] == "") k++
                if (m - k + 1 < 2) next
                print "Types: deb-src"
                print "URIs: " w[k]
                print "Suites: " w[k + 1]
                comps = ""
                for (j = k + 2; j <= m; j++) if (w[j] != "") comps = comps (comps == "" ? "" : " ") w[j]
                if (comps != "") print "Components: " comps
                no = split(opts, o, /[ \t]+/)
                for (j = 1; j <= no; j++) {
                    eq = index(o[j], "=")
                    if (eq == 0) continue
                    key = substr(o[j], 1, eq - 1); val = substr(o[j], eq + 1)
                    if (key ~ /^arch/ || key ~ /[+-]$/) continue
                    if (key == "lang") key = "languages"
                    else if (key == "target") key = "targets"
                    if (key == "languages" || key == "targets") gsub(/,/, " ", val)
                    print cap(key) ": " val
                }
                print ""
            }
        ' "$f"
    done
}

# Makes sure `apt-get source` can work: a deb-src entry and its downloaded indexes.
ensure_deb_src() {
    local target="/etc/apt/sources.list.d/chenfeng-deb-src.sources" entries tmp f
    local need_update=0
    if ! have_deb_src; then
        require_root "add a deb-src entry to apt's sources"
        entries="$(derive_deb_src)"
        [[ -n "$entries" ]] || die "found no 'deb' entry in /etc/apt/sources.list{,.d/} to derive a deb-src entry from"
        say "adding deb-src entries derived from the apt sources ($target)"
        tmp="$(mktemp)"
        {
            echo "# Written by the Chenfeng Timer tools/setup.sh: source package entries"
            echo "# copied from this machine's own apt sources, for 'apt-get source'."
            echo
            printf '%s\n' "$entries"
        } >"$tmp"
        as_root install -m 0644 "$tmp" "$target"
        rm -f "$tmp"
        need_update=1
    fi
    # No Sources index on disk yet (new entry, or one that was never updated)?
    # ($(FILENAME) is apt's placeholder, not the shell's.)
    # shellcheck disable=SC2016
    if ((need_update == 0)); then
        need_update=1
        while IFS= read -r f; do
            [[ -f "$f" ]] && need_update=0 && break
        done < <(apt-get indextargets --format '$(FILENAME)' 'Identifier: Sources' 2>/dev/null || true)
    fi
    if ((need_update)); then
        require_root "update apt's indexes"
        say "updating the apt indexes (log: build/deps/logs/apt.log)"
        run_logged "$LOGS/apt.log" apt_get update
    fi
}

jpeg_source_dir() {
    # The tree that `apt-get source` unpacked: libjpeg-turbo-VERSION/.
    local d
    for d in "$JPEG_SRC_ROOT"/libjpeg-turbo-*/; do
        [[ -f "$d/CMakeLists.txt" ]] && { printf '%s\n' "${d%/}"; return 0; }
    done
    return 1
}

# The stamp holds what the library was built from: the source tree, the
# options and the toolchain file's contents. Any change means a rebuild.
jpeg_key() {
    {
        printf '%s\n' "$1" "${JPEG_OPTIONS[@]}" "${JPEG_UNUSED_FEATURES[@]}" "prefix=$JPEG_PREFIX"
        cat "$TOOLCHAIN"
    } | hash_stdin
}

src_dir="$(jpeg_source_dir || true)"
if [[ -z "$src_dir" || ! -f "$JPEG_STAMP" || ! -f "$JPEG_PREFIX/lib/libjpeg.a" ||
      ! -f "$JPEG_PREFIX/include/jpeglib.h" || "$(cat "$JPEG_STAMP")" != "$(jpeg_key "$src_dir")" ]]; then
    : >"$JPEG_LOG"
    if [[ -z "$src_dir" || ! -f "$JPEG_SRC_ROOT/.fetched" ]]; then
        ensure_deb_src
        say "fetching the libjpeg-turbo source package (log: build/deps/logs/libjpeg-turbo.log)"
        rm -rf "$JPEG_SRC_ROOT"
        mkdir -p "$JPEG_SRC_ROOT"
        # As root, apt warns that it cannot drop to its _apt sandbox user for the
        # download: harmless. dpkg-source unpacks and applies Debian's patches.
        (cd "$JPEG_SRC_ROOT" && run_logged "$JPEG_LOG" apt-get source libjpeg-turbo)
        src_dir="$(jpeg_source_dir)" || die "apt-get source left no libjpeg-turbo-*/CMakeLists.txt in $JPEG_SRC_ROOT"
        touch "$JPEG_SRC_ROOT/.fetched"
    fi
    say "building libjpeg-turbo for MinGW i686 ($(basename "$src_dir"); log: build/deps/logs/libjpeg-turbo.log)"
    rm -rf "$JPEG_BUILD" "$JPEG_STAMP" "$JPEG_PATCHED"
    mkdir -p "$(dirname -- "$JPEG_PATCHED")"
    cp -a "$src_dir" "$JPEG_PATCHED"
    for feature in "${JPEG_UNUSED_FEATURES[@]}"; do
        sed -i -E "s/^#define[[:space:]]+$feature\b/#undef $feature/" "$JPEG_PATCHED/jmorecfg.h"
        grep -qE "^#undef $feature\b" "$JPEG_PATCHED/jmorecfg.h" ||
            die "jmorecfg.h of $(basename "$src_dir") has no '#define $feature' to switch off"
    done
    run_logged "$JPEG_LOG" cmake -S "$JPEG_PATCHED" -B "$JPEG_BUILD" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
        "${JPEG_OPTIONS[@]}"
    run_logged "$JPEG_LOG" cmake --build "$JPEG_BUILD" --parallel "$(nproc)"
    run_logged "$JPEG_LOG" cmake --install "$JPEG_BUILD"
    [[ -f "$JPEG_PREFIX/lib/libjpeg.a" && -f "$JPEG_PREFIX/include/jpeglib.h" ]] ||
        die "libjpeg-turbo installed no lib/libjpeg.a or include/jpeglib.h into $JPEG_PREFIX"
    jpeg_key "$src_dir" >"$JPEG_STAMP"
fi

# --------------------------------------------------------------------------
# 3. The zh_CN.GBK locale, for Wine's code page 936
# --------------------------------------------------------------------------
# Without a zh_CN locale Wine falls back to code page 1252 whatever LANG says.
# Compiled into our own folder and used through LOCPATH (see tools/env.sh), so
# the system's locales stay as they are. The check asks glibc itself, so a
# locale that a newer glibc can no longer read is rebuilt too.
LOCALE_DIR="$CFT_DEPS/locale"
if [[ "$(LOCPATH="$LOCALE_DIR" LC_ALL=zh_CN.GBK locale charmap 2>/dev/null || true)" != "GBK" ]]; then
    say "compiling the zh_CN.GBK locale into build/deps/locale"
    rm -rf "$LOCALE_DIR/zh_CN.GBK"
    mkdir -p "$LOCALE_DIR"
    : >"$LOGS/locale.log"
    run_logged "$LOGS/locale.log" localedef -i zh_CN -f GBK "$LOCALE_DIR/zh_CN.GBK"
    [[ "$(LOCPATH="$LOCALE_DIR" LC_ALL=zh_CN.GBK locale charmap 2>/dev/null || true)" == "GBK" ]] ||
        die "the compiled zh_CN.GBK locale does not load (see $LOGS/locale.log)"
fi

# --------------------------------------------------------------------------
# 4. The stand-in browser
# --------------------------------------------------------------------------
# Wine's winebrowser runs it (registry value Browsers, below) with the address
# as the last argument when the program opens a web page. It opens nothing:
# it records the address, one line each, for the tests to read.
BROWSER="$CFT_DEPS/bin/stand-in-browser"
BROWSER_SCRIPT="$(cat <<'EOF'
#!/usr/bin/env bash
# Stand-in browser for Wine (written by tools/setup.sh; do not edit).
# Appends its last argument, the address to open, as one line to the file named
# by CFT_BROWSER_LOG, or else to build/deps/opened-pages.log. Opens nothing.
set -euo pipefail
(($# > 0)) || exit 0
deps="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
printf '%s\n' "${!#}" >>"${CFT_BROWSER_LOG:-$deps/opened-pages.log}"
EOF
)"
if [[ ! -x "$BROWSER" || "$(cat "$BROWSER")" != "$BROWSER_SCRIPT" ]]; then
    say "writing build/deps/bin/stand-in-browser"
    mkdir -p "$(dirname "$BROWSER")"
    printf '%s\n' "$BROWSER_SCRIPT" >"$BROWSER"
    chmod 0755 "$BROWSER"
fi

# --------------------------------------------------------------------------
# 5. The Wine prefix
# --------------------------------------------------------------------------
PREFIX_DIR="$CFT_DEPS/wineprefix"
PREFIX_STAMP="$PREFIX_DIR/.chenfeng-setup-done" # inside: gone with the prefix
PREFIX_LOG="$LOGS/wineprefix.log"

# winebrowser splits Browsers at commas and each entry like a command line
# (so the path is quoted), and hands it to Unix in the ANSI code page (GBK):
# a path with a comma, a quote or non-ASCII characters cannot be expressed.
[[ "$BROWSER" != *[\",]* && "$BROWSER" != *[![:print:]]* ]] ||
    die "the path $BROWSER cannot be put into Wine's Browsers value (comma, quote or non-ASCII)"

# The registry settings, as a regedit file (UTF-8 here; written as UTF-16LE
# with a BOM below, the one form in which regedit takes the Chinese value
# names unchanged whatever the Unix locale is). Lines end in CR LF.
printf -v REG_TEXT '%s\r\n' \
    'Windows Registry Editor Version 5.00' \
    '' \
    '; Virtual desktop: deterministic focus and input on Xvfb without a window manager.' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
    '"Desktop"="Default"' \
    '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' \
    '"Default"="1024x768"' \
    '' \
    '; Fonts the program asks for by name, mapped to installed free fonts.' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"楷体"="AR PL UKai CN"' \
    '"KaiTi"="AR PL UKai CN"' \
    '"楷体_GB2312"="AR PL UKai CN"' \
    '"宋体"="WenQuanYi Micro Hei"' \
    '"SimSun"="WenQuanYi Micro Hei"' \
    '' \
    '; Web pages go to the stand-in browser, which only records the address.' \
    '[HKEY_CURRENT_USER\Software\Wine\WineBrowser]' \
    "\"Browsers\"=\"\\\"$BROWSER\\\"\"" \
    ''
# Debian's Wine does not put Marlett into a new prefix; without it the title bar's
# minimise and close buttons show as the letters "0" and "r".
MARLETT=/usr/share/wine/fonts/marlett.ttf
[[ -f "$MARLETT" ]] || die "$MARLETT is missing (package fonts-wine)"

# What the prefix must be: the Wine version, where it lives, and its settings.
# A prefix made otherwise (or left half-made: no stamp) is made anew.
prefix_key() {
    { wine --version; printf '%s\n' "$PREFIX_DIR" "$MARLETT"; printf '%s' "$REG_TEXT"; } | hash_stdin
}

if [[ ! -f "$PREFIX_STAMP" || "$(cat "$PREFIX_STAMP")" != "$(prefix_key)" ]]; then
    say "creating the Wine prefix build/deps/wineprefix (log: build/deps/logs/wineprefix.log)"
    : >"$PREFIX_LOG"
    reg_file="$CFT_DEPS/wineprefix-settings.reg"
    { printf '\xff\xfe'; printf '%s' "$REG_TEXT" | iconv -f UTF-8 -t UTF-16LE; } >"$reg_file"
    (
        # The lock stays with the main script: no Wine process may inherit it
        # (a wineserver left behind would otherwise block every later run).
        exec 9>&-
        # shellcheck source=tools/env.sh
        . "$REPO/tools/env.sh" # WINEPREFIX, WINEARCH=win32, the GBK locale, ...
        [[ "$WINEPREFIX" == "$PREFIX_DIR" ]] || die "tools/env.sh sets WINEPREFIX=$WINEPREFIX, expected $PREFIX_DIR"
        # No display needed, and none used: nothing may pop up on the caller's screen.
        unset DISPLAY WAYLAND_DISPLAY

        # A wineserver still running on an old prefix at this path: end it first.
        if [[ -d "$WINEPREFIX" ]]; then
            wineserver -k >/dev/null 2>&1 || true
            wineserver -w >/dev/null 2>&1 || true
        fi
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"

        # One persistent wineserver for all the steps below (otherwise each wine
        # call starts and waits for its own); ended, whatever happens, on exit.
        trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true' EXIT
        run_logged "$PREFIX_LOG" wineserver -p
        run_logged "$PREFIX_LOG" wineboot -i
        run_logged "$PREFIX_LOG" wine regedit /S "$reg_file"
        cp "$MARLETT" "$WINEPREFIX/drive_c/windows/Fonts/"

        # Read the font replacements back through Wine: the Chinese names must
        # have arrived as Chinese (reg prints them in GBK, code page 936).
        wine reg query 'HKCU\Software\Wine\Fonts\Replacements' >"$CFT_DEPS/logs/reg-query.out" 2>>"$PREFIX_LOG" ||
            die "wine reg query failed (see $PREFIX_LOG)"
        # (Text tools below in the C locale: they compare bytes, not GBK text.)
        replacements="$(iconv -f GBK -t UTF-8 <"$CFT_DEPS/logs/reg-query.out" | LC_ALL=C tr -d '\r')"
        printf '%s\n' "$replacements" >>"$PREFIX_LOG"
        for expected in '楷体 AR PL UKai CN' 'KaiTi AR PL UKai CN' '楷体_GB2312 AR PL UKai CN' \
                        '宋体 WenQuanYi Micro Hei' 'SimSun WenQuanYi Micro Hei'; do
            name="${expected%% *}" face="${expected#* }"
            LC_ALL=C grep -qE "^ +${name} +REG_SZ +${face}\$" <<<"$replacements" ||
                die "font replacement $name -> $face did not arrive in the registry (see $PREFIX_LOG)"
        done

        # Ending the server writes the registry files (system.reg, user.reg).
        wineserver -k >>"$PREFIX_LOG" 2>&1 || true
        wineserver -w >>"$PREFIX_LOG" 2>&1 || true
        trap - EXIT
        [[ -f "$WINEPREFIX/user.reg" && -f "$WINEPREFIX/system.reg" ]] ||
            die "the Wine prefix has no registry files after wineserver ended (see $PREFIX_LOG)"
    )
    prefix_key >"$PREFIX_STAMP"
fi

say "done in ${SECONDS}s"
