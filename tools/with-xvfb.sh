#!/usr/bin/env bash
# Runs a command on a virtual display of its own, then stops that display and
# the wineserver of WINEPREFIX (if set), so nothing is left running:
#   tools/with-xvfb.sh <command...>
set -u
here=$(cd "$(dirname "$0")" && pwd)
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r display <"$fifo"
rm -f "$fifo"
stop() {
  if [ -n "${WINEPREFIX:-}" ]; then "$here/wine-run.sh" --server -k >/dev/null 2>&1 || true; fi
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
}
trap stop EXIT
DISPLAY=:$display "$@"
