#!/usr/bin/env bash
# Prepares what Wine needs to run Jumbla with the Japanese code page:
#   tools/wine-setup.sh <build dir> <wine prefix>
# - a compiled ja_JP.UTF-8 locale in <build dir>/locale (LOCPATH), so Wine
#   maps Japanese Unix file names correctly;
# - the Wine prefix, created once and reused.
set -eu
build=$1
prefix=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -d "$build/locale/ja_JP.UTF-8" ]; then
  mkdir -p "$build/locale"
  localedef -i ja_JP -f UTF-8 "$build/locale/ja_JP.UTF-8"
fi
if [ ! -f "$prefix/system.reg" ]; then
  echo "Creating Wine prefix $prefix"
  mkdir -p "$(dirname "$prefix")"
  LOCPATH=$build/locale WINEPREFIX=$prefix "$here/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
  [ -f "$prefix/system.reg" ] || { echo "Could not create the Wine prefix $prefix" >&2; exit 1; }
fi
