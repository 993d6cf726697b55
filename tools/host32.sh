#!/usr/bin/env bash
# Can this host run 32-bit programs, and so Debian's 32-bit Wine?
#   tools/host32.sh   exit 0: yes
#                     exit 1: no, this host runs no 32-bit code
#                     exit 2: cannot tell, Debian's 32-bit loader is missing
# On "no" or "cannot tell" it prints the reason as one line.
#
# Some kernels run no 32-bit programs (IA-32 emulation off, or Linux 6.7's
# ia32_emulation=0): there the 32-bit loader fails with "Exec format error",
# and neither Debian 12's Wine 8 nor Debian 13's Wine 10 runs any 32-bit
# Windows program. JUMBLA_NO_32BIT=1 answers "no" on any host, so that path
# can be tried anywhere.
set -u
loader=${JUMBLA_WINE32_LOADER:-/usr/lib/wine/wine}
if [ "${JUMBLA_NO_32BIT:-}" = 1 ]; then
  echo "this host runs no 32-bit programs (JUMBLA_NO_32BIT=1 says so)"
  exit 1
fi
if [ ! -e "$loader" ]; then
  echo "Debian's 32-bit Wine loader $loader is missing (package wine32:i386; run tools/install-deps.sh)"
  exit 2
fi
out=$("$loader" --version 2>&1) && exit 0
case "$out" in
  *"Exec format error"*)
    echo "this host runs no 32-bit programs (the kernel's IA-32 emulation is off: $loader fails with \"Exec format error\")"
    exit 1 ;;
esac
echo "Debian's 32-bit Wine loader does not start: $(printf '%s' "$out" | head -n1)"
exit 2
