#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The one test command: installs what is missing, configures, builds and runs every test.
# With an argument it uses that preset instead of the default one (asan, tsan).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset" --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset" --parallel "$(nproc)"
