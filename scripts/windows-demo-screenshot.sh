#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows window as its users see it: cross-builds Quarnel.exe and quarnel-demo.exe
# against Qt for Windows (scripts/windows-qt.sh builds it once per machine), gathers them
# with Qt's DLLs, the windows platform plugin, Player.ini and Lang\ into one folder (as
# the Windows package will hold them, in build/windows/program), runs quarnel-demo.exe
# under Wine on a virtual X display, clicks Get Parameter, dismisses GET FINISH and saves
# the screen as docs/screenshot-windows.png. Wine draws the window's frame
# (explorer /desktop); the window itself is Qt's, drawn by Windows' GDI as Wine does it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [[ "${1:-}" != --under-x ]]; then
    scripts/install-deps.sh window tests windows
    source scripts/lib/windows-build.sh
    windows_environment
    windows_configure
    cmake --build build/windows --target Quarnel quarnel-demo quarnel_data --parallel "$(nproc)"
    source scripts/lib/windows-deploy.sh
    program=build/windows/program
    rm -rf "$program"
    mkdir -p "$program"
    cp -r build/windows/bin/{Quarnel.exe,quarnel-demo.exe,Player.ini,Lang,user-guide.md} \
        "$program/"
    windows_deploy "$QUARNEL_WINDOWS_QT" "$program" platforms/qwindows.dll
    echo "program folder: $(du -sh "$program" | cut -f 1)"
    exec xvfb-run -a -s "-screen 0 1100x640x24 -dpi 96" "$0" --under-x
fi

source scripts/lib/wine.sh
wine_init build/windows/wine-prefix
cd build/windows/program
wine_run explorer /desktop=quarnel,1060x600 quarnel-demo.exe >/dev/null 2>&1 &
trap 'wineserver=${QUARNEL_WINESERVER}; "$wineserver" -k 2>/dev/null || true' EXIT

# Waits up to 60 s for a window whose title starts with $1.
wait_for() {
    for _ in $(seq 600); do
        xdotool search --name "^$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window \"$1\" appeared" >&2
    return 1
}
wait_for Trelvin
sleep 2
# Get Parameter, the first button: its place on the 1060x600 desktop Wine draws.
xdotool mousemove 91 91 click 1
wait_for quarnel-demo
sleep 1
xdotool key Return
sleep 2
import -window root "$root/docs/screenshot-windows.png"
echo "docs/screenshot-windows.png"
