#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# axe-core, the accessibility rules the map page is audited with in headless Chromium,
# installed once per machine from the npm registry with the machine's Node.js, at exactly
# the version and digest tests/gpslog/axe/package-lock.json pins:
#   $QUARNEL_CACHE/axe-core-<hash of the lock file>/node_modules/axe-core/axe.min.js
# A stamp written last marks the folder complete.
#   scripts/axe-core.sh           installs when needed; prints the script's path last
#   scripts/axe-core.sh --print   prints the path when it is installed, fails otherwise
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/cache.sh"

pins="$root/tests/gpslog/axe"
key=$(cat "$pins/package.json" "$pins/package-lock.json" | sha256sum | cut -c1-16)
dir="$QUARNEL_CACHE/axe-core-$key"
script="$dir/node_modules/axe-core/axe.min.js"

if [[ -f "$dir/.complete" && -f "$script" ]]; then
    echo "$script"
    exit 0
fi
[[ "${1:-}" != --print ]] || exit 1

rm -rf "$dir"
mkdir -p "$dir"
cp "$pins/package.json" "$pins/package-lock.json" "$dir/"
# Exactly what the lock file says, checked against its digest; no install scripts run.
(cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error) >&2
touch "$dir/.complete"
echo "$script"
