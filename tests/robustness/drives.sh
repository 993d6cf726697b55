# Real failing and slow drives for the Windows suites' robustness tests,
# mounted under a tree's folder, which Wine reaches through Z:. Sourced,
# never run; plain sh, so bench/run.sh sources it too:
#   drives_mount <tree folder> [slowfs daemon]   mounts what it can, exports
#                                                what the tests read
#   drives_unmount                               on every way out
#
#   <tree>/fault-drives/full       a 48 KB tmpfs: writes beyond it fail with a full disk
#   <tree>/fault-drives/readonly   a read-only tmpfs holding list.vql
#   <tree>/slow-drive/backing      an ordinary folder, emptied first: tests write here
#   <tree>/slow-drive/drive        the same files through tests/support/slowfs, read-only:
#                                  every first read after an open waits 10 ms, and a
#                                  read of a file whose name holds "held" never
#                                  returns while the drive is mounted
#
# The tests find them in JUMBLA_FAULT_DRIVES and JUMBLA_SLOW_DRIVE (with
# JUMBLA_SLOW_DRIVE_DELAY_MS and JUMBLA_SLOW_DRIVE_HOLD); where a drive
# cannot be mounted (not root, no /dev/fuse, no daemon) its variable stays
# unset, JUMBLA_NO_SLOW_DRIVE says why, and those cases skip.
#
# Mount before the Wine server starts: Wine opens files in its server, and a
# server in a sandbox (a Wine root, tools/wine-run.sh) sees only what was
# mounted when it started. A mount left by a run killed outright is cleaned
# first.

drives_fault= drives_slow= drives_daemon=

drives_mount() {
  drives_fault=$1/fault-drives drives_slow=$1/slow-drive
  unset JUMBLA_FAULT_DRIVES JUMBLA_SLOW_DRIVE JUMBLA_NO_SLOW_DRIVE
  drives_unmount
  if drives_why=$(drives_mount_fault); then
    export JUMBLA_FAULT_DRIVES=$drives_fault
  else
    echo "drives: no full or read-only drive (${drives_why:-mount refused}): the fault cases skip" >&2
  fi
  if drives_mount_slow "${2:-}"; then
    export JUMBLA_SLOW_DRIVE=$drives_slow JUMBLA_SLOW_DRIVE_DELAY_MS=10 JUMBLA_SLOW_DRIVE_HOLD=held
  else
    echo "drives: no slow drive ($drives_why): its cases skip" >&2
    export JUMBLA_NO_SLOW_DRIVE=$drives_why
  fi
}

# Prints why and fails where the fault drives cannot be mounted.
drives_mount_fault() {
  [ "$(id -u)" = 0 ] || { echo "not root"; return 1; }
  mkdir -p "$drives_fault/full" "$drives_fault/readonly" || return 1
  mount -t tmpfs -o size=48k,mode=0777 jumbla-full "$drives_fault/full" 2>&1 || return 1
  mount -t tmpfs -o size=64k,mode=0777 jumbla-readonly "$drives_fault/readonly" 2>&1 || return 1
  printf '#x\r\na.vqf\r\nb.vqf\r\n' >"$drives_fault/readonly/list.vql"
  mount -o remount,ro "$drives_fault/readonly" 2>&1
}

# Sets drives_why and fails where the slow drive cannot be mounted. Runs in
# this shell (not in $(...)), so that the daemon's id stays here.
drives_mount_slow() {
  [ "$(id -u)" = 0 ] || { drives_why="not root"; return 1; }
  [ -c /dev/fuse ] || { drives_why="no /dev/fuse"; return 1; }
  command -v fusermount3 >/dev/null || { drives_why="no fusermount3 (package fuse3)"; return 1; }
  command -v findmnt >/dev/null || { drives_why="no findmnt (package util-linux)"; return 1; }
  [ -n "$1" ] && [ -x "$1" ] ||
    { drives_why="no slowfs daemon ('$1'; the Windows trees build it where fuse3's pkg-config is found)"; return 1; }
  rm -rf "$drives_slow/backing" && mkdir -p "$drives_slow/backing" "$drives_slow/drive" ||
    { drives_why="cannot make $drives_slow"; return 1; }
  # In the foreground (-f), so that its id is ours to end; it holds no pipe
  # of the caller's.
  "$1" --delay-ms=10 --hold=held "$drives_slow/backing" "$drives_slow/drive" -f \
    </dev/null >"$drives_slow/slowfs.log" 2>&1 &
  drives_daemon=$!
  for _ in $(seq 100); do
    mountpoint -q "$drives_slow/drive" && return 0
    kill -0 "$drives_daemon" 2>/dev/null || break
    sleep 0.1
  done
  drives_why="slowfs did not mount: $(tail -n 1 "$drives_slow/slowfs.log" 2>/dev/null)"
  return 1
}

drives_unmount() {
  if [ -n "$drives_daemon" ]; then
    # SIGTERM: the daemon fails its held reads and unmounts. One that hangs
    # is killed after 5 s; the kernel then fails what it held.
    kill -TERM "$drives_daemon" 2>/dev/null || :
    for _ in $(seq 50); do
      case $(ps -o stat= -p "$drives_daemon" 2>/dev/null) in "" | Z*) break ;; esac
      sleep 0.1
    done
    kill -KILL "$drives_daemon" 2>/dev/null || :
    wait "$drives_daemon" 2>/dev/null || :
    drives_daemon=
  fi
  # A dead FUSE mount fails stat, so mountpoint(1) would miss it; findmnt
  # reads the mount table. The lazy unmount also ends a daemon nobody uses.
  if [ -n "$drives_slow" ] && findmnt -rn -M "$drives_slow/drive" >/dev/null 2>&1; then
    fusermount3 -uz "$drives_slow/drive" 2>/dev/null || umount -l "$drives_slow/drive" 2>/dev/null
  fi
  for drive in "$drives_fault/readonly" "$drives_fault/full"; do
    [ -n "$drives_fault" ] && mountpoint -q "$drive" 2>/dev/null && { umount "$drive" || umount -l "$drive"; }
  done
  return 0
}
