#!/usr/bin/env bash
# Prepares what Wine needs to run Jumbla:
#   tools/wine-setup.sh <build dir> <wine prefix> [win32|win64 [remake]]
# - compiled ja_JP.UTF-8 and en_US.UTF-8 locales in <build dir>/locale
#   (LOCPATH): the first gives code page 932 and maps Japanese Unix file
#   names correctly, the second gives code page 1252 for the tests that show
#   Jumbla on a non-Japanese system;
# - the Wine prefix, of the given width (default win64), created once and
#   reused; with JUMBLA_WINE_ROOT set, the root's Wine gets its own prefix
#   beside it (tools/wine-run.sh). A prefix of the other width is refused,
#   as Wine cannot change it; with "remake" (for a prefix that is the
#   caller's own and disposable, such as the demo's) it is removed and made
#   again.
# Exit 77, with the reason on one line, when this host cannot run a prefix
# of that width (a 32-bit one where the kernel runs no 32-bit code).
set -eu
build=$1
arch=${3:-win64}
remake=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
[ "$arch" != win32 ] || host32_refuse "wine-setup: no 32-bit Wine prefix here" 1
locale_build "$build/locale" ja_JP en_US
export WINEPREFIX=$2 LOCPATH=$build/locale
prefix=$("$here/wine-run.sh" --prefix)
have=$(prefix_width "$prefix")
if [ -n "$have" ]; then
  [ "$have" = "$arch" ] && exit 0
  if [ "$remake" != remake ]; then
    echo "wine-setup: $prefix is a $have prefix, not $arch; remove it to have it made again" >&2
    exit 1
  fi
  echo "wine-setup: $prefix is a $have prefix; making it again as $arch"
  "$here/wine-run.sh" --server -k 2>/dev/null || true
  rm -rf "$prefix"
fi
echo "Creating $arch Wine prefix $prefix"
mkdir -p "$(dirname "$prefix")"
# wineboot ends before the prefix is complete; the wineserver's exit marks
# the end. A bounded wait: a Wine that cannot start must not hang make.
WINEARCH=$arch timeout 300 "$here/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
timeout 300 "$here/wine-run.sh" --server -w || true
if [ ! -f "$prefix/system.reg" ]; then
  echo "wine-setup: could not create the $arch Wine prefix $prefix" >&2
  exit 1
fi
