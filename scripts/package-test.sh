#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb, installs it on this machine with dpkg, runs the installed programs on
# the simulated tracker, and removes the package again, checking that nothing is left.
# Needs root (or sudo); used by CI.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi

scripts/install-deps.sh window packaging
cmake --preset default
cmake --build --preset default --parallel "$(nproc)"
rm -f build/default/quarnel_*.deb
(cd build/default && cpack -G DEB)
deb=$(ls build/default/quarnel_*.deb)
echo "=== package: $deb"
dpkg-deb --field "$deb" Package Version Depends Installed-Size

if dpkg-query -W quarnel >/dev/null 2>&1; then
    "${as_root[@]}" dpkg -r quarnel
fi
"${as_root[@]}" dpkg -i "$deb"
trap '"${as_root[@]}" dpkg -r quarnel >/dev/null 2>&1 || true' EXIT

for file in /usr/bin/Quarnel /usr/bin/quarnel-demo /usr/bin/quarnelctl \
            /usr/lib/quarnel/Player.ini /usr/lib/quarnel/Lang/English.ini \
            /usr/lib/udev/rules.d/70-quarnel-tracker.rules \
            /usr/share/applications/quarnel.desktop \
            /usr/share/icons/hicolor/48x48/apps/quarnel.png \
            /usr/share/doc/quarnel/LEAFLET-NOTICE; do
    [[ -e "$file" ]] || { echo "missing after install: $file" >&2; exit 1; }
done

echo "=== installed quarnelctl --demo info"
quarnelctl --demo info
echo "=== installed quarnelctl --demo get"
profile=$(mktemp)
quarnelctl --demo get -o "$profile"
grep -q '^\[system\]' "$profile"
rm -f "$profile"

echo "=== installed quarnelctl --demo log: a map page with Leaflet inside"
page=$(mktemp --suffix=.html)
quarnelctl --demo log "$page"
grep -q 'Leaflet [0-9][0-9.]*, a JavaScript library' "$page"
grep -q '<dd id="points" data-value="240">' "$page"
rm -f "$page"

echo "=== the installed demo window starts and keeps running"
status=0
QT_QPA_PLATFORM=offscreen timeout 3 quarnel-demo >/dev/null 2>&1 || status=$?
if [[ $status -ne 124 ]]; then
    echo "the installed quarnel-demo ended with status $status instead of running" >&2
    exit 1
fi

"${as_root[@]}" dpkg -r quarnel
trap - EXIT
left=$(ls /usr/lib/quarnel /usr/bin/quarnelctl /usr/lib/udev/rules.d/70-quarnel-tracker.rules 2>/dev/null || true)
if [[ -n "$left" ]]; then
    echo "left behind after removal: $left" >&2
    exit 1
fi
echo "=== package installed, used and removed cleanly"
