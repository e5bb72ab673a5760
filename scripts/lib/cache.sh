# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Where the scripts keep what they build or fetch once per machine (toolchain pieces,
# Qt for Windows, the test kernel): outside the clone, so a clean clone reuses it.
# Source this file; QUARNEL_CACHE overrides the place.
QUARNEL_CACHE=${QUARNEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quarnel}
mkdir -p "$QUARNEL_CACHE"
