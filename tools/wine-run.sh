#!/usr/bin/env bash
# Runs a Windows program under Wine with the Japanese code page (932) in the
# prefix named by WINEPREFIX (default: build/win32/wineprefix of this tree).
# Used as CMake's cross-compiling emulator and by the scripts.
#
# The loader follows the prefix: a 32-bit prefix (WINEARCH=win32) accepts
# only Debian's 32-bit loader, /usr/lib/wine/wine; a 64-bit one is run by
# wine64, which runs 32-bit programs too. A prefix not made yet takes its
# width from WINEARCH.
#
# JUMBLA_WINE_LANG (default ja_JP.UTF-8) picks the locale, and with it the
# ANSI code page: en_US.UTF-8 gives 1252.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; no crash debugger, which would wait forever
# on a virtual display instead of letting a crashed test fail.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=,winedbg.exe=d}
# Wine maps Unix file names through the C library's locale: without a real
# ja_JP.UTF-8 locale Japanese names turn into garbage while GetACP() says 932.
export LOCPATH=${LOCPATH:-$here/build/locale}

arch=${WINEARCH:-win64}
if [ -f "$WINEPREFIX/system.reg" ]; then
  arch=$(sed -n 's/^#arch=//p' "$WINEPREFIX/system.reg" | head -n1)
fi
case "$arch" in
  win32) wine=/usr/lib/wine/wine
         need="Debian's wine32:i386 (run tools/install-deps.sh)" ;;
  *)     wine=/usr/lib/wine/wine64
         need="Debian's wine64 (run tools/install-deps.sh)" ;;
esac
if [ ! -x "$wine" ]; then
  echo "wine-run: $WINEPREFIX is a $arch prefix and needs $wine, which is missing: install $need" >&2
  exit 127
fi
# A 32-bit program (PE machine 0x14c) needs the 32-bit loader in a 64-bit
# prefix too: without it Wine fails with no word of why.
program=${1:-}
if [ -f "$program" ] && [ ! -x /usr/lib/wine/wine ]; then
  pe=$(od -An -tu4 -j60 -N4 "$program" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$program" 2>/dev/null | tr -d ' ')
  if [ "$machine" = 014c ]; then
    echo "wine-run: $program is a 32-bit program and needs Debian's wine32:i386 (/usr/lib/wine/wine): run tools/install-deps.sh" >&2
    exit 127
  fi
fi
lang=${JUMBLA_WINE_LANG:-ja_JP.UTF-8}
# Set for Wine only: this shell itself may not have the locale.
exec env LANG="$lang" LC_ALL="$lang" "$wine" "$@"
