#!/usr/bin/env bash
# A host that runs no 32-bit code (forced with JUMBLA_NO_32BIT=1, so this
# runs on any host) is a skip with its reason, never a failure or a hang:
# each Wine script answers 77 or a one-line refusal without starting Wine.
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export JUMBLA_NO_32BIT=1
failures=0
# expect <exit code> <text the one line of stderr holds> <command...>
expect() {
  local want=$1 text=$2 got
  shift 2
  "$@" >"$scratch/out" 2>"$scratch/err" </dev/null && got=0 || got=$?
  if [ "$got" -ne "$want" ] || ! grep -qF "$text" "$scratch/err" || [ "$(wc -l <"$scratch/err")" -ne 1 ]; then
    echo "FAILED: $* gave $got (want $want, one line with \"$text\"):"; cat "$scratch/err"
    failures=$((failures + 1))
  fi
}

# A 32-bit PE header: "MZ", the PE offset at 60, "PE\0\0" and machine 0x14c.
{ printf 'MZ'; head -c 58 /dev/zero; printf '\100\0\0\0PE\0\0\114\001'; } >"$scratch/x86.exe"
mkdir -p "$scratch/p32"; echo '#arch=win32' >"$scratch/p32/system.reg"

expect 1 "runs no 32-bit programs" sh -c '"$1" >&2; exit $?' - "$top/tools/host32.sh"
expect 77 "cannot run x86.exe: this host runs no 32-bit" env WINEPREFIX="$scratch/p64" "$top/tools/wine-run.sh" "$scratch/x86.exe"
expect 77 "in the 32-bit prefix" env WINEPREFIX="$scratch/p32" "$top/tools/wine-run.sh" wineboot
expect 77 "no 32-bit Wine prefix here" "$top/tools/wine-setup.sh" "$scratch" "$scratch/new" win32
expect 1 "is a 32-bit prefix" env WINEPREFIX="$scratch/p32" "$top/tools/jumbla"
[ ! -e "$scratch/new" ] || { echo "FAILED: wine-setup made a prefix it cannot run"; failures=$((failures + 1)); }

# There the 32-bit suite runs in a virtual machine whose kernel runs 32-bit
# code, a Linux such as bash expects (its process substitution opens
# /dev/fd/N): the command's output and status come back, and a VM past its
# time limit is a skip with its reason that leaves nothing running. A VM
# that cannot run at all is a skip too.
out=$("$top/tests/support/vm32.sh" bash -c 'cat <("$1" && echo "32-bit code runs"); exit 3' - "$top/tools/host32.sh" 2>"$scratch/err")
got=$?
if [ "$got" -eq 77 ]; then
  echo "no virtual machine here: $(tail -n 1 "$scratch/err")"
else
  [ "$got" -eq 3 ] && [ "$out" = "32-bit code runs" ] ||
    { echo "FAILED: vm32.sh gave $got and \"$out\":"; cat "$scratch/err"; failures=$((failures + 1)); }
  JUMBLA_VM_TIMEOUT=1 "$top/tests/support/vm32.sh" sleep 600 2>"$scratch/err" &
  vm=$!
  wait $vm && got=0 || got=$?
  if [ "$got" -ne 77 ] || ! tail -n 1 "$scratch/err" | grep -q "did not finish within 1 s" ||
    pgrep -f "jumbla.run=run.$vm( |$)" >/dev/null || [ -e "$top/build/vm32/run.$vm" ]; then
    echo "FAILED: vm32.sh past its time limit gave $got, or left its VM:"; cat "$scratch/err"
    failures=$((failures + 1))
  fi
fi

# The closing line counts what the host could not run as skipped.
printf '<testsuite tests="18" failures="0" disabled="0" skipped="17">\n' >"$scratch/junit.xml"
line=$("$top/tests/test-summary.sh" "$scratch/junit.xml" | tail -n 1)
[ "$line" = "Tests: 1 passed, 0 failed, 17 skipped" ] || { echo "FAILED: summary said: $line"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "host limits: all skip with their reason, or run in the VM"
exit "$failures"
