#!/usr/bin/env bash
# Debian 13's Wine 10.0, the second Wine the tests run under, in a Debian 13
# root of its own:
#   tools/wine10.sh            makes the root once (reused after), prints its path
# The root comes from the Debian mirror that apt on this machine already
# uses, made with debootstrap, and is kept outside the clone
# (JUMBLA_WINE10_ROOT, default /var/cache/jumbla/wine10). tools/wine-run.sh
# enters it with bwrap when JUMBLA_WINE_ROOT names it, so no mount outlives
# a run. Every failure is one line on stderr and exit 1; no step waits
# without a bound.
set -eu
root=${JUMBLA_WINE10_ROOT:-/var/cache/jumbla/wine10}
packages="wine wine64 wine32:i386 locales fonts-noto-cjk fonts-ipafont-gothic"
fail() { echo "wine10: $*" >&2; exit 1; }

if [ -f "$root/.jumbla-ready" ]; then echo "$root"; exit 0; fi
[ "$(id -u)" -eq 0 ] || fail "making the Debian 13 root needs root (debootstrap); run as root or through sudo"
command -v debootstrap >/dev/null || fail "debootstrap is missing (run tools/install-deps.sh)"
command -v bwrap >/dev/null || fail "bwrap is missing (package bubblewrap; run tools/install-deps.sh)"

# The first Debian archive apt is set up with, in either sources format.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
  grep -oE '(https?|file)://[^ ]*/debian/?( |$)' | grep -v -- '-security' | head -n1 | tr -d ' ')
[ -n "$mirror" ] || fail "no Debian mirror found in apt's sources (/etc/apt/sources.list*)"

work=$root.partial
log=$(dirname "$root")/wine10-setup.log
mkdir -p "$(dirname "$root")"
echo "wine10: making a Debian 13 root with Wine 10 in $root from $mirror (once; log: $log)" >&2
# A base system left by an earlier try that failed later is kept.
if [ ! -f "$work/.debootstrapped" ]; then
  rm -rf "$work"
  timeout 1800 debootstrap --variant=minbase --arch=amd64 trixie "$work" "$mirror" >"$log" 2>&1 ||
    fail "debootstrap of Debian 13 from $mirror failed (see $log)"
  touch "$work/.debootstrapped"
fi
cp /etc/resolv.conf "$work/etc/resolv.conf" 2>/dev/null || true
timeout 1800 bwrap --bind "$work" / --dev /dev --proc /proc --unsetenv TMPDIR \
  env DEBIAN_FRONTEND=noninteractive sh -ec "
    dpkg --add-architecture i386
    apt-get update -q -o APT::Update::Error-Mode=any
    apt-get install -y -q --no-install-recommends $packages
    apt-get clean" >>"$log" 2>&1 ||
  fail "installing Wine 10 in the Debian 13 root failed (bwrap or download; see $log)"
[ -x "$work/usr/lib/wine/wine64" ] || fail "the Debian 13 root has no /usr/lib/wine/wine64 (see $log)"
touch "$work/.jumbla-ready"
rm -rf "$root"
mv "$work" "$root"
echo "$root"
