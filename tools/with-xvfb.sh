#!/usr/bin/env bash
# Runs a command on a virtual display of its own, then stops that display and
# the wineserver of WINEPREFIX (if set), so nothing is left running:
#   tools/with-xvfb.sh [--wine-session] <command...>
# --wine-session starts WINEPREFIX's Wine session before the command
# (tools/lib.sh's wine_session_start), without a keeper of its desktop: for
# one program at a time.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
session=
[ "${1:-}" = --wine-session ] && { session=1; shift; }
stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wine_session_stop; fi
  xvfb_stop
}
trap stop EXIT
xvfb_start || exit 1
[ -z "$session" ] || wine_session_start
"$@"
