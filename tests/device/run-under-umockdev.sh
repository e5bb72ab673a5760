#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a program under umockdev-wrapper, which preloads umockdev's library into it. That
# library then comes before a sanitiser's runtime in the list of libraries, which
# AddressSanitizer refuses unless it is told that this is intended.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"
