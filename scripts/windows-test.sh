#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build, cross-built with MinGW-w64 and tried under Wine; the CI stage
# "windows":
#   1. Qt for Windows (scripts/windows-qt.sh: from the cache outside the clone, or built
#      there once per machine), hidapi's Windows backend and GoogleTest for Windows
#      (scripts/windows-sysroot.sh, once per machine), then the "windows" preset's build:
#      Quarnel.exe, quarnel-demo.exe, quarnelctl.exe and every test program;
#   2. Qt's DLLs and the offscreen and windows platform plugins beside them, and every test
#      under Wine through ctest, the window's with Qt's offscreen plugin as on Linux;
#   3. quarnelctl.exe against quarnelctl built for Linux, on the simulated tracker: info,
#      get, seal, set, log to CSV, GPX, KML and the map page, and info without a tracker
#      (exit status 3) must give the same exit statuses, the same messages and the same
#      files byte for byte, written into folders named Ωmega and 日本;
#   4. the zip, quarnelctl-<version>-windows-x86_64.zip, in build/windows;
#   5. the installer, built, installed, used and uninstalled under Wine
#      (scripts/windows-installer.sh, on the same build).
# No display is needed. QUARNEL_CACHE (scripts/lib/cache.sh) says where the Windows
# libraries are kept.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh window tests windows
source scripts/lib/wine.sh
source scripts/lib/windows-build.sh
source scripts/lib/windows-deploy.sh

step() {
    echo "=== windows: $* (at $((SECONDS / 60)) min $((SECONDS % 60)) s)"
}

step "Qt and libraries for Windows"
windows_environment

step "build"
windows_configure
cmake --build --preset windows --parallel "$(nproc)"
exe=build/windows/bin/quarnelctl.exe
echo "quarnelctl.exe: $(stat -c %s "$exe") bytes"
windows_deploy "$QUARNEL_WINDOWS_QT" build/windows/bin platforms/qoffscreen.dll \
    platforms/qwindows.dll

step "tests under Wine"
wine_init build/windows/wine-prefix
# Wine hands Qt's variables to a program only under a WINE prefix.
export WINEQT_QPA_PLATFORM=offscreen
# Now and then a test program under Wine ends at once with no output at all (Wine's start,
# not the test): a case that fails is run once more, and a real failure fails twice.
ctest --preset windows --parallel "$(nproc)" --repeat until-pass:2

step "quarnelctl.exe against the Linux build"
cmake --preset default >/dev/null
cmake --build --preset default --target quarnelctl
linux=$root/build/default/bin/quarnelctl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A profile both builds seal and write: the demo tracker's own, one value changed by hand.
(cd "$work" && "$linux" --demo get -o base.ini)
sed 's/^ring_counter = .*/ring_counter = 5/' "$work/base.ini" >"$work/edited.ini"

quarnelctl_linux() { "$linux" "$@"; }
quarnelctl_windows() { wine_run "$root/$exe" "$@"; }

# Runs one quarnelctl command in folder $1 with the program $2; keeps its exit status and
# its output (line ends as on Linux: a Windows console writes CR LF) in the folder's log.
run() {
    local dir=$1 program=$2 status=0
    shift 2
    (cd "$dir" && "$program" "$@" >out.txt 2>err.txt) || status=$?
    {
        echo "\$ quarnelctl $* -> $status"
        tr -d '\r' <"$dir/out.txt"
        tr -d '\r' <"$dir/err.txt"
    } >>"$dir/commands.log"
    rm "$dir/out.txt" "$dir/err.txt"
}

for side in linux windows; do
    dir=$work/$side
    mkdir -p "$dir/Ωmega" "$dir/日本"
    cp "$work/edited.ini" "$dir/日本/edited.ini"
    if [[ $side == linux ]]; then program=quarnelctl_linux; else program=quarnelctl_windows; fi
    run "$dir" "$program" --demo info
    run "$dir" "$program" --demo get -o Ωmega/profile.ini
    run "$dir" "$program" seal 日本/edited.ini
    run "$dir" "$program" --demo --save-state 日本/state.json set 日本/edited.ini
    for format in csv gpx kml html; do
        run "$dir" "$program" --demo log "日本/trip.$format"
    done
    run "$dir" "$program" info
    # The time a profile was read, and so its checksum, differ from run to run.
    sed -i '/^read_at = /d; /^checksum = /d' "$dir/Ωmega/profile.ini"
done
if ! diff -r "$work/linux" "$work/windows"; then
    echo "quarnelctl.exe and quarnelctl differ (above)" >&2
    exit 1
fi
grep -q -- '-> 3$' "$work/windows/commands.log" ||
    {
        echo "info without a tracker did not end with status 3" >&2
        exit 1
    }
echo "the same files and messages: $(cd "$work/linux" && find . -type f | sort | tr '\n' ' ')"

step "zip"
(cd build/windows && cpack -G ZIP >/dev/null)
ls -l build/windows/quarnelctl-*-windows-x86_64.zip
python3 -m zipfile -l build/windows/quarnelctl-*-windows-x86_64.zip
# Unpacked anywhere, quarnelctl.exe runs with nothing beside it but its documents.
python3 -m zipfile -e build/windows/quarnelctl-*-windows-x86_64.zip "$work/unzipped"
(cd "$work"/unzipped/quarnelctl-* && wine_run ./quarnelctl.exe --demo info | tr -d '\r' |
    grep '^IMEI: ') || {
    echo "quarnelctl.exe from the zip did not answer" >&2
    exit 1
}

step "installer"
scripts/windows-installer.sh
step "done"
