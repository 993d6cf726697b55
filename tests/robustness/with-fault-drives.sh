#!/usr/bin/env bash
# Runs a test program with two real failing drives mounted under a folder of
# the build tree, which Wine reaches through Z:
#   <root>/full       a 48 KB tmpfs: writes beyond it fail with a full disk
#   <root>/readonly   a read-only tmpfs holding list.vql (and a.vqf, b.vqf)
# and names that folder to the program in JUMBLA_FAULT_DRIVES. Both are
# unmounted on every way out. Mounting needs root: elsewhere the program runs
# with JUMBLA_FAULT_DRIVES unset and its fault cases skip, saying why.
#
# Wine's server opens the files, and a server that runs in a sandbox (Wine
# from a root, tools/wine-run.sh) sees only what was mounted when it
# started: CTest runs this test alone, and the prefix's server is ended
# first, so the test's own server starts with the drives in place.
#
#   tests/robustness/with-fault-drives.sh <root> <program> [args...]
set -u
root=$1
shift

unmount() {
  for drive in "$root/readonly" "$root/full"; do
    if mountpoint -q "$drive"; then umount "$drive" || umount -l "$drive"; fi
  done
}
trap unmount EXIT
trap 'exit 130' INT TERM

mount_drives() {
  [ "$(id -u)" = 0 ] || { echo "not root"; return 1; }
  mkdir -p "$root/full" "$root/readonly" || return 1
  unmount  # left over from a run that was killed outright
  mount -t tmpfs -o size=48k,mode=0777 jumbla-full "$root/full" 2>&1 || return 1
  mount -t tmpfs -o size=64k,mode=0777 jumbla-readonly "$root/readonly" 2>&1 || return 1
  printf '#x\r\na.vqf\r\nb.vqf\r\n' >"$root/readonly/list.vql"
  mount -o remount,ro "$root/readonly" 2>&1 || return 1
}

here=$(cd "$(dirname "$0")/../.." && pwd)
"$here/tools/wine-run.sh" --server -k 2>/dev/null || true

if reason=$(mount_drives); then
  export JUMBLA_FAULT_DRIVES=$root
else
  echo "with-fault-drives: no full or read-only drive (${reason:-mount refused}): the fault cases skip"
  unmount
  unset JUMBLA_FAULT_DRIVES
fi
"$@"
