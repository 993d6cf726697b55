#!/usr/bin/env bash
# Runs a command on a virtual display of its own, then stops that display and
# the wineserver of WINEPREFIX (if set), so nothing is left running:
#   tools/with-xvfb.sh [--wine-session] <command...>
# --wine-session starts WINEPREFIX's Wine session (its server, kept until
# the end, Wine's own processes and one that holds the desktop) before the
# command: for test runs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
session=
[ "${1:-}" = --wine-session ] && { session=1; shift; }
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r display <"$fifo"
rm -f "$fifo"
keeper=
stop() {
  [ -z "$keeper" ] || kill "$keeper" 2>/dev/null
  if [ -n "${WINEPREFIX:-}" ]; then "$here/wine-run.sh" --server -k >/dev/null 2>&1 || true; fi
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" $keeper 2>/dev/null
}
trap stop EXIT
export DISPLAY=:$display
# Wine's own processes (services, the desktop) start here, holding no pipe
# of anyone's: started by a test, they would keep that test's output open as
# long as the session lasts, and CTest would wait for them.
if [ -n "$session" ] && [ -f "$("$here/wine-run.sh" --prefix)/system.reg" ]; then
  "$here/wine-run.sh" --server -p >/dev/null 2>&1 </dev/null || true
  "$here/wine-run.sh" wineboot >/dev/null 2>&1 </dev/null || true
  # Wine closes a desktop a second after its last program ends, and the next
  # program to open a window starts the desktop's process again (seconds
  # under emulation), which then keeps that test's output open while it
  # lives, so that CTest waits on it. A console program that waits forever
  # on a pipe of its own holds the desktop until the server is ended.
  # Opened for reading and writing: it never ends and never blocks the open.
  fifo=$(mktemp -u)
  mkfifo "$fifo" && exec 4<>"$fifo" && rm -f "$fifo"
  "$here/wine-run.sh" cmd <&4 4<&- >/dev/null 2>&1 &
  keeper=$!
  exec 4<&-
fi
"$@"
