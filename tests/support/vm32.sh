#!/usr/bin/env bash
# Runs a command inside a small virtual machine whose kernel runs 32-bit
# code, for a host whose own kernel runs none (tools/host32.sh says no):
#   tests/support/vm32.sh <command> [args...]
# or, sourced, in a subshell of its caller's (it sets traps and exits):
#   ( . tests/support/vm32.sh; vm32_run <command> [args...] )
#
# The VM (qemu-system-x86_64, 2 CPUs) boots Debian's own kernel
# (linux-image-amd64, /boot/vmlinuz-*) with an initramfs made once into
# build/vm32: busybox-static and that kernel's own virtio, 9p, overlay and
# fuse modules; /boot and the host's initramfs are left alone. It sees the
# host's root file system read-only over 9p with a tmpfs on top for writes,
# and this clone read-write at its own path, so the command runs the host's
# own programs (Wine, Xvfb, CTest) on this tree. The command runs as root in
# the current folder with the caller's environment (less what names the
# host's display, temporary folder, make's job server and JUMBLA_NO_32BIT);
# its output (stdout and stderr together) comes back on stdout as it runs,
# and its exit status is this script's.
#
# Exit 77 with a one-line reason when the VM cannot run it: no qemu, no
# kernel image or its modules, no static busybox, a VM that does not boot,
# or one that outlives the time limit (JUMBLA_VM_TIMEOUT seconds, default
# 1500). KVM where /dev/kvm runs guests, software emulation (TCG) elsewhere.
# qemu is ended on every way out, Ctrl-C included.
set -u
vm32_script=${BASH_SOURCE[0]}

vm32_run() {
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  vmdir=$here/build/vm32
  limit=${JUMBLA_VM_TIMEOUT:-1500}
  mem_mib=4096

  skip() {
    echo "vm32: $*" >&2
    exit 77
  }

  qemu=$(command -v qemu-system-x86_64) ||
    skip "no qemu-system-x86_64 (package qemu-system-x86; run tools/install-deps.sh)"
  busybox=/bin/busybox
  [ -x "$busybox" ] || skip "no $busybox (package busybox-static; run tools/install-deps.sh)"
  # The initramfs has no C library: only a static busybox runs there.
  LC_ALL=C readelf -l "$busybox" 2>/dev/null | grep -q 'program interpreter' &&
    skip "$busybox is not the static one (package busybox-static; run tools/install-deps.sh)"

  # The newest kernel image whose modules are installed: its own 9p, overlay
  # and virtio drivers go into the initramfs, as they must match it exactly.
  kernel= kver=
  for image in $(printf '%s\n' /boot/vmlinuz-* | sort -rV); do
    version=${image#/boot/vmlinuz-}
    if [ -r "$image" ] && [ -f "/lib/modules/$version/modules.dep" ]; then
      kernel=$image kver=$version
      break
    fi
  done
  [ -n "$kernel" ] || skip "no readable /boot/vmlinuz-* with its modules in /lib/modules (package linux-image-amd64; run tools/install-deps.sh)"

  # The initramfs is made again when this script (which holds its init) is
  # newer, or for another kernel.
  initrd=$vmdir/initramfs-$kver.cpio.gz
  make_initramfs() {
    local tree=$vmdir/initramfs.tree module path
    rm -rf "$tree" && mkdir -p "$tree/bin" "$tree/modules" || return 1
    cp "$busybox" "$tree/bin/busybox" || return 1
    # modprobe lists each module after those it needs: the order to load them.
    for module in virtio_pci 9pnet_virtio 9p overlay fuse; do
      /sbin/modprobe -S "$kver" --show-depends "$module" || return 1
    done | awk '$1 == "insmod" && !seen[$2]++ { print $2 }' | while read -r path; do
      case $path in
        *.ko) cp "$path" "$tree/modules/" ;;
        *.ko.xz) xz -dc "$path" >"$tree/modules/$(basename "$path" .xz)" ;;
        *) echo "vm32: cannot load $path (not a plain or xz module)" >&2; return 1 ;;
      esac || return 1
      basename "${path%.xz}" >>"$tree/modules/order"
    done || return 1
    cat >"$tree/init" <<'INIT'
#!/bin/busybox sh
# PID 1 of the VM: mounts the host's root read-only with a tmpfs on top, the
# clone read-write at its own path, runs the command the host wrote into the
# clone, and powers off.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for module in $(cat /modules/order); do insmod /modules/$module || echo "init: insmod $module failed"; done
run=$(sed -n 's/.*jumbla.run=\([^ ]*\).*/\1/p' /proc/cmdline)
# 9p messages of 500 KiB, the most the virtio transport carries: fewer
# round trips on large reads.
p9="trans=virtio,version=9p2000.L,msize=512000"
mkdir -p /host /rw /root /share
# Both shares with a page cache (cache=loose): without one, Wine's 32-bit
# loader reads a program's sections short and runs zero pages (a page fault
# at 0 or 2 in the program's own code). Nothing on the host changes them
# while the VM runs: the host waits for it.
mount -t 9p -o $p9,cache=loose,ro hostroot /host &&
  mount -t tmpfs -o mode=0755 rw /rw && mkdir -p /rw/upper /rw/work &&
  mount -t overlay -o lowerdir=/host,upperdir=/rw/upper,workdir=/rw/work overlay /root &&
  mount -t 9p -o $p9,cache=loose work /share || { echo "init: cannot mount the shares"; reboot -f; }
# Written pages reach the host within a second, not thirty: the host shows
# the command's output as it comes.
echo 100 >/proc/sys/vm/dirty_writeback_centisecs
echo 100 >/proc/sys/vm/dirty_expire_centisecs
dir=/share/build/vm32/$run
work=$(cat "$dir/workdir")
mount --move /share "/root$work"
# What Wine needs of a Linux system: /proc, /sys, device nodes, a pty
# multiplexer, POSIX shared memory (/dev/shm), a private /tmp and /run for
# its server's socket and Xvfb's, and a host name.
mount -t proc proc /root/proc
mount -t sysfs sysfs /root/sys
mount -t devtmpfs devtmpfs /root/dev
# The links a Linux's scripts expect, which udev makes elsewhere: bash's
# process substitution opens /dev/fd/N.
ln -s /proc/self/fd /root/dev/fd
ln -s /proc/self/fd/0 /root/dev/stdin
ln -s /proc/self/fd/1 /root/dev/stdout
ln -s /proc/self/fd/2 /root/dev/stderr
mkdir -p /root/dev/pts /root/dev/shm
mount -t devpts -o newinstance,ptmxmode=0666 devpts /root/dev/pts
mount -t tmpfs -o mode=1777 shm /root/dev/shm
mount -t tmpfs -o mode=1777 tmp /root/tmp
mount -t tmpfs -o mode=0755 run /root/run
hostname jumbla-vm32
echo "jumbla-vm32: up"
chroot /root /bin/bash "$work/build/vm32/$run/command"
sync
reboot -f
INIT
    chmod +x "$tree/init"
    mkdir -p "$tree/proc" "$tree/sys" "$tree/dev"
    (cd "$tree" && find . | "$busybox" cpio -o -H newc 2>/dev/null | gzip -1) >"$initrd.tmp" &&
      mv "$initrd.tmp" "$initrd" && rm -rf "$tree"
  }
  mkdir -p "$vmdir" || skip "cannot make $vmdir"
  if [ ! -s "$initrd" ] || [ "$vm32_script" -nt "$initrd" ]; then
    make_initramfs || skip "could not make the initramfs $initrd from $kver's modules"
  fi

  # Each run has a folder of its own in the clone: the command, its output,
  # its status; removed at the end.
  run=run.$$
  rundir=$vmdir/$run
  console=$vmdir/console.log
  rm -rf "$rundir" && mkdir -p "$rundir" || skip "cannot make $rundir"
  printf '%s\n' "$here" >"$rundir/workdir"
  {
    echo "# Written by tests/support/vm32.sh: the caller's environment and command."
    export -p
    echo "unset DISPLAY XAUTHORITY WAYLAND_DISPLAY TMPDIR XDG_RUNTIME_DIR MAKEFLAGS MFLAGS MAKELEVEL JUMBLA_NO_32BIT"
    printf 'cd %q || exit 1\n' "$PWD"
    printf '%q ' "$@"
    printf '</dev/null >%q 2>&1\n' "$rundir/output"
    printf 'echo $? >%q\n' "$rundir/status"
  } >"$rundir/command"

  qemu_pid= tail_pid=
  stop() {
    [ -z "$qemu_pid" ] || { kill "$qemu_pid" 2>/dev/null; wait "$qemu_pid" 2>/dev/null; }
    [ -z "$tail_pid" ] || { kill "$tail_pid" 2>/dev/null; wait "$tail_pid" 2>/dev/null; }
    qemu_pid= tail_pid=
  }
  trap 'stop; rm -rf "$rundir"' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  # boot <accel> <seconds>: starts the VM and waits until its init says it is
  # up; fails, with the VM ended, when it stops or stays silent that long.
  boot() {
    local accel=$1 bound=$2 waited=0
    : >"$console"
    # -cpu max,-smap: qemu 7.2's emulated SMAP faults the iret back to 32-bit
    # user code. No display, network or disk: the shares are all it needs.
    "$qemu" -accel "$accel" -cpu max,-smap -smp 2 -m "$mem_mib" \
      -nodefaults -no-user-config -display none -monitor none -no-reboot \
      -serial "file:$console" \
      -kernel "$kernel" -initrd "$initrd" \
      -append "console=ttyS0 panic=-1 loglevel=4 jumbla.run=$run" \
      -fsdev "local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap" \
      -device "virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot" \
      -fsdev "local,id=work,path=$here,security_model=none,multidevs=remap" \
      -device "virtio-9p-pci,fsdev=work,mount_tag=work" \
      </dev/null >"$vmdir/qemu.log" 2>&1 &
    qemu_pid=$!
    while ! grep -q "^jumbla-vm32: up" "$console" 2>/dev/null; do
      if ! kill -0 "$qemu_pid" 2>/dev/null; then
        why="qemu ($accel) stopped before the VM was up: $(tail -n 1 "$vmdir/qemu.log")"
        stop
        return 1
      fi
      if [ "$waited" -ge $((bound * 2)) ]; then
        why="the VM ($accel) was not up after $bound s (its console: $console)"
        stop
        return 1
      fi
      sleep 0.5
      waited=$((waited + 1))
    done
    booted=$((waited / 2))
  }

  start=$SECONDS why= accel=
  # /dev/kvm can be there while the CPU offers guests no virtualization (a
  # VM inside a VM): qemu then fails or the guest never comes up.
  if [ -r /dev/kvm ] && [ -w /dev/kvm ] && grep -qwE 'vmx|svm' /proc/cpuinfo; then
    boot kvm 30 && accel=kvm || echo "vm32: KVM did not run it ($why); trying software emulation" >&2
  fi
  if [ -z "$accel" ]; then
    boot tcg 180 && accel=tcg || skip "the VM could not run: $why"
  fi
  echo "vm32: the VM ($accel, 2 CPUs, $kver) was up in ${booted} s; running: $*" >&2

  tail -n +1 -F --pid="$qemu_pid" "$rundir/output" 2>/dev/null &
  tail_pid=$!
  while kill -0 "$qemu_pid" 2>/dev/null; do
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      stop
      skip "the VM did not finish within $limit s (JUMBLA_VM_TIMEOUT); its console: $console"
    fi
    sleep 1
  done
  wait "$qemu_pid"
  qemu_pid=
  # tail reads the last output once qemu is gone, then ends.
  wait "$tail_pid"
  tail_pid=
  [ -s "$rundir/status" ] || skip "the VM stopped before the command ended (its console: $console)"
  echo "vm32: done in $((SECONDS - start)) s" >&2
  exit "$(cat "$rundir/status")"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  [ $# -gt 0 ] || { echo "usage: tests/support/vm32.sh <command> [args...]" >&2; exit 2; }
  vm32_run "$@"
fi
