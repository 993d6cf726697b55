#!/usr/bin/env bash
# Runs a program with a real slow drive mounted under a folder of the build
# tree, which Wine reaches through Z:
#   <root>/backing   an ordinary folder, emptied first: write files here (fast)
#   <root>/drive     the same files through tools/slowfs, read-only: every
#                    read waits 10 ms, and a read of a file whose name holds
#                    "held" never returns while the drive is mounted
# and names that folder to the program in JUMBLA_SLOW_DRIVE (with the delay
# in JUMBLA_SLOW_DRIVE_DELAY_MS and the held text in JUMBLA_SLOW_DRIVE_HOLD).
# The daemon is JUMBLA_SLOWFS (built by the Windows trees where fuse3's
# pkg-config is found). The drive is unmounted and its daemon ended on every
# way out; a mount left by a run killed outright is cleaned first. Mounting
# needs root, /dev/fuse, fusermount3 and the daemon: elsewhere the program
# runs with JUMBLA_SLOW_DRIVE unset and JUMBLA_NO_SLOW_DRIVE saying why (its
# slow-drive cases skip with that reason), and this says it once on stderr.
#
# Wine's server opens the files, and a server that runs in a sandbox (Wine
# from a root, tools/wine-run.sh) sees only what was mounted when it
# started: CTest runs this test alone, and the prefix's server is ended
# first, so the test's own server starts with the drive in place.
#
#   tests/robustness/with-slow-drive.sh <root> <program> [args...]
set -u
# Absolute: the program gets its Windows path (Z: and this path).
root=$(mkdir -p "$1" 2>/dev/null && cd "$1" && pwd) || root=$1
shift
delay_ms=10
hold=held
drive=$root/drive
backing=$root/backing
log=$root/slowfs.log
daemon=

stop_drive() {
  if [ -n "$daemon" ]; then
    # SIGTERM: the daemon fails its held reads and unmounts. One that hangs
    # is killed after 5 s; the kernel then fails what it held.
    kill -TERM "$daemon" 2>/dev/null
    for _ in $(seq 50); do
      case $(ps -o stat= -p "$daemon" 2>/dev/null) in "" | Z*) break ;; esac
      sleep 0.1
    done
    kill -KILL "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    daemon=
  fi
  # Still mounted: a daemon killed outright (here, or in an earlier run). A
  # dead FUSE mount fails stat, so mountpoint(1) would miss it; findmnt reads
  # the mount table. The lazy unmount also ends a daemon nobody uses.
  if findmnt -rn -M "$drive" >/dev/null 2>&1; then
    fusermount3 -uz "$drive" 2>/dev/null || umount -l "$drive" 2>/dev/null
  fi
}
trap stop_drive EXIT
trap 'exit 130' INT TERM

# Sets why and fails where the drive cannot be mounted. Runs in this shell
# (not in $(...)), so that the daemon's id stays here for stop_drive.
why=
mount_drive() {
  [ "$(id -u)" = 0 ] || { why="not root"; return 1; }
  [ -c /dev/fuse ] || { why="no /dev/fuse"; return 1; }
  command -v fusermount3 >/dev/null || { why="no fusermount3 (package fuse3)"; return 1; }
  command -v findmnt >/dev/null || { why="no findmnt (package util-linux)"; return 1; }
  [ -n "${JUMBLA_SLOWFS:-}" ] && [ -x "$JUMBLA_SLOWFS" ] ||
    { why="no slowfs daemon (JUMBLA_SLOWFS='${JUMBLA_SLOWFS:-}'; the Windows trees build it where fuse3's pkg-config is found)"; return 1; }
  mkdir -p "$root" || { why="cannot make $root"; return 1; }
  stop_drive
  rm -rf "$backing" && mkdir -p "$backing" "$drive" || { why="cannot make $backing and $drive"; return 1; }
  # In the foreground (-f), so that its id is this script's to end; it holds
  # no pipe of the caller's.
  "$JUMBLA_SLOWFS" --delay-ms=$delay_ms --hold=$hold "$backing" "$drive" -f </dev/null >"$log" 2>&1 &
  daemon=$!
  for _ in $(seq 100); do
    mountpoint -q "$drive" && return 0
    kill -0 "$daemon" 2>/dev/null || break
    sleep 0.1
  done
  why="slowfs did not mount: $(tail -n 1 "$log" 2>/dev/null)"
  return 1
}

here=$(cd "$(dirname "$0")/../.." && pwd)
"$here/tools/wine-run.sh" --server -k 2>/dev/null || true

unset JUMBLA_SLOW_DRIVE JUMBLA_NO_SLOW_DRIVE
if mount_drive; then
  export JUMBLA_SLOW_DRIVE=$root JUMBLA_SLOW_DRIVE_DELAY_MS=$delay_ms JUMBLA_SLOW_DRIVE_HOLD=$hold
else
  echo "with-slow-drive: no slow drive ($why): its cases skip" >&2
  stop_drive
  export JUMBLA_NO_SLOW_DRIVE=$why
fi
"$@"
status=$?
exit $status
