#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when
# any is missing. Safe to run again: it does nothing when all are present.
# The 32-bit program runs under Debian's 32-bit Wine loader (wine32:i386),
# so the machine gets the i386 architecture first. Where the host's kernel
# runs no 32-bit code, the 32-bit suite runs in a virtual machine made of
# qemu, Debian's kernel and busybox (tests/support/vm32.sh).
set -eu
packages=(
  cmake make g++ pkg-config python3
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
  g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32
  wine64 wine32:i386 xvfb xauth x11-apps fonts-noto-cjk fonts-ipafont-gothic locales
  googletest libgtest-dev libbenchmark-dev
  clang llvm libclang-rt-14-dev
  imagemagick zip
  debootstrap bubblewrap
  fuse3 libfuse3-dev
  qemu-system-x86 linux-image-amd64 busybox-static
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture (for wine32:i386, which runs 32-bit Windows programs)"
  $sudo dpkg --add-architecture i386 || {
    echo "install-deps: could not add the i386 architecture; 32-bit Jumbla cannot run under Wine here" >&2
    exit 1
  }
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  echo "install-deps: could not install: ${missing[*]}" >&2
  case " ${missing[*]} " in
    *" wine32:i386 "*) echo "install-deps: without wine32:i386 no 32-bit Windows program runs under Wine (the i386 packages must be reachable)" >&2 ;;
  esac
  exit 1
fi
