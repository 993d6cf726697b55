#!/bin/sh
# Runs the playlist engine benchmarks from an optimised build tree and writes
# bench/RESULTS.md. Usage: bench/run.sh BUILD_DIR (make bench passes build/bench).
set -eu
build=${1:?usage: bench/run.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
command -v shuf >/dev/null || { echo "bench/run.sh: shuf (coreutils) is needed" >&2; exit 1; }
"$build/bench/playlist_bench" "$here/RESULTS.md"
echo "bench/run.sh: wrote $here/RESULTS.md"
