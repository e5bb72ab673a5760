#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats each manual page as man does, with groff's warnings on (man --warnings, as
# lintian reads pages): a page passes when nothing at all is said about it.
#   man-page-test.sh PAGE...
set -euo pipefail
failures=0
for page in "$@"; do
    said=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    if [[ -n "$said" ]]; then
        echo "FAIL $page:" >&2
        echo "$said" >&2
        failures=$((failures + 1))
    elif ! LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null | grep -q '^NAME'; then
        echo "FAIL $page: no NAME section" >&2
        failures=$((failures + 1))
    else
        echo "ok   $page"
    fi
done
((failures == 0))
