#!/usr/bin/env bash
# Runs a Windows program under Wine with the Japanese code page (932) in the
# prefix named by WINEPREFIX (default: build/win32/wineprefix of this tree).
# Used as CMake's cross-compiling emulator and by the scripts:
#   tools/wine-run.sh <program or Wine tool> [args...]
#   tools/wine-run.sh --server [args...]   this Wine's wineserver (-w, -k)
#   tools/wine-run.sh --prefix             the prefix this Wine uses
#   tools/wine-run.sh --relay <program> [args...]   as the first, for a test:
#       its output goes through a file of its own (below)
#
# Exit 77 when this host cannot run the program at all (a 32-bit program or
# prefix where the kernel runs no 32-bit code, as tools/host32.sh tells), with
# the reason on one line: CTest counts that as a skipped test.
#
# Which Wine: Debian's own on this machine, or, when JUMBLA_WINE_ROOT names a
# root made by tools/wine10.sh, the Wine inside it, entered with bwrap. A
# Wine upgrades every prefix it opens for good, so each root's Wine keeps its
# own prefixes: "<WINEPREFIX>-<root's name>".
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
. "$here/tools/lib.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; no crash debugger, which would wait forever
# on a virtual display instead of letting a crashed test fail.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=,winedbg.exe=d}
# Wine maps Unix file names through the C library's locale: without a real
# ja_JP.UTF-8 locale Japanese names turn into garbage while GetACP() says 932.
export LOCPATH=${LOCPATH:-$here/build/locale}

root=${JUMBLA_WINE_ROOT:-}
if [ -n "$root" ]; then
  [ -x "$root/usr/lib/wine/wine64" ] || { echo "wine-run: $root holds no Wine (make it with tools/wine10.sh)" >&2; exit 127; }
  WINEPREFIX=${WINEPREFIX%/}-$(basename "$root")
fi

# Runs a command with this Wine: directly, or in its root. The root's /tmp is
# a folder of this tree's, not TMPDIR: Wine 10 dies ("free(): invalid
# pointer") when TMPDIR is set. The X server's sockets come along.
with_wine() {
  [ -n "$root" ] || exec "$@"
  local tmp=$here/build/wine-tmp/$(basename "$root") binds=()
  mkdir -p "$tmp" "$WINEPREFIX"
  case "$WINEPREFIX/" in "$here"/*) ;; *) binds+=(--bind "$WINEPREFIX" "$WINEPREFIX") ;; esac
  [ -d /tmp/.X11-unix ] && binds+=(--bind /tmp/.X11-unix /tmp/.X11-unix)
  exec bwrap --bind "$root" / --dev /dev --proc /proc --bind "$here" "$here" --bind "$tmp" /tmp \
    "${binds[@]}" --unsetenv TMPDIR --chdir "$PWD" "$@"
}

relay=
case "${1:-}" in
  --relay) relay=1; shift ;;
  --prefix) echo "$WINEPREFIX"; exit 0 ;;
  --server) shift; with_wine /usr/lib/wine/wineserver "$@" ;;
esac

arch=$(prefix_width "$WINEPREFIX")
arch=${arch:-${WINEARCH:-win64}}
program=${1:-}
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
# A 32-bit prefix, or a 32-bit program (PE machine 0x14c) in any prefix,
# needs the 32-bit loader: without it Wine fails with no word of why.
if [ "$arch" = win32 ] || { [ -f "$program" ] && [ "$(pe_machine "$program")" = 014c ]; }; then
  what=${program##*/}
  [ "$arch" = win32 ] && what="$what in the 32-bit prefix $WINEPREFIX"
  host32_refuse "wine-run: cannot run $what" 127
fi
if [ "$arch" = win32 ]; then wine=/usr/lib/wine/wine; else wine=/usr/lib/wine/wine64; fi
[ -n "$root" ] || [ -x "$wine" ] ||
  { echo "wine-run: $WINEPREFIX is a $arch prefix and needs $wine, which is missing: run tools/install-deps.sh" >&2; exit 127; }
lang=${JUMBLA_WINE_LANG:-ja_JP.UTF-8}
# Set for Wine only: this shell itself may not have the locale.
[ -n "$relay" ] || with_wine env LANG="$lang" LC_ALL="$lang" "$wine" "$@"

# A test's output is written to a file and relayed from there as it grows: a
# Wine process the test starts and leaves running (the desktop's, while the
# session's own is still going away) inherits the file, not CTest's pipe,
# which CTest would otherwise read until its time-out. The test's exit code
# is kept.
out=$(mktemp)
( with_wine env LANG="$lang" LC_ALL="$lang" "$wine" "$@" ) >"$out" 2>&1 &
test_pid=$!
tail -c +1 -s 0.1 -f --pid=$test_pid "$out" &
tail_pid=$!
rc=0
wait $test_pid || rc=$?
wait $tail_pid || true
rm -f "$out"
exit $rc
