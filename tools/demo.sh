#!/usr/bin/env bash
# Jumbla's main job, out of the box: a 32-bit Wine prefix of its own (as
# users of the 32-bit player often keep) with the stand-in player installed
# where SoundVQ Player is expected, a generated sample playlist of VQF files
# remembered as the last playlist, and Jumbla started on it. Where this host
# runs no 32-bit code, or where it cannot tell (the 32-bit loader is missing),
# the 64-bit build in a 64-bit prefix, said in one line that names which.
#
# With a display the window is yours. Without one the demo runs on a virtual
# display, shows the list in title mode, shuffles, plays, saves
# build/screenshot.png, closes Jumbla and prints what the player received.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/lib.sh"
build=$top/build
bits=32
if ! host32_check; then
  why=$host32_why
  [ "$host32" = no ] || why="cannot tell whether this host runs 32-bit programs: $why"
  echo "demo: $why; running the 64-bit Jumbla in a 64-bit Wine prefix instead"
  bits=64
fi
win=$build/win$bits
export WINEPREFIX=$build/demo/wineprefix
run="$top/tools/wine-run.sh"

jumbla=$win/app/jumbla.exe
standin=$win/tests/support/standin_player/SVQPlyer.exe
driver=$win/tools/demo_driver/demo_driver.exe
samples=$build/native/tools/make_samples
for f in "$jumbla" "$standin" "$driver" "$samples"; do
  [ -e "$f" ] || { echo "demo: $f is missing; run make run" >&2; exit 1; }
done

# The demo's prefix is its own and disposable: one left by a demo of the
# other width is made again at the width the demo now runs in.
"$top/tools/wine-setup.sh" "$build" "$WINEPREFIX" win$bits remake
"$top/tools/install_standin.sh" "$WINEPREFIX" "$standin" >/dev/null
log=$WINEPREFIX/drive_c/svq/SVQPlyer-standin.log
rm -f "$log"

"$samples" "$WINEPREFIX/drive_c/samples" 'C:\samples' >/dev/null
settings="HKCU\\Software\\Ostrel's Software\\jumbla\\Settings"
"$run" reg add "$settings" /v VQLFile /t REG_SZ /d 'C:\samples\sample.vql' /f >/dev/null 2>&1
"$run" reg add "$settings" /v HandlingBy /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Let this wineserver end: Wine's desktop process, started without a display
# by the commands above, would otherwise keep Jumbla's window off the screen.
"$run" --server -w

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Jumbla on C:\\samples\\sample.vql (prefix $WINEPREFIX)"
  "$run" "$jumbla"
  "$run" --server -w
  exit 0
fi

# Unattended: the stand-in records and exits instead of opening its window.
export JUMBLA_STANDIN_NO_WINDOW=1
work=$build/demo/run
rm -rf "$work"; mkdir -p "$work"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
unattended() {
  "$run" "$driver" "$(winpath "$jumbla")" "$(winpath "$work/rect.txt")" "$(winpath "$work/done")" &
  driver_pid=$!
  for _ in $(seq 1 600); do
    [ -s "$work/rect.txt" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -s "$work/rect.txt" ]; then
    read -r x y w h <"$work/rect.txt"
    sleep 0.5
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$build/screenshot.png"
    echo "Screenshot saved to build/screenshot.png"
  fi
  touch "$work/done"
  wait "$driver_pid"; status=$?
  [ "$status" -eq 0 ] || import -window root "$work/failure.png"
  "$run" --server -w
  return $status
}
export -f unattended winpath
export run jumbla driver work build
"$top/tools/with-xvfb.sh" bash -c unattended
if [ -e "$WINEPREFIX/drive_c/samples/jumbla_work.vql" ]; then
  echo "Jumbla closed, but its work file is still there" >&2
  exit 1
fi
echo "Jumbla closed (終了): its work file is deleted and the playlist and mode are remembered."

echo
echo "What the stand-in player received:"
if [ -s "$log" ]; then
  iconv -f CP932 -t UTF-8 "$log" | tr -d '\r'
else
  echo "(nothing: the player was not started)" >&2
  exit 1
fi
