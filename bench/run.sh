#!/bin/sh
# Runs the playlist engine benchmarks from optimised build trees and writes
# bench/RESULTS.md. Usage: bench/run.sh BUILD_DIR [WINDOWS_BUILD_DIR]
# (make bench passes build/bench and build/bench-windows). The Windows
# benchmark runs under Wine in WINEPREFIX (prepared by tools/wine-setup.sh)
# on a virtual display of its own; its table is appended. The title-mode
# benchmark runs with a slow drive mounted (tests/robustness/drives.sh, with
# the tree's tests/support/slowfs; root and /dev/fuse): without it, its
# slow-drive section says why and the rest runs all the same.
set -eu
build=${1:?usage: bench/run.sh BUILD_DIR [WINDOWS_BUILD_DIR]}
windows=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
tools=$here/../tools
command -v shuf >/dev/null || { echo "bench/run.sh: shuf (coreutils) is needed" >&2; exit 1; }
"$build/bench/playlist_bench" "$here/RESULTS.md"
if [ -n "$windows" ]; then
  # Written aside first: a failed run leaves no half table behind.
  table=$(mktemp)
  . "$here/../tests/robustness/drives.sh"
  trap 'drives_unmount; rm -f "$table"' EXIT
  "$tools/with-xvfb.sh" "$tools/wine-run.sh" "$windows/bench/windows/playlist_bench_win.exe" >"$table"
  echo >>"$table"
  # Mounted before the benchmark's Wine server starts.
  drives_mount "$windows" "$windows/tests/support/slowfs/slowfs"
  "$tools/with-xvfb.sh" "$tools/wine-run.sh" "$windows/bench/windows/title_bench_win.exe" >>"$table"
  drives_unmount
  { echo; cat "$table"; } >>"$here/RESULTS.md"
fi
echo "bench/run.sh: wrote $here/RESULTS.md"
