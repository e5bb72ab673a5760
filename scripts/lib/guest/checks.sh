#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs in the test machine (started by its init): loads the USB gadget and HID modules,
# runs every check on the real kernel's USB stack and records each one's outcome in
# OUT/results.txt ("PASS name" or "FAIL name"), its output in OUT/logs/NAME.log.
# Usage: checks.sh SOURCE_DIR OUT_DIR CONTROLLERS
set -uo pipefail
src=$1
out=$2
udcs=${3:-4}
build=$src/build/default
bin=$build/bin
kmods=/kmods/lib/modules/$(uname -r)/kernel
mkdir -p "$out/logs"
: >"$out/results.txt"

load() {
    local path
    path=$(find "$kmods" -name "$1.ko" | head -n 1)
    if [[ -z "$path" ]]; then
        echo "checks: no module $1" >&2
        return 1
    fi
    busybox insmod "$path" "${@:2}"
}

# record NAME COMMAND...: runs one check, its output in its log.
record() {
    local name=$1 start=$SECONDS status
    shift
    "$@" >"$out/logs/$name.log" 2>&1
    status=$?
    if ((status == 0)); then
        echo "PASS $name $((SECONDS - start)) s" >>"$out/results.txt"
    else
        echo "FAIL $name $((SECONDS - start)) s (status $status)" >>"$out/results.txt"
    fi
}

# Nothing loads these by itself here (no udev, no modprobe): in dependency order.
for module in configfs usb-common usbcore udc-core; do
    load "$module"
done
load dummy_hcd "num=$udcs"
for module in libcomposite usb_f_hid hid usbhid hid-generic uhid; do
    load "$module"
done
mount -t configfs none /sys/kernel/config
ls /sys/class/udc >"$out/logs/controllers.log"

# The first check: the gadget program serves and quarnelctl finds it.
first_contact() {
    "$bin/quarnel-usb-tracker" --udc dummy_udc.0 &
    local tracker=$!
    local i
    for ((i = 0; i < 100; ++i)); do
        ls /dev/hidraw* >/dev/null 2>&1 && break
        sleep 0.1
    done
    ls -l /dev/hidraw* /dev/hidg*
    "$bin/quarnelctl" info
    local status=$?
    kill -TERM "$tracker"
    wait "$tracker"
    echo "tracker status $?"
    ls /sys/kernel/config/usb_gadget
    return $status
}
record first-contact first_contact

# The typed transaction suite and the kernel's hidraw contract, on the real stack.
record kernel-tests "$bin/kernel_tests" --gtest_output="xml:$out/kernel_tests.xml"

# quarnelctl, unmodified, against quarnel-usb-tracker: the same ends, files and bytes as
# on the in-process simulated tracker.
record program-tests "$bin/kernel_program_tests" --gtest_output="xml:$out/kernel_program_tests.xml"

# The window, offscreen, clicking Get Parameter against the gadget.
record window-tests "$bin/kernel_window_tests" --gtest_output="xml:$out/kernel_window_tests.xml"

# The figures: the real stack against the in-process tracker, in this same machine.
record bench "$bin/kernel_bench" --benchmark_out="$out/kernel_bench.json" --benchmark_out_format=json

dmesg >"$out/logs/kernel-messages.log"
