#!/usr/bin/env bash
# Runs a Windows program under Wine with the Japanese code page (932) in the
# prefix named by WINEPREFIX (default: build/windows/wineprefix of this tree).
# Used as CMake's cross-compiling emulator and by the Makefile.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; no crash debugger, which would wait forever
# on a virtual display instead of letting a crashed test fail.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=,winedbg.exe=d}
# Wine maps Unix file names through the C library's locale: without a real
# ja_JP.UTF-8 locale Japanese names turn into garbage while GetACP() says 932.
export LOCPATH=${LOCPATH:-$here/build/locale}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
# Set for Wine only: this shell itself may not have the locale.
exec env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$wine" "$@"
