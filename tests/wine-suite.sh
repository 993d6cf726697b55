#!/usr/bin/env bash
# Runs a Windows tree's test suite: makes the tree's Wine prefix if needed
# (tools/wine-setup.sh), mounts the robustness tests' drives, then runs
# CTest on a virtual display and Wine session of its own (tools/lib.sh),
# writing a JUnit report into the tree:
#   tests/wine-suite.sh <win32|win64> <report name> [wine]
# "wine" runs the tests under Wine only (CTest label wine), not the checks
# of the built program. JOBS (default: the CPUs) tests run at once. With
# JUMBLA_WINE_ROOT set, it is that root's Wine (tools/wine-run.sh).
#
# The 32-bit tree where this host runs no 32-bit code (tools/host32.sh):
# its Wine tests run inside a virtual machine that does (tests/support/vm32.sh),
# without the soak test, which would take most of an hour there; its other
# tests (the program's checks, its release build) run here, into the report
# "<report name less .xml>-host.xml". Where the VM cannot run either, all
# run here and each Wine test reports itself skipped; the reason is kept in
# build/win32/vm32-skipped for make's closing line.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"
. "$here/tests/robustness/drives.sh"
build=$here/build
in_vm=
[ "$1" = --in-vm ] && { in_vm=1; shift; }
tree=$1 report=$2 only=${3:-}
host_report=${report%.xml}-host.xml

# suite <report> [ctest arguments...]: the prefix, then the fault and slow
# drives (mounted before the session's server starts, which then sees
# them), then CTest on a display and Wine session of its own.
suite() {
  local junit=$1 rc
  shift
  [ "$only" != wine ] || set -- -L wine "$@"
  { "$here/tools/wine-setup.sh" "$build" "$build/$tree/wineprefix" "$tree" || [ $? -eq 77 ]; } || return 1
  unmanaged_windows "$build/$tree/wineprefix"
  drives_mount "$build/$tree" "$build/$tree/tests/support/slowfs/slowfs"
  export WINEPREFIX=$build/$tree/wineprefix
  session=1
  xvfb_start && wine_session_start "$build/$tree/tests/support/session_keeper/session_keeper.exe"
  ctest --test-dir "$build/$tree" --output-on-failure -j "${JOBS:-$(nproc)}" --output-junit "$junit" "$@"
  rc=$?
  stop_suite
  return $rc
}
# Ends what suite started, on every way out.
session=
stop_suite() {
  [ -z "$session" ] || wine_session_stop
  session=
  xvfb_stop
  drives_unmount
}
# Xvfb has no window manager, and Wine waits two seconds for one to withdraw
# each top-level window that goes away (every message box and dialog a test
# closes) unless its windows are unmanaged: set once in the tree's prefix.
unmanaged_windows() {
  local prefix
  prefix=$(WINEPREFIX=$1 "$here/tools/wine-run.sh" --prefix)
  [ -f "$prefix/user.reg" ] && ! grep -q '^"Managed"="N"' "$prefix/user.reg" || return 0
  WINEPREFIX=$1 "$here/tools/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  WINEPREFIX=$1 "$here/tools/wine-run.sh" --server -w
}
wine_tmp=
cleanup() {
  stop_suite
  [ -z "$wine_tmp" ] || umount "$wine_tmp" || umount -l "$wine_tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if [ -n "$in_vm" ]; then
  # A Wine root's /tmp, where its server makes its socket, is build/wine-tmp
  # (tools/wine-run.sh); the VM's 9p share of the clone takes no sockets.
  if [ -n "${JUMBLA_WINE_ROOT:-}" ]; then
    mkdir -p "$build/wine-tmp" && mount -t tmpfs wine-tmp "$build/wine-tmp" || exit 1
    wine_tmp=$build/wine-tmp
  fi
  suite "$report" -L wine -E '^robustness_soak_tests$'
  rc=$?
  # Where the report's suites ran, for the closing table (tests/test-summary.sh).
  echo VM >"$build/$tree/${report%.xml}.where"
  exit "$rc"
fi
rm -f "$build/$tree/vm32-skipped" "$build/$tree/$host_report" "$build/$tree/${report%.xml}.where"
if [ "$tree" = win64 ] || host32_check || [ "$host32" != no ]; then
  suite "$report"
  exit
fi

echo "wine-suite: $host32_why: the 32-bit Wine tests run in a virtual machine (tests/support/vm32.sh), without robustness_soak_tests"
mkdir -p "$build/vm32"
# vm32.sh's last line on stderr is its reason when it cannot run the VM.
exec 3>&1
( . "$here/tests/support/vm32.sh"; vm32_run "$0" --in-vm "$tree" "$report" ) 2>&1 >&3 3>&- | tee "$build/vm32/stderr" >&2
rc=${PIPESTATUS[0]}
if [ "$rc" -eq 77 ]; then
  echo "no virtual machine could run it ($(tail -n 1 "$build/vm32/stderr" | sed 's/^vm32: //'))" >"$build/$tree/vm32-skipped"
  suite "$report"
  exit
fi
[ "$only" = wine ] && exit "$rc"
# The Wine tests' status stands; the checks that need no Wine add theirs.
ctest --test-dir "$build/$tree" --output-on-failure -j "${JOBS:-$(nproc)}" --output-junit "$host_report" -LE wine || rc=1
exit "$rc"
