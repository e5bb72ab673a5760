#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages, as a distribution would make and check them (the CI stage
# "package"):
#   1. dpkg-buildpackage -us -uc -b from debian/, in a copy of the tree in build/debian
#      (the .debs land beside it), through the compiler cache, whose hit rate it prints;
#   2. lintian --pedantic on them: any tag that debian/*.lintian-overrides does not
#      explain fails;
#   3. the desktop entry and the AppStream metadata against their own validators;
#   4. autopkgtest (the null server: on this machine) runs debian/tests on them, which
#      installs them;
#   5. the installed files and programs checked here too, then the packages removed and
#      nothing of theirs left.
# Needs root (or sudo); each step prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
step_start=$SECONDS
step() {
    echo "=== package: $* (the step before took $((SECONDS - step_start)) s)"
    step_start=$SECONDS
}

scripts/install-deps.sh window packaging
version=$(dpkg-parsechangelog -S Version)
out=build/debian
src=$out/quarnel-$version

step "dpkg-buildpackage"
rm -rf "$out"
mkdir -p "$src"
# What git knows of, committed or not: the package is built from the tree as it is.
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$src" --
# Each compile's outcome, logged for this build alone (the cache's own counters are shared
# with every other build on the machine).
export CCACHE_STATSLOG=$PWD/$out/ccache-stats.log
# The debug-symbol packages are left out here: nothing checks them, and compressing them
# was a third of the packaging time.
(cd "$src" && DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }noautodbgsym" dpkg-buildpackage -us -uc -b >../dpkg-buildpackage.log 2>&1) || {
    tail -n 60 "$out/dpkg-buildpackage.log" >&2
    exit 1
}
unset CCACHE_STATSLOG
if [[ -f $out/ccache-stats.log ]]; then
    hits=$(grep -c -E '^(direct|preprocessed)_cache_hit$' "$out/ccache-stats.log" || true)
    misses=$(grep -c -E '^cache_miss$' "$out/ccache-stats.log" || true)
    echo "compiler cache: $hits hits, $misses misses"
else
    echo "compiler cache: not used (ccache is not installed)"
fi
changes=$(ls "$out"/quarnel_*.changes)
debs=("$out"/*.deb)
for deb in "${debs[@]}"; do
    dpkg-deb --field "$deb" Package Version Depends Installed-Size
done

step "lintian --pedantic"
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$changes"

step "desktop entry and AppStream metadata"
desktop-file-validate packaging/io.github.quarnel.quarnel.desktop
appstreamcli validate --pedantic --no-net packaging/io.github.quarnel.quarnel.metainfo.xml

for package in quarnel quarnel-usb-tracker; do
    if dpkg-query -W "$package" >/dev/null 2>&1; then
        "${as_root[@]}" dpkg -r "$package"
    fi
done
trap '"${as_root[@]}" dpkg -r quarnel quarnel-usb-tracker >/dev/null 2>&1 || true' EXIT

step "autopkgtest"
"${as_root[@]}" autopkgtest "${debs[@]}" "$src" -- null

step "the installed files and programs"
for file in /usr/bin/Quarnel /usr/bin/quarnel-demo /usr/bin/quarnelctl \
    /usr/bin/quarnel-usb-tracker \
    /usr/lib/quarnel/Player.ini /usr/lib/quarnel/Lang/English.ini \
    /usr/lib/udev/rules.d/70-quarnel-tracker.rules \
    /usr/share/applications/io.github.quarnel.quarnel.desktop \
    /usr/share/metainfo/io.github.quarnel.quarnel.metainfo.xml \
    /usr/share/icons/hicolor/48x48/apps/io.github.quarnel.quarnel.png \
    /usr/share/man/man1/quarnelctl.1.gz /usr/share/man/man1/Quarnel.1.gz \
    /usr/share/man/man1/quarnel-demo.1.gz /usr/share/man/man1/quarnel-usb-tracker.1.gz \
    /usr/share/bash-completion/completions/quarnelctl \
    /usr/share/zsh/vendor-completions/_quarnelctl \
    /usr/share/fish/vendor_completions.d/quarnelctl.fish \
    /usr/share/doc/quarnel/copyright /usr/share/doc/quarnel/LEAFLET-NOTICE; do
    [[ -e "$file" ]] || { echo "missing after install: $file" >&2; exit 1; }
done
grep -q 'TAG+="uaccess"' /usr/lib/udev/rules.d/70-quarnel-tracker.rules
tests/packaging/man-page-test.sh /usr/share/man/man1/{Quarnel,quarnelctl,quarnel-demo,quarnel-usb-tracker}.1.gz
echo "=== installed quarnelctl --demo info"
quarnelctl --demo info
echo "=== the installed demo window starts and keeps running"
status=0
QT_QPA_PLATFORM=offscreen timeout 3 quarnel-demo >/dev/null 2>&1 || status=$?
if [[ $status -ne 124 ]]; then
    echo "the installed quarnel-demo ended with status $status instead of running" >&2
    exit 1
fi

step "removal"
"${as_root[@]}" dpkg -r quarnel quarnel-usb-tracker
trap - EXIT
left=$(ls /usr/lib/quarnel /usr/bin/quarnelctl /usr/bin/quarnel-usb-tracker \
    /usr/lib/udev/rules.d/70-quarnel-tracker.rules 2>/dev/null || true)
if [[ -n "$left" ]]; then
    echo "left behind after removal: $left" >&2
    exit 1
fi
step "done"
echo "=== packages built, checked, installed, used and removed cleanly"
