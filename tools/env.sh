# shellcheck shell=bash
# tools/env.sh - the environment for running the program and its tests under Wine.
#
# Source it, do not run it:   . tools/env.sh
#
# It only sets variables; the things they point at are made by tools/setup.sh
# (run that first). What it sets, all exported:
#   REPO              the repository root (found from this file's location)
#   CFT_DEPS          $REPO/build/deps: everything tools/setup.sh makes
#   WINEPREFIX        the project's own 32-bit Wine prefix, never ~/.wine
#   WINEARCH          win32
#   WINEDEBUG         -all: no Wine debug chatter on stderr
#   WINEDLLOVERRIDES  "mscoree,mshtml=": no Mono/Gecko install prompts
#   LOCPATH, LANG     the zh_CN.GBK locale that setup.sh compiled into
#                     $CFT_DEPS/locale, so that Wine's ANSI code page is 936 (GBK)
#                     without touching the system's locales
# LC_ALL and the other LC_* variables are unset, because any of them would
# override LANG (LC_CTYPE alone decides Wine's code page).
#
# Note that LANG=zh_CN.GBK applies to every program started from the shell that
# sources this file, not only to Wine; run other tools in a subshell or with
# LC_ALL=C if their output must not be GBK.
#
# Deliberately no `set -euo pipefail` here: a sourced file would change the
# options of the shell that sources it.

# Refuse to be run as a program: the variables would vanish with the process.
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
    echo "tools/env.sh: source this file (. tools/env.sh), do not run it" >&2
    exit 1
fi

REPO="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)"
export REPO
export CFT_DEPS="$REPO/build/deps"

export WINEPREFIX="$CFT_DEPS/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

export LOCPATH="$CFT_DEPS/locale"
# Bash itself tries to switch to each locale assigned here and warns that it
# cannot: an exported LOCPATH reaches the programs it starts, not the running
# shell. The warning is harmless (the programs, Wine among them, do get
# zh_CN.GBK), so it is silenced.
{
    export LANG=zh_CN.GBK
    unset LC_ALL LC_CTYPE LC_COLLATE LC_MESSAGES LC_NUMERIC LC_TIME LC_MONETARY \
          LC_PAPER LC_NAME LC_ADDRESS LC_TELEPHONE LC_MEASUREMENT LC_IDENTIFICATION
} 2>/dev/null
