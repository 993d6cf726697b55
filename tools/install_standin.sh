#!/usr/bin/env bash
# Installs the stand-in player into a Wine prefix where Jumbla looks for the
# real SoundVQ Player:
#   tools/install_standin.sh <wineprefix> <path-to-SVQPlyer.exe> [folder]
# folder is a Windows folder on drive C:, default C:\svq. The stand-in is
# copied to <folder>\SVQPlyer.exe and the player's registry value
#   HKCU\Software\YAMAHA\SoundVQ  DecodeDll = <folder>\SVQDEC32.DLL
# is set, from which Jumbla derives <folder>\SVQPlyer.exe. Its log,
# SVQPlyer-standin.log, appears in the same folder.
set -eu
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 <wineprefix> <path-to-SVQPlyer.exe> [folder=C:\\svq]" >&2
  exit 2
fi
prefix=$1
standin=$2
folder=${3:-'C:\svq'}
folder=${folder%\\}
here=$(cd "$(dirname "$0")" && pwd)

case "$folder" in
  [Cc]:\\*) ;;
  *) echo "$0: the folder must be on drive C:, e.g. C:\\svq (got $folder)" >&2; exit 2 ;;
esac
[ -f "$standin" ] || { echo "$0: no stand-in at $standin" >&2; exit 1; }
[ -f "$prefix/system.reg" ] || { echo "$0: $prefix is not a Wine prefix" >&2; exit 1; }
prefix=$(cd "$prefix" && pwd)  # Wine wants an absolute WINEPREFIX

# C:\a\b lives at <prefix>/drive_c/a/b.
unix_folder=$prefix/drive_c/$(printf '%s' "${folder:3}" | tr '\\' '/')
mkdir -p "$unix_folder"
cp "$standin" "$unix_folder/SVQPlyer.exe"

WINEPREFIX=$prefix "$here/wine-run.sh" reg add 'HKCU\Software\YAMAHA\SoundVQ' \
  /v DecodeDll /t REG_SZ /d "$folder\\SVQDEC32.DLL" /f >/dev/null
echo "Stand-in player installed as $folder\\SVQPlyer.exe (log: $folder\\SVQPlyer-standin.log)"
