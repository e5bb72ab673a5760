#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Refreshes docs/map-page.png: the map page of the demo drive as headless Chromium shows it
# offline, saved by the browser test that checks that page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh window tests
cmake --preset default
cmake --build --preset default --target map_page_browser_test
QUARNEL_SCREENSHOT_DIR="$PWD/docs" build/default/bin/map_page_browser_test \
    --gtest_filter='*DemoDriveDrawsEveryCsvLine*'
echo "docs/map-page.png written"
