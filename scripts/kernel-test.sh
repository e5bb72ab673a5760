#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs on a real Linux USB stack, without hardware: boots Debian's stock kernel in
# a QEMU machine (software emulation), where quarnel-usb-tracker plays the tracker as a
# USB gadget on dummy_hcd's controllers and the kernel's usbhid and hidraw drivers present
# it to the unmodified programs. Builds what the machine runs, runs every check in
# scripts/lib/guest/checks.sh there, and prints their outcomes.
# Usage: scripts/kernel-test.sh [--controllers N] [--filter GTEST_FILTER]
# --filter runs only the test cases that match (while working on them).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

controllers=4
filter=
while (($#)); do
    case $1 in
    --controllers)
        controllers=$2
        shift 2
        ;;
    --filter)
        filter=$2
        shift 2
        ;;
    *)
        echo "usage: $0 [--controllers N] [--filter GTEST_FILTER]" >&2
        exit 2
        ;;
    esac
done

scripts/install-deps.sh window tests vm
source scripts/lib/cache.sh
source scripts/lib/test-kernel.sh

build=build/default
[[ -f $build/build.ninja ]] || cmake --preset default
nice -n 5 cmake --build "$build" --target quarnelctl quarnel-usb-tracker kernel_tests kernel_program_tests \
    kernel_window_tests kernel_bench

kernel=$(test_kernel_fetch)
release=$(cat "$kernel/release")
work=$root/$build/kernel-test
rm -rf "$work"
mkdir -p "$work/initramfs/modules" "$work/out"

# The initramfs: busybox, the init and the modules that reach the shared folders.
cp /bin/busybox "$work/initramfs/busybox"
cp scripts/lib/guest/init "$work/initramfs/init"
for module in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci \
    netfs fscache 9pnet 9pnet_virtio 9p; do
    find "$kernel/tree/lib/modules/$release/kernel" -name "$module.ko" \
        -exec cp {} "$work/initramfs/modules/" \;
done
(cd "$work/initramfs" && find . | busybox cpio -o -H newc -R 0:0 2>/dev/null) >"$work/initrd.cpio"

share() {
    echo "-virtfs local,path=$1,mount_tag=$2,security_model=none,multidevs=remap${3:+,$3}"
}
# A paravirtual /dev/kvm here cannot run this kernel; software emulation boots it in
# seconds.
echo "kernel-test: booting $release with $controllers USB device controllers"
status=0
# shellcheck disable=SC2046
timeout 290 qemu-system-x86_64 -accel tcg -cpu max -m 1024 -smp 2 -nographic -no-reboot \
    -nic none -kernel "$kernel/vmlinuz" -initrd "$work/initrd.cpio" \
    -append "console=ttyS0 panic=-1 quiet quarnel.src=$root quarnel.out=$work/out quarnel.udcs=$controllers${filter:+ quarnel.filter=$filter}" \
    $(share /usr usr readonly=on) $(share /etc etc readonly=on) \
    $(share "$kernel/tree" kmods readonly=on) $(share "$root" src readonly=on) \
    $(share "$work/out" out) >"$work/console.log" 2>&1 || status=$?
if ((status != 0)); then
    echo "kernel-test: the machine did not power off by itself (status $status)" >&2
    tail -n 40 "$work/console.log" >&2
    exit 1
fi
cat "$work/out/results.txt"
if [[ ! -s $work/out/results.txt ]] || grep -q '^FAIL' "$work/out/results.txt"; then
    for log in $(awk '$1 == "FAIL" {print $2}' "$work/out/results.txt"); do
        echo "=== $log" >&2
        tail -n 60 "$work/out/logs/$log.log" >&2
    done
    [[ -s $work/out/results.txt ]] || tail -n 40 "$work/out/checks.log" "$work/console.log" >&2
    exit 1
fi
echo "kernel-test: every check passed"
if [[ -s $work/out/kernel_bench.json ]]; then
    echo "kernel-test: the real USB stack against the in-process tracker"
    scripts/lib/kernel-bench-summary.py "$work/out/kernel_bench.json"
fi
