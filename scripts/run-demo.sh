#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the programs (the "demo" preset: no tests, so it installs only the packages of the
# window's group) and starts the window on the simulated tracker.
# Arguments go to quarnel-demo (--state FILE, --transcript FILE).
# Without a display ($DISPLAY unset) it runs under xvfb-run, where nothing is seen: use
# that to check that the demo starts, or set DISPLAY to watch it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window
cmake --preset demo
cmake --build --preset demo --target quarnel-demo quarnel_data --parallel "$(nproc)"

demo=build/demo/bin/quarnel-demo
if [[ -z "${DISPLAY:-}" ]]; then
    echo "DISPLAY is not set: running the demo under xvfb-run (a virtual display, not visible)."
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$demo" "$@"
fi
exec "$demo" "$@"
